// Elliptical arcs: the path-data arc command and the Bézier pieces behind it.

#include "path_expect.h"
#include "svg/model/path/path_arc.h"
#include "svg/model/path/path_data.h"

#include <gtest/gtest.h>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

// Every curve end point and every curve midpoint (t = 0.5), in order.
std::vector<QPointF> CurveSamples(const TPathData &path)
{
    std::vector<QPointF> out;
    QPointF current;
    for (int i = 0; i < path.Count(); ++i) {
        const TPathPoint &p = path.GetPoint(i);
        if (p.Kind != TPathPointKind::CurveTo) {
            current = p.Point.ToQPointF();
            continue;
        }
        const QPointF c1 = p.Point.ToQPointF(), c2 = path.GetPoint(i + 1).Point.ToQPointF(),
                      e = path.GetPoint(i + 2).Point.ToQPointF();
        out.push_back((current + 3 * c1 + 3 * c2 + e) / 8);
        out.push_back(e);
        current = e;
        i += 2;
    }
    return out;
}

// The largest deviation of the samples from the curve given implicitly (0 on it).
double Deviation(const TPathData &path, const std::function<double(QPointF)> &f)
{
    double worst = 0;
    for (const QPointF &p : CurveSamples(path))
        worst = std::max(worst, std::abs(f(p)));
    return worst;
}

TEST(PathArc, HalfCircle)
{
    TRSPathData path(QStringLiteral("M0 0 A10 10 0 0 1 20 0"));
    EXPECT_EQ(Kinds(path), "MCCCCCC");
    EXPECT_NEAR(path.GetPoint(3).Point.X, 10, 1e-4);
    EXPECT_NEAR(path.GetPoint(3).Point.Y, -10, 1e-4);
    EXPECT_NEAR(path.LastPoint().X, 20, 1e-5);
    EXPECT_NEAR(path.LastPoint().Y, 0, 1e-5);
    auto circle = [](QPointF p) { return std::hypot(p.x() - 10, p.y()) - 10; };
    EXPECT_LT(Deviation(path, circle), 0.01);

    // Radii too small for the end point grow until they fit: the same half circle.
    TRSPathData small(QStringLiteral("M0 0 A1 1 0 0 1 20 0"));
    EXPECT_LT(Deviation(small, circle), 0.01);
    EXPECT_EQ(Kinds(small), "MCCCCCC");
}

TEST(PathArc, FlagsChooseCentreAndDirection)
{
    // Radius 10 from (0, 0) to (10, 0): centres (5, +-8.66); the small arc spans 60
    // degrees, the large one 300. With y pointing down, sweep 1 turns clockwise on screen.
    const double h = std::sqrt(75.0);
    const struct {
        int large, sweep;
        double centreY;
        int curves;
        bool bulgesUp;
    } rows[] = {
        {0, 1, h, 1, true},
        {0, 0, -h, 1, false},
        {1, 1, -h, 4, true},
        {1, 0, h, 4, false},
    };
    for (const auto &r : rows) {
        TRSPathData path(QStringLiteral("M0 0 A10 10 0 %1 %2 10 0").arg(r.large).arg(r.sweep));
        SCOPED_TRACE(path.Data().toStdString());
        EXPECT_EQ(path.Count(), 1 + 3 * r.curves);
        EXPECT_NEAR(path.LastPoint().X, 10, 1e-5);
        EXPECT_NEAR(path.LastPoint().Y, 0, 1e-5);
        auto circle = [&](QPointF p) { return std::hypot(p.x() - 5, p.y() - r.centreY) - 10; };
        EXPECT_LT(Deviation(path, circle), 0.01);
        const QPointF first = CurveSamples(path).front();
        EXPECT_EQ(first.y() < 0, r.bulgesUp);
    }
}

TEST(PathArc, RotatedEllipse)
{
    // Rotated a quarter turn, the x radius runs along y: a half ellipse from (0, 0) to
    // (0, 40) around (0, 20) reaching x = 10 on one side.
    TRSPathData path(QStringLiteral("M0 0 a20 10 90 1 1 0 40"));
    auto ellipse = [](QPointF p) { return std::hypot((p.y() - 20) / 20, p.x() / 10) - 1; };
    EXPECT_LT(Deviation(path, ellipse), 1e-3);
    double extreme = 0;
    for (const QPointF &p : CurveSamples(path))
        extreme = std::max(extreme, std::abs(p.x()));
    EXPECT_NEAR(extreme, 10, 1e-3);
    EXPECT_NEAR(path.LastPoint().X, 0, 1e-4);
    EXPECT_NEAR(path.LastPoint().Y, 40, 1e-4);
}

TEST(PathArc, DegenerateArcs)
{
    TPathData path;
    path.MoveTo({5, 5});
    AddSVGArc(path, {10, 10}, 0, false, true, {5, 5 + 5e-6f}); // same point within tolerance
    EXPECT_EQ(path.Count(), 1);
    AddSVGArc(path, {-10, 0}, 0, false, true, {9, 9});
    ExpectPoints(path, {{'M', 5, 5}, {'L', 9, 9}});
    // Negative radii count by their size.
    AddSVGArc(path, {-1, -1}, 0, false, true, {29, 9});
    EXPECT_EQ(Kinds(path), "MLCCCCCC");

    // An arc whose curves would leave the single-precision range is left out.
    TRSPathData huge(QStringLiteral("M0 0 A3e38 3e38 0 1 1 0 1 L1 1"));
    ExpectPoints(huge, {{'M', 0, 0}, {'L', 1, 1}});
}

TEST(PathArc, PiecesOfAtMostAQuarterTurn)
{
    const struct {
        double start, sweep;
        int pieces;
    } rows[] = {
        {0, Pi / 2, 1},        {0, Pi / 2 + 0.005, 1}, {0, Pi / 2 + 0.02, 2},
        {0, Pi, 2},            {1, 2 * Pi, 4},         {0, 3 * Pi, 4},
        {0, -Pi, 2},           {-1, -0.3, 1},          {0, 1e-11, 0},
        {0, std::nan(""), 0},  {INFINITY, 1, 0},
    };
    for (const auto &r : rows) {
        TPathData path;
        path.MoveTo({float(100 + 20 * std::cos(r.start)), float(50 + 10 * std::sin(r.start))});
        AddArcPieces(path, {100, 50}, {20, 10}, r.start, r.sweep);
        EXPECT_EQ(path.Count(), 1 + 3 * r.pieces) << r.start << " " << r.sweep;
        if (r.pieces == 0)
            continue;
        auto ellipse = [](QPointF p) { return std::hypot((p.x() - 100) / 20, (p.y() - 50) / 10) - 1; };
        EXPECT_LT(Deviation(path, ellipse), 1e-3);
        const double end = r.start + std::clamp(r.sweep, -2 * Pi, 2 * Pi);
        EXPECT_NEAR(path.LastPoint().X, 100 + 20 * std::cos(end), 1e-3);
        EXPECT_NEAR(path.LastPoint().Y, 50 + 10 * std::sin(end), 1e-3);
    }
}

} // namespace
