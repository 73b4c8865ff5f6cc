#pragma once
// Fill and stroke as an element draws them: the cascade's values with the inherited parts
// taken from the ancestors, paint-server references looked up in the document, and the
// result turned into canvas paints for a given object bounding box.

#include "svg/model/dom/graphic_element.h"
#include "svg/render/canvas.h"

class TSVGPainter;

// The effective fill of an element: kind, colour and reference from the nearest element
// that does not inherit `fill`, opacity from the nearest that does not inherit
// `fill-opacity`.
struct TSVGFillState {
    TBrushKind Kind = TBrushKind::Solid;
    TAlphaColor Color = 0xFF000000u;
    QString URI;
    bool HasFallback = false;  // a colour follows the url() reference
    TSVGContextPaint Context = TSVGContextPaint::None;
    float Opacity = 1;
};

struct TSVGStrokeState {
    TBrushKind Kind = TBrushKind::None;
    TAlphaColor Color = 0xFF000000u;
    QString URI;
    bool HasFallback = false;
    TSVGContextPaint Context = TSVGContextPaint::None;
    float Opacity = 1;
    TSVGLength Thickness{1};        // as written
    Qt::PenCapStyle Cap = Qt::FlatCap;
    Qt::PenJoinStyle Join = Qt::SvgMiterJoin;
    float MiterLimit = 4;
    TSVGStrokeDash Dash;
};

TSVGFillState SVGEffectiveFill(const TSVGGraphicElement &element);
TSVGStrokeState SVGEffectiveStroke(const TSVGGraphicElement &element);

// The fill and stroke of the element a marker marks or a use draws, as it paints them:
// what context-fill and context-stroke stand for within.
struct TSVGContextPaints {
    TSVGFillState Fill;
    TSVGStrokeState Stroke;
};
// A context paint of the state replaced by that paint of Context (kind, colour and
// reference; the state keeps its own opacity), or by none when there is no context.
void SVGResolveContextPaint(TSVGFillState &fill, const TSVGContextPaints *context);
void SVGResolveContextPaint(TSVGStrokeState &stroke, const TSVGContextPaints *context);

// The stroke width in user units: a percentage is taken of the normalised diagonal of
// the nearest viewport.
float SVGStrokeWidth(const TSVGGraphicElement &element, const TSVGStrokeState &stroke);

// Where a paint is used: the element's object bounding box in its user space and the
// matrix from that space to device pixels (pattern tiles are rendered at device
// resolution).
struct TSVGPaintTarget {
    QRectF BBox;
    TMatrix UserToDevice;
};

// The canvas paint for a fill or stroke state. A reference to a gradient or pattern is
// resolved against Target; a reference to anything else (or to nothing) leaves the
// paint as the cascade set it. A server that cannot paint on this element (no stops, a
// bounding box without area, an empty tile) gives the fallback colour when the paint
// has one, else nothing.
TCanvasPaint SVGCanvasPaint(TSVGPainter &painter, const TSVGGraphicElement &element,
                            TBrushKind kind, TAlphaColor color, const QString &uri,
                            bool hasFallback, const TSVGPaintTarget &target);

// The canvas stroke for an element: paint as above, width in user units, caps, joins,
// miter limit and dashes.
TCanvasStroke SVGCanvasStroke(TSVGPainter &painter, const TSVGGraphicElement &element,
                              const TSVGStrokeState &stroke, const TSVGPaintTarget &target);

// A colour with an extra opacity factor folded into its alpha.
QRgb SVGColorWithOpacity(TAlphaColor color, float opacity);
