#pragma once
// The engine's path: an ordered list of points of four kinds (move, line, cubic curve,
// close) in single precision. A cubic curve occupies three consecutive CurveTo points:
// first control point, second control point, end point. A Close point carries the
// position of the start of its subpath, so the last point is always the current point.
//
// TPathData is the plain container; TRSPathData adds change notification with nestable
// update brackets, the fill mode, the SVG path-data text behind Data, and the copying
// and polygon helpers the element tree and the drawing code use.

#include "svg/model/values/matrix.h"
#include "svg/model/path/point.h"

#include <QList>
#include <QPainterPath>
#include <QPolygon>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>
#include <span>
#include <vector>

enum class TPathPointKind : quint8 { MoveTo, LineTo, CurveTo, Close };

struct TPathPoint {
    TPathPointKind Kind = TPathPointKind::MoveTo;
    TPointF Point;

    friend bool operator==(const TPathPoint &, const TPathPoint &) = default;
};

enum TRSFillMode : quint8 { fmEvenOdd, fmNonZero };

class TPathData {
public:
    TPathData() = default;
    TPathData(const TPathData &Source) = default;
    // Assignment is Assign: the points are replaced and one change is reported.
    TPathData &operator=(const TPathData &Source);
    virtual ~TPathData() = default;

    // Replaces the points (and the subpath start) by those of Source.
    void Assign(const TPathData &Source);

    int Count() const { return int(FPoints.size()); }
    bool IsEmpty() const { return FPoints.empty(); }
    // Raises EArgumentOutOfRange for an index outside 0 .. Count - 1.
    const TPathPoint &GetPoint(int Index) const;
    const std::vector<TPathPoint> &Points() const { return FPoints; }

    // Position of the last point; (0, 0) for an empty path.
    TPointF LastPoint() const;
    // Start of the current subpath: the position of the last MoveTo.
    TPointF SubpathStart() const { return FStartPoint; }

    // Appends one point as given (a MoveTo also starts a subpath). Lets callers build
    // any point sequence, including a curve that lacks its companions.
    void AddPoint(TPathPointKind Kind, TPointF P);

    void MoveTo(TPointF P);
    void LineTo(TPointF P);
    void CurveTo(TPointF C1, TPointF C2, TPointF E);
    void ClosePath();
    void HLineTo(float X);
    void VLineTo(float Y);

    // The relative forms add LastPoint to every point they are given.
    void MoveToRel(TPointF P);
    void LineToRel(TPointF P);
    void CurveToRel(TPointF C1, TPointF C2, TPointF E);
    void HLineToRel(float X);
    void VLineToRel(float Y);

    // Fewer than three points: the first control point is C2; otherwise it is the
    // reflection of the second-to-last point about LastPoint, whatever its kind.
    virtual void SmoothCurveTo(TPointF C2, TPointF E);
    virtual void SmoothCurveToRel(TPointF C2, TPointF E);

    void Clear();

    // Minimum and maximum over all points except Close points, control points
    // included; (0, 0, 0, 0) when empty; a zero width or height becomes 0.001.
    QRectF GetBounds() const;
    // Maps every point through M (row-vector convention), Close points included so
    // that they keep carrying their subpath's start.
    void ApplyMatrix(const TMatrix &M);

    // An ellipse inscribed in R: a MoveTo, four quarter curves and a Close.
    void AddEllipse(const QRectF &R);
    // A rectangle with elliptical corners of radii (RX, RY), clockwise from the top
    // edge; radii are limited to half the width and height.
    void AddRectangle(const QRectF &R, float RX = 0, float RY = 0);
    // Replaces every curve by line segments that stay within Tolerance of it.
    void Flatten(float Tolerance = 0.25f);

    // Textual form: "M x,y " / "L x,y " / "C x1,y1 x2,y2 x3,y3 " / "Z ", each
    // coordinate with 15 significant digits and "." as decimal point.
    QString ToString() const;

protected:
    // Called after every change of the points.
    virtual void Changed() {}

private:
    void Append1(TPathPointKind Kind, TPointF P) { FPoints.push_back({Kind, P}); }

    std::vector<TPathPoint> FPoints;
    TPointF FStartPoint;
};

// The path as the canvas draws it, the one conversion for drawing, hit testing and
// polygons. A subpath that never leaves its start (M x y Z, a line or curve to where it
// stands) keeps a hair of length 0.001 along x, since SVG still shows its round or square
// caps and QPainterPath would drop it. A curve without its two companion points (only a
// caller of AddPoint makes one) ends the path there, as SVG draws path data up to its
// first error; what comes before is drawn.
QPainterPath SVGPainterPath(const TPathData &Data, Qt::FillRule Rule);

class TRSPathData : public TPathData {
public:
    using TChangeEvent = std::function<void(TRSPathData *Sender)>;

    TRSPathData() = default;
    explicit TRSPathData(const QString &PathData);
    // A copy takes the points and the fill mode, never the change handler.
    TRSPathData(const TRSPathData &Source);
    TRSPathData &operator=(const TRSPathData &Source);

    // A new path with the same points (Assign).
    std::unique_ptr<TRSPathData> Clone() const;

    // Nestable; the change event is held back while a bracket is open and fired once
    // when the outermost one closes.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    const TChangeEvent &OnChanged() const { return FOnChanged; }
    void SetOnChanged(TChangeEvent Handler) { FOnChanged = std::move(Handler); }

    // The fill rule used when the path is filled; a new path has fmEvenOdd.
    TRSFillMode FillMode() const { return FFillMode; }
    void SetFillMode(TRSFillMode Value) { FFillMode = Value; }

    // Getter: the textual form. Setter: the SVG path-data parser (one change event;
    // malformed data never raises, the path keeps what was read before the fault).
    QString Data() const { return ToString(); }
    void SetData(const QString &Value);

    // MoveTo the first point, LineTo the others, and ClosePath when the last point
    // equals the first; nothing for an empty array. One update.
    void AddPolygon(const QPolygon &Poly);
    void AddPolygon(const QPolygonF &Poly);
    void AddPolygon(std::span<const TPointF> Poly);
    void AddPolygons(const QList<QPolygon> &Polys);
    void AddPolygons(const QList<QPolygonF> &Polys);

    // Becomes a copy of Source when empty, else replays Source's points in one update.
    // A CurveTo point without its two companions raises "Path Copying Error".
    void Append(const TPathData &Source);
    void Append(const QString &PathString);
    // Replays this path's points into Dest (not cleared first), as Append does.
    void AssignTo(TPathData &Dest) const;

    // With two points or fewer the first control point is the current point.
    void SmoothCurveTo(TPointF C2, TPointF E) override;
    void SmoothCurveToRel(TPointF C2, TPointF E) override;

    // SVGPainterPath with the fill mode as its fill rule.
    QPainterPath ToQPainterPath() const;
    // One flattened polygon per subpath.
    QList<QPolygonF> ToPolygons() const;
    bool PointInPath(const QPointF &P) const;
    bool PointInPath(float X, float Y) const { return PointInPath(QPointF(X, Y)); }

protected:
    void Changed() override;

private:
    TChangeEvent FOnChanged;
    int FUpdateCount = 0;
    TRSFillMode FFillMode = fmEvenOdd;
};
