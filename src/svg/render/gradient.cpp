#include "svg/render/gradient.h"

#include "svg/model/values/keywords.h"
#include "svg/model/dom/paint_servers.h"
#include "svg/model/values/units.h"
#include "svg/render/draw.h"
#include "svg/render/paint.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace {

bool IsLinear(const TSVGElement &e) { return e.SVGType() == etLinearGradient; }
bool IsRadial(const TSVGElement &e) { return e.SVGType() == etRadialGradient; }

// A stop offset is a number or a percentage; anything with another unit is invalid and
// counts as 0.
float StopOffset(const TSVGGradientStop &stop)
{
    QString text;
    if (stop.XMLAttribute(u"offset", text)) {
        text = text.trimmed();
        if (!text.isEmpty() && text.back().isLetter())
            return 0;
    }
    const float v = stop.Offset();
    return std::isfinite(v) ? std::clamp(v, 0.0f, 1.0f) : 0.0f;
}

// A coordinate of the gradient, from the gradient of the chain that states it: a
// fraction of the bounding box, or user units with a percentage taken of the user's
// viewport.
float Coordinate(TSVGLength length, bool boundingBox, const TSVGGraphicElement &user,
                 TSVGAxis axis)
{
    return boundingBox ? length.Value : user.ResolvePercent(length, axis);
}

// Offsets in ascending order made strictly increasing by a hair, because a QGradient
// keeps one colour per position while SVG allows a sharp step at one offset.
QGradientStops CanvasStops(const std::vector<TSVGStopValue> &stops)
{
    constexpr double eps = 1e-6;
    QGradientStops out;
    for (const TSVGStopValue &s : stops)
        out.append({double(s.Offset), QColor::fromRgba(s.Color)});
    for (qsizetype i = 1; i < out.size(); ++i)
        out[i].first = std::max(out[i].first, out[i - 1].first + eps);
    if (!out.isEmpty() && out.back().first > 1) {
        out.back().first = 1;
        for (qsizetype i = out.size() - 2; i >= 0; --i)
            out[i].first = std::min(out[i].first, out[i + 1].first - eps);
    }
    return out;
}

QGradient::Spread Spread(TSVGGradientSpread spread)
{
    switch (spread) {
    case gsReflect: return QGradient::ReflectSpread;
    case gsRepeat: return QGradient::RepeatSpread;
    default: return QGradient::PadSpread;
    }
}

} // namespace

bool SVGIsGradient(const TSVGElement &element)
{
    return IsLinear(element) || IsRadial(element);
}

std::vector<TSVGStopValue> SVGGradientStops(const TSVGElement &gradient)
{
    std::vector<TSVGStopValue> out;
    const auto *server = dynamic_cast<const TSVGCustomGradient *>(&gradient);
    if (!server)
        return out;
    for (const TSVGCustomGradient *g : server->Chain()) {
        for (int i = 0; i < g->Count(); ++i) {
            const auto *stop = dynamic_cast<const TSVGGradientStop *>(g->Items(i));
            if (!stop)
                continue;
            TSVGStopValue v;
            v.Offset = StopOffset(*stop);
            if (!out.empty())
                v.Offset = std::max(v.Offset, out.back().Offset);
            const TSVGBrush &brush = stop->StopBrush();
            v.Color = brush.Kind() == TBrushKind::None
                          ? 0u
                          : SVGColorWithOpacity(brush.Color(), brush.Opacity());
            out.push_back(v);
        }
        if (!out.empty())
            break;  // the first gradient of the chain with stops supplies them all
    }
    return out;
}

std::optional<TCanvasPaint> SVGGradientPaint(const TSVGElement &gradient,
                                             const TSVGGraphicElement &user, const QRectF &bbox)
{
    const std::vector<TSVGStopValue> stops = SVGGradientStops(gradient);
    if (stops.empty())
        return std::nullopt;
    if (stops.size() == 1)
        return TCanvasPaint::Solid(stops.front().Color);

    const auto &server = static_cast<const TSVGCustomGradient &>(gradient);
    using A = TSVGGradientAttribute;
    const bool boundingBox = server.Source(A::Units)->Units() != csuUserSpaceOnUse;
    if (boundingBox && (!(bbox.width() > 0) || !(bbox.height() > 0)))
        return std::nullopt;  // SVG: nothing to span a bounding-box gradient over
    const TSVGCustomGradient &transformed = *server.Source(A::Transform);
    QTransform transform = SVGAboutTransformOrigin(transformed, transformed.Matrix(), boundingBox).ToQTransform();
    if (!transform.isInvertible())
        transform = QTransform();  // a singular gradientTransform is an error: ignored
    if (boundingBox)
        transform = transform * QTransform(bbox.width(), 0, 0, bbox.height(), bbox.left(), bbox.top());

    auto c = [&](A attribute, TSVGAxis axis) {
        return Coordinate(server.Source(attribute)->Length(attribute), boundingBox, user, axis);
    };
    std::shared_ptr<QGradient> g;
    if (IsLinear(gradient)) {
        const QPointF p1(c(A::X1, TSVGAxis::Horizontal), c(A::Y1, TSVGAxis::Vertical));
        const QPointF p2(c(A::X2, TSVGAxis::Horizontal), c(A::Y2, TSVGAxis::Vertical));
        if (p1 == p2)
            return TCanvasPaint::Solid(stops.back().Color);  // SVG: the last stop's colour
        g = std::make_shared<QLinearGradient>(p1, p2);
    } else {
        const QPointF centre(c(A::CX, TSVGAxis::Horizontal), c(A::CY, TSVGAxis::Vertical));
        const float r = c(A::R, TSVGAxis::Diagonal);
        // An unstated focal point is the centre, wherever in the chain that was stated.
        const TSVGCustomGradient *fx = server.Source(A::FX);
        const TSVGCustomGradient *fy = server.Source(A::FY);
        QPointF focal(fx->States(A::FX) ? c(A::FX, TSVGAxis::Horizontal) : centre.x(),
                      fy->States(A::FY) ? c(A::FY, TSVGAxis::Vertical) : centre.y());
        float fr = c(A::FR, TSVGAxis::Diagonal);
        if (!(r > 0))
            return TCanvasPaint::Solid(stops.back().Color);  // SVG: the last stop's colour
        // A focal point outside the circle moves onto its rim (just inside, so that the
        // cone stays well defined).
        const QPointF d = focal - centre;
        const double dist = std::hypot(d.x(), d.y());
        const double limit = r * 0.999;
        if (dist > limit)
            focal = centre + d * (limit / dist);
        // A focal circle as large as the end circle leaves no room for the gradient; the
        // first stop then fills it and the spread the rest.
        fr = std::clamp(fr, 0.0f, r * 0.999f);
        g = std::make_shared<QRadialGradient>(centre, r, focal, fr);
    }
    g->setStops(CanvasStops(stops));
    // Stops are blended channel by channel before the alpha is applied, as SVG renderers
    // do, so a transparent stop fades in its own colour instead of towards black.
    g->setInterpolationMode(QGradient::ComponentInterpolation);
    g->setSpread(Spread(server.Source(A::Spread)->Spread()));
    TCanvasPaint paint;
    paint.Kind = TCanvasPaint::TKind::Gradient;
    paint.Gradient = g;
    paint.PaintTransform = transform;
    return paint;
}
