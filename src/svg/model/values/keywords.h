#pragma once
// Keyword enumerations of presentation properties and attributes. Words are compared
// exactly (case-sensitive). The cascaded properties follow the inherit convention;
// gradient and marker attributes do not cascade and keep their value for unknown words.

#include <QString>
#include <Qt>

enum TSVGAlign : int {
    saNone,
    saXMinYMin, saXMidYMin, saXMaxYMin,
    saXMinYMid, saXMidYMid, saXMaxYMid,
    saXMinYMax, saXMidYMax, saXMaxYMax,
};

enum TSVGColorInterpolation : int { sciNone, sciAuto, sciSRGB, sciLinearRGB };
enum TSVGColorRendering : int { clrnNone, clrnAuto, clrnOptimizeSpeed, clrnOptimizeQuality };
enum TSVGShapeRendering : int {
    srnNone, srnAuto, srnOptimizeSpeed, srnCrispEdges, srnGeometricPrecision
};
enum TSVGTextRendering : int {
    txrnNone, txrnAuto, txrnOptimizeSpeed, txrnOptimizeLegibility, txrnGeometricPrecision
};
enum TSVGFillRule : int { frNone, frNonZero, frEvenOdd };
enum TSVGMarkerUnit : int { muNone, muStrokeWidth, muUserSpaceOnUse };
enum TSVGCoordinateSystemUnit : int { csuNone, csuObjectBoundingBox, csuUserSpaceOnUse };
enum TSVGGradientSpread : int { gsNone, gsPad, gsReflect, gsRepeat };
enum TSVGTextAlign : int { staCenter, staLeading, staTrailing };

// The alignment word of preserveAspectRatio; unknown words (also "none") give saNone.
TSVGAlign SVGAlignByName(const QString &word);

// Cascaded keyword properties: unknown words give the enumeration's none member.
TSVGColorInterpolation ParseColorInterpolation(const QString &text,
                                               TSVGColorInterpolation current, bool &inherited);
TSVGColorRendering ParseColorRendering(const QString &text, TSVGColorRendering current,
                                       bool &inherited);
TSVGShapeRendering ParseShapeRendering(const QString &text, TSVGShapeRendering current,
                                       bool &inherited);
TSVGTextRendering ParseTextRendering(const QString &text, TSVGTextRendering current,
                                     bool &inherited);
TSVGFillRule ParseFillRule(const QString &text, TSVGFillRule current, bool &inherited);
// "middle" centres, "end" trails, "start" and unknown words lead.
TSVGTextAlign ParseTextAlign(const QString &text, TSVGTextAlign current, bool &inherited);

// Attributes that do not cascade: unknown or empty text keeps the current value.
TSVGMarkerUnit ParseMarkerUnit(const QString &text, TSVGMarkerUnit current);
TSVGCoordinateSystemUnit ParseCoordinateSystemUnit(const QString &text,
                                                   TSVGCoordinateSystemUnit current);
TSVGGradientSpread ParseGradientSpread(const QString &text, TSVGGradientSpread current);

// Boolean properties: visibility "visible" is true, any other word false; display "none"
// is false, any other word true; overflow "visible" is true, any other word false.
bool ParseVisibility(const QString &text, bool current, bool &inherited);
bool ParseDisplay(const QString &text, bool current, bool &inherited);
bool ParseOverflow(const QString &text, bool current, bool &inherited);

// Stroke ends and corners: "round" and "square" give their caps, any other word (also
// "butt") the flat cap; "bevel" and "round" their joins, any other word the SVG miter
// join (falls back to a bevel beyond the miter limit).
Qt::PenCapStyle ParseLineCap(const QString &text, Qt::PenCapStyle current, bool &inherited);
Qt::PenJoinStyle ParseLineJoin(const QString &text, Qt::PenJoinStyle current, bool &inherited);

// Keyword texts for writing values back into style text; none members give "".
QString SVGKeyword(TSVGAlign value);
QString SVGKeyword(TSVGColorInterpolation value);
QString SVGKeyword(TSVGColorRendering value);
QString SVGKeyword(TSVGShapeRendering value);
QString SVGKeyword(TSVGTextRendering value);
QString SVGKeyword(TSVGFillRule value);
QString SVGKeyword(TSVGMarkerUnit value);
QString SVGKeyword(TSVGCoordinateSystemUnit value);
QString SVGKeyword(TSVGGradientSpread value);
QString SVGKeyword(TSVGTextAlign value);   // "middle", "start", "end"
QString SVGKeyword(Qt::PenCapStyle value);  // "round", "square", else "butt"
QString SVGKeyword(Qt::PenJoinStyle value); // "round", "bevel", else "miter"
