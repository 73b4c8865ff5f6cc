#include "svg/render/canvas.h"

#include <QLinearGradient>
#include <gtest/gtest.h>
#include <cmath>
#include <numbers>

namespace {

QImage Blank(int w = 100, int h = 100)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

int Alpha(const QImage &img, int x, int y)
{
    return qAlpha(img.pixel(x, y));
}

// Painted width of one row or column, in pixels (antialiased edges count by coverage).
double RowCoverage(const QImage &img, int y)
{
    double sum = 0;
    for (int x = 0; x < img.width(); ++x)
        sum += Alpha(img, x, y) / 255.0;
    return sum;
}

double ColumnCoverage(const QImage &img, int x)
{
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        sum += Alpha(img, x, y) / 255.0;
    return sum;
}

TCanvasStroke SolidStroke(float width, QRgb color = 0xFF000000u)
{
    TCanvasStroke s;
    s.Paint = TCanvasPaint::Solid(color);
    s.Thickness = width;
    return s;
}

QPainterPath Line(QPointF a, QPointF b)
{
    QPainterPath p(a);
    p.lineTo(b);
    return p;
}

} // namespace

TEST(Canvas, FillRuleOfThePathDecidesOverlaps)
{
    // Two squares wound the same way, the second inside the first.
    QPainterPath p;
    p.addRect(10, 10, 80, 80);
    p.addRect(30, 30, 40, 40);
    for (Qt::FillRule rule : {Qt::WindingFill, Qt::OddEvenFill}) {
        QImage img = Blank();
        p.setFillRule(rule);
        {
            TSVGCanvas c(img);
            c.FillPath(p, 1);
        }
        EXPECT_EQ(Alpha(img, 20, 20), 255);
        EXPECT_EQ(Alpha(img, 50, 50), rule == Qt::WindingFill ? 255 : 0);
    }
}

TEST(Canvas, OurFillsAndQtsLandOnTheSamePixels)
{
    // A copy taken while the canvas draws is a picture of its own: solid fills (our own
    // rasterizer) and gradient fills (Qt's) both go to the picture drawn on, not to it.
    QImage img = Blank();
    QImage kept;
    {
        TSVGCanvas c(img);
        kept = img;
        QPainterPath left, right;
        left.addEllipse(QPointF(25, 50), 20, 20);
        right.addEllipse(QPointF(75, 50), 20, 20);
        c.SetFill(TCanvasPaint::Solid(0xFFFF0000u));
        c.FillPath(left, 1);
        TCanvasPaint gradient;
        gradient.Kind = TCanvasPaint::TKind::Gradient;
        gradient.Gradient = std::make_shared<QLinearGradient>(0, 0, 100, 0);
        gradient.Gradient->setColorAt(0, Qt::blue);
        gradient.Gradient->setColorAt(1, Qt::blue);
        c.SetFill(gradient);
        c.FillPath(right, 1);
    }
    EXPECT_EQ(img.pixel(25, 50), 0xFFFF0000u);
    EXPECT_EQ(img.pixel(75, 50), 0xFF0000FFu);
    EXPECT_EQ(kept.pixel(25, 50), 0u);
    EXPECT_EQ(kept.pixel(75, 50), 0u);
}

TEST(Canvas, StrokeWidthAndDashesFollowTheFullTransform)
{
    struct Case {
        const char *name;
        TMatrix m;
        QPointF a, b;       // user space
        bool vertical;      // on the device
        double width;       // expected device width
    };
    const float quarter = float(M_PI / 2);
    const Case cases[] = {
        {"identity", TMatrix::Identity(), {10, 50}, {90, 50}, false, 3},
        {"scale 2", TMatrix::CreateScaling(2, 2), {5, 25}, {45, 25}, false, 6},
        // rotate(90): the 3-unit stroke stays 3 units wide.
        {"rotate 90", TMatrix::CreateRotation(quarter) * TMatrix::CreateTranslation(100, 0),
         {10, 50}, {90, 50}, true, 3},
        {"scale x only", TMatrix::CreateScaling(4, 1), {2, 50}, {22, 50}, false, 3},
        {"scale y only", TMatrix::CreateScaling(1, 4), {10, 12}, {90, 12}, false, 12},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        QImage img = Blank();
        {
            TSVGCanvas c(img);
            c.SetMatrix(k.m);
            c.SetStroke(SolidStroke(3));
            c.DrawPath(Line(k.a, k.b), 1);
        }
        const double w = k.vertical ? RowCoverage(img, 50) : ColumnCoverage(img, 50);
        EXPECT_NEAR(w, k.width, 0.05);
    }
}

TEST(Canvas, DashesScaleWithTheGeometry)
{
    QImage img = Blank();
    {
        TSVGCanvas c(img);
        c.SetMatrix(TMatrix::CreateScaling(2, 2));
        TCanvasStroke s = SolidStroke(3);
        s.Dashes = {4, 2};
        c.SetStroke(s);
        c.DrawPath(Line({0, 10}, {48, 10}), 1);
    }
    // 4,2 user units under scale(2): 8 device pixels on, 4 off.
    for (int x : {1, 6, 13, 18, 25})
        EXPECT_EQ(Alpha(img, x, 20), 255) << x;
    for (int x : {9, 10, 21, 22})
        EXPECT_EQ(Alpha(img, x, 20), 0) << x;
}

TEST(Canvas, DashOffsetAndOddListsFollowSvg)
{
    QImage img = Blank();
    {
        TSVGCanvas c(img);
        TCanvasStroke s = SolidStroke(4);
        s.Dashes = {10};     // an odd list repeats: 10 on, 10 off
        s.DashOffset = 5;    // starts half-way through the first dash
        c.SetStroke(s);
        c.DrawPath(Line({0, 50}, {100, 50}), 1);
    }
    EXPECT_EQ(Alpha(img, 2, 50), 255);
    EXPECT_EQ(Alpha(img, 7, 50), 0);
    EXPECT_EQ(Alpha(img, 17, 50), 255);
    EXPECT_EQ(Alpha(img, 27, 50), 0);
}

TEST(Canvas, ZeroWidthStrokeDrawsNothing)
{
    QImage img = Blank();
    {
        TSVGCanvas c(img);
        c.SetStroke(SolidStroke(0));
        c.DrawPath(Line({10, 50}, {90, 50}), 1);
        c.DrawLine({50, 10}, {50, 90}, 1);
    }
    EXPECT_EQ(img, Blank());
}

TEST(Canvas, LineCapsAreDrawnAsNamed)
{
    // A 10-wide horizontal stroke ending at x = 80; the probes lie past the end.
    struct Case {
        TCanvasCap cap;
        bool atAxis;     // (83, 50) painted
        bool atCorner;   // (84, 46) painted
    };
    const Case cases[] = {
        {TCanvasCap::Butt, false, false},
        {TCanvasCap::Square, true, true},
        {TCanvasCap::Round, true, false},
    };
    for (const Case &k : cases) {
        QImage img = Blank();
        {
            TSVGCanvas c(img);
            TCanvasStroke s = SolidStroke(10);
            s.Cap = k.cap;
            c.SetStroke(s);
            c.DrawPath(Line({20, 50}, {80, 50}), 1);
        }
        EXPECT_EQ(Alpha(img, 83, 50) > 128, k.atAxis) << int(k.cap);
        EXPECT_EQ(Alpha(img, 84, 46) > 128, k.atCorner) << int(k.cap);
        EXPECT_EQ(Alpha(img, 86, 50), 0);
    }
}

TEST(Canvas, MiterLimitDecidesBetweenMiterAndBevel)
{
    // A peak whose miter is 2.236 stroke widths long; its tip reaches y = 8.8.
    QPainterPath peak(QPointF(20, 80));
    peak.lineTo(50, 20);
    peak.lineTo(80, 80);
    struct Case {
        TCanvasJoin join;
        float limit;
        bool tip;
    };
    const Case cases[] = {
        {TCanvasJoin::Miter, 4, true},
        {TCanvasJoin::Miter, 3, true},
        {TCanvasJoin::Miter, 2, false},
        {TCanvasJoin::Bevel, 10, false},
        {TCanvasJoin::Round, 10, false},
    };
    for (const Case &k : cases) {
        QImage img = Blank();
        {
            TSVGCanvas c(img);
            TCanvasStroke s = SolidStroke(10);
            s.Join = k.join;
            s.MiterLimit = k.limit;
            c.SetStroke(s);
            c.DrawPath(peak, 1);
        }
        EXPECT_EQ(Alpha(img, 50, 12) > 128, k.tip) << int(k.join) << " limit " << k.limit;
        // Every join covers the point just above the apex.
        EXPECT_EQ(Alpha(img, 50, 18), 255);
    }
}

TEST(Canvas, LayerBlendsOverlappingContentOnce)
{
    auto draw = [](TSVGCanvas &c, float each) {
        c.SetFill(TCanvasPaint::Solid(0xFFFF0000u));
        c.FillRect(QRectF(10, 10, 50, 50), 0, 0, each);
        c.FillRect(QRectF(40, 40, 50, 50), 0, 0, each);
    };
    QImage grouped = Blank(), separate = Blank();
    {
        TSVGCanvas c(grouped);
        c.BeginLayer();
        draw(c, 1);
        c.EndLayer(0.5f);
        EXPECT_EQ(c.LayerDepth(), 0);
    }
    {
        TSVGCanvas c(separate);
        draw(c, 0.5f);
    }
    EXPECT_NEAR(Alpha(grouped, 20, 20), 128, 1);
    EXPECT_NEAR(Alpha(grouped, 50, 50), 128, 1);  // the overlap does not show through
    EXPECT_GT(Alpha(separate, 50, 50), 180);
}

TEST(Canvas, RestoreStateReturnsToTheSavedStateAndClosesItsLayers)
{
    QImage img = Blank();
    TSVGCanvas c(img);
    const TMatrix m = TMatrix::CreateTranslation(5, 7);
    c.SetMatrix(m);
    c.SetFill(TCanvasPaint::Solid(0xFF00FF00u));
    const int outer = c.SaveState();
    c.SetMatrix(TMatrix::CreateScaling(3, 3));
    c.SetFill(TCanvasPaint::None());
    const int inner = c.SaveState();
    c.BeginLayer();
    c.SetStroke(SolidStroke(7));
    EXPECT_EQ(inner, outer + 1);
    c.RestoreState(outer);
    EXPECT_EQ(c.Matrix(), m);
    EXPECT_EQ(c.Fill().Kind, TCanvasPaint::TKind::Solid);
    EXPECT_EQ(c.Fill().Color, 0xFF00FF00u);
    EXPECT_TRUE(c.Stroke().Paint.IsNone());
    EXPECT_EQ(c.LayerDepth(), 0);
}

TEST(Canvas, ClipLastsUntilRestore)
{
    QImage img = Blank();
    {
        TSVGCanvas c(img);
        c.SetFill(TCanvasPaint::Solid(0xFF0000FFu));
        const int s = c.SaveState();
        QPainterPath clip;
        clip.addRect(0, 0, 50, 100);
        c.ClipPath(clip);
        c.FillRect(QRectF(0, 0, 100, 50), 0, 0, 1);
        c.RestoreState(s);
        c.FillRect(QRectF(0, 50, 100, 50), 0, 0, 1);
    }
    EXPECT_EQ(Alpha(img, 25, 25), 255);
    EXPECT_EQ(Alpha(img, 75, 25), 0);
    EXPECT_EQ(Alpha(img, 75, 75), 255);
}

TEST(Canvas, SolidFillsKeepToTheClipThroughLayersAndRestores)
{
    // Whole-pixel rectangles clip our own fills directly; other clips hand them to Qt.
    QPainterPath whole, fractional, round;
    whole.addRect(0, 0, 50, 100);
    fractional.addRect(0, 0, 50.5, 100);
    round.addEllipse(QPointF(0, 50), 50, 200);
    QPainterPath disc;
    disc.addEllipse(QPointF(50, 50), 45, 45);
    for (const QPainterPath *clip : {&whole, &fractional, &round}) {
        for (bool layer : {false, true}) {
            SCOPED_TRACE(testing::Message() << "clip " << (clip == &whole ? "whole" : clip == &fractional ? "fractional" : "round")
                                            << (layer ? ", in a layer" : ""));
            QImage img = Blank();
            {
                TSVGCanvas c(img);
                c.SetFill(TCanvasPaint::Solid(0xFF0000FFu));
                const int s = c.SaveState();
                c.ClipPath(*clip);
                if (layer)
                    c.BeginLayer();
                c.FillPath(disc, 1);
                c.RestoreState(s);
                // The clip ends with its state: this fill reaches the right half.
                QPainterPath lower;
                lower.addEllipse(QPointF(75, 90), 8, 8);
                c.FillPath(lower, 1);
            }
            EXPECT_EQ(Alpha(img, 25, 50), 255);
            EXPECT_EQ(Alpha(img, 60, 50), 0);
            EXPECT_EQ(Alpha(img, 75, 90), 255);
        }
    }
}

TEST(Canvas, GradientPaintLivesInUserSpace)
{
    QImage img = Blank();
    {
        TSVGCanvas c(img);
        c.SetMatrix(TMatrix::CreateScaling(2, 2));
        TCanvasPaint p;
        p.Kind = TCanvasPaint::TKind::Gradient;
        auto g = std::make_shared<QLinearGradient>(0, 0, 1, 0);
        g->setColorAt(0, Qt::red);
        g->setColorAt(1, Qt::blue);
        p.Gradient = g;
        p.PaintTransform = QTransform::fromScale(50, 50);  // 0..1 over 0..50 user units
        c.SetFill(p);
        c.FillRect(QRectF(0, 0, 50, 50), 0, 0, 1);
    }
    const QRgb left = img.pixel(2, 50), right = img.pixel(97, 50);
    EXPECT_GT(qRed(left), 240);
    EXPECT_GT(qBlue(right), 240);
    EXPECT_NEAR(qRed(img.pixel(50, 50)), 128, 6);
}

TEST(Canvas, BitmapAndFillHonourTheOpacityFactor)
{
    QImage tile(10, 10, QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::red);
    QImage img = Blank();
    {
        TSVGCanvas c(img);
        c.DrawBitmap(tile, QRectF(0, 0, 10, 10), QRectF(0, 0, 40, 40), 0.5f);
        c.SetFill(TCanvasPaint::Solid(0x80FF0000u));  // the colour's own alpha counts too
        c.FillRect(QRectF(50, 50, 40, 40), 0, 0, 0.5f);
    }
    EXPECT_NEAR(Alpha(img, 20, 20), 128, 1);
    EXPECT_NEAR(Alpha(img, 70, 70), 64, 1);
    EXPECT_EQ(Alpha(img, 45, 45), 0);
}

TEST(Canvas, BitmapsAreSampledSmoothlyUnlessAskedNotTo)
{
    // A black and a white pixel stretched over 100 pixels: smooth sampling shows greys
    // between them, nearest-pixel sampling only the two colours; images drawn directly,
    // bitmap fills and bitmap strokes alike, and whatever was drawn before.
    QImage two(2, 1, QImage::Format_ARGB32_Premultiplied);
    two.setPixel(0, 0, 0xFF000000u);
    two.setPixel(1, 0, 0xFFFFFFFFu);
    enum class TWay { Image, Fill, Stroke };
    for (const TWay way : {TWay::Image, TWay::Fill, TWay::Stroke}) {
        for (const bool smooth : {true, false}) {
            SCOPED_TRACE(int(way) * 2 + int(smooth));
            QImage img = Blank();
            {
                TSVGCanvas c(img);
                TCanvasPaint bitmap;
                bitmap.Kind = TCanvasPaint::TKind::Bitmap;
                bitmap.Bitmap = two;
                bitmap.Smooth = smooth;
                bitmap.PaintTransform = QTransform::fromScale(50, 100);
                c.DrawBitmap(two, QRectF(0, 0, 2, 1), QRectF(0, 0, 1, 1), 1, !smooth);  // the other way first
                if (way == TWay::Image) {
                    c.DrawBitmap(two, QRectF(0, 0, 2, 1), QRectF(0, 0, 100, 100), 1, smooth);
                } else if (way == TWay::Fill) {
                    c.SetFill(bitmap);
                    c.FillRect(QRectF(0, 0, 100, 100), 0, 0, 1);
                } else {
                    TCanvasStroke stroke;
                    stroke.Paint = bitmap;
                    stroke.Thickness = 100;
                    c.SetStroke(stroke);
                    c.DrawLine(QPointF(0, 50), QPointF(100, 50), 1);
                }
            }
            const int mid = qRed(img.pixel(50, 50));
            if (smooth)
                EXPECT_TRUE(mid > 40 && mid < 215) << mid;
            else
                EXPECT_TRUE(mid == 0 || mid == 255) << mid;
        }
    }
}

TEST(Canvas, MultiplyingByAnAlphaScalesEveryChannelWithinTheArea)
{
    // Each channel becomes round(c * m / 255); outside the area nothing changes.
    struct Case {
        QRgb pixel;
        int alpha;
        QRgb expected;
    };
    const Case cases[] = {
        {0xFF8040C0u, 255, 0xFF8040C0u},
        {0xFF8040C0u, 0, 0x00000000u},
        {0xFF8040C0u, 128, 0x80402060u},
        {0x80402010u, 64, 0x20100804u},
        {0xFFFFFFFFu, 1, 0x01010101u},
        {0x01010101u, 254, 0x01010101u},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.alpha);
        QImage target(3, 1, QImage::Format_ARGB32_Premultiplied);
        target.fill(c.pixel);
        QImage alpha(3, 1, QImage::Format_ARGB32_Premultiplied);
        alpha.fill(qPremultiply(qRgba(0, 0, 0, c.alpha)));
        SVGMultiplyAlpha(target, alpha, QRect(1, 0, 1, 1));
        EXPECT_EQ(target.pixel(1, 0), c.expected);
        EXPECT_EQ(target.pixel(0, 0), c.pixel);
        EXPECT_EQ(target.pixel(2, 0), c.pixel);
    }
}

TEST(Canvas, RoundedRectangleLeavesItsCornersOpen)
{
    QImage img = Blank();
    {
        TSVGCanvas c(img);
        c.SetFill(TCanvasPaint::Solid(0xFF000000u));
        c.FillRect(QRectF(10, 10, 80, 80), 20, 10, 1);
    }
    EXPECT_EQ(Alpha(img, 11, 11), 0);
    EXPECT_EQ(Alpha(img, 11, 50), 255);
    EXPECT_EQ(Alpha(img, 50, 11), 255);
}

TEST(Canvas, WrappedTextIsCentredInItsBox)
{
    TCanvasFont font;
    font.Family = QStringLiteral("Noto Sans");
    font.Size = 14;
    auto inkRows = [](const QImage &img) {
        int top = -1, bottom = -1, left = img.width(), right = -1;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (Alpha(img, x, y) > 64) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        return std::array<int, 4>{left, top, right, bottom};
    };
    const QRectF box(10, 10, 86, 80);
    QImage one = Blank(), many = Blank();
    {
        TSVGCanvas c(one);
        c.SetFont(font);
        c.SetFill(TCanvasPaint::Solid(0xFF000000u));
        c.FillText(box, QStringLiteral("Hi"), true, 1, TCanvasAlign::Center, TCanvasAlign::Center);
    }
    {
        TSVGCanvas c(many);
        c.SetFont(font);
        c.SetFill(TCanvasPaint::Solid(0xFF000000u));
        c.FillText(box, QStringLiteral("a longer sentence that wraps"), true, 1,
                   TCanvasAlign::Center, TCanvasAlign::Center);
    }
    const auto a = inkRows(one), b = inkRows(many);
    ASSERT_GE(a[2], 0);
    ASSERT_GE(b[2], 0);
    EXPECT_NEAR((a[0] + a[2]) / 2.0, 53, 2);
    EXPECT_NEAR((a[1] + a[3]) / 2.0, 50, 4);
    EXPECT_GT(b[3] - b[1], 2 * (a[3] - a[1]));  // more than one line
    EXPECT_LE(b[2] - b[0], 86);                  // no line wider than the box
    EXPECT_NEAR((b[1] + b[3]) / 2.0, 50, 5);
}

TEST(Canvas, TextMeasuresScaleWithTheFontSize)
{
    QImage img = Blank();
    TSVGCanvas c(img);
    TCanvasFont f;
    f.Family = QStringLiteral("Noto Sans");
    f.Size = 10;
    c.SetFont(f);
    const float w10 = c.TextWidth(QStringLiteral("Vuplora")), h10 = c.TextHeight(QStringLiteral("V"));
    f.Size = 25;
    c.SetFont(f);
    EXPECT_NEAR(c.TextWidth(QStringLiteral("Vuplora")), w10 * 2.5f, 0.01f);
    EXPECT_NEAR(c.TextHeight(QStringLiteral("V")), h10 * 2.5f, 0.01f);
    EXPECT_GT(c.Ascent(), c.Descent());
    EXPECT_EQ(c.TextWidth(QString()), 0);
}

// A rectangle outline on the device may be filled by a quicker way than a general outline;
// its edges must come out the same: the same rectangle with one more corner on a side (a
// general outline) covers the same pixels by the same amounts.
TEST(Canvas, RectangleOutlinesFillLikeAnyOtherOutline)
{
    struct Case {
        const char *name;
        TMatrix matrix;
        QRectF rect;
        bool counterClockwise;
    };
    const Case cases[] = {
        {"fractional edges", TMatrix::Identity(), QRectF(10.3, 20.6, 50.25, 30.5), false},
        {"scaled and moved", TMatrix::CreateScaling(1.37f, 0.81f) * TMatrix::CreateTranslation(0.4f, 0.7f),
         QRectF(5.1, 5.9, 40.3, 60.45), false},
        {"drawn the other way round", TMatrix::Identity(), QRectF(30.5, 10.5, 20, 70.2), true},
        {"turned a quarter", TMatrix::CreateRotation(float(std::numbers::pi / 2)) * TMatrix::CreateTranslation(90, 0),
         QRectF(10.3, 20.6, 50.25, 30.5), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QRectF r = c.rect;
        QPainterPath plain, split;
        const QPointF corners[] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
        for (QPainterPath *p : {&plain, &split}) {
            p->moveTo(corners[0]);
            for (int i = 1; i < 4; ++i) {
                const QPointF &corner = corners[c.counterClockwise ? 4 - i : i];
                if (p == &split && i == 2)
                    p->lineTo((corner + corners[c.counterClockwise ? 3 : 1]) / 2);
                p->lineTo(corner);
            }
            p->closeSubpath();
        }
        QImage a = Blank(), b = Blank();
        for (auto [img, path] : {std::pair{&a, &plain}, std::pair{&b, &split}}) {
            TSVGCanvas canvas(*img);
            canvas.SetMatrix(c.matrix);
            canvas.SetFill(TCanvasPaint::Solid(0xFF0000FFu));
            canvas.FillPath(*path, 1);
        }
        int worst = 0;
        double covered = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) {
                worst = std::max(worst, std::abs(Alpha(a, x, y) - Alpha(b, x, y)));
                covered += Alpha(a, x, y) / 255.0;
            }
        EXPECT_LE(worst, 4);  // rounding of the edge coverage, no more
        const double area = r.width() * r.height() * std::abs(c.matrix.m11 * c.matrix.m22 - c.matrix.m12 * c.matrix.m21);
        EXPECT_NEAR(covered, area, area * 0.01);
    }
}
