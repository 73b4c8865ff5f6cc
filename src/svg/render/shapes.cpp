#include "svg/render/shapes.h"

#include "svg/model/shapes.h"

namespace {

// A line to where it starts is drawn as a hair along x, as SVGPainterPath draws every
// zero-length subpath, so that its caps still show.
constexpr qreal kZeroLength = 1e-3;

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
            outline = SVGPainterPath(p.Path(), Qt::WindingFill);
        return true;
    }
    default:
        return false;
    }
}
