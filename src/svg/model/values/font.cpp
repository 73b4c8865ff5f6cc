#include "svg/model/values/font.h"

#include "svg/model/values/inherit.h"
#include "svg/model/values/numbers.h"

namespace {

const struct {
    const char *Name;
    float Size;
} FontSizeKeywords[] = {{"xx-small", 6.9444f}, {"x-small", 8.3333f}, {"small", 10.0f},
                        {"medium", 12.0f},     {"large", 14.4f},     {"x-large", 17.28f},
                        {"xx-large", 20.736f}};

} // namespace

float ParseFontSize(const QString &text, bool &inherited, const TSVGUnitFactors &factors,
                    float parentSize, float defaultSize)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultSize;
    TSVGUnit unit = suNone;
    const QStringView word = SVGSplitUnit(t, unit).trimmed();
    double value = 0;
    if (unit == suPercent) {
        // A percentage is a share of the parent's size, as for every CSS font size.
        if (!TrySVGStrToFloat(word, value))
            return defaultSize;
        return SVGToSingle(double(parentSize) * value / 100.0);
    }
    bool found = false;
    for (const auto &k : FontSizeKeywords) {
        if (word == QLatin1String(k.Name)) {
            value = k.Size;
            found = true;
            break;
        }
    }
    if (!found) {
        if (word == QLatin1String("larger"))
            value = parentSize * 1.2f;
        else if (word == QLatin1String("smaller"))
            value = parentSize / 1.2f;
        else if (!TrySVGStrToFloat(word, value))
            return defaultSize;
    }
    return SVGToSingle(value * double(factors[unit]));
}

QString SVGFontSizeKeyword(float size)
{
    for (const auto &k : FontSizeKeywords) {
        if (k.Size == size)
            return QLatin1String(k.Name);
    }
    return QString();
}

QString ParseFontFamily(const QString &text, const QString &defaultFamily, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultFamily;
    return t;
}

bool ParseFontItalic(const QString &text, bool current, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return current;
    return t == QLatin1String("italic") || t == QLatin1String("oblique");
}

bool ParseFontBold(const QString &text, bool current, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return current;
    static const char *const boldWords[] = {"bold", "bolder", "500", "600", "700", "800", "900"};
    static const char *const regularWords[] = {"normal", "lighter", "100", "200", "300", "400"};
    for (const char *w : boldWords) {
        if (t == QLatin1String(w))
            return true;
    }
    for (const char *w : regularWords) {
        if (t == QLatin1String(w))
            return false;
    }
    return current;
}

void ParseTextDecoration(const QString &text, TSVGFontStyle &style,
                         TExtendedFontStyles &extended, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return;
    // A list of lines ("underline overline"); "none" or any unknown word in it draws none.
    style.Underline = false;
    style.StrikeOut = false;
    extended = {};
    for (const QString &word : t.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("underline")) {
            style.Underline = true;
        } else if (word == QLatin1String("line-through")) {
            style.StrikeOut = true;
        } else if (word == QLatin1String("overline")) {
            extended |= fsOverline;
        } else if (word == QLatin1String("blink")) {
            extended |= fsBlink;
        } else {
            style.Underline = style.StrikeOut = false;
            extended = {};
            return;
        }
    }
}
