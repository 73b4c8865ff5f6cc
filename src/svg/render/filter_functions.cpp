#include "svg/render/filter_functions.h"

#include "errors/errors.h"
#include "svg/model/values/color.h"
#include "svg/model/values/numbers.h"
#include "svg/model/values/units.h"
#include "svg/model/values/uri.h"

#include <QStringList>
#include <cmath>

namespace {

using TKind = TSVGFilterFunctionKind;

struct TFunctionName {
    const char *Name;
    TKind Kind;
    double Default;
};

constexpr TFunctionName FunctionNames[] = {
    {"blur", TKind::Blur, 0},           {"drop-shadow", TKind::DropShadow, 0},
    {"brightness", TKind::Brightness, 1}, {"contrast", TKind::Contrast, 1},
    {"grayscale", TKind::Grayscale, 1},   {"hue-rotate", TKind::HueRotate, 0},
    {"invert", TKind::Invert, 1},         {"opacity", TKind::Opacity, 1},
    {"saturate", TKind::Saturate, 1},     {"sepia", TKind::Sepia, 1},
};

// A length in user units: a number with a unit, or a bare number (user units, as SVG
// files write them).
std::optional<double> Length(const QString &text)
{
    double v = 0;
    if (TrySVGStrToFloat(text, v))
        return v;
    TSVGUnit unit = suNone;
    const QStringView number = SVGSplitUnit(text, unit);
    if (unit == suNone || unit == suPercent || !TrySVGStrToFloat(number, v))
        return std::nullopt;
    return double(ParseUnitValue(text, SVGDefaultUnitFactors(), 0));
}

// A number or a percentage, as a fraction.
std::optional<double> Amount(const QString &text)
{
    double v = 0;
    if (text.endsWith(QLatin1Char('%'))) {
        if (!TrySVGStrToFloat(QStringView(text).chopped(1), v))
            return std::nullopt;
        return v / 100;
    }
    if (!TrySVGStrToFloat(text, v))
        return std::nullopt;
    return v;
}

std::optional<double> Angle(const QString &text)
{
    static const struct {
        const char *Unit;
        double Degrees;
    } units[] = {{"deg", 1}, {"grad", 0.9}, {"rad", 180 / M_PI}, {"turn", 360}};
    double v = 0;
    if (TrySVGStrToFloat(text, v))
        return v == 0 ? std::optional<double>(0) : std::nullopt;
    for (const auto &u : units)
        if (text.endsWith(QLatin1String(u.Unit), Qt::CaseInsensitive) &&
            TrySVGStrToFloat(QStringView(text).chopped(qsizetype(qstrlen(u.Unit))), v))
            return v * u.Degrees;
    return std::nullopt;
}

// The arguments of drop-shadow: two or three lengths and a colour before or after them.
bool ReadDropShadow(const QString &args, TSVGFilterFunction &f)
{
    // Colours may hold spaces inside their own parentheses; split at spaces outside them.
    QStringList words;
    QString word;
    int depth = 0;
    for (const QChar c : args) {
        if (c == QLatin1Char('('))
            ++depth;
        if (c == QLatin1Char(')'))
            --depth;
        if (c.isSpace() && depth == 0) {
            if (!word.isEmpty())
                words << word;
            word.clear();
            continue;
        }
        word += c;
    }
    if (!word.isEmpty())
        words << word;
    std::vector<double> lengths;
    QString color;
    bool afterLength = false;
    for (const QString &w : words) {
        // The lengths stand together, before or after the colour.
        if (const auto l = Length(w); l && lengths.size() < 3 && (lengths.empty() || afterLength)) {
            lengths.push_back(*l);
            afterLength = true;
            continue;
        }
        afterLength = false;
        if (!color.isEmpty())
            return false;
        color = w;
    }
    if (lengths.size() == 1)
        return false;
    if (lengths.size() >= 2) {
        f.Dx = lengths[0];
        f.Dy = lengths[1];
    }
    if (lengths.size() == 3) {
        if (lengths[2] < 0)
            return false;
        f.Amount = lengths[2];
    }
    if (!color.isEmpty()) {
        bool none = false, inherited = false, current = false;
        TAlphaColor c = 0;
        try {
            c = ParseColor(color, 0, none, inherited, &current);
        } catch (const EConvertError &) {
            return false;  // a malformed colour function
        }
        if (none || inherited)
            return false;
        f.CurrentColor = current;
        f.Color = c;
    }
    return true;
}

} // namespace

std::optional<std::vector<TSVGFilterFunction>> SVGParseFilterValue(const QString &text)
{
    std::vector<TSVGFilterFunction> out;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed == QLatin1String("none"))
        return out;
    qsizetype i = 0;
    const qsizetype n = trimmed.size();
    while (i < n) {
        while (i < n && (trimmed[i].isSpace() || trimmed[i] == QLatin1Char(',')))
            ++i;
        if (i >= n)
            break;
        const qsizetype open = trimmed.indexOf(QLatin1Char('('), i);
        if (open < 0)
            return std::nullopt;
        const QString name = trimmed.mid(i, open - i).trimmed().toLower();
        // The closing parenthesis of this function: the first one at depth zero.
        qsizetype close = open + 1;
        for (int depth = 0; close < n; ++close) {
            if (trimmed[close] == QLatin1Char('('))
                ++depth;
            else if (trimmed[close] == QLatin1Char(')') && depth-- == 0)
                break;
        }
        if (close >= n)
            return std::nullopt;
        const QString args = trimmed.mid(open + 1, close - open - 1).trimmed();
        i = close + 1;
        TSVGFilterFunction f;
        if (name == QLatin1String("url")) {
            f.Id = ParseURI(QStringLiteral("url(") + args + QLatin1Char(')'));
            out.push_back(f);
            continue;
        }
        const TFunctionName *known = nullptr;
        for (const TFunctionName &fn : FunctionNames)
            if (name == QLatin1String(fn.Name))
                known = &fn;
        if (!known)
            return std::nullopt;
        f.Kind = known->Kind;
        f.Amount = known->Default;
        if (f.Kind == TKind::DropShadow) {
            if (!ReadDropShadow(args, f))
                return std::nullopt;
        } else if (!args.isEmpty()) {
            const std::optional<double> v = f.Kind == TKind::Blur        ? Length(args)
                                            : f.Kind == TKind::HueRotate ? Angle(args)
                                                                         : Amount(args);
            if (!v || (f.Kind != TKind::HueRotate && *v < 0))
                return std::nullopt;
            f.Amount = *v;
        }
        // Amounts past 100% mean 100% where more has no sense.
        if (f.Kind == TKind::Grayscale || f.Kind == TKind::Invert || f.Kind == TKind::Opacity ||
            f.Kind == TKind::Sepia)
            f.Amount = std::min(f.Amount, 1.0);
        out.push_back(f);
    }
    return out;
}
