#include "svg/render/shapes.h"

#include "svg/model/dom/shapes.h"

namespace {

// A line to where it starts is drawn as a hair along x, as SVGPainterPath draws every
// zero-length subpath, so that its caps still show.
constexpr qreal kZeroLength = 1e-3;

} // namespace

bool SVGEllipseGeometry(const TSVGGraphicElement &element, QPointF &center, QSizeF &radii)
{
    if (element.SVGType() == etCircle) {
        const auto &c = static_cast<const TSVGCircle &>(element);
        center = QPointF(c.X(), c.Y());
        radii = QSizeF(c.Radius(), c.Radius());
    } else if (element.SVGType() == etEllipse) {
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
        center = QPointF(e.X(), e.Y());
        radii = QSizeF(rx, ry);
    } else {
        return false;
    }
    return radii.width() > 0 && radii.height() > 0;
}

bool SVGRectGeometry(const TSVGRectangle &rect, QRectF &box, QSizeF &radii)
{
    box = QRectF(rect.X(), rect.Y(), rect.Width(), rect.Height());
    if (!(box.width() > 0) || !(box.height() > 0))
        return false;
    radii = QSizeF(std::clamp<float>(rect.RX(), 0, float(box.width() / 2)),
                   std::clamp<float>(rect.RY(), 0, float(box.height() / 2)));
    return true;
}

bool SVGShapeOutline(const TSVGGraphicElement &element, QPainterPath &outline)
{
    outline = QPainterPath();
    switch (element.SVGType()) {
    case etCircle:
    case etEllipse: {
        QPointF center;
        QSizeF radii;
        if (SVGEllipseGeometry(element, center, radii))
            outline.addEllipse(center, radii.width(), radii.height());
        return true;
    }
    case etRectangle: {
        QRectF box;
        QSizeF radii;
        if (!SVGRectGeometry(static_cast<const TSVGRectangle &>(element), box, radii))
            return true;
        if (radii.width() > 0 && radii.height() > 0)
            outline.addRoundedRect(box, radii.width(), radii.height(), Qt::AbsoluteSize);
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
