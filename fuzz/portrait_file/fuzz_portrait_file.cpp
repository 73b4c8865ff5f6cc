// Arbitrary bytes as a portrait file: refusals are fine; crashes are not, and
// whatever is accepted must be written back as a file that reads back the same.

#include "assets/untVuploraPortrait.h"
#include "errors/errors.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TPortrait portrait;
    try {
        portrait = ReadPortrait(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const EVuploraError &) {
        return 0;
    }
    // Places are written to a millionth of a unit, so the first rewrite may round
    // them; from there on a portrait must read back exactly as written.
    const TPortrait rewritten = ReadPortrait(WritePortrait(portrait));
    if (!(ReadPortrait(WritePortrait(rewritten)) == rewritten))
        __builtin_trap();
    return 0;
}
