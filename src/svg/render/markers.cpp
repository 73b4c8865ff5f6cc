#include "svg/render/markers.h"

#include "svg/model/dom/document.h"
#include "svg/model/dom/marker.h"
#include "svg/model/dom/shapes.h"
#include "svg/render/draw.h"
#include "svg/render/paint.h"
#include "svg/render/shapes.h"

#include <QRegularExpression>
#include <cmath>
#include <numbers>

namespace {

// Below this a segment counts as having no length, hence no direction.
constexpr double kNoLength = 1e-9;

std::optional<QPointF> Direction(const QPointF &from, const QPointF &to)
{
    const QPointF d = to - from;
    if (std::abs(d.x()) <= kNoLength && std::abs(d.y()) <= kNoLength)
        return std::nullopt;
    return d;
}

std::optional<QPointF> FirstOf(std::optional<QPointF> a, std::optional<QPointF> b,
                               std::optional<QPointF> c)
{
    return a ? a : b ? b : c;
}

class TVertexBuilder {
public:
    void MoveTo(const QPointF &p)
    {
        FOut.push_back({p, std::nullopt, std::nullopt});
        FStart = FOut.size() - 1;
        FCurrent = p;
        FOpen = true;
    }
    void LineTo(const QPointF &p)
    {
        const auto d = Direction(FCurrent, p);
        Segment(d, d, p);
    }
    void CurveTo(const QPointF &c1, const QPointF &c2, const QPointF &p)
    {
        Segment(FirstOf(Direction(FCurrent, c1), Direction(FCurrent, c2), Direction(FCurrent, p)),
                FirstOf(Direction(c2, p), Direction(c1, p), Direction(FCurrent, p)), p);
    }
    void Close()
    {
        if (!FOpen)
            return;
        const QPointF start = FOut[FStart].Point;
        const auto d = Direction(FCurrent, start);
        const std::optional<QPointF> firstOut = FOut[FStart].Out;
        Segment(d, d, start);
        // A closed subpath runs on through its start: the return arrives along the closing
        // segment and leaves along the first one.
        FOut.back().Out = firstOut;
        if (d)
            FOut[FStart].In = d;
        // A segment after the close starts a new subpath at the same point.
        FStart = FOut.size() - 1;
    }
    // A quarter of an ellipse between two of its axis points, as a cubic.
    void QuarterTo(const QPointF &center, const QPointF &p)
    {
        constexpr double k = 0.5522847498;
        CurveTo(FCurrent + k * (p - center), p + k * (FCurrent - center), p);
    }
    std::vector<TSVGMarkerVertex> Take() { return std::move(FOut); }

private:
    void Segment(std::optional<QPointF> startDir, std::optional<QPointF> endDir, const QPointF &p)
    {
        if (FOut.empty())
            MoveTo(FCurrent);
        if (startDir)
            FOut.back().Out = startDir;
        FOut.push_back({p, endDir, std::nullopt});
        FCurrent = p;
    }

    std::vector<TSVGMarkerVertex> FOut;
    size_t FStart = 0;
    QPointF FCurrent;
    bool FOpen = false;
};

struct TOrient {
    bool Auto = false;
    bool StartReverse = false;
    float Angle = 0;  // radians
};

// `orient` as written: the model keeps no trace of auto-start-reverse, nor of turns.
TOrient ReadOrient(const TSVGMarker &marker)
{
    TOrient o;
    QString text;
    if (!marker.XMLAttribute(u"orient", text))
        return o;
    text = text.trimmed();
    if (text == QLatin1String("auto")) {
        o.Auto = true;
        return o;
    }
    if (text == QLatin1String("auto-start-reverse")) {
        o.Auto = o.StartReverse = true;
        return o;
    }
    static const QRegularExpression angle(QStringLiteral(
        "^([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)\\s*(deg|rad|grad|turn)?$"));
    const QRegularExpressionMatch m = angle.match(text);
    if (!m.hasMatch())
        return o;
    double v = m.captured(1).toDouble();
    const QString unit = m.captured(2);
    if (unit == QLatin1String("grad"))
        v *= std::numbers::pi / 200.0;
    else if (unit == QLatin1String("turn"))
        v *= 2 * std::numbers::pi;
    else if (unit != QLatin1String("rad"))
        v *= std::numbers::pi / 180.0;
    if (std::isfinite(v))
        o.Angle = float(std::fmod(v, 2 * std::numbers::pi));
    return o;
}

TSVGMarker *FindMarker(const TSVGGraphicElement &element, const QString &uri)
{
    if (uri.isEmpty())
        return nullptr;
    const TSVGDocument *doc = element.Document();
    return doc ? dynamic_cast<TSVGMarker *>(doc->FindElement(uri)) : nullptr;
}

bool TakesMarkers(const TSVGGraphicElement &element)
{
    switch (element.SVGType()) {
    case etPath:
    case etLine:
    case etPolyline:
    case etPolygon:
    case etRectangle:
    case etCircle:
    case etEllipse:
        return true;
    default:
        return false;
    }
}

// A percentage of refX or refY is taken of the viewport the marked element is drawn in,
// as the marker's width and height are.
float RefCoordinate(const TSVGMarker &marker, QStringView name, float value,
                    const TSVGGraphicElement &element, TSVGAxis axis)
{
    QString text;
    if (!marker.XMLAttribute(name, text) || !text.trimmed().endsWith(QLatin1Char('%')))
        return value;
    bool ok = false;
    const double percent = text.trimmed().chopped(1).toDouble(&ok);
    return ok && std::isfinite(percent) ? element.ResolvePercent(float(percent / 100), true, axis) : value;
}

void DrawMarker(TSVGPainter &painter, const TSVGGraphicElement &element, TSVGMarker &marker,
                const QPointF &at, float angle, float strokeWidth, const TMatrix &M)
{
    if (marker.ViewBoxDisablesRendering())
        return;
    const float w = element.ResolvePercent(marker.MarkerWidthLength(), TSVGAxis::Horizontal);
    const float h = element.ResolvePercent(marker.MarkerHeightLength(), TSVGAxis::Vertical);
    if (!(w > 0) || !(h > 0))
        return;
    // The marker counts itself: a million vertices are a million drawings, even of
    // an empty marker.
    const TSVGPainter::TReferenceScope referenced(painter);
    const TSVGPainter::TContextScope context(painter, element);
    painter.SpendReferenceBudget();
    const float scale = marker.Units() == muUserSpaceOnUse ? 1.0f : strokeWidth;
    if (!(scale > 0) || !std::isfinite(scale))
        return;
    const QRectF viewport(0, 0, w, h);
    const TMatrix content = SVGViewBoxMatrix(marker, viewport);
    const QPointF ref = content.Map(QPointF(RefCoordinate(marker, u"refX", marker.RefX(), element, TSVGAxis::Horizontal),
                                            RefCoordinate(marker, u"refY", marker.RefY(), element, TSVGAxis::Vertical)));
    const TMatrix place = TMatrix::CreateTranslation(float(-ref.x()), float(-ref.y())) *
                          TMatrix::CreateScaling(scale, scale) * TMatrix::CreateRotation(angle) *
                          TMatrix::CreateTranslation(float(at.x()), float(at.y())) * M;
    TSVGCanvas &canvas = painter.Canvas();
    const int state = canvas.SaveState();
    try {
        if (SVGClipsToViewport(marker)) {
            canvas.SetMatrix(place);
            QPainterPath clip;
            clip.addRect(viewport);
            canvas.ClipPath(clip);
        }
        painter.DoDraw(marker, content * place);
    } catch (...) {
        canvas.RestoreState(state);
        throw;
    }
    canvas.RestoreState(state);
}

} // namespace

std::vector<TSVGMarkerVertex> SVGMarkerVertices(const TSVGGraphicElement &element)
{
    TVertexBuilder b;
    switch (element.SVGType()) {
    case etLine: {
        const auto &l = static_cast<const TSVGLine &>(element);
        b.MoveTo(QPointF(l.StartX(), l.StartY()));
        b.LineTo(QPointF(l.EndX(), l.EndY()));
        break;
    }
    case etPolyline:
    case etPolygon: {
        const QList<QPointF> &points = static_cast<const TSVGPolyline &>(element).Points();
        if (points.size() < 2)
            break;
        b.MoveTo(points.front());
        for (qsizetype i = 1; i < points.size(); ++i)
            b.LineTo(points[i]);
        if (element.SVGType() == etPolygon)
            b.Close();
        break;
    }
    // Basic shapes take markers where their equivalent paths (SVG 2) have vertices: a
    // rect from (x + rx, y) clockwise, an ellipse from (cx + rx, cy) clockwise, each
    // closed at the end.
    case etRectangle: {
        QRectF r;
        QSizeF radii;
        if (!SVGRectGeometry(static_cast<const TSVGRectangle &>(element), r, radii))
            break;
        const double rx = radii.width(), ry = radii.height();
        const bool round = rx > 0 && ry > 0;
        auto corner = [&](double cx, double cy, const QPointF &to) {
            if (round)
                b.QuarterTo(QPointF(cx, cy), to);
        };
        b.MoveTo(QPointF(r.left() + (round ? rx : 0), r.top()));
        b.LineTo(QPointF(r.right() - (round ? rx : 0), r.top()));
        corner(r.right() - rx, r.top() + ry, QPointF(r.right(), r.top() + ry));
        b.LineTo(QPointF(r.right(), r.bottom() - (round ? ry : 0)));
        corner(r.right() - rx, r.bottom() - ry, QPointF(r.right() - rx, r.bottom()));
        b.LineTo(QPointF(r.left() + (round ? rx : 0), r.bottom()));
        corner(r.left() + rx, r.bottom() - ry, QPointF(r.left(), r.bottom() - ry));
        b.LineTo(QPointF(r.left(), r.top() + (round ? ry : 0)));
        corner(r.left() + rx, r.top() + ry, QPointF(r.left() + rx, r.top()));
        b.Close();
        break;
    }
    case etCircle:
    case etEllipse: {
        QPointF c;
        QSizeF radii;
        if (!SVGEllipseGeometry(element, c, radii))
            break;
        const double rx = radii.width(), ry = radii.height();
        b.MoveTo(c + QPointF(rx, 0));
        b.QuarterTo(c, c + QPointF(0, ry));
        b.QuarterTo(c, c + QPointF(-rx, 0));
        b.QuarterTo(c, c + QPointF(0, -ry));
        b.QuarterTo(c, c + QPointF(rx, 0));
        b.Close();
        break;
    }
    case etPath: {
        const std::vector<TPathPoint> &points = static_cast<const TSVGPath &>(element).Path().Points();
        auto at = [&](size_t i) { return QPointF(points[i].Point.X, points[i].Point.Y); };
        for (size_t i = 0; i < points.size(); ++i) {
            switch (points[i].Kind) {
            case TPathPointKind::MoveTo:
                b.MoveTo(at(i));
                break;
            case TPathPointKind::LineTo:
                b.LineTo(at(i));
                break;
            case TPathPointKind::CurveTo:
                if (i + 2 < points.size()) {
                    b.CurveTo(at(i), at(i + 1), at(i + 2));
                    i += 2;
                }
                break;
            case TPathPointKind::Close:
                b.Close();
                break;
            }
        }
        break;
    }
    default:
        break;
    }
    return b.Take();
}

float SVGMarkerAngle(const TSVGMarkerVertex &v)
{
    auto unit = [](const QPointF &d) { return d / std::hypot(d.x(), d.y()); };
    QPointF d;
    if (v.In && v.Out) {
        d = unit(*v.In) + unit(*v.Out);
        // Opposite directions cancel; the marker then faces across the turn.
        if (std::abs(d.x()) <= kNoLength && std::abs(d.y()) <= kNoLength)
            d = QPointF(-v.In->y(), v.In->x());
    } else if (v.In) {
        d = *v.In;
    } else if (v.Out) {
        d = *v.Out;
    } else {
        return 0;
    }
    return float(std::atan2(d.y(), d.x()));
}

bool SVGHasMarkers(const TSVGGraphicElement &element)
{
    if (!TakesMarkers(element))
        return false;
    return FindMarker(element, element.MarkerStartURI()) || FindMarker(element, element.MarkerMidURI()) ||
           FindMarker(element, element.MarkerEndURI());
}

void SVGDrawMarkers(TSVGPainter &painter, TSVGGraphicElement &element, const TMatrix &M)
{
    if (!TakesMarkers(element))
        return;
    TSVGMarker *start = FindMarker(element, element.MarkerStartURI());
    TSVGMarker *mid = FindMarker(element, element.MarkerMidURI());
    TSVGMarker *end = FindMarker(element, element.MarkerEndURI());
    if (!start && !mid && !end)
        return;
    const std::vector<TSVGMarkerVertex> vertices = SVGMarkerVertices(element);
    if (vertices.empty())
        return;
    const float strokeWidth = SVGStrokeWidth(element, SVGEffectiveStroke(element));
    auto draw = [&](TSVGMarker *marker, const TSVGMarkerVertex &v, bool isStart) {
        if (!marker)
            return;
        const TOrient o = ReadOrient(*marker);
        float angle = o.Angle;
        if (o.Auto) {
            angle = SVGMarkerAngle(v);
            if (isStart && o.StartReverse)
                angle += float(std::numbers::pi);
        }
        DrawMarker(painter, element, *marker, v.Point, angle, strokeWidth, M);
    };
    // The ends of a path turn along its first and last segments that have a length, even
    // where the path closes on itself.
    TSVGMarkerVertex first = vertices.front(), last = vertices.back();
    for (size_t i = 0; !first.Out && i < vertices.size() && vertices[i].Point == first.Point; ++i)
        first.Out = vertices[i].Out;
    for (size_t i = vertices.size(); !last.In && i-- > 0 && vertices[i].Point == last.Point;)
        last.In = vertices[i].In;
    if (first.Out)
        first.In.reset();
    if (last.In)
        last.Out.reset();
    draw(start, first, true);
    for (size_t i = 1; i + 1 < vertices.size(); ++i)
        draw(mid, vertices[i], false);
    if (vertices.size() > 1)
        draw(end, last, false);
}
