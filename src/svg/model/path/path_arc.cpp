#include "svg/model/path/path_arc.h"

#include "svg/model/path/path_data.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi;

bool SameCoordinate(double a, double b)
{
    return std::abs(a - b) <= 1.25e-6 * std::max(std::abs(a), std::abs(b));
}

double ClampUnit(double v)
{
    return std::clamp(v, -1.0, 1.0);
}

struct TPointD {
    double X, Y;
};

} // namespace

void AddArcPieces(TPathData &Path, TPointF C, TPointF R, double StartAngle, double Sweep)
{
    // Non-finite input would never reach the end of the piece loop.
    if (!std::isfinite(StartAngle) || !std::isfinite(Sweep))
        return;
    double a = StartAngle - 2 * Pi * std::trunc(StartAngle / (2 * Pi));
    const double delta = std::clamp(Sweep, -2 * Pi, 2 * Pi);
    if (std::abs(delta) < 1e-10)
        return;

    auto emitPiece = [&](double w) {
        const double h = w / 2;
        const double B = std::sin(h), Cc = std::cos(h);
        const double X = (1 - Cc) * 4 / 3;
        const double Y = B - X * Cc / B;
        const double ca = std::cos(a + h), sa = std::sin(a + h);
        auto map = [&](double x, double y) {
            return TPointF(float(C.X + R.X * (x * ca - y * sa)),
                           float(C.Y + R.Y * (x * sa + y * ca)));
        };
        Path.CurveTo(map(Cc + X, -Y), map(Cc + X, Y), map(Cc, B));
    };

    const double step = delta > 0 ? Pi / 2 : -Pi / 2;
    double total = 0;
    for (;;) {
        const double before = total;
        double piece = step;
        total += step;
        const bool last = delta > 0 ? total >= delta - 0.01 : total <= delta + 0.01;
        if (last)
            piece = delta - before;
        emitPiece(piece);
        a += piece;
        if (last)
            break;
    }
}

void AddSVGArc(TPathData &Path, TPointF Radii, float XAxisRotation, bool LargeArc, bool Sweep,
               TPointF EndPoint)
{
    const TPointF start = Path.LastPoint();
    const TPointD p0{start.X, start.Y}, e{EndPoint.X, EndPoint.Y};
    if (SameCoordinate(p0.X, e.X) && SameCoordinate(p0.Y, e.Y))
        return;

    double rx = std::abs(double(Radii.X)), ry = std::abs(double(Radii.Y));
    // A radius of zero leaves no ellipse to follow: the arc is the straight line.
    if (rx == 0 || ry == 0) {
        Path.LineTo(EndPoint);
        return;
    }
    const double phi = double(XAxisRotation) * Pi / 180;
    const double cphi = std::cos(phi), sphi = std::sin(phi);

    const double dx = (p0.X - e.X) / 2, dy = (p0.Y - e.Y) / 2;
    const double x1 = cphi * dx + sphi * dy;
    const double y1 = -sphi * dx + cphi * dy;

    const double lambda = x1 * x1 / (rx * rx) + y1 * y1 / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }

    const double sign = LargeArc == Sweep ? -1 : 1;
    const double rx2 = rx * rx, ry2 = ry * ry;
    double q = (rx2 * ry2 - rx2 * y1 * y1 - ry2 * x1 * x1) / (rx2 * y1 * y1 + ry2 * x1 * x1);
    if (!(q > 0))
        q = 0;
    const double k = sign * std::sqrt(q);
    const double cx1 = k * rx * y1 / ry;
    const double cy1 = -k * ry * x1 / rx;

    const double cx = cphi * cx1 - sphi * cy1 + (p0.X + e.X) / 2;
    const double cy = sphi * cx1 + cphi * cy1 + (p0.Y + e.Y) / 2;

    const TPointD u{(x1 - cx1) / rx, (y1 - cy1) / ry};
    const TPointD v{(-x1 - cx1) / rx, (-y1 - cy1) / ry};
    const double ulen = std::hypot(u.X, u.Y), vlen = std::hypot(v.X, v.Y);
    const double theta1 = (u.Y < 0 ? -1 : 1) * std::acos(ClampUnit(u.X / ulen));
    double dtheta = (u.X * v.Y - u.Y * v.X < 0 ? -1 : 1) *
                    std::acos(ClampUnit((u.X * v.X + u.Y * v.Y) / (ulen * vlen)));
    if (!Sweep && dtheta > 0)
        dtheta -= 2 * Pi;
    else if (Sweep && dtheta < 0)
        dtheta += 2 * Pi;

    // Built around the origin, then rotated and moved onto the centre.
    TPathData unit;
    AddArcPieces(unit, TPointF(), TPointF(float(rx), float(ry)), theta1, dtheta);
    auto place = [&](TPointF p) {
        const double x = p.X, y = p.Y;
        return TPointF(float(x * cphi - y * sphi + cx), float(x * sphi + y * cphi + cy));
    };
    std::vector<TPointF> placed;
    placed.reserve(unit.Points().size());
    for (const TPathPoint &p : unit.Points()) {
        placed.push_back(place(p.Point));
        // An arc whose curves leave the single-precision range is not drawn at all.
        if (!std::isfinite(placed.back().X) || !std::isfinite(placed.back().Y))
            return;
    }
    for (size_t i = 0; i + 2 < placed.size(); i += 3)
        Path.CurveTo(placed[i], placed[i + 1], placed[i + 2]);
}
