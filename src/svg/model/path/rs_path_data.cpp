#include "svg/model/path/path_data.h"

#include "errors/errors.h"
#include "svg/model/path/path_parser.h"

namespace {

// Runs Body inside one update bracket of Path; the bracket closes (and reports the
// change) also when Body raises.
template <typename F>
void WithinUpdate(TRSPathData &Path, F &&Body)
{
    Path.BeginUpdate();
    try {
        Body();
    } catch (...) {
        Path.EndUpdate();
        throw;
    }
    Path.EndUpdate();
}

// Replays Points into Dest through its own operations, so that subpath starts and
// change reports are Dest's.
void Replay(const std::vector<TPathPoint> &Points, TPathData &Dest)
{
    for (size_t i = 0; i < Points.size(); ++i) {
        const TPathPoint &p = Points[i];
        switch (p.Kind) {
        case TPathPointKind::MoveTo:
            Dest.MoveTo(p.Point);
            break;
        case TPathPointKind::LineTo:
            Dest.LineTo(p.Point);
            break;
        case TPathPointKind::CurveTo:
            if (i + 2 >= Points.size())
                throw EVuploraError(QStringLiteral("Path Copying Error"));
            Dest.CurveTo(p.Point, Points[i + 1].Point, Points[i + 2].Point);
            i += 2;
            break;
        case TPathPointKind::Close:
            Dest.ClosePath();
            break;
        }
    }
}

} // namespace

TRSPathData::TRSPathData(const QString &PathData)
{
    SetData(PathData);
}

TRSPathData::TRSPathData(const TRSPathData &Source)
    : TPathData(Source), FFillMode(Source.FFillMode)
{
}

TRSPathData &TRSPathData::operator=(const TRSPathData &Source)
{
    FFillMode = Source.FFillMode;
    Assign(Source);
    return *this;
}

std::unique_ptr<TRSPathData> TRSPathData::Clone() const
{
    auto copy = std::make_unique<TRSPathData>();
    copy->Assign(*this);
    return copy;
}

void TRSPathData::EndUpdate()
{
    // An unbalanced EndUpdate must not leave the count negative, or the next bracket
    // would stop holding back change events.
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0 && FOnChanged)
        FOnChanged(this);
}

void TRSPathData::Changed()
{
    if (FUpdateCount <= 0 && FOnChanged)
        FOnChanged(this);
}

void TRSPathData::SetData(const QString &Value)
{
    WithinUpdate(*this, [&] { ParsePathData(*this, QStringView(Value)); });
}

void TRSPathData::AddPolygon(std::span<const TPointF> Poly)
{
    if (Poly.empty())
        return;
    WithinUpdate(*this, [&] {
        MoveTo(Poly.front());
        for (size_t i = 1; i < Poly.size(); ++i)
            LineTo(Poly[i]);
        if (Poly.back() == Poly.front())
            ClosePath();
    });
}

void TRSPathData::AddPolygon(const QPolygonF &Poly)
{
    if (Poly.isEmpty())
        return;
    WithinUpdate(*this, [&] {
        MoveTo(TPointF(Poly.first()));
        for (qsizetype i = 1; i < Poly.size(); ++i)
            LineTo(TPointF(Poly[i]));
        if (Poly.last() == Poly.first())
            ClosePath();
    });
}

void TRSPathData::AddPolygon(const QPolygon &Poly)
{
    if (Poly.isEmpty())
        return;
    WithinUpdate(*this, [&] {
        MoveTo(TPointF(float(Poly.first().x()), float(Poly.first().y())));
        for (qsizetype i = 1; i < Poly.size(); ++i)
            LineTo(TPointF(float(Poly[i].x()), float(Poly[i].y())));
        if (Poly.last() == Poly.first())
            ClosePath();
    });
}

void TRSPathData::AddPolygons(const QList<QPolygon> &Polys)
{
    WithinUpdate(*this, [&] {
        for (const QPolygon &poly : Polys)
            AddPolygon(poly);
    });
}

void TRSPathData::AddPolygons(const QList<QPolygonF> &Polys)
{
    WithinUpdate(*this, [&] {
        for (const QPolygonF &poly : Polys)
            AddPolygon(poly);
    });
}

void TRSPathData::Append(const TPathData &Source)
{
    if (IsEmpty()) {
        Assign(Source);
        return;
    }
    // Appending a path to itself replays a snapshot, not the growing list.
    const std::vector<TPathPoint> snapshot = Source.Points();
    WithinUpdate(*this, [&] { Replay(snapshot, *this); });
}

void TRSPathData::Append(const QString &PathString)
{
    TRSPathData parsed(PathString);
    Append(parsed);
}

void TRSPathData::AssignTo(TPathData &Dest) const
{
    if (&Dest == this) {
        const std::vector<TPathPoint> snapshot = Points();
        Replay(snapshot, Dest);
        return;
    }
    Replay(Points(), Dest);
}

void TRSPathData::SmoothCurveTo(TPointF C2, TPointF E)
{
    if (Count() <= 2)
        CurveTo(LastPoint(), C2, E);
    else
        TPathData::SmoothCurveTo(C2, E);
}

void TRSPathData::SmoothCurveToRel(TPointF C2, TPointF E)
{
    if (Count() <= 2)
        CurveToRel(TPointF(), C2, E);
    else
        TPathData::SmoothCurveToRel(C2, E);
}

QPainterPath TRSPathData::ToQPainterPath() const
{
    return SVGPainterPath(*this, FFillMode == fmNonZero ? Qt::WindingFill : Qt::OddEvenFill);
}

QList<QPolygonF> TRSPathData::ToPolygons() const
{
    return ToQPainterPath().toSubpathPolygons();
}

bool TRSPathData::PointInPath(const QPointF &P) const
{
    return ToQPainterPath().contains(P);
}
