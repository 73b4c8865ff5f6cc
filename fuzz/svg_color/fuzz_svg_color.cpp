// ParseColor on arbitrary text: only conversion errors may escape, and every colour it
// yields must read back unchanged from its own style text.

#include "errors/errors.h"
#include "svg/model/values/color.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    bool isNone = false, inherited = false, current = false;
    TAlphaColor color = 0;
    try {
        color = ParseColor(text, 0xFF010203, isNone, inherited, &current);
    } catch (const EConvertError &) {
        return 0;
    }
    bool isNone2 = false, inherited2 = false;
    if (ParseColor(SVGColorToText(color), 0, isNone2, inherited2) != color)
        std::abort();
    (void)ApplyOpacity(color, float(size % 300) / 200.0f);
    return 0;
}
