#include "svg/model/path/path_data.h"

#include "errors/errors.h"
#include "svg/model/path/path_arc.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

TPathData &TPathData::operator=(const TPathData &Source)
{
    Assign(Source);
    return *this;
}

void TPathData::Assign(const TPathData &Source)
{
    if (&Source != this) {
        FPoints = Source.FPoints;
        FStartPoint = Source.FStartPoint;
    }
    Changed();
}

const TPathPoint &TPathData::GetPoint(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EArgumentOutOfRange();
    return FPoints[size_t(Index)];
}

TPointF TPathData::LastPoint() const
{
    return FPoints.empty() ? TPointF() : FPoints.back().Point;
}

void TPathData::AddPoint(TPathPointKind Kind, TPointF P)
{
    if (Kind == TPathPointKind::MoveTo)
        FStartPoint = P;
    Append1(Kind, P);
    Changed();
}

void TPathData::MoveTo(TPointF P)
{
    AddPoint(TPathPointKind::MoveTo, P);
}

void TPathData::LineTo(TPointF P)
{
    AddPoint(TPathPointKind::LineTo, P);
}

void TPathData::CurveTo(TPointF C1, TPointF C2, TPointF E)
{
    Append1(TPathPointKind::CurveTo, C1);
    Append1(TPathPointKind::CurveTo, C2);
    Append1(TPathPointKind::CurveTo, E);
    Changed();
}

void TPathData::ClosePath()
{
    AddPoint(TPathPointKind::Close, FStartPoint);
}

void TPathData::HLineTo(float X)
{
    LineTo({X, LastPoint().Y});
}

void TPathData::VLineTo(float Y)
{
    LineTo({LastPoint().X, Y});
}

void TPathData::MoveToRel(TPointF P)
{
    MoveTo(LastPoint() + P);
}

void TPathData::LineToRel(TPointF P)
{
    LineTo(LastPoint() + P);
}

void TPathData::CurveToRel(TPointF C1, TPointF C2, TPointF E)
{
    const TPointF L = LastPoint();
    CurveTo(L + C1, L + C2, L + E);
}

void TPathData::HLineToRel(float X)
{
    LineToRel({X, 0});
}

void TPathData::VLineToRel(float Y)
{
    LineToRel({0, Y});
}

void TPathData::SmoothCurveTo(TPointF C2, TPointF E)
{
    TPointF C1 = C2;
    if (Count() >= 3)
        C1 = LastPoint() * 2 - FPoints[FPoints.size() - 2].Point;
    CurveTo(C1, C2, E);
}

void TPathData::SmoothCurveToRel(TPointF C2, TPointF E)
{
    TPointF C1 = C2;
    if (Count() >= 3)
        C1 = LastPoint() - FPoints[FPoints.size() - 2].Point;
    CurveToRel(C1, C2, E);
}

void TPathData::Clear()
{
    FPoints.clear();
    FStartPoint = TPointF();
    Changed();
}

QRectF TPathData::GetBounds() const
{
    bool any = false;
    float l = 0, t = 0, r = 0, b = 0;
    for (const TPathPoint &p : FPoints) {
        if (p.Kind == TPathPointKind::Close)
            continue;
        if (!any) {
            l = r = p.Point.X;
            t = b = p.Point.Y;
            any = true;
            continue;
        }
        l = std::min(l, p.Point.X);
        r = std::max(r, p.Point.X);
        t = std::min(t, p.Point.Y);
        b = std::max(b, p.Point.Y);
    }
    if (!any)
        return QRectF();
    // A straight horizontal or vertical path still needs an extent to map gradients onto.
    if (r - l == 0)
        r = l + 0.001f;
    if (b - t == 0)
        b = t + 0.001f;
    return QRectF(QPointF(l, t), QPointF(r, b));
}

void TPathData::ApplyMatrix(const TMatrix &M)
{
    auto map = [&M](TPointF p) {
        return TPointF(p.X * M.m11 + p.Y * M.m21 + M.m31, p.X * M.m12 + p.Y * M.m22 + M.m32);
    };
    // Close points are mapped too: they carry their subpath's start, and LastPoint of a
    // closed path must stay the mapped start for whatever is appended next.
    for (TPathPoint &p : FPoints)
        p.Point = map(p.Point);
    FStartPoint = map(FStartPoint);
    Changed();
}

void TPathData::AddEllipse(const QRectF &R)
{
    const TPointF c(float(R.center().x()), float(R.center().y()));
    const TPointF r(float(R.width() / 2), float(R.height() / 2));
    MoveTo({c.X + r.X, c.Y});
    AddArcPieces(*this, c, r, 0, 2 * std::numbers::pi);
    ClosePath();
}

void TPathData::AddRectangle(const QRectF &R, float RX, float RY)
{
    const QRectF n = R.normalized();
    const float l = float(n.left()), t = float(n.top()), r = float(n.right()),
                b = float(n.bottom());
    RX = std::clamp(RX, 0.0f, (r - l) / 2);
    RY = std::clamp(RY, 0.0f, (b - t) / 2);
    if (RX <= 0 || RY <= 0) {
        MoveTo({l, t});
        LineTo({r, t});
        LineTo({r, b});
        LineTo({l, b});
        ClosePath();
        return;
    }
    constexpr double quarter = std::numbers::pi / 2;
    const TPointF radii(RX, RY);
    auto lineTo = [this](TPointF p) {
        if (!(LastPoint() == p))
            LineTo(p);
    };
    MoveTo({l + RX, t});
    lineTo({r - RX, t});
    AddArcPieces(*this, {r - RX, t + RY}, radii, -quarter, quarter);
    lineTo({r, b - RY});
    AddArcPieces(*this, {r - RX, b - RY}, radii, 0, quarter);
    lineTo({l + RX, b});
    AddArcPieces(*this, {l + RX, b - RY}, radii, quarter, quarter);
    lineTo({l, t + RY});
    AddArcPieces(*this, {l + RX, t + RY}, radii, 2 * quarter, quarter);
    ClosePath();
}

void TPathData::Flatten(float Tolerance)
{
    if (!(Tolerance > 0))
        Tolerance = 0.25f;
    std::vector<TPathPoint> out;
    out.reserve(FPoints.size());
    TPointF current;
    for (size_t i = 0; i < FPoints.size(); ++i) {
        const TPathPoint &p = FPoints[i];
        if (p.Kind != TPathPointKind::CurveTo || i + 2 >= FPoints.size()) {
            out.push_back(p.Kind == TPathPointKind::CurveTo
                              ? TPathPoint{TPathPointKind::LineTo, p.Point}
                              : p);
            current = p.Point;
            continue;
        }
        const TPointF p0 = current, p1 = p.Point, p2 = FPoints[i + 1].Point,
                      p3 = FPoints[i + 2].Point;
        // Uniform steps of 1/n keep a cubic within 3/4 * L / n^2 of its chords, L being
        // the largest second difference of the control polygon.
        const TPointF d1 = p0 - p1 * 2 + p2, d2 = p1 - p2 * 2 + p3;
        const double L = std::max(std::hypot(d1.X, d1.Y), std::hypot(d2.X, d2.Y));
        double steps = std::ceil(std::sqrt(0.75 * L / Tolerance));
        if (!(steps >= 1))
            steps = 1;
        const int n = int(std::min(steps, 1000.0));
        for (int k = 1; k < n; ++k) {
            const double s = double(k) / n, u = 1 - s;
            const double w0 = u * u * u, w1 = 3 * u * u * s, w2 = 3 * u * s * s, w3 = s * s * s;
            out.push_back({TPathPointKind::LineTo,
                           TPointF(float(w0 * p0.X + w1 * p1.X + w2 * p2.X + w3 * p3.X),
                                   float(w0 * p0.Y + w1 * p1.Y + w2 * p2.Y + w3 * p3.Y))});
        }
        out.push_back({TPathPointKind::LineTo, p3});
        current = p3;
        i += 2;
    }
    FPoints = std::move(out);
    Changed();
}

namespace {

// General format with 15 significant digits, "." as decimal point, no trailing zeros,
// and an exponent written without "+" or leading zeros ("1E20", "1.5E-7").
void AppendCoordinate(QString &out, float value)
{
    char buf[48];
    const double v = value == 0 ? 0.0 : double(value); // no "-0"
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
    const char *end = res.ptr;
    for (const char *p = buf; p != end; ++p) {
        if (*p != 'e') {
            out.append(QLatin1Char(*p));
            continue;
        }
        out.append(QLatin1Char('E'));
        ++p;
        if (p != end && *p == '-')
            out.append(QLatin1Char(*p++));
        else if (p != end && *p == '+')
            ++p;
        while (p + 1 < end && *p == '0')
            ++p;
        out.append(QLatin1String(p, int(end - p)));
        break;
    }
}

void AppendPair(QString &out, TPointF p)
{
    AppendCoordinate(out, p.X);
    out.append(QLatin1Char(','));
    AppendCoordinate(out, p.Y);
}

} // namespace

QString TPathData::ToString() const
{
    QString out;
    out.reserve(int(FPoints.size()) * 16);
    for (size_t i = 0; i < FPoints.size(); ++i) {
        const TPathPoint &p = FPoints[i];
        switch (p.Kind) {
        case TPathPointKind::MoveTo:
            out.append(QLatin1Char('M'));
            AppendPair(out, p.Point);
            out.append(QLatin1Char(' '));
            break;
        case TPathPointKind::LineTo:
            out.append(QLatin1Char('L'));
            AppendPair(out, p.Point);
            out.append(QLatin1Char(' '));
            break;
        case TPathPointKind::CurveTo:
            // A curve is written as one command with its three points; a truncated
            // curve at the end still shows what it has.
            out.append(QLatin1Char('C'));
            for (size_t k = 0; k < 3 && i + k < FPoints.size(); ++k) {
                AppendPair(out, FPoints[i + k].Point);
                out.append(QLatin1Char(' '));
            }
            i += 2;
            break;
        case TPathPointKind::Close:
            out.append(QLatin1String("Z "));
            break;
        }
    }
    return out;
}

namespace {

// Long enough for the stroker to give a cap its direction, far below a device pixel.
constexpr qreal kZeroLength = 1e-3;

} // namespace

QPainterPath SVGPainterPath(const TPathData &Data, Qt::FillRule Rule)
{
    QPainterPath out;
    out.setFillRule(Rule);
    const std::vector<TPathPoint> &points = Data.Points();
    // One element per point, and a few for closes and zero-length subpaths: growing the
    // element list as it fills was a good part of building a long path.
    out.reserve(int(std::min<size_t>(points.size() + points.size() / 8 + 4, 1u << 24)));
    QPointF start;
    bool segment = false, moved = false;
    auto endSubpath = [&]() {
        if (segment && !moved)
            out.lineTo(start + QPointF(kZeroLength, 0));
    };
    for (size_t i = 0; i < points.size(); ++i) {
        const TPathPoint &p = points[i];
        const QPointF pt = p.Point.ToQPointF();
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
        case TPathPointKind::CurveTo: {
            if (i + 2 >= points.size()) {
                i = points.size();
                break;
            }
            const QPointF c2 = points[i + 1].Point.ToQPointF();
            const QPointF e = points[i + 2].Point.ToQPointF();
            out.cubicTo(pt, c2, e);
            segment = true;
            moved = moved || pt != start || c2 != start || e != start;
            i += 2;
            break;
        }
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
