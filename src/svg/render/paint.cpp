#include "svg/render/paint.h"

#include "svg/model/dom/document.h"
#include "svg/model/values/numbers.h"
#include "svg/render/draw.h"
#include "svg/render/gradient.h"
#include "svg/render/pattern.h"

#include <cmath>
#include <optional>

namespace {

const TSVGGraphicElement &Source(const TSVGGraphicElement &element, TSVGStyleProperty property)
{
    return element.InheritanceSource(property);
}

// Fill and stroke take their paint (kind, colour, reference, opacity) by the same rule.
template <class State>
void TakePaint(State &out, const TSVGPaint &paint, const TSVGPaint &opacitySource,
               std::optional<TAlphaColor> currentColor)
{
    out.HasFallback = paint.HasFallback();
    out.Kind = paint.Kind();
    out.Color = currentColor.value_or(paint.Color());
    out.URI = paint.URI();
    out.Context = paint.Context();
    out.Opacity = opacitySource.Opacity();
}

template <class State>
void ResolveContext(State &state, const TSVGContextPaints *context)
{
    if (state.Context == TSVGContextPaint::None)
        return;
    const auto take = [&state](const auto &from) {
        state.Kind = from.Kind;
        state.Color = from.Color;
        state.URI = from.URI;
        state.HasFallback = from.HasFallback;
    };
    if (!context) {
        state.Kind = TBrushKind::None;
        state.URI.clear();
        state.HasFallback = false;
    } else if (state.Context == TSVGContextPaint::Fill) {
        take(context->Fill);
    } else {
        take(context->Stroke);
    }
    state.Context = TSVGContextPaint::None;
}

} // namespace

TSVGFillState SVGEffectiveFill(const TSVGGraphicElement &element)
{
    TSVGFillState out;
    // The colour fixed at style time is the element's own parent's; drawn through a use,
    // the element inherits from the use.
    TakePaint(out, Source(element, ipFill).Brush(), Source(element, ipFillOpacity).Brush(),
              element.FillIsCurrentColor() ? std::optional(element.CurrentColor()) : std::nullopt);
    return out;
}

TSVGStrokeState SVGEffectiveStroke(const TSVGGraphicElement &element)
{
    TSVGStrokeState out;
    TakePaint(out, Source(element, ipStroke).Pen(), Source(element, ipStrokeOpacity).Pen(),
              element.StrokeIsCurrentColor() ? std::optional(element.CurrentColor()) : std::nullopt);
    const TSVGPen &width = Source(element, ipStrokeWidth).Pen();
    out.Thickness = width.ThicknessLength();
    out.Cap = Source(element, ipStrokeLinecap).Pen().Cap();
    out.Join = Source(element, ipStrokeLineJoin).Pen().Join();
    out.MiterLimit = element.StrokeMiterLimit();
    out.Dash.Pattern = Source(element, ipStrokeDasharray).Pen().Dash().Pattern;
    out.Dash.Offset = Source(element, ipStrokeDashOffset).Pen().Dash().Offset;
    return out;
}

void SVGResolveContextPaint(TSVGFillState &fill, const TSVGContextPaints *context)
{
    ResolveContext(fill, context);
}

void SVGResolveContextPaint(TSVGStrokeState &stroke, const TSVGContextPaints *context)
{
    ResolveContext(stroke, context);
}

float SVGStrokeWidth(const TSVGGraphicElement &element, const TSVGStrokeState &stroke)
{
    return element.ResolvePercent(stroke.Thickness, TSVGAxis::Diagonal);
}

QRgb SVGColorWithOpacity(TAlphaColor color, float opacity)
{
    const float a = float(qAlpha(color)) * std::clamp(opacity, 0.0f, 1.0f);
    return qRgba(qRed(color), qGreen(color), qBlue(color), int(std::lround(a)));
}

TCanvasPaint SVGCanvasPaint(TSVGPainter &painter, const TSVGGraphicElement &element,
                            TBrushKind kind, TAlphaColor color, const QString &uri,
                            bool hasFallback, const TSVGPaintTarget &target)
{
    if (!uri.isEmpty()) {
        const TSVGDocument *doc = element.Document();
        const TSVGElement *server = doc ? doc->FindElement(uri) : nullptr;
        std::optional<TCanvasPaint> paint;
        if (server && SVGIsGradient(*server))
            paint = SVGGradientPaint(*server, element, target.BBox);
        else if (server && server->SVGType() == etPattern)
            paint = SVGPatternPaint(painter, *server, element, target);
        if (server && (SVGIsGradient(*server) || server->SVGType() == etPattern)) {
            if (paint)
                return *paint;
            // A server that cannot paint here gives way to the fallback colour, if any.
            return hasFallback && kind != TBrushKind::None ? TCanvasPaint::Solid(color)
                                                           : TCanvasPaint::None();
        }
        // A reference to nothing, or to an element that is no paint server, paints
        // the fallback colour, and without one nothing: not the default black.
        if (!hasFallback)
            return TCanvasPaint::None();
    }
    return kind == TBrushKind::None ? TCanvasPaint::None() : TCanvasPaint::Solid(color);
}

TCanvasStroke SVGCanvasStroke(TSVGPainter &painter, const TSVGGraphicElement &element,
                              const TSVGStrokeState &stroke, const TSVGPaintTarget &target)
{
    TCanvasStroke out;
    out.Thickness = SVGStrokeWidth(element, stroke);
    if (stroke.Kind == TBrushKind::None && stroke.URI.isEmpty())
        return out;  // paint None
    if (!(out.Thickness > 0))
        return out;
    out.Paint = SVGCanvasPaint(painter, element, stroke.Kind, stroke.Color, stroke.URI,
                               stroke.HasFallback, target);
    switch (stroke.Cap) {
    case Qt::RoundCap: out.Cap = TCanvasCap::Round; break;
    case Qt::SquareCap: out.Cap = TCanvasCap::Square; break;
    default: out.Cap = TCanvasCap::Butt; break;
    }
    switch (stroke.Join) {
    case Qt::RoundJoin: out.Join = TCanvasJoin::Round; break;
    case Qt::BevelJoin: out.Join = TCanvasJoin::Bevel; break;
    default: out.Join = TCanvasJoin::Miter; break;
    }
    out.MiterLimit = stroke.MiterLimit;
    for (float d : stroke.Dash.Pattern)
        out.Dashes << qreal(d);
    out.DashOffset = stroke.Dash.Offset;
    return out;
}
