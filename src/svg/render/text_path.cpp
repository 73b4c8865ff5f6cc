#include "svg/render/text_path.h"

#include "svg/model/dom/document.h"
#include "svg/render/shapes.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

// Points at most, flattened, that text is laid along.
constexpr qsizetype kMaxPathPoints = 1 << 20;
// Curves are flattened as if the path were this many units across at least: the flattener
// works to a fixed tolerance in units, which a path a few units wide (text scaled up by a
// transform) would turn into a handful of chords with glyphs visibly off the curve.
constexpr double kFlattenExtent = 4096;

QPainterPath Geometry(const TSVGText &textPath)
{
    QPainterPath out;
    QString v;
    if (!textPath.XMLAttribute(u"href", v))
        return out;
    const TSVGDocument *doc = textPath.Document();
    const QString ref = v.trimmed();
    const auto *target = doc && ref.startsWith(QLatin1Char('#'))
                             ? dynamic_cast<const TSVGGraphicElement *>(doc->FindElement(ref.mid(1)))
                             : nullptr;
    if (!target || !SVGShapeOutline(*target, out))
        return QPainterPath();
    return target->Matrix().ToQTransform().map(out);
}

} // namespace

TSVGTextPathGeometry::TSVGTextPathGeometry(const TSVGText &textPath)
{
    const QPainterPath path = Geometry(textPath);
    const QRectF box = path.controlPointRect();
    const double extent = std::max(box.width(), box.height());
    const double scale = extent > 0 && extent < kFlattenExtent ? kFlattenExtent / extent : 1.0;
    QList<QPolygonF> polygons = QTransform::fromScale(scale, scale).map(path).toSubpathPolygons();
    QString side;
    if (textPath.XMLAttribute(u"side", side) && side.trimmed() == QLatin1String("right")) {
        std::reverse(polygons.begin(), polygons.end());
        for (QPolygonF &p : polygons)
            std::reverse(p.begin(), p.end());
    }
    for (const QPolygonF &polygon : polygons) {
        bool first = true;
        for (const QPointF &scaled : polygon) {
            if (qsizetype(FPoints.size()) >= kMaxPathPoints)
                return;
            const QPointF p = scaled / scale;
            if (!first)
                FLength += std::hypot(p.x() - FPoints.back().x(), p.y() - FPoints.back().y());
            FPoints.push_back(p);
            FAlong.push_back(FLength);
            FStarts.push_back(first);
            first = false;
        }
    }
}

bool TSVGTextPathGeometry::At(double s, QPointF &point, double &angle) const
{
    if (!Valid() || !(s >= 0 && s <= FLength))
        return false;
    size_t i = size_t(std::upper_bound(FAlong.begin(), FAlong.end(), s) - FAlong.begin());
    i = std::clamp<size_t>(i, 1, FPoints.size() - 1);
    // A point where several coincide (a curve's end, a zero-length chord) has its direction
    // from the next chord that goes somewhere.
    while (i + 1 < FPoints.size() && (FStarts[i] || FAlong[i] == FAlong[i - 1]))
        ++i;
    const QPointF a = FPoints[i - 1], b = FPoints[i];
    const double span = FAlong[i] - FAlong[i - 1];
    const double t = span > 0 ? std::clamp((s - FAlong[i - 1]) / span, 0.0, 1.0) : 0;
    point = a + (b - a) * t;
    angle = std::atan2(b.y() - a.y(), b.x() - a.x()) * 180 / M_PI;
    return true;
}
