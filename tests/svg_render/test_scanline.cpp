#include "svg/render/scanline.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

QImage Picture(int w, int h, QRgb fill = 0)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

// Qt's own antialiased fill of the same outline: the coverage we must agree with.
QImage QtFill(QImage img, const QPainterPath &path, const QTransform &t, QRgb color, float opacity,
              const QRect &clip)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(clip);
    p.setTransform(t);
    p.setOpacity(opacity);
    p.fillPath(path, QColor::fromRgba(color));
    return img;
}

QImage OurFill(QImage img, const QPainterPath &path, const QTransform &t, QRgb color, float opacity,
               const QRect &clip)
{
    TSVGScanlineFiller filler;
    EXPECT_TRUE(filler.Fill(img.bits(), img.bytesPerLine(), clip, path, t, qPremultiply(color), opacity));
    return img;
}

double Area(const QImage &img)
{
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            sum += qAlpha(img.pixel(x, y)) / 255.0;
    return sum;
}

QPainterPath Star(Qt::FillRule rule)
{
    // Five points drawn in one stroke: the pentagon in the middle is wound twice.
    QPainterPath p;
    for (int i = 0; i < 5; ++i) {
        const double a = -M_PI / 2 + i * 4 * M_PI / 5;
        const QPointF q(50 + 45 * std::cos(a), 50 + 45 * std::sin(a));
        if (i == 0)
            p.moveTo(q);
        else
            p.lineTo(q);
    }
    p.closeSubpath();
    p.setFillRule(rule);
    return p;
}

QPainterPath Circle(QPointF c, double r)
{
    QPainterPath p;
    p.addEllipse(c, r, r);
    return p;
}

struct TFillCase {
    const char *Name;
    QSize Size;
    QPainterPath Path;
    QTransform T;
    QRgb Color;
    float Opacity;
    QRect Clip;        // null: the whole picture
    QRgb Background;
};

} // namespace

TEST(Scanline, CoversLikeQtsRasterizer)
{
    QPainterPath partlyOut;
    partlyOut.addRect(-30.5, -20.25, 160.75, 70);
    QPainterPath rings = Circle({50, 50}, 40);
    rings.addEllipse(QPointF(50, 50), 20, 20);  // a hole under even-odd, none under nonzero
    QPainterPath evenRings = rings;
    evenRings.setFillRule(Qt::OddEvenFill);
    QPainterPath hair;
    hair.addRect(10.3, 10.3, 0.2, 70);
    // Narrow bars with gaps of every length from none to past two blocks of cells the
    // sweep skips at once, so that edges fall at every position within such a block.
    QPainterPath bars;
    for (double x = 1.25, gap = 0; x < 390; x += 1.5 + gap, gap += 1)
        bars.addRect(x, 2.5 + gap, 1.5, 30);
    const TFillCase cases[] = {
        {"circle", {100, 100}, Circle({50.3, 49.7}, 33.3), {}, 0xFF000000u, 1, {}, 0},
        {"star nonzero", {100, 100}, Star(Qt::WindingFill), {}, 0xFF102030u, 1, {}, 0},
        {"star even-odd", {100, 100}, Star(Qt::OddEvenFill), {}, 0xFF102030u, 1, {}, 0},
        {"rings even-odd", {100, 100}, evenRings, {}, 0xFFFF0000u, 1, {}, 0},
        {"out on every side", {100, 40}, partlyOut, {}, 0xFF00FF00u, 1, {}, 0},
        {"clipped", {100, 100}, Circle({50, 50}, 45), {}, 0xFF0000FFu, 1, QRect(20, 30, 45, 25), 0},
        {"translucent over a colour", {100, 100}, Star(Qt::WindingFill), {}, 0x80FF8000u, 0.6f, {}, 0xFF2060A0u},
        {"rotated and scaled", {100, 100}, Circle({0, 0}, 10), QTransform().translate(50, 50).rotate(30).scale(3, 1.5),
         0xFF000000u, 1, {}, 0},
        {"thinner than a pixel", {100, 100}, hair, {}, 0xFF000000u, 1, {}, 0},
        {"bars with gaps of every length", {400, 60}, bars, {}, 0xFF000000u, 1, {}, 0},
        {"bars translucent", {400, 60}, bars, {}, 0xC0408020u, 0.7f, {}, 0xFF2060A0u},
        {"taller than one band", {2100, 1200}, Circle({1000, 600}, 590), {}, 0xFF000000u, 1, {}, 0},
    };
    for (const TFillCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const QRect clip = c.Clip.isNull() ? QRect(QPoint(0, 0), c.Size) : c.Clip;
        const QImage ours = OurFill(Picture(c.Size.width(), c.Size.height(), c.Background), c.Path, c.T, c.Color,
                                    c.Opacity, clip);
        const QImage qt = QtFill(Picture(c.Size.width(), c.Size.height(), c.Background), c.Path, c.T, c.Color,
                                 c.Opacity, clip);
        // The same area is covered, to a small fraction of a pixel along the edges.
        EXPECT_NEAR(Area(ours), Area(qt), 0.02 * (c.Size.width() + c.Size.height()) + 1);
        // Pixels differ only in antialiasing: a few levels inside, a little at edges.
        int worst = 0;
        qint64 differing = 0;
        for (int y = 0; y < c.Size.height(); ++y)
            for (int x = 0; x < c.Size.width(); ++x) {
                const QRgb a = ours.pixel(x, y), b = qt.pixel(x, y);
                const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                        std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
                worst = std::max(worst, d);
                differing += d > 2;
                if (!clip.contains(x, y)) {
                    ASSERT_EQ(a, c.Background) << x << "," << y << " lies outside the clip";
                }
            }
        EXPECT_LE(worst, 64);
        EXPECT_LE(differing, qint64(c.Size.width() + c.Size.height()) * 4);
    }
}

TEST(Scanline, FillRulesDecideWhatIsInside)
{
    const QRect all(0, 0, 100, 100);
    const QImage nonzero = OurFill(Picture(100, 100), Star(Qt::WindingFill), {}, 0xFF000000u, 1, all);
    const QImage evenOdd = OurFill(Picture(100, 100), Star(Qt::OddEvenFill), {}, 0xFF000000u, 1, all);
    EXPECT_EQ(qAlpha(nonzero.pixel(50, 52)), 255);
    EXPECT_EQ(qAlpha(evenOdd.pixel(50, 52)), 0);
    // A point of the star is inside under both.
    EXPECT_EQ(qAlpha(nonzero.pixel(50, 12)), 255);
    EXPECT_EQ(qAlpha(evenOdd.pixel(50, 12)), 255);
}

TEST(Scanline, OutlinesItCannotTakeAreLeftUntouched)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A path holds finite points only; the transform can still take one beyond range.
    QPainterPath p(QPointF(10, 10));
    p.lineTo(90, 10);
    p.lineTo(1e100, 90);
    for (const QTransform &t : {QTransform::fromScale(1e300, 1), QTransform(1, 0, 0, 1, inf, 0),
                                QTransform(nan, 0, 0, 1, 0, 0)}) {
        QImage img = Picture(100, 100);
        TSVGScanlineFiller filler;
        EXPECT_FALSE(filler.Fill(img.bits(), img.bytesPerLine(), img.rect(), p, t, 0xFF000000u, 1));
        EXPECT_EQ(Area(img), 0);
    }
    // Far beyond the picture, or away from the clip: taken, and nothing drawn; a curve so
    // large that its pieces outnumber an int too (as glyphs of a 1e30px font are).
    QPainterPath far;
    far.addRect(1e7, 1e7, 50, 50);
    far.moveTo(1e20, 1e20);
    far.cubicTo(-1e20, 3e20, 5e20, -1e20, 2e20, 2e20);
    QImage img = Picture(100, 100);
    TSVGScanlineFiller filler;
    EXPECT_TRUE(filler.Fill(img.bits(), img.bytesPerLine(), img.rect(), far, {}, 0xFF000000u, 1));
    EXPECT_TRUE(filler.Fill(img.bits(), img.bytesPerLine(), QRect(0, 0, 10, 10), Circle({50, 50}, 20), {},
                            0xFF000000u, 1));
    EXPECT_EQ(Area(img), 0);
    // A filler reused after those still fills correctly (its buffer was left clean).
    EXPECT_TRUE(filler.Fill(img.bits(), img.bytesPerLine(), img.rect(), Circle({50, 50}, 20), {}, 0xFF000000u, 1));
    EXPECT_NEAR(Area(img), M_PI * 400, 3);
}
