// Gradients and patterns as documents use them.

#include "render_helpers.h"

#include "svg/model/dom/paint_servers.h"

#include <gtest/gtest.h>

using namespace svgtest;

namespace {

// Red share of a pixel: 1 for pure red, 0 for pure blue.
double Redness(const QImage &img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return qRed(p) / double(std::max(1, qRed(p) + qBlue(p)));
}

const char *kRedBlue = R"svg(<stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue"/>)svg";

} // namespace

TEST(Paint, GradientTransformAppliesInBothUnitSystems)
{
    const QString doc = QStringLiteral(R"svg(
        <linearGradient id="box" gradientTransform="rotate(90 0.5 0.5)">%1</linearGradient>
        <linearGradient id="user" gradientUnits="userSpaceOnUse" x1="0" x2="100"
                        gradientTransform="translate(50 0) scale(0.5 1)">%1</linearGradient>
        <rect x="0" y="0" width="50" height="50" fill="url(#box)"/>
        <rect x="0" y="50" width="100" height="50" fill="url(#user)"/>)svg").arg(QLatin1String(kRedBlue));
    const QImage img = Render(doc);
    // Bounding-box units turned by 90 degrees: red at the top, blue at the bottom.
    EXPECT_GT(Redness(img, 25, 2), 0.9);
    EXPECT_LT(Redness(img, 25, 47), 0.1);
    EXPECT_NEAR(Redness(img, 10, 25), Redness(img, 40, 25), 0.05);
    // User space squeezed into 50..100: pad red before it, blue at its end.
    EXPECT_GT(Redness(img, 25, 75), 0.95);
    EXPECT_LT(Redness(img, 98, 75), 0.1);
    EXPECT_NEAR(Redness(img, 75, 75), 0.5, 0.1);
}

// The picture follows gradient properties set through the model after loading, on the
// gradient itself and on the one its href leads to.
TEST(Paint, GradientPropertiesSetAfterLoadingChangeThePicture)
{
    TSVGDocument doc;
    doc.LoadFromText(Document(QStringLiteral(R"svg(
        <linearGradient id="base">%1</linearGradient>
        <linearGradient id="g" xlink:href="#base" x2="0.5"/>
        <rect width="100" height="100" fill="url(#g)"/>)svg").arg(QLatin1String(kRedBlue))));
    auto *base = dynamic_cast<TSVGLinearGradient *>(doc.FindElement(QStringLiteral("base")));
    auto *g = dynamic_cast<TSVGLinearGradient *>(doc.FindElement(QStringLiteral("g")));
    ASSERT_TRUE(base && g);
    auto render = [&] { return SVGRasterize(doc, TSVGRasterOptions()).convertToFormat(QImage::Format_ARGB32); };

    QImage img = render();
    EXPECT_GT(Redness(img, 2, 50), 0.9);
    EXPECT_LT(Redness(img, 90, 50), 0.05);  // padded beyond x2 = 50%

    base->SetSpread(gsRepeat);  // g states no spread: it takes the referenced one's
    img = render();
    EXPECT_NEAR(Redness(img, 10, 50), Redness(img, 60, 50), 0.05);
    EXPECT_GT(Redness(img, 55, 50), 0.8);

    g->SetSpread(gsPad);
    g->SetX1(1);
    g->SetX2(0);  // now running from right to left
    img = render();
    EXPECT_LT(Redness(img, 2, 50), 0.05);
    EXPECT_GT(Redness(img, 97, 50), 0.95);

    g->SetUnits(csuUserSpaceOnUse);
    g->SetX1(0);
    g->SetX2(50);
    img = render();
    EXPECT_NEAR(Redness(img, 25, 50), 0.5, 0.1);
    EXPECT_LT(Redness(img, 75, 50), 0.05);

    auto *first = dynamic_cast<TSVGGradientStop *>(base->Items(0));
    ASSERT_NE(first, nullptr);
    first->StopBrush().SetColor(0xFF00FF00);
    img = render();
    EXPECT_GT(qGreen(img.pixel(0, 50)), 240);
    EXPECT_LT(qRed(img.pixel(0, 50)), 10);
}

// Patterns too: the tile and the transform come from the model, through the href chain.
TEST(Paint, PatternPropertiesSetAfterLoadingChangeThePicture)
{
    TSVGDocument doc;
    doc.LoadFromText(Document(QStringLiteral(R"svg(
        <pattern id="base" width="0.5" height="1"><rect width="25" height="100" fill="red"/></pattern>
        <pattern id="p" xlink:href="#base"/>
        <rect width="100" height="100" fill="url(#p)"/>)svg")));
    auto *p = dynamic_cast<TSVGPattern *>(doc.FindElement(QStringLiteral("p")));
    ASSERT_NE(p, nullptr);
    auto render = [&] { return SVGRasterize(doc, TSVGRasterOptions()).convertToFormat(QImage::Format_ARGB32); };

    QImage img = render();  // tiles of 50: red at 0..25 and 50..75
    EXPECT_EQ(Alpha(img, 10, 50), 255);
    EXPECT_EQ(Alpha(img, 40, 50), 0);
    EXPECT_EQ(Alpha(img, 60, 50), 255);

    p->SetWidth(1);  // one tile across the whole box
    img = render();
    EXPECT_EQ(Alpha(img, 10, 50), 255);
    EXPECT_EQ(Alpha(img, 60, 50), 0);

    p->SetMatrix(TMatrix::CreateTranslation(25, 0));
    img = render();
    EXPECT_EQ(Alpha(img, 10, 50), 0);
    EXPECT_EQ(Alpha(img, 35, 50), 255);
}

TEST(Paint, BoundingBoxLeavesOutCurveControlPoints)
{
    // The curve's top is at y = 0, its control point at y = -100.
    const QImage img = Render(QStringLiteral(R"svg(
        <linearGradient id="g" x2="0" y2="1">%1</linearGradient>
        <path d="M0 100 Q50 -100 100 100 Z" fill="url(#g)"/>)svg").arg(QLatin1String(kRedBlue)));
    EXPECT_GT(Redness(img, 50, 2), 0.9);
    EXPECT_LT(Redness(img, 50, 97), 0.1);
}

TEST(Paint, SpreadMethods)
{
    struct Case {
        const char *spread;
        int a, b;        // columns expected to carry the same colour
    };
    for (const Case &c : {Case{"repeat", 10, 60}, Case{"reflect", 10, 90}, Case{"pad", 60, 90}}) {
        const QImage img = Render(QStringLiteral(R"svg(
            <linearGradient id="g" x2="0.5" spreadMethod="%1">%2</linearGradient>
            <rect width="100" height="100" fill="url(#g)"/>)svg")
                                      .arg(QLatin1String(c.spread), QLatin1String(kRedBlue)));
        EXPECT_NEAR(Redness(img, c.a, 50), Redness(img, c.b, 50), 0.05) << c.spread;
    }
    const QImage pad = Render(QStringLiteral(R"svg(<linearGradient id="g" x2="0.5">%1</linearGradient>
        <rect width="100" height="100" fill="url(#g)"/>)svg").arg(QLatin1String(kRedBlue)));
    EXPECT_LT(Redness(pad, 90, 50), 0.05);
}

TEST(Paint, RadialFocalPointOutsideTheCircleMovesOntoIt)
{
    auto render = [](const char *fx) {
        return Render(QStringLiteral(R"svg(
            <radialGradient id="g" fx="%1" fy="0.5">%2</radialGradient>
            <rect width="100" height="100" fill="url(#g)"/>)svg")
                          .arg(QLatin1String(fx), QLatin1String(kRedBlue)));
    };
    const QImage outside = render("3"), rim = render("0.9995");
    for (int x : {5, 30, 50, 70, 95})
        EXPECT_NEAR(Redness(outside, x, 50), Redness(rim, x, 50), 0.05) << x;
    EXPECT_GT(Redness(outside, 97, 50), 0.8);  // the focus sits at the right rim
}

TEST(Paint, StopOffsetsAreClampedAndNonDecreasing)
{
    const QImage img = Render(R"svg(<linearGradient id="g">
        <stop offset="-1" stop-color="lime"/><stop offset="0.8" stop-color="red"/>
        <stop offset="0.2" stop-color="blue"/><stop offset="7" stop-color="blue"/></linearGradient>
        <rect width="100" height="100" fill="url(#g)"/>)svg");
    EXPECT_GT(qGreen(img.pixel(1, 50)), 200);     // the first stop at 0
    EXPECT_GT(Redness(img, 78, 50), 0.9);         // red up to 0.8 ...
    EXPECT_LT(Redness(img, 82, 50), 0.1);         // ... where the out-of-order stop steps to blue
}

TEST(Paint, StopCountDecidesWhatIsPainted)
{
    const QImage img = Render(R"svg(
        <linearGradient id="one"><stop offset="0.3" stop-color="green" stop-opacity="0.5"/></linearGradient>
        <linearGradient id="none"/>
        <rect width="50" height="50" fill="url(#one)"/>
        <rect x="50" width="50" height="50" fill="url(#none)" stroke="black" stroke-width="2"/>
        <rect y="50" width="50" height="50" fill="url(#none) blue"/>)svg");
    EXPECT_NEAR(qGreen(img.pixel(25, 25)), 128, 1);
    EXPECT_NEAR(Alpha(img, 25, 25), 128, 1);
    EXPECT_EQ(Alpha(img, 75, 25), 0);              // no stops: nothing, the stroke still draws
    EXPECT_EQ(Alpha(img, 50, 25), 255);
    EXPECT_EQ(Colour(img, 25, 75), qRgb(0, 0, 255)); // ... or the fallback colour
}

TEST(Paint, AReferenceToNoPaintServerPaintsTheFallbackOrNothing)
{
    const QImage img = Render(R"svg(<rect id="r" width="1" height="1"/>
        <rect width="50" height="50" fill="url(#missing)"/>
        <rect x="50" width="50" height="50" fill="url(#r)"/>
        <rect y="50" width="50" height="50" fill="url(#missing) lime"/>
        <rect x="60" y="60" width="30" height="30" fill="none" stroke="url(#r)" stroke-width="10"/>)svg");
    EXPECT_EQ(Alpha(img, 25, 25), 0);
    EXPECT_EQ(Alpha(img, 75, 25), 0);
    EXPECT_EQ(Colour(img, 25, 75), qRgb(0, 255, 0));
    EXPECT_EQ(Alpha(img, 60, 75), 0);
}

TEST(Paint, HRefChainsLendStopsAndAttributesAndStopAtLoops)
{
    const QImage img = Render(QStringLiteral(R"svg(
        <linearGradient id="base" x2="0" y2="1" spreadMethod="repeat">%1</linearGradient>
        <linearGradient id="child" xlink:href="#base" y2="0.5"/>
        <linearGradient id="loopA" xlink:href="#loopB">%1</linearGradient>
        <linearGradient id="loopB" xlink:href="#loopA"/>
        <rect width="50" height="100" fill="url(#child)"/>
        <rect x="50" width="50" height="100" fill="url(#loopB)"/>)svg").arg(QLatin1String(kRedBlue)));
    // Vertical and repeating from the base, half the height from the child.
    EXPECT_NEAR(Redness(img, 25, 10), Redness(img, 25, 60), 0.05);
    EXPECT_GT(Redness(img, 25, 2), 0.9);
    // The loop ends where it closes; loopB takes loopA's stops.
    EXPECT_GT(Redness(img, 52, 50), 0.9);
    EXPECT_LT(Redness(img, 98, 50), 0.1);
}

TEST(Paint, StopsBlendTheirColoursBeforeTheirOpacities)
{
    // Half way from transparent white to opaque black: half-covering grey, not black.
    const QImage img = Render(R"svg(
        <linearGradient id="g"><stop offset="0" stop-color="white" stop-opacity="0"/>
          <stop offset="1" stop-color="black"/></linearGradient>
        <rect width="100" height="100" fill="url(#g)"/>)svg");
    EXPECT_NEAR(Alpha(img, 50, 50), 128, 8);
    EXPECT_NEAR(qRed(img.pixel(50, 50)), 127, 12);
}

TEST(Paint, PatternTilesRepeatAndEmptyTilesPaintNothing)
{
    const QImage img = Render(R"svg(
        <pattern id="p" patternUnits="userSpaceOnUse" width="20" height="20">
          <rect width="10" height="10" fill="green"/></pattern>
        <pattern id="zero" width="0" height="0"><rect width="10" height="10" fill="red"/></pattern>
        <pattern id="box" width="0.5" height="0.5" patternContentUnits="objectBoundingBox">
          <rect width="0.25" height="0.25" fill="blue"/></pattern>
        <rect width="50" height="50" fill="url(#p)"/>
        <rect x="50" width="50" height="50" fill="url(#zero)" stroke="black" stroke-width="2"/>
        <rect y="50" width="100" height="50" fill="url(#box)"/>)svg");
    EXPECT_EQ(Colour(img, 5, 5), qRgb(0, 128, 0));
    EXPECT_EQ(Colour(img, 25, 25), qRgb(0, 128, 0));
    EXPECT_EQ(Alpha(img, 15, 5), 0);
    EXPECT_EQ(Alpha(img, 75, 25), 0);     // zero-sized tile: nothing ...
    EXPECT_EQ(Alpha(img, 50, 25), 255);   // ... but the stroke and the rest still draw
    // Bounding-box tiles of 50 x 25 holding a 25 x 12.5 square.
    EXPECT_EQ(Colour(img, 10, 55), qRgb(0, 0, 255));
    EXPECT_EQ(Colour(img, 60, 80), qRgb(0, 0, 255));
    EXPECT_EQ(Alpha(img, 35, 55), 0);
}

TEST(Paint, BoundingBoxTilesStartAtTheBoxCornerWithoutXAndY)
{
    // Tiles of 20 x 20 from (10, 10), each with a 10 x 10 square in its top-left quarter.
    const QImage img = Render(R"svg(
        <pattern id="p" width="0.5" height="0.5">
          <rect width="10" height="10" fill="blue"/></pattern>
        <rect x="10" y="10" width="40" height="40" fill="url(#p)"/>)svg");
    EXPECT_EQ(Colour(img, 15, 15), qRgb(0, 0, 255));
    EXPECT_EQ(Colour(img, 35, 35), qRgb(0, 0, 255));
    EXPECT_EQ(Alpha(img, 25, 15), 0);
    EXPECT_EQ(Alpha(img, 15, 25), 0);
}

TEST(Paint, TilesBetweenDevicePixelsKeepTheirPlace)
{
    // The pattern's turn and the element's cancel out, leaving tiles from (-17.5, -8.3):
    // the squares cover half of pixel columns 2 and 12 instead of snapping to whole pixels.
    const QImage img = Render(R"svg(
        <pattern id="p" patternUnits="userSpaceOnUse" x="0.801" width="20" height="20"
                 patternTransform="rotate(30)">
          <rect width="10" height="10" fill="blue"/></pattern>
        <rect x="-100" y="-100" width="300" height="300" fill="url(#p)"
              transform="rotate(-30 50 50)"/>)svg");
    EXPECT_NEAR(Alpha(img, 2, 15), 128, 40);
    EXPECT_NEAR(Alpha(img, 12, 15), 128, 40);
    EXPECT_EQ(Alpha(img, 7, 15), 255);
    EXPECT_EQ(Alpha(img, 17, 15), 0);
}

TEST(Paint, PatternUsedInsideItsOwnContentDrawsNoFurther)
{
    const QImage img = Render(R"svg(
        <pattern id="p" patternUnits="userSpaceOnUse" width="20" height="20">
          <rect width="10" height="10" fill="url(#p)" stroke="green" stroke-width="2"/></pattern>
        <rect width="100" height="100" fill="url(#p)"/>)svg");
    EXPECT_EQ(Colour(img, 10, 5), qRgb(0, 128, 0));
}
