// The `filter` property's parser on arbitrary text: nothing may escape, and every value
// it accepts must keep to its promises (amounts and deviations not negative, the
// amounts that stop at 100% within it, references with an id).

#include "svg/render/filter_functions.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto value = SVGParseFilterValue(text);
    if (!value)
        return 0;
    using TKind = TSVGFilterFunctionKind;
    for (const TSVGFilterFunction &f : *value) {
        if (!std::isfinite(f.Amount) || !std::isfinite(f.Dx) || !std::isfinite(f.Dy))
            std::abort();
        if (f.Kind != TKind::HueRotate && f.Amount < 0)
            std::abort();
        if ((f.Kind == TKind::Grayscale || f.Kind == TKind::Invert || f.Kind == TKind::Opacity ||
             f.Kind == TKind::Sepia) && f.Amount > 1)
            std::abort();
    }
    return 0;
}
