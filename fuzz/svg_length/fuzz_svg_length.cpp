// Lengths, fractions, numbers, angles and font sizes on arbitrary text. These parsers
// never raise: any exception ends the run as a finding.

#include "svg/model/values/font.h"
#include "svg/model/values/lists.h"
#include "svg/model/values/units.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    static const TSVGUnitFactors factors = SVGFontRelativeFactors(SVGUnitFactors(96), 11);
    bool inherited = false, isPercent = false, isAuto = false;
    (void)ParseFontSize(text, inherited, factors, 10, 11);
    (void)ParseFontSize(text, inherited, SVGDefaultUnitFactors(), 1e30f, 0);
    (void)ParseLength(text, inherited, factors, 1, 0, 0);
    (void)ParseLength(text, factors, 1e38f, -1e38f, 0);
    (void)ParseFraction(text, inherited, isPercent, factors, 0);
    (void)ParseNumber(text, inherited, factors, 0);
    (void)ParseUnitValue(text, factors, 0);
    (void)ParseAngle(text, isAuto, 0);
    (void)ParseDashArray(text, factors);
    return 0;
}
