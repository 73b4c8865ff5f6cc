// Whole documents through the draw traversal: what a user sees of fills, strokes, group
// opacity, paint servers and the conditional elements.

#include "render_helpers.h"

#include <gtest/gtest.h>

using namespace svgtest;

TEST(Draw, FillRuleComesFromTheElementOrItsGroup)
{
    // Two squares wound the same way; evenodd leaves the inner one open.
    const char *body = R"svg(<g fill-rule="nonzero"><path %1 fill="black"
        d="M10 10 H90 V90 H10 Z M30 30 H70 V70 H30 Z"/></g>)svg";
    struct Case {
        const char *attribute;
        int centreAlpha;
    };
    for (const Case &c : {Case{"", 255}, Case{R"svg(fill-rule="evenodd")svg", 0}}) {
        const QImage img = Render(QString::fromLatin1(body).arg(QLatin1String(c.attribute)));
        EXPECT_EQ(Alpha(img, 50, 50), c.centreAlpha) << c.attribute;
        EXPECT_EQ(Alpha(img, 20, 20), 255);
    }
}

TEST(Draw, OpenPathFillClosesTheShapeButNotTheStroke)
{
    const QImage img = Render(R"svg(<path d="M10 90 L50 10 L90 90" fill="blue" stroke="red"
        stroke-width="4"/>)svg");
    EXPECT_EQ(Colour(img, 50, 80), qRgb(0, 0, 255));   // inside the closed fill
    EXPECT_EQ(Alpha(img, 50, 90), 0);                  // no stroke along the closing edge
}

TEST(Draw, StrokeFollowsTheTransformOfItsElement)
{
    struct Case {
        const char *transform;
        const char *d;
        bool vertical;  // the line ends up vertical on the picture
        int probe;      // the column (row) crossed to measure the stroke
        double width;   // device pixels
    };
    const Case cases[] = {
        {"", "M5 50 H95", false, 50, 3},
        {"scale(2)", "M5 25 H45", false, 50, 6},
        {"rotate(90 50 50)", "M5 50 H95", true, 50, 3},  // no "width 1" fallback when turned
        {"translate(0 50) scale(1 3)", "M5 0 H95", false, 50, 9},
        {"skewX(45)", "M5 50 H45", false, 75, 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.transform);
        const QImage img = Render(QStringLiteral(R"svg(<path transform="%1" d="%2" stroke="black"
            stroke-width="3" fill="none"/>)svg").arg(QLatin1String(c.transform), QLatin1String(c.d)));
        double w = 0;
        for (int i = 0; i < 100; ++i)
            w += (c.vertical ? Alpha(img, i, c.probe) : Alpha(img, c.probe, i)) / 255.0;
        EXPECT_NEAR(w, c.width, 0.1);
    }
}

TEST(Draw, ZeroStrokeWidthDrawsNoStroke)
{
    const QImage img = Render(R"svg(<rect x="20" y="20" width="60" height="60" fill="none" stroke="black"
        stroke-width="0"/><line x1="10" y1="50" x2="90" y2="50" stroke="black" stroke-width="0"/>)svg");
    EXPECT_TRUE(IsBlank(img));
}

TEST(Draw, GroupOpacityBlendsTheGroupOnce)
{
    const QImage img = Render(R"svg(<g opacity="0.5">
        <rect x="10" y="10" width="50" height="50" fill="red"/>
        <rect x="40" y="40" width="50" height="50" fill="red"/></g>
        <rect x="10" y="70" width="30" height="20" fill="blue" stroke="blue" stroke-width="10"
              opacity="0.5"/>)svg");
    EXPECT_NEAR(Alpha(img, 20, 20), 128, 1);
    EXPECT_NEAR(Alpha(img, 50, 50), 128, 1);  // the overlap does not show through
    EXPECT_NEAR(Alpha(img, 12, 72), 128, 1);  // nor fill under its own stroke
}

TEST(Draw, OpacitiesMultiply)
{
    const QImage img = Render(R"svg(<g opacity="0.5"><rect width="100" height="100" fill="black"
        fill-opacity="0.5"/></g>)svg");
    EXPECT_NEAR(Alpha(img, 50, 50), 64, 1);
}

TEST(Draw, AGroupWithOneDrawnChildBlendsThatChildOnce)
{
    // The child's own overlaps (fill under stroke, nested children, markers, a use's
    // content) still blend once at the group's opacity; other children that draw
    // nothing change nothing.
    struct Case {
        const char *body;
        QPoint at;
        int alpha;
    };
    const Case cases[] = {
        {R"svg(<g opacity="0.5"><rect x="10" y="10" width="60" height="60" fill="blue" stroke="blue"
            stroke-width="10"/></g>)svg", {12, 12}, 128},
        {R"svg(<g opacity="0.5"><g><rect width="60" height="60"/><rect x="30" y="30" width="60"
            height="60"/></g></g>)svg", {45, 45}, 128},
        {R"svg(<g opacity="0.5"><desc>d</desc><rect width="60" height="60" display="none"/>
            <g><rect width="60" height="60"/><rect x="30" y="30" width="60" height="60"/></g>
            <rect x="80" y="80" width="20" height="20" visibility="hidden"/></g>)svg", {45, 45}, 128},
        {R"svg(<defs><g id="two"><rect width="60" height="60"/><rect x="30" y="30" width="60"
            height="60"/></g></defs><g opacity="0.5"><use href="#two"/></g>)svg", {45, 45}, 128},
        {R"svg(<marker id="m" markerWidth="40" markerHeight="40" refX="20" refY="20"
            markerUnits="userSpaceOnUse"><rect width="40" height="40"/></marker>
            <g opacity="0.5"><path d="M50 50 H90" stroke="black" stroke-width="10"
            marker-start="url(#m)"/></g>)svg", {55, 50}, 128},
        {R"svg(<g opacity="0.5"><switch><rect width="60" height="60" systemLanguage="xx"/>
            <rect x="10" y="10" width="60" height="60" stroke="black" stroke-width="10"/></switch></g>)svg",
         {12, 12}, 128},
        // Factors of nested single-child groups and the leaf's own opacities multiply.
        {R"svg(<g opacity="0.5"><g opacity="0.5"><rect width="100" height="100"
            fill-opacity="0.5"/></g></g>)svg", {50, 50}, 32},
        {R"svg(<g opacity="0.5"><rect width="100" height="100" opacity="0.5" stroke="black"
            stroke-width="20"/></g>)svg", {5, 5}, 64},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        const QImage img = Render(c.body);
        EXPECT_NEAR(Alpha(img, c.at.x(), c.at.y()), c.alpha, 1);
    }
}

TEST(Draw, HiddenAndConditionalElements)
{
    const QImage img = Render(R"svg(
        <g visibility="hidden"><rect x="0" y="0" width="20" height="20" visibility="visible"/></g>
        <g display="none"><rect x="20" y="0" width="20" height="20"/></g>
        <switch>
          <rect x="0" y="40" width="20" height="20" systemLanguage="xx"/>
          <rect x="20" y="40" width="20" height="20"/>
          <rect x="40" y="40" width="20" height="20"/>
        </switch>
        <rect x="60" y="0" width="20" height="20" requiredExtensions="http://example.org/x"/>)svg");
    EXPECT_EQ(Alpha(img, 10, 10), 0);   // a hidden group hides every child
    EXPECT_EQ(Alpha(img, 30, 10), 0);
    EXPECT_EQ(Alpha(img, 10, 50), 0);   // switch: the language does not match
    EXPECT_EQ(Alpha(img, 30, 50), 255); // ... so the second child, and only it
    EXPECT_EQ(Alpha(img, 50, 50), 0);
    EXPECT_EQ(Alpha(img, 70, 10), 0);
}

TEST(Draw, CapsAndJoinsOfDocuments)
{
    const QImage img = Render(R"svg(
        <line x1="20" y1="20" x2="40" y2="20" stroke="black" stroke-width="10" stroke-linecap="butt"/>
        <line x1="20" y1="50" x2="40" y2="50" stroke="black" stroke-width="10" stroke-linecap="square"/>
        <path d="M60 95 L75 65 L90 95" fill="none" stroke="black" stroke-width="6"
              stroke-miterlimit="1.5"/>
        <path d="M60 55 L75 25 L90 55" fill="none" stroke="black" stroke-width="6"/>)svg");
    EXPECT_EQ(Alpha(img, 43, 20), 0);
    EXPECT_EQ(Alpha(img, 43, 50), 255);
    EXPECT_GT(Alpha(img, 75, 20), 128);   // the default limit 4 keeps this miter
    EXPECT_EQ(Alpha(img, 75, 60), 0);     // a limit of 1.5 bevels it
}

TEST(Draw, NestedViewportMapsAndClipsItsContent)
{
    const QImage img = Render(R"svg(<svg x="50" y="0" width="50" height="50" viewBox="0 0 10 10">
        <rect width="10" height="10" fill="green"/><rect x="-10" width="10" height="10" fill="red"/>
        </svg>)svg");
    EXPECT_EQ(Colour(img, 75, 25), qRgb(0, 128, 0));
    EXPECT_EQ(Alpha(img, 25, 25), 0);   // the red part lies outside the viewport
}

TEST(Draw, ExceptionsUnwindTheCanvasState)
{
    // A path whose data the canvas cannot turn into an outline raises; the canvas is left
    // as found and the caller sees the error.
    TSVGDocument doc;
    doc.LoadFromText(Document(R"svg(<rect width="10" height="10"/>)svg"));
    QImage img(10, 10, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    TSVGCanvas canvas(img);
    const TMatrix before = TMatrix::CreateTranslation(3, 4);
    canvas.SetMatrix(before);
    int events = 0;
    doc.SetOnDrawing([&](TSVGElement *, const TMatrix &, TSVGCanvas *, const QRectF &) {
        if (++events == 2)
            throw ESVGException(QStringLiteral("stop"));
    });
    EXPECT_THROW(SVGDrawDocument(doc, canvas, QRectF(0, 0, 10, 10)), ESVGException);
    EXPECT_EQ(canvas.Matrix(), before);
    EXPECT_EQ(canvas.LayerDepth(), 0);
}

TEST(Draw, RootBackgroundColourFillsThePictureUnderTheDrawing)
{
    TSVGDocument doc;
    doc.LoadFromText(QStringLiteral(
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100" viewBox="0 0 10 10" )"
        R"(style="background-color: #0000ff80"><rect x="5" width="5" height="10" fill="green"/></svg>)"));
    const QImage img = SVGRasterize(doc, TSVGRasterOptions()).convertToFormat(QImage::Format_ARGB32);
    EXPECT_NEAR(Alpha(img, 10, 50), 128, 1);
    EXPECT_EQ(qBlue(img.pixel(10, 50)), 255);
    EXPECT_EQ(Colour(img, 90, 50), qRgb(0, 128, 0));
    doc.LoadFromText(QStringLiteral(
        R"(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10" style="background-color: #zz"/>)"));
    EXPECT_TRUE(IsBlank(SVGRasterize(doc, TSVGRasterOptions()).convertToFormat(QImage::Format_ARGB32)));
}
