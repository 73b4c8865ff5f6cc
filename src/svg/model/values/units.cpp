#include "svg/model/values/units.h"

#include "svg/model/values/inherit.h"
#include "svg/model/values/lists.h"
#include "svg/model/values/numbers.h"

#include <numbers>

namespace {

// Reads a trimmed number with an optional unit; false when the number part is not a
// number (the callers then fall back to their default).
bool TryParseUnitValue(QStringView trimmed, const TSVGUnitFactors &factors,
                       bool infinityKeywords, float &result)
{
    TSVGUnit unit = suNone;
    const QStringView number = SVGSplitUnit(trimmed, unit);
    double value = 0;
    if (infinityKeywords && number.compare(QLatin1String("Infinity"), Qt::CaseInsensitive) == 0)
        value = 1e8;
    else if (infinityKeywords &&
             number.compare(QLatin1String("-Infinity"), Qt::CaseInsensitive) == 0)
        value = -1e8;
    else if (!TrySVGStrToFloat(number, value))
        return false;
    result = SVGToSingle(value * double(factors[unit]));
    return true;
}

// The number before a trailing "%", or false when the text has no "%" or no number.
bool TryParsePercent(QStringView trimmed, double &percent, bool &hasPercent)
{
    hasPercent = trimmed.endsWith(QLatin1Char('%'));
    return hasPercent && TrySVGStrToFloat(trimmed.chopped(1), percent);
}

float LengthOf(const QString &trimmed, const TSVGUnitFactors &factors, float high, float low,
               float defaultValue)
{
    double percent = 0;
    bool hasPercent = false;
    if (TryParsePercent(trimmed, percent, hasPercent))
        return SVGToSingle(double(low) + (double(high) - double(low)) * percent / 100.0);
    if (hasPercent)
        return defaultValue;
    float result = defaultValue;
    TryParseUnitValue(trimmed, factors, true, result);
    return result;
}

float FractionOf(const QString &trimmed, bool &isPercent, const TSVGUnitFactors &factors,
                 float defaultValue)
{
    double percent = 0;
    bool hasPercent = false;
    if (TryParsePercent(trimmed, percent, hasPercent)) {
        isPercent = true;
        return SVGToSingle(percent / 100.0);
    }
    if (hasPercent)
        return defaultValue;
    float result = defaultValue;
    if (TryParseUnitValue(trimmed, factors, true, result))
        isPercent = false;
    return result;
}

} // namespace

TSVGUnitFactors SVGUnitFactors(float dpi)
{
    const double d = dpi;
    return {1.0f,
            1.0f,
            float(d / 72.0),
            float(d * 12.0 / 72.0),
            float(d / 2.54 / 10.0),
            float(d / 2.54),
            float(d),
            1.0f,
            1.0f,
            1.0f};
}

const TSVGUnitFactors &SVGDefaultUnitFactors()
{
    static const TSVGUnitFactors factors = {1.0f, 1.0f,  1.333f, 15.996f, 3.78f,
                                            37.8f, 96.0f, 1.0f,   1.0f,    1.0f};
    return factors;
}

TSVGUnitFactors SVGFontRelativeFactors(const TSVGUnitFactors &factors, float fontSize)
{
    TSVGUnitFactors result = factors;
    result[suFontSize] = fontSize;
    result[suFontXHeight] = fontSize / 2;
    return result;
}

QStringView SVGSplitUnit(QStringView trimmed, TSVGUnit &unit)
{
    static const struct {
        const char *suffix;
        TSVGUnit unit;
    } suffixes[] = {{"px", suPixels},      {"pt", suPoints},      {"pc", suPicas},
                    {"mm", suMillimeters}, {"cm", suCentimeters}, {"in", suInches},
                    {"em", suFontSize},    {"ex", suFontXHeight}};
    if (trimmed.size() >= 2) {
        const QStringView last = trimmed.right(2);
        for (const auto &s : suffixes) {
            if (last.compare(QLatin1String(s.suffix), Qt::CaseInsensitive) == 0) {
                unit = s.unit;
                return trimmed.chopped(2);
            }
        }
    }
    if (trimmed.endsWith(QLatin1Char('%'))) {
        unit = suPercent;
        return trimmed.chopped(1);
    }
    unit = suNone;
    return trimmed;
}

float ParseUnitValue(const QString &text, const TSVGUnitFactors &factors, float defaultValue)
{
    float result = defaultValue;
    TryParseUnitValue(QStringView(text).trimmed(), factors, true, result);
    return result;
}

float ParseLength(const QString &text, bool &inherited, const TSVGUnitFactors &factors,
                  float high, float low, float defaultValue)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultValue;
    return LengthOf(t, factors, high, low, defaultValue);
}

float ParseLength(const QString &text, const TSVGUnitFactors &factors, float high, float low,
                  float defaultValue)
{
    return LengthOf(text.trimmed(), factors, high, low, defaultValue);
}

float ParseFraction(const QString &text, bool &inherited, bool &isPercent,
                    const TSVGUnitFactors &factors, float defaultValue)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultValue;
    return FractionOf(t, isPercent, factors, defaultValue);
}

float ParseFraction(const QString &text, bool &isPercent, const TSVGUnitFactors &factors,
                    float defaultValue)
{
    return FractionOf(text.trimmed(), isPercent, factors, defaultValue);
}

float ParseNumber(const QString &text, bool &inherited, const TSVGUnitFactors &factors,
                  float defaultValue)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultValue;
    float result = defaultValue;
    TryParseUnitValue(t, factors, false, result);
    return result;
}

float ParseAngle(const QString &text, bool &isAuto, float defaultValue)
{
    const QString t = text.trimmed();
    if (t == QLatin1String("auto")) {
        isAuto = true;
        return defaultValue;
    }
    isAuto = false;
    const QStringList words = SplitList(t, QStringLiteral(" "));
    if (words.isEmpty())
        return defaultValue;
    // The unit may follow the number directly ("1.5rad", as CSS writes angles) or as a
    // word of its own ("1.5 rad", which documents written for this engine use).
    QStringView number = words[0];
    QStringView unit = words.size() > 1 ? QStringView(words[1]) : QStringView();
    if (unit.isEmpty()) {
        for (const char *suffix : {"grad", "rad", "deg"}) {
            const QLatin1String s(suffix);
            if (number.endsWith(s, Qt::CaseInsensitive)) {
                unit = number.right(s.size());
                number.chop(s.size());
                break;
            }
        }
    }
    double value = 0;
    if (!TrySVGStrToFloat(number, value))
        return defaultValue;
    if (unit.compare(QLatin1String("grad"), Qt::CaseInsensitive) == 0)
        value *= std::numbers::pi / 200.0;
    else if (unit.compare(QLatin1String("rad"), Qt::CaseInsensitive) != 0)
        value *= std::numbers::pi / 180.0;
    return SVGToSingle(value);
}
