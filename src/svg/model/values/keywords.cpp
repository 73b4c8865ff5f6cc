#include "svg/model/values/keywords.h"

#include "svg/model/values/inherit.h"

#include <iterator>

namespace {

constexpr const char *AlignNames[] = {"xMinYMin", "xMidYMin", "xMaxYMin", "xMinYMid", "xMidYMid",
                                      "xMaxYMid", "xMinYMax", "xMidYMax", "xMaxYMax"};
constexpr const char *ColorInterpolationNames[] = {"auto", "sRGB", "linearRGB"};
constexpr const char *ColorRenderingNames[] = {"auto", "optimizeSpeed", "optimizeQuality"};
constexpr const char *ShapeRenderingNames[] = {"auto", "optimizeSpeed", "crispEdges",
                                               "geometricPrecision"};
constexpr const char *TextRenderingNames[] = {"auto", "optimizeSpeed", "optimizeLegibility",
                                              "geometricPrecision"};
constexpr const char *FillRuleNames[] = {"nonzero", "evenodd"};
constexpr const char *MarkerUnitNames[] = {"strokeWidth", "userSpaceOnUse"};
constexpr const char *CoordinateSystemUnitNames[] = {"objectBoundingBox", "userSpaceOnUse"};
constexpr const char *GradientSpreadNames[] = {"pad", "reflect", "repeat"};

// 1-based position of the word in the table (case-sensitive), 0 when absent: the tables
// list the members after the enumeration's none member.
template <size_t N>
int KeywordIndex(const char *const (&names)[N], const QString &word)
{
    for (size_t i = 0; i < N; ++i) {
        if (word == QLatin1String(names[i]))
            return int(i) + 1;
    }
    return 0;
}

template <size_t N>
QString KeywordName(const char *const (&names)[N], int value)
{
    if (value < 1 || value > int(N))
        return QString();
    return QLatin1String(names[value - 1]);
}

// Cascaded enumeration: unknown words give the none member.
template <typename E, size_t N>
E CascadedKeyword(const char *const (&names)[N], const QString &text, E current, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return current;
    return E(KeywordIndex(names, t));
}

// Attribute enumeration: unknown words keep the current value.
template <typename E, size_t N>
E AttributeKeyword(const char *const (&names)[N], const QString &text, E current)
{
    const int index = KeywordIndex(names, text.trimmed());
    return index > 0 ? E(index) : current;
}

template <typename T, typename F>
T CascadedValue(const QString &text, T current, bool &inherited, F parse)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return current;
    return parse(t);
}

} // namespace

TSVGAlign SVGAlignByName(const QString &word) { return TSVGAlign(KeywordIndex(AlignNames, word)); }

TSVGColorInterpolation ParseColorInterpolation(const QString &text,
                                               TSVGColorInterpolation current, bool &inherited)
{
    return CascadedKeyword(ColorInterpolationNames, text, current, inherited);
}

TSVGColorRendering ParseColorRendering(const QString &text, TSVGColorRendering current,
                                       bool &inherited)
{
    return CascadedKeyword(ColorRenderingNames, text, current, inherited);
}

TSVGShapeRendering ParseShapeRendering(const QString &text, TSVGShapeRendering current,
                                       bool &inherited)
{
    return CascadedKeyword(ShapeRenderingNames, text, current, inherited);
}

TSVGTextRendering ParseTextRendering(const QString &text, TSVGTextRendering current,
                                     bool &inherited)
{
    return CascadedKeyword(TextRenderingNames, text, current, inherited);
}

TSVGFillRule ParseFillRule(const QString &text, TSVGFillRule current, bool &inherited)
{
    return CascadedKeyword(FillRuleNames, text, current, inherited);
}

TSVGTextAlign ParseTextAlign(const QString &text, TSVGTextAlign current, bool &inherited)
{
    return CascadedValue(text, current, inherited, [](const QString &t) {
        if (t == QLatin1String("middle"))
            return staCenter;
        if (t == QLatin1String("end"))
            return staTrailing;
        return staLeading;
    });
}

TSVGMarkerUnit ParseMarkerUnit(const QString &text, TSVGMarkerUnit current)
{
    return AttributeKeyword(MarkerUnitNames, text, current);
}

TSVGCoordinateSystemUnit ParseCoordinateSystemUnit(const QString &text,
                                                   TSVGCoordinateSystemUnit current)
{
    return AttributeKeyword(CoordinateSystemUnitNames, text, current);
}

TSVGGradientSpread ParseGradientSpread(const QString &text, TSVGGradientSpread current)
{
    return AttributeKeyword(GradientSpreadNames, text, current);
}

bool ParseVisibility(const QString &text, bool current, bool &inherited)
{
    return CascadedValue(text, current, inherited,
                         [](const QString &t) { return t == QLatin1String("visible"); });
}

bool ParseDisplay(const QString &text, bool current, bool &inherited)
{
    return CascadedValue(text, current, inherited,
                         [](const QString &t) { return t != QLatin1String("none"); });
}

bool ParseOverflow(const QString &text, bool current, bool &inherited)
{
    return CascadedValue(text, current, inherited,
                         [](const QString &t) { return t == QLatin1String("visible"); });
}

Qt::PenCapStyle ParseLineCap(const QString &text, Qt::PenCapStyle current, bool &inherited)
{
    return CascadedValue(text, current, inherited, [](const QString &t) {
        if (t == QLatin1String("round"))
            return Qt::RoundCap;
        if (t == QLatin1String("square"))
            return Qt::SquareCap;
        return Qt::FlatCap;
    });
}

Qt::PenJoinStyle ParseLineJoin(const QString &text, Qt::PenJoinStyle current, bool &inherited)
{
    return CascadedValue(text, current, inherited, [](const QString &t) {
        if (t == QLatin1String("bevel"))
            return Qt::BevelJoin;
        if (t == QLatin1String("round"))
            return Qt::RoundJoin;
        return Qt::SvgMiterJoin;
    });
}

QString SVGKeyword(TSVGAlign value) { return KeywordName(AlignNames, value); }
QString SVGKeyword(TSVGColorInterpolation value)
{
    return KeywordName(ColorInterpolationNames, value);
}
QString SVGKeyword(TSVGColorRendering value) { return KeywordName(ColorRenderingNames, value); }
QString SVGKeyword(TSVGShapeRendering value) { return KeywordName(ShapeRenderingNames, value); }
QString SVGKeyword(TSVGTextRendering value) { return KeywordName(TextRenderingNames, value); }
QString SVGKeyword(TSVGFillRule value) { return KeywordName(FillRuleNames, value); }
QString SVGKeyword(TSVGMarkerUnit value) { return KeywordName(MarkerUnitNames, value); }
QString SVGKeyword(TSVGCoordinateSystemUnit value)
{
    return KeywordName(CoordinateSystemUnitNames, value);
}
QString SVGKeyword(TSVGGradientSpread value) { return KeywordName(GradientSpreadNames, value); }

QString SVGKeyword(TSVGTextAlign value)
{
    switch (value) {
    case staCenter: return QStringLiteral("middle");
    case staTrailing: return QStringLiteral("end");
    case staLeading: break;
    }
    return QStringLiteral("start");
}

QString SVGKeyword(Qt::PenCapStyle value)
{
    if (value == Qt::RoundCap)
        return QStringLiteral("round");
    if (value == Qt::SquareCap)
        return QStringLiteral("square");
    return QStringLiteral("butt");
}

QString SVGKeyword(Qt::PenJoinStyle value)
{
    if (value == Qt::RoundJoin)
        return QStringLiteral("round");
    if (value == Qt::BevelJoin)
        return QStringLiteral("bevel");
    return QStringLiteral("miter");
}
