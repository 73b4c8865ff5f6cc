#include "svg/model/values/font.h"

#include "svg/model/values/inherit.h"
#include "svg/model/values/numbers.h"

#include <algorithm>
#include <iterator>

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

QList<std::pair<QString, QString>> SVGFontShorthandLonghands(const QString &text)
{
    QString style = QStringLiteral("normal"), variant = style, weight = style, stretch = style;
    const QString t = text.trimmed();
    if (t == QLatin1String("inherit")) {
        return {{QStringLiteral("font-style"), t},  {QStringLiteral("font-variant"), t},
                {QStringLiteral("font-weight"), t}, {QStringLiteral("font-stretch"), t},
                {QStringLiteral("font-size"), t},   {QStringLiteral("font-family"), t}};
    }
    static const char *const stretches[] = {"ultra-condensed", "extra-condensed", "condensed",
                                            "semi-condensed",  "semi-expanded",   "expanded",
                                            "extra-expanded",  "ultra-expanded"};
    qsizetype at = 0;
    const auto nextWord = [&] {
        while (at < t.size() && t[at].isSpace())
            ++at;
        const qsizetype start = at;
        while (at < t.size() && !t[at].isSpace())
            ++at;
        return t.mid(start, at - start);
    };
    // Up to four optional words, then the size.
    QString size;
    for (int words = 0; words <= 4 && size.isEmpty(); ++words) {
        const QString word = nextWord();
        const QString lower = word.toLower();
        bool isNumber = false;
        const int number = lower.toInt(&isNumber);
        if (lower.isEmpty())
            return {};
        if (words == 4 || (!(lower == QLatin1String("normal") || lower == QLatin1String("italic") ||
                             lower == QLatin1String("oblique") || lower == QLatin1String("small-caps") ||
                             lower == QLatin1String("bold") || lower == QLatin1String("bolder") ||
                             lower == QLatin1String("lighter") || (isNumber && number >= 1 && number <= 1000) ||
                             std::any_of(std::begin(stretches), std::end(stretches),
                                         [&](const char *s) { return lower == QLatin1String(s); })))) {
            size = word;
        } else if (lower == QLatin1String("italic") || lower == QLatin1String("oblique")) {
            style = lower;
        } else if (lower == QLatin1String("small-caps")) {
            variant = lower;
        } else if (lower != QLatin1String("normal")) {
            (isNumber || lower.startsWith(QLatin1Char('b')) || lower == QLatin1String("lighter") ? weight : stretch) =
                lower;
        }
    }
    // A line height after a slash, in the size's word or apart from it, is not the font's.
    if (const qsizetype slash = size.indexOf(QLatin1Char('/')); slash >= 0) {
        if (slash + 1 == size.size())
            nextWord();
        size.truncate(slash);
    } else {
        const qsizetype keep = at;
        while (at < t.size() && t[at].isSpace())
            ++at;
        if (at < t.size() && t[at] == QLatin1Char('/')) {
            ++at;
            if (at == t.size() || t[at].isSpace())
                nextWord();
            else
                while (at < t.size() && !t[at].isSpace())
                    ++at;
        } else {
            at = keep;
        }
    }
    const QString family = t.mid(at).trimmed();
    const bool sizeLike = !size.isEmpty() && (size[0].isDigit() || size[0] == QLatin1Char('.') ||
                                              size.endsWith(QLatin1String("small")) ||
                                              size.endsWith(QLatin1String("large")) ||
                                              size.endsWith(QLatin1String("larger")) ||
                                              size.endsWith(QLatin1String("smaller")));
    if (!sizeLike || family.isEmpty())
        return {};
    return {{QStringLiteral("font-style"), style},   {QStringLiteral("font-variant"), variant},
            {QStringLiteral("font-weight"), weight}, {QStringLiteral("font-stretch"), stretch},
            {QStringLiteral("font-size"), size},     {QStringLiteral("font-family"), family}};
}
