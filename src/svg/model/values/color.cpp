#include "svg/model/values/color.h"

#include "errors/errors.h"
#include "svg/model/values/inherit.h"
#include "svg/model/values/numbers.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

bool IsHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// "#" forms. Only letters and digits count (so "# f0a" is "#f0a"); the CSS lengths 3, 4,
// 6 and 8 are RGB, RGBA, RRGGBB and RRGGBBAA; any other length is read as the digits
// after an opaque "FF", which is what a plain hexadecimal reading of the text gives.
TAlphaColor ParseHexColor(const QString &trimmed)
{
    QString digits;
    for (QChar c : trimmed) {
        if (c.isLetter() || c.isDigit())
            digits.append(c);
    }
    for (QChar c : digits) {
        if (!IsHexDigit(c))
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(trimmed));
    }
    QString argb;
    switch (digits.size()) {
    case 3:
        argb = QStringLiteral("FF");
        for (QChar c : digits)
            argb.append(c).append(c);
        break;
    case 4:
        argb = QString(digits[3]) + digits[3];
        for (int i = 0; i < 3; ++i)
            argb.append(digits[i]).append(digits[i]);
        break;
    case 6:
        argb = QStringLiteral("FF") + digits;
        break;
    case 8:
        argb = digits.right(2) + digits.left(6);
        break;
    default:
        argb = QStringLiteral("FF") + digits;
        break;
    }
    if (argb.size() > 8)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(trimmed));
    return SVGHexToUInt32(argb);
}

// The components of a functional notation: comma-separated, or (CSS Color 4) separated
// by white space with "/" before the alpha.
QStringList FunctionComponents(const QString &inner)
{
    if (inner.trimmed().isEmpty())
        return {};
    QStringList parts;
    if (inner.contains(QLatin1Char(','))) {
        parts = inner.split(QLatin1Char(','));
    } else {
        QString spaced = inner;
        spaced.replace(QLatin1Char('/'), QLatin1String(" / "));
        spaced = spaced.simplified(); // tabs and line breaks separate like spaces
        parts = spaced.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        parts.removeAll(QStringLiteral("/"));
    }
    for (QString &p : parts)
        p = p.trimmed();
    return parts;
}

// A number or percentage; a text that is neither raises EConvertError.
double ComponentValue(const QString &component, bool &isPercent)
{
    isPercent = component.endsWith(QLatin1Char('%'));
    return SVGStrToFloat(isPercent ? QStringView(component).chopped(1) : QStringView(component));
}

quint32 ClampByte(double v)
{
    if (!(v > 0))
        return 0;
    if (v >= 255)
        return 255;
    return quint32(v);
}

// A colour channel: percentages truncate (100% is 255, 50% is 127), numbers round;
// both are clamped to 0..255 instead of wrapping.
quint32 ChannelByte(const QString &component)
{
    bool isPercent = false;
    const double v = ComponentValue(component, isPercent);
    return isPercent ? ClampByte(v * 255.0 / 100.0) : ClampByte(std::nearbyint(v));
}

// An alpha value: a number 0..1 or a percentage.
quint32 AlphaByte(const QString &component)
{
    bool isPercent = false;
    double v = ComponentValue(component, isPercent);
    if (isPercent)
        v /= 100.0;
    return ClampByte(std::nearbyint(std::clamp(v, 0.0, 1.0) * 255.0));
}

TAlphaColor ParseRGBFunction(const QString &inner)
{
    const QStringList parts = FunctionComponents(inner);
    quint32 rgb[3] = {0, 0, 0};
    quint32 alpha = 255;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i < 3)
            rgb[i] = ChannelByte(parts[i]);
        else if (i == 3)
            alpha = AlphaByte(parts[i]);
        else
            ChannelByte(parts[i]); // read so that a bad extra component is reported
    }
    return (alpha << 24) | (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
}

// A hue in degrees, or with the CSS angle units.
double HueDegrees(const QString &component)
{
    static const struct {
        const char *unit;
        double toDegrees;
    } units[] = {{"deg", 1.0}, {"grad", 0.9}, {"rad", 180.0 / std::numbers::pi}, {"turn", 360.0}};
    for (const auto &u : units) {
        const QLatin1String unit(u.unit);
        if (component.endsWith(unit, Qt::CaseInsensitive))
            return SVGStrToFloat(QStringView(component).chopped(unit.size())) * u.toDegrees;
    }
    return SVGStrToFloat(component);
}

// Saturation and lightness as fractions; a bare number is read as a percentage.
double PercentFraction(const QString &component)
{
    bool isPercent = false;
    return std::clamp(ComponentValue(component, isPercent) / 100.0, 0.0, 1.0);
}

TAlphaColor ParseHSLFunction(const QString &inner)
{
    const QStringList parts = FunctionComponents(inner);
    double h = 0, s = 0, l = 0;
    quint32 alpha = 255;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        switch (i) {
        case 0: h = HueDegrees(parts[i]); break;
        case 1: s = PercentFraction(parts[i]); break;
        case 2: l = PercentFraction(parts[i]); break;
        case 3: alpha = AlphaByte(parts[i]); break;
        default: PercentFraction(parts[i]); break;
        }
    }
    if (!std::isfinite(h))
        h = 0;
    h = std::fmod(h, 360.0);
    if (h < 0)
        h += 360.0;
    // The CSS conversion: each channel from the hue shifted by 0, 8 and 4 twelfths.
    const double a = s * std::min(l, 1.0 - l);
    const auto channel = [&](double n) {
        const double k = std::fmod(n + h / 30.0, 12.0);
        const double v = l - a * std::max(-1.0, std::min({k - 3.0, 9.0 - k, 1.0}));
        return ClampByte(std::nearbyint(v * 255.0));
    };
    return (alpha << 24) | (channel(0) << 16) | (channel(8) << 8) | channel(4);
}

// The text between "<name>(" and a final ")", when the text has that form.
bool FunctionArguments(const QString &trimmed, QLatin1String name, QString &inner)
{
    if (!trimmed.endsWith(QLatin1Char(')')))
        return false;
    const qsizetype open = name.size();
    if (trimmed.size() <= open || !trimmed.startsWith(name, Qt::CaseInsensitive) ||
        trimmed[open] != QLatin1Char('('))
        return false;
    inner = trimmed.mid(open + 1, trimmed.size() - open - 2);
    return true;
}

} // namespace

TAlphaColor ParseColor(const QString &text, TAlphaColor defaultColor, bool &isNone,
                       bool &inherited, bool *isCurrentColor)
{
    if (isCurrentColor)
        *isCurrentColor = false;
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultColor;
    if (t == QLatin1String("none")) {
        isNone = true;
        return defaultColor;
    }
    isNone = false;

    if (t.startsWith(QLatin1Char('#')))
        return ParseHexColor(t);
    QString inner;
    if (FunctionArguments(t, QLatin1String("rgb"), inner) ||
        FunctionArguments(t, QLatin1String("rgba"), inner))
        return ParseRGBFunction(inner);
    if (FunctionArguments(t, QLatin1String("hsl"), inner) ||
        FunctionArguments(t, QLatin1String("hsla"), inner))
        return ParseHSLFunction(inner);
    if (t.compare(QLatin1String("transparent"), Qt::CaseInsensitive) == 0)
        return 0x00000000;
    if (t.compare(QLatin1String("currentColor"), Qt::CaseInsensitive) == 0) {
        if (isCurrentColor)
            *isCurrentColor = true;
        return defaultColor;
    }
    TAlphaColor named = 0;
    return SVGColorByName(t, named) ? named : defaultColor;
}

TAlphaColor ApplyOpacity(TAlphaColor color, float opacity)
{
    const double o = std::isnan(opacity) ? 0.0 : std::clamp(double(opacity), 0.0, 1.0);
    const quint32 alpha = quint32(std::nearbyint(o * 255.0));
    return (color & 0x00FFFFFFu) | (alpha << 24);
}
