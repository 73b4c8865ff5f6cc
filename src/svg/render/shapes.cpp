#include "svg/render/shapes.h"

#include "svg/model/shapes.h"

namespace {

// A subpath that never leaves its start still shows its round or square caps in SVG; a
// hair of length along the x axis lets the stroker draw them in that direction.
constexpr qreal kZeroLength = 1e-3;

// The engine's path as a QPainterPath. Zero-length segments are kept as a hair, since
// QPainterPath drops a line to the point it stands on.
QPainterPath ToPainterPath(const TPathData &data, Qt::FillRule rule)
{
    QPainterPath out;
    out.setFillRule(rule);
    const std::vector<TPathPoint> &points = data.Points();
    QPointF start;
    bool segment = false, moved = false;
    auto endSubpath = [&]() {
        if (segment && !moved)
            out.lineTo(start + QPointF(kZeroLength, 0));
    };
    for (size_t i = 0; i < points.size(); ++i) {
        const TPathPoint &p = points[i];
        const QPointF pt(p.Point.X, p.Point.Y);
        switch (p.Kind) {
        case TPathPointKind::MoveTo:
            endSubpath();
            out.moveTo(pt);
            start = pt;
            segment = moved = false;
            break;
        case TPathPointKind::LineTo:
            out.lineTo(pt);
            segment = true;
            moved = moved || pt != start;
            break;
        case TPathPointKind::CurveTo:
            if (i + 2 < points.size()) {
                const QPointF c2(points[i + 1].Point.X, points[i + 1].Point.Y);
                const QPointF e(points[i + 2].Point.X, points[i + 2].Point.Y);
                out.cubicTo(pt, c2, e);
                segment = true;
                moved = moved || pt != start || c2 != start || e != start;
                i += 2;
            }
            break;
        case TPathPointKind::Close:
            segment = true;  // "M x y Z" is a zero-length subpath too
            endSubpath();
            out.closeSubpath();
            segment = moved = false;
            break;
        }
    }
    endSubpath();
    return out;
}

QPainterPath Ellipse(float cx, float cy, float rx, float ry)
{
    QPainterPath p;
    if (rx > 0 && ry > 0)
        p.addEllipse(QPointF(cx, cy), rx, ry);
    return p;
}

} // namespace

bool SVGShapeOutline(const TSVGGraphicElement &element, QPainterPath &outline)
{
    outline = QPainterPath();
    switch (element.SVGType()) {
    case etCircle: {
        const auto &c = static_cast<const TSVGCircle &>(element);
        outline = Ellipse(c.X(), c.Y(), c.Radius(), c.Radius());
        return true;
    }
    case etEllipse: {
        const auto &e = static_cast<const TSVGEllipse &>(element);
        float rx = e.Width(), ry = e.Height();
        // A missing or negative (invalid) radius takes the other's value (auto).
        QString text;
        const bool hasRx = e.XMLAttribute(u"rx", text) && rx >= 0;
        const bool hasRy = e.XMLAttribute(u"ry", text) && ry >= 0;
        if (hasRx && !hasRy)
            ry = rx;
        else if (hasRy && !hasRx)
            rx = ry;
        outline = Ellipse(e.X(), e.Y(), rx, ry);
        return true;
    }
    case etRectangle: {
        const auto &r = static_cast<const TSVGRectangle &>(element);
        const QRectF box(r.X(), r.Y(), r.Width(), r.Height());
        if (!(box.width() > 0) || !(box.height() > 0))
            return true;
        const float rx = std::clamp<float>(r.RX(), 0, float(box.width() / 2));
        const float ry = std::clamp<float>(r.RY(), 0, float(box.height() / 2));
        if (rx > 0 && ry > 0)
            outline.addRoundedRect(box, rx, ry, Qt::AbsoluteSize);
        else
            outline.addRect(box);
        return true;
    }
    case etLine: {
        const auto &l = static_cast<const TSVGLine &>(element);
        const QPointF a(l.StartX(), l.StartY()), b(l.EndX(), l.EndY());
        outline.moveTo(a);
        outline.lineTo(a == b ? a + QPointF(kZeroLength, 0) : b);
        return true;
    }
    case etPolyline:
    case etPolygon: {
        const auto &p = static_cast<const TSVGPolyline &>(element);
        const QList<QPointF> &points = p.Points();
        if (points.size() < 2)
            return true;
        outline.moveTo(points.front());
        for (qsizetype i = 1; i < points.size(); ++i)
            outline.lineTo(points[i]);
        if (element.SVGType() == etPolygon)
            outline.closeSubpath();
        return true;
    }
    case etPath: {
        const auto &p = static_cast<const TSVGPath &>(element);
        if (!p.Path().IsEmpty())
            outline = ToPainterPath(p.Path(), Qt::WindingFill);
        return true;
    }
    default:
        return false;
    }
}
