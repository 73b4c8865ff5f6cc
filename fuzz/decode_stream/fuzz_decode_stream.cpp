// Arbitrary bytes through the member decoder. The first byte picks what the rest is:
//   0: an encrypted member, decoded with a fixed key (almost always rejected early)
//   1: the plaintext behind the cipher, so the inflater sees the fuzzed bytes directly
//   2: content for a round trip through the encoder, which must give it back unchanged

#include "assets/vpCrypt.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

namespace {

const QByteArray &Key()
{
    static const QByteArray key = GetResKey(QStringLiteral("res1.json"));
    return key;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int mode = data[0] % 3;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    QBuffer source;
    source.setData(bytes);
    source.open(QIODevice::ReadOnly);
    QByteArray out("prefix");
    QBuffer dest(&out);
    dest.open(QIODevice::ReadWrite);
    dest.seek(out.size());
    try {
        switch (mode) {
        case 0:
            DecodeStream(&source, &dest, Key(), RES_KEY_TYPE);
            break;
        case 1:
            InflateStream(&source, &dest);
            break;
        default:
            if (DecodeBytes(EncodeBytes(bytes, Key(), (data[0] / 3) % 3), Key(), (data[0] / 3) % 3) != bytes)
                __builtin_trap();
            break;
        }
    } catch (const EVuploraError &) {
        // Rejected input; the destination must still hold what was there before.
    }
    if (!out.startsWith("prefix"))
        __builtin_trap();
    return 0;
}
