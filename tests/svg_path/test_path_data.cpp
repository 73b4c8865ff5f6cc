// The path container: point operations, bounds, matrices, the text form, change
// events, polygons, copying and the conversion for the canvas.

#include "path_expect.h"
#include "errors/errors.h"
#include "svg/model/path/path_data.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <cmath>

namespace {

TEST(PathData, OperationsAndLastPoint)
{
    TPathData path;
    EXPECT_EQ(path.LastPoint(), TPointF(0, 0));
    path.LineToRel({1, 2});          // from the origin of an empty path
    path.MoveTo({10, 10});
    path.HLineTo(20);
    path.VLineToRel(5);
    path.CurveToRel({1, 0}, {2, 0}, {3, 3});
    path.ClosePath();
    EXPECT_EQ(path.LastPoint(), TPointF(10, 10)); // a Close sits at the subpath start
    path.MoveToRel({1, 1});
    path.HLineToRel(-2);
    path.VLineTo(0);
    ExpectPoints(path, {{'L', 1, 2}, {'M', 10, 10}, {'L', 20, 10}, {'L', 20, 15},
                        {'C', 21, 15}, {'C', 22, 15}, {'C', 23, 18}, {'Z', 10, 10},
                        {'M', 11, 11}, {'L', 9, 11}, {'L', 9, 0}});
    EXPECT_THROW(path.GetPoint(-1), EArgumentOutOfRange);
    EXPECT_THROW(path.GetPoint(path.Count()), EArgumentOutOfRange);
    path.Clear();
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_EQ(path.SubpathStart(), TPointF(0, 0));
}

TEST(PathData, SmoothCurveFirstControlPoint)
{
    // Base container: C2 while there are fewer than three points; the engine's path:
    // the current point while there are at most two.
    struct {
        bool engine;
        int lines;
        bool relative;
        TPointF c1;
    } rows[] = {
        {false, 1, false, {5, 5}}, {true, 1, false, {2, 0}},
        {false, 2, false, {6, 0}}, {true, 2, false, {6, 0}},
        {false, 1, true, {7, 5}},  {true, 1, true, {2, 0}},
        {false, 2, true, {6, 0}},  {true, 2, true, {6, 0}},
    };
    for (const auto &r : rows) {
        TRSPathData engine;
        TPathData base;
        TPathData &path = r.engine ? static_cast<TPathData &>(engine) : base;
        path.MoveTo({0, 0});
        path.LineTo({2, 0});
        if (r.lines == 2)
            path.LineTo({4, 0});
        if (r.relative)
            path.SmoothCurveToRel({5, 5}, {9, 9});
        else
            path.SmoothCurveTo({5, 5}, {9, 9});
        const TPathPoint &c1 = path.GetPoint(path.Count() - 3);
        EXPECT_EQ(c1.Point, r.c1) << r.engine << r.lines << r.relative;
    }
}

TEST(PathData, BoundsIncludeControlPointsButNotClosePoints)
{
    TPathData path;
    EXPECT_EQ(path.GetBounds(), QRectF());
    path.MoveTo({0, 0});
    path.CurveTo({-5, 10}, {15, -2}, {10, 0});
    EXPECT_EQ(path.GetBounds(), QRectF(QPointF(-5, -2), QPointF(15, 10)));

    TPathData line;
    line.MoveTo({3, 4});
    line.LineTo({3, 9});
    line.ClosePath();
    line.ApplyMatrix(TMatrix::CreateTranslation(100, 0));
    const QRectF b = line.GetBounds();
    EXPECT_FLOAT_EQ(float(b.left()), 103);
    EXPECT_NEAR(b.width(), 0.001, 1e-6); // a zero width still gives an extent
    EXPECT_EQ(b.height(), 5);
}

TEST(PathData, ApplyMatrixMapsEveryPointAsARowVector)
{
    TRSPathData path(QStringLiteral("M10 0 L10 10 Z"));
    // Rotate a quarter turn, then move: (x, y) -> (-y + 1, x + 2).
    path.ApplyMatrix(TMatrix::CreateRotation(float(M_PI / 2)) * TMatrix::CreateTranslation(1, 2));
    ExpectPoints(path, {{'M', 1, 12}, {'L', -9, 12}, {'Z', 1, 12}}, 1e-5f);
    // The close point follows its subpath, so what comes next continues from there.
    path.LineToRel({1, 1});
    ExpectPoints(path, {{'M', 1, 12}, {'L', -9, 12}, {'Z', 1, 12}, {'L', 2, 13}}, 1e-5f);
}

TEST(PathData, TextFormWritesFifteenSignificantDigits)
{
    // The text never follows the user's locale.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TPathData path;
    path.MoveTo({0.1f, 0.2f});
    path.LineTo({1, -2});
    path.CurveTo({1.5f, 2}, {3, 4}, {5, 6});
    path.ClosePath();
    path.LineTo({1e20f, 1e-7f});
    path.LineTo({-0.0f, 123456.5f});
    EXPECT_EQ(path.ToString(),
              QStringLiteral("M0.100000001490116,0.200000002980232 L1,-2 C1.5,2 3,4 5,6 Z "
                             "L1.00000002004088E20,1.0000000116861E-7 L0,123456.5 "));
    // Parsed numbers are the nearest singles of their text.
    EXPECT_EQ(TRSPathData(QStringLiteral("M.1,0.2")).Data(),
              QStringLiteral("M0.100000001490116,0.200000002980232 "));
    QLocale::setDefault(QLocale::c());

    TPathData truncated;
    truncated.AddPoint(TPathPointKind::CurveTo, {1, 2});
    EXPECT_EQ(truncated.ToString(), QStringLiteral("C1,2 "));
}

TEST(PathData, UpdateBracketsHoldBackChangeEvents)
{
    TRSPathData path;
    int events = 0;
    path.SetOnChanged([&](TRSPathData *) { ++events; });
    path.MoveTo({1, 1});
    path.LineTo({2, 2});
    EXPECT_EQ(events, 2);

    path.BeginUpdate();
    path.BeginUpdate();
    path.LineTo({3, 3});
    path.EndUpdate();
    path.LineTo({4, 4});
    EXPECT_EQ(events, 2);
    path.EndUpdate();
    EXPECT_EQ(events, 3);

    // One event each for the batch operations.
    path.AddPolygon(QPolygonF({QPointF(0, 0), QPointF(1, 0), QPointF(0, 0)}));
    path.AddPolygons(QList<QPolygon>{QPolygon({QPoint(1, 1), QPoint(2, 2)}), QPolygon({QPoint(5, 5)})});
    path.Append(TRSPathData(QStringLiteral("M0 0 L1 1 L2 2")));
    EXPECT_EQ(events, 6);

    // An unbalanced EndUpdate does not weaken the next bracket.
    path.EndUpdate();
    path.BeginUpdate();
    path.LineTo({5, 5});
    EXPECT_EQ(events, 6);
    path.EndUpdate();
    EXPECT_EQ(events, 7);
}

TEST(PathData, PolygonsCloseWhenLastPointEqualsFirst)
{
    TRSPathData path;
    path.AddPolygon(QPolygonF());
    EXPECT_TRUE(path.IsEmpty());
    path.AddPolygon(QPolygon({QPoint(0, 0), QPoint(4, 0), QPoint(4, 3), QPoint(0, 0)}));
    path.AddPolygon(QPolygonF({QPointF(1, 1), QPointF(2, 1.5)}));
    const TPointF pts[] = {{7, 7}, {8, 8}, {7, 7.0001f}};
    path.AddPolygon(std::span<const TPointF>(pts));
    path.AddPolygons(QList<QPolygonF>{QPolygonF({QPointF(9, 9)})});
    ExpectPoints(path, {{'M', 0, 0}, {'L', 4, 0}, {'L', 4, 3}, {'L', 0, 0}, {'Z', 0, 0},
                        {'M', 1, 1}, {'L', 2, 1.5f},
                        {'M', 7, 7}, {'L', 8, 8}, {'L', 7, 7.0001f},
                        {'M', 9, 9}, {'Z', 9, 9}}, 1e-6f);
}

TEST(PathData, AppendReplaysOrCopies)
{
    TRSPathData source(QStringLiteral("M1 1 C2 2 3 3 4 4 Z"));
    TRSPathData empty;
    empty.Append(source);
    EXPECT_EQ(empty.Points(), source.Points());

    TRSPathData path(QStringLiteral("M0 0 L5 5"));
    path.Append(source);
    path.Append(QStringLiteral("L9 9"));
    ExpectPoints(path, {{'M', 0, 0}, {'L', 5, 5}, {'M', 1, 1}, {'C', 2, 2}, {'C', 3, 3},
                        {'C', 4, 4}, {'Z', 1, 1}, {'L', 9, 9}});

    // Replay recomputes close points from the destination's own subpath start.
    TRSPathData self(QStringLiteral("M1 1 L2 2"));
    self.Append(self);
    ExpectPoints(self, {{'M', 1, 1}, {'L', 2, 2}, {'M', 1, 1}, {'L', 2, 2}});

    TPathData dest;
    dest.MoveTo({7, 7});
    TRSPathData(QStringLiteral("L1 1 Z")).AssignTo(dest);
    ExpectPoints(dest, {{'M', 7, 7}, {'L', 1, 1}, {'Z', 7, 7}});
}

TEST(PathData, TruncatedCurveRaisesPathCopyingErrorWhenCopied)
{
    TRSPathData broken(QStringLiteral("M1 1 L2 2"));
    broken.AddPoint(TPathPointKind::CurveTo, {3, 3});
    broken.AddPoint(TPathPointKind::CurveTo, {4, 4});

    TRSPathData path(QStringLiteral("M0 0"));
    int events = 0;
    path.SetOnChanged([&](TRSPathData *) { ++events; });
    try {
        path.Append(broken);
        FAIL() << "no error";
    } catch (const EVuploraError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Path Copying Error"));
    }
    // What was replayed stays, and the bracket was closed.
    ExpectPoints(path, {{'M', 0, 0}, {'M', 1, 1}, {'L', 2, 2}});
    EXPECT_EQ(path.UpdateCount(), 0);
    EXPECT_EQ(events, 1);

    TPathData dest;
    EXPECT_THROW(broken.AssignTo(dest), EVuploraError);
    // Drawing it is not copying: the canvas gets the path up to the broken curve.
    const QPainterPath drawn = broken.ToQPainterPath();
    ASSERT_EQ(drawn.elementCount(), 2);
    EXPECT_EQ(drawn.currentPosition(), QPointF(2, 2));
}

// A subpath that stays at its start is kept as a hair along x, so that its round or
// square caps are drawn; a subpath that goes anywhere is kept as it is.
TEST(PathData, PainterPathKeepsZeroLengthSubpaths)
{
    const struct {
        const char *data;
        std::vector<QPointF> expected;
    } rows[] = {
        {"M5 5 Z", {{5, 5}, {5.001, 5}, {5, 5}}},
        {"M5 5 L5 5", {{5, 5}, {5.001, 5}}},
        {"M5 5 C5 5 5 5 5 5 M9 9 L10 9", {{5, 5}, {5.001, 5}, {9, 9}, {10, 9}}},
        {"M5 5 L6 5 L5 5", {{5, 5}, {6, 5}, {5, 5}}},
        {"M5 5 C6 6 4 4 5 5", {{5, 5}, {6, 6}, {4, 4}, {5, 5}}},
        {"M5 5", {{5, 5}}},
    };
    for (const auto &r : rows) {
        const QPainterPath p = TRSPathData(QString::fromLatin1(r.data)).ToQPainterPath();
        std::vector<QPointF> got;
        for (int i = 0; i < p.elementCount(); ++i)
            got.emplace_back(p.elementAt(i).x, p.elementAt(i).y);
        ASSERT_EQ(got.size(), r.expected.size()) << r.data;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_NEAR(got[i].x(), r.expected[i].x(), 1e-6) << r.data << " element " << i;
            EXPECT_NEAR(got[i].y(), r.expected[i].y(), 1e-6) << r.data << " element " << i;
        }
    }
}

TEST(PathData, CopiesAndClones)
{
    TRSPathData path(QStringLiteral("M1 2 L3 4"));
    path.SetFillMode(fmNonZero);
    int events = 0;
    path.SetOnChanged([&](TRSPathData *) { ++events; });

    TRSPathData copy(path);
    EXPECT_EQ(copy.Points(), path.Points());
    EXPECT_EQ(copy.FillMode(), fmNonZero);
    EXPECT_FALSE(copy.OnChanged());
    copy.LineTo({5, 6});
    EXPECT_EQ(path.Count(), 2);

    const auto clone = path.Clone();
    EXPECT_EQ(clone->Points(), path.Points());
    EXPECT_EQ(clone->FillMode(), fmEvenOdd);

    path = copy;
    EXPECT_EQ(path.Count(), 3);
    EXPECT_EQ(events, 1);
    EXPECT_TRUE(path.OnChanged());
}

TEST(PathData, PainterPathCarriesFillRuleAndSubpaths)
{
    TRSPathData path(QStringLiteral("M0 0 L10 0 L10 10 Z L0 10 L0 0 M20 20 C20 30 30 30 30 20"));
    EXPECT_EQ(path.ToQPainterPath().fillRule(), Qt::OddEvenFill);
    path.SetFillMode(fmNonZero);
    const QPainterPath qp = path.ToQPainterPath();
    EXPECT_EQ(qp.fillRule(), Qt::WindingFill);

    // After the close, drawing continues from the subpath start (0, 0).
    const QList<QPolygonF> polys = path.ToPolygons();
    ASSERT_EQ(polys.size(), 3);
    EXPECT_EQ(polys[1].first(), QPointF(0, 0));
    EXPECT_EQ(polys[1][1], QPointF(0, 10));
    EXPECT_EQ(qp.currentPosition(), QPointF(30, 20));
    EXPECT_TRUE(path.PointInPath(8, 2));
    EXPECT_FALSE(path.PointInPath(2, 8));
    EXPECT_TRUE(path.PointInPath(QPointF(25, 24)));
}

TEST(PathData, EllipsesRectanglesAndFlattening)
{
    TRSPathData ellipse;
    ellipse.AddEllipse(QRectF(0, 0, 40, 20));
    EXPECT_EQ(Kinds(ellipse), "MCCCCCCCCCCCCZ");
    const QRectF b = ellipse.GetBounds();
    EXPECT_NEAR(b.left(), 0, 1e-4);
    EXPECT_NEAR(b.right(), 40, 1e-4);
    EXPECT_NEAR(b.bottom(), 20, 1e-4);

    TRSPathData plain;
    plain.AddRectangle(QRectF(10, 10, 20, 10));
    ExpectPoints(plain, {{'M', 10, 10}, {'L', 30, 10}, {'L', 30, 20}, {'L', 10, 20}, {'Z', 10, 10}});
    TRSPathData rounded;
    rounded.AddRectangle(QRectF(10, 10, 20, 10), 3, 50); // ry limited to half the height
    EXPECT_EQ(Kinds(rounded), "MLCCCCCCLCCCCCCZ"); // no zero-length sides
    EXPECT_EQ(rounded.GetPoint(0).Point, TPointF(13, 10));
    EXPECT_EQ(rounded.GetBounds(), QRectF(10, 10, 20, 10));

    // Every flattened vertex lies on the ellipse, and no chord strays further than the
    // tolerance from it (checked at chord midpoints).
    TRSPathData flat(ellipse);
    flat.Flatten(0.25f);
    EXPECT_EQ(flat.GetPoint(flat.Count() - 1).Kind, TPathPointKind::Close);
    ASSERT_GT(flat.Count(), 16);
    auto radial = [](QPointF p) { return std::hypot((p.x() - 20) / 20, (p.y() - 10) / 10); };
    for (int i = 1; i + 1 < flat.Count(); ++i) {
        const QPointF a = flat.GetPoint(i - 1).Point.ToQPointF(), c = flat.GetPoint(i).Point.ToQPointF();
        EXPECT_EQ(flat.GetPoint(i).Kind, TPathPointKind::LineTo);
        EXPECT_NEAR(radial(c), 1, 1e-3);
        EXPECT_GT(radial((a + c) / 2) * 10, 10 - 0.25); // in the short direction's units
    }
}

} // namespace
