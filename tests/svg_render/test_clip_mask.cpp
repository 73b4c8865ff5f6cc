// Clip paths, masks and the bounding boxes they are laid out on, as a user sees them:
// each table row names a pixel that must show the element's colour (or the given alpha)
// and one that must stay transparent.

#include "render_helpers.h"

#include "svg/model/dom/group.h"
#include "svg/model/dom/text.h"
#include "svg/render/bounds.h"
#include "svg/render/clip_path.h"

#include <gtest/gtest.h>

using namespace svgtest;

namespace {

struct TPixelCase {
    const char *body;
    QPoint shown, hidden;
};

void ExpectShownAndHidden(const TPixelCase &c)
{
    SCOPED_TRACE(c.body);
    const QImage img = Render(c.body);
    EXPECT_EQ(Alpha(img, c.shown.x(), c.shown.y()), 255) << "at " << c.shown.x() << "," << c.shown.y();
    EXPECT_EQ(Alpha(img, c.hidden.x(), c.hidden.y()), 0) << "at " << c.hidden.x() << "," << c.hidden.y();
}

} // namespace

TEST(ClipPath, CutsTheElementItIsSetOnToTheClipGeometry)
{
    const TPixelCase cases[] = {
        // A shape.
        {R"svg(<clipPath id="c"><rect x="10" y="10" width="30" height="30"/></clipPath>
            <rect width="100" height="100" fill="blue" clip-path="url(#c)"/>)svg", {20, 20}, {60, 60}},
        // A group: the clip applies to the group as a whole, not to each child.
        {R"svg(<clipPath id="c"><circle cx="50" cy="50" r="20"/></clipPath>
            <g clip-path="url(#c)"><rect width="50" height="100"/><rect x="50" width="50" height="100"/></g>)svg",
         {60, 50}, {90, 50}},
        // Text as the clip: only inside the glyphs.
        {R"svg(<clipPath id="c"><text x="0" y="90" font-size="120">I</text></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {18, 50}, {90, 10}},
        // A use of a shape inside the clip path, moved by its x.
        {R"svg(<defs><rect id="r" width="20" height="20"/></defs>
            <clipPath id="c"><use href="#r" x="60"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {70, 10}, {10, 10}},
        // The clip path's transform and its child's both apply.
        {R"svg(<clipPath id="c" transform="translate(50 0)"><rect width="20" height="20"
            transform="translate(0 50)"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {60, 60}, {10, 60}},
        // The element's own transform moves its clip with it.
        {R"svg(<clipPath id="c"><rect width="20" height="20"/></clipPath>
            <rect width="50" height="50" transform="translate(50 50)" clip-path="url(#c)"/>)svg", {60, 60}, {80, 80}},
        // objectBoundingBox units: fractions of the element's box.
        {R"svg(<clipPath id="c" clipPathUnits="objectBoundingBox"><rect width="0.5" height="0.5"/></clipPath>
            <rect x="40" y="40" width="60" height="60" clip-path="url(#c)"/>)svg", {50, 50}, {80, 80}},
        // ... of a group's box, the union of its children's.
        {R"svg(<clipPath id="c" clipPathUnits="objectBoundingBox"><rect x="0.5" width="0.5" height="1"/></clipPath>
            <g clip-path="url(#c)"><rect x="20" y="20" width="10" height="10"/>
            <rect x="60" y="60" width="20" height="20"/></g>)svg", {70, 70}, {25, 25}},
        // A clip path that is itself clipped: the intersection.
        {R"svg(<clipPath id="a"><rect x="40" width="60" height="100"/></clipPath>
            <clipPath id="c" clip-path="url(#a)"><rect width="60" height="100"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {50, 50}, {20, 50}},
        // A clipped child inside the clip path.
        {R"svg(<clipPath id="a"><rect y="50" width="100" height="50"/></clipPath>
            <clipPath id="c"><rect width="50" height="100" clip-path="url(#a)"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {20, 70}, {20, 20}},
        // Opacity, fill none and a stroke of the clip geometry change nothing.
        {R"svg(<clipPath id="c"><rect width="50" height="50" fill="none" opacity="0.1"
            stroke="black" stroke-width="40"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {45, 45}, {60, 60}},
    };
    for (const TPixelCase &c : cases)
        ExpectShownAndHidden(c);
}

TEST(ClipPath, ClipRuleDecidesTheInsideOfTheClipGeometry)
{
    // Two nested squares drawn the same way: even-odd leaves a hole, non-zero does not.
    const char *clip = R"svg(<clipPath id="c"><path clip-rule="%1"
        d="M10 10 H90 V90 H10 Z M30 30 H70 V70 H30 Z"/></clipPath>
        <rect width="100" height="100" clip-path="url(#c)"/>)svg";
    const QImage evenOdd = Render(QString::fromUtf8(clip).arg(QLatin1String("evenodd")));
    const QImage nonZero = Render(QString::fromUtf8(clip).arg(QLatin1String("nonzero")));
    EXPECT_EQ(Alpha(evenOdd, 50, 50), 0);
    EXPECT_EQ(Alpha(evenOdd, 20, 20), 255);
    EXPECT_EQ(Alpha(nonZero, 50, 50), 255);
    // Inherited from the clipPath element.
    const QImage inherited = Render(R"svg(<clipPath id="c" clip-rule="evenodd"><path
        d="M10 10 H90 V90 H10 Z M30 30 H70 V70 H30 Z"/></clipPath>
        <rect width="100" height="100" clip-path="url(#c)"/>)svg");
    EXPECT_EQ(Alpha(inherited, 50, 50), 0);
}

TEST(ClipPath, StyleSheetsSetClipPathAndClipRuleButNotTheUnits)
{
    const TPixelCase cases[] = {
        // clip-path from a rule, on a shape and on a group.
        {R"svg(<style>.c { clip-path: url(#c) }</style>
            <clipPath id="c"><rect width="50" height="100"/></clipPath>
            <rect class="c" width="100" height="100"/>)svg", {30, 50}, {70, 50}},
        {R"svg(<style>g { clip-path: url(#c) }</style>
            <clipPath id="c"><rect width="50" height="100"/></clipPath>
            <g><rect width="100" height="100"/></g>)svg", {30, 50}, {70, 50}},
        // A rule wins over the attribute; an important rule over the style attribute.
        {R"svg(<style>rect { clip-path: none }</style>
            <clipPath id="c"><rect width="50" height="100"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {70, 50}, {-1, -1}},
        {R"svg(<style>rect { clip-path: url(#c) !important }</style>
            <clipPath id="c"><rect width="50" height="100"/></clipPath>
            <clipPath id="d"><rect x="50" width="50" height="100"/></clipPath>
            <rect width="100" height="100" style="clip-path: url(#d)"/>)svg", {30, 50}, {70, 50}},
        // On the clip path itself and on a child of it.
        {R"svg(<style>#c { clip-path: url(#a) }</style>
            <clipPath id="a"><rect x="40" width="60" height="100"/></clipPath>
            <clipPath id="c"><rect width="60" height="100"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {50, 50}, {20, 50}},
        {R"svg(<style>#k { clip-path: url(#a) }</style>
            <clipPath id="a"><rect y="50" width="100" height="50"/></clipPath>
            <clipPath id="c"><rect id="k" width="50" height="100"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {20, 70}, {20, 20}},
        // clip-rule from a rule, on the child and inherited from the clip path.
        {R"svg(<style>path { clip-rule: evenodd }</style>
            <clipPath id="c"><path d="M10 10 H90 V90 H10 Z M30 30 H70 V70 H30 Z"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {20, 20}, {50, 50}},
        {R"svg(<style>#c { clip-rule: evenodd }</style>
            <clipPath id="c"><path d="M10 10 H90 V90 H10 Z M30 30 H70 V70 H30 Z"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {20, 20}, {50, 50}},
        // clipPathUnits and maskUnits are attributes, not properties: a rule naming them
        // changes nothing (user space for the clip, a region of box fractions for the mask).
        {R"svg(<style>#c { clipPathUnits: objectBoundingBox }</style>
            <clipPath id="c"><rect width="30" height="30"/></clipPath>
            <rect x="20" y="20" width="60" height="60" clip-path="url(#c)"/>)svg", {25, 25}, {35, 35}},
        {R"svg(<style>#m { maskUnits: userSpaceOnUse }</style>
            <mask id="m" x="0" y="0" width="0.5" height="1"><rect width="100" height="100" fill="white"/></mask>
            <rect x="20" y="20" width="60" height="60" mask="url(#m)"/>)svg", {45, 50}, {55, 50}},
    };
    for (const TPixelCase &c : cases) {
        SCOPED_TRACE(c.body);
        const QImage img = Render(c.body);
        EXPECT_EQ(Alpha(img, c.shown.x(), c.shown.y()), 255);
        if (c.hidden.x() >= 0) {
            EXPECT_EQ(Alpha(img, c.hidden.x(), c.hidden.y()), 0);
        }
    }
}

TEST(ClipPath, ReferencesThatLeadNowhereOrBackAreIgnored)
{
    const TPixelCase shown[] = {
        // A missing element and an element that is no clip path: drawn unclipped.
        {R"svg(<rect width="100" height="100" clip-path="url(#missing)"/>)svg", {90, 90}, {-1, -1}},
        {R"svg(<rect id="r" width="10" height="10"/>
            <rect width="100" height="100" clip-path="url(#r)"/>)svg", {90, 90}, {-1, -1}},
        // A clip path that clips itself: that inner reference is ignored, drawing ends.
        {R"svg(<clipPath id="c"><rect width="50" height="50" clip-path="url(#c)"/></clipPath>
            <rect width="100" height="100" clip-path="url(#c)"/>)svg", {40, 40}, {60, 60}},
        {R"svg(<clipPath id="a" clip-path="url(#b)"><rect width="50" height="100"/></clipPath>
            <clipPath id="b" clip-path="url(#a)"><rect width="100" height="50"/></clipPath>
            <rect width="100" height="100" clip-path="url(#a)"/>)svg", {40, 40}, {60, 60}},
    };
    for (const TPixelCase &c : shown) {
        SCOPED_TRACE(c.body);
        const QImage img = Render(c.body);
        EXPECT_EQ(Alpha(img, c.shown.x(), c.shown.y()), 255);
        if (c.hidden.x() >= 0) {
            EXPECT_EQ(Alpha(img, c.hidden.x(), c.hidden.y()), 0);
        }
    }
    // An empty clip path, or a use of a group inside one, shows nothing.
    EXPECT_TRUE(IsBlank(Render(R"svg(<clipPath id="c"/>
        <rect width="100" height="100" clip-path="url(#c)"/>)svg")));
    EXPECT_TRUE(IsBlank(Render(R"svg(<defs><g id="g"><rect width="50" height="50"/></g></defs>
        <clipPath id="c"><use href="#g"/></clipPath>
        <rect width="100" height="100" clip-path="url(#c)"/>)svg")));
}

TEST(ClipPath, EdgesAreAntialiasedAndWholePixelRectanglesExact)
{
    // A clip edge through the middle of a pixel column covers it by half.
    const QImage img = Render(R"svg(<clipPath id="c"><rect width="50.5" height="100"/></clipPath>
        <rect width="100" height="100" clip-path="url(#c)"/>)svg");
    EXPECT_NEAR(Alpha(img, 50, 50), 128, 20);
    // One rectangle on whole pixels clips exactly as the same area made of two.
    const QImage one = Render(R"svg(<clipPath id="c"><rect x="10" y="10" width="40" height="40"/></clipPath>
        <circle cx="40" cy="40" r="35" clip-path="url(#c)" opacity="0.5"/>)svg");
    const QImage two = Render(R"svg(<clipPath id="c"><rect x="10" y="10" width="20" height="40"/>
        <rect x="30" y="10" width="20" height="40"/></clipPath>
        <circle cx="40" cy="40" r="35" clip-path="url(#c)" opacity="0.5"/>)svg");
    EXPECT_EQ(Differences(one, two, 1), 0);
    EXPECT_NEAR(Alpha(one, 49, 49), 128, 1);
    EXPECT_EQ(Alpha(one, 50, 49), 0);
}

TEST(ClipPath, EdgesBeyondTheCanvasClipAsTheCanvasEdge)
{
    // Edges a fraction of a pixel outside the picture cut nothing: the picture is the
    // unclipped one, overlaps and all.
    const char *content = R"svg(<g clip-path="url(#c)" opacity="0.5"><rect width="100" height="100" fill="blue"/>
        <circle cx="95" cy="50" r="20" fill="lime"/></g>)svg";
    const QImage free = Render(QString::fromUtf8(content).replace(QStringLiteral("clip-path=\"url(#c)\""), QString()));
    const char *wide[] = {
        R"svg(<clipPath id="c"><rect x="-0.3" y="-0.45" width="100.6" height="100.7"/></clipPath>)svg",
        R"svg(<clipPath id="c"><path d="M-0.05 0H100.02V100.01H-0.05Z"/></clipPath>)svg",
        R"svg(<mask id="c" maskUnits="userSpaceOnUse" x="-0.3" y="-0.3" width="100.6" height="100.6">
            <rect x="-0.3" y="-0.3" width="100.6" height="100.6" fill="white"/></mask>)svg",
    };
    for (const char *clip : wide) {
        SCOPED_TRACE(clip);
        QString body = QString::fromUtf8(clip) + QString::fromUtf8(content);
        if (body.contains(QStringLiteral("<mask")))
            body.replace(QStringLiteral("clip-path=\"url(#c)\""), QStringLiteral("mask=\"url(#c)\""));
        EXPECT_EQ(Render(body), free);
    }
    // An edge inside the picture still counts, on a whole pixel or between two.
    const QImage half = Render(R"svg(<clipPath id="c"><rect x="-7.3" y="-1" width="57.3" height="102"/></clipPath>
        <rect width="100" height="100" clip-path="url(#c)"/>)svg");
    EXPECT_EQ(Alpha(half, 0, 50), 255);
    EXPECT_EQ(Alpha(half, 49, 99), 255);
    EXPECT_EQ(Alpha(half, 50, 50), 0);
    const QImage between = Render(R"svg(<clipPath id="c"><rect x="-7.3" y="-1" width="57.8" height="102"/></clipPath>
        <rect width="100" height="100" clip-path="url(#c)"/>)svg");
    EXPECT_NEAR(Alpha(between, 50, 50), 128, 20);
    // A clip wholly outside shows nothing.
    EXPECT_TRUE(IsBlank(Render(R"svg(<clipPath id="c"><rect x="100.5" width="20" height="100"/></clipPath>
        <rect width="100" height="100" clip-path="url(#c)"/>)svg")));
}

TEST(ClipPath, TheQueryGivesTheOutlineInTheElementsSpace)
{
    TSVGDocument doc;
    doc.LoadFromText(Document(QStringLiteral(R"svg(
        <clipPath id="c" transform="translate(10 0)"><rect width="20" height="30" clip-rule="evenodd"
        transform="translate(0 5)"/></clipPath>
        <g clip-path="url(#c)"><rect id="r" width="50" height="50"/></g>
        <rect id="free" width="50" height="50"/>)svg")));
    const auto *r = dynamic_cast<TSVGGraphicElement *>(doc.FindElement(QStringLiteral("r")));
    const auto *free = dynamic_cast<TSVGGraphicElement *>(doc.FindElement(QStringLiteral("free")));
    ASSERT_TRUE(r && free);
    // The group's clip path reaches its child; both transforms are applied once each.
    const TRSPathData path = SVGGetClipPath(*r);
    EXPECT_EQ(path.GetBounds(), QRectF(10, 5, 20, 30));
    EXPECT_EQ(path.FillMode(), fmEvenOdd);
    EXPECT_TRUE(SVGGetClipPath(*free).IsEmpty());
}

TEST(Mask, LuminanceTimesAlphaScalesTheElement)
{
    struct Case {
        const char *body;
        QPoint at;
        int alpha;
    };
    const Case cases[] = {
        // White shows fully, black hides, grey halfway; outside the content nothing shows.
        {R"svg(<mask id="m"><rect width="100" height="100" fill="white"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {50, 50}, 255},
        {R"svg(<mask id="m"><rect width="100" height="100" fill="black"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {50, 50}, 0},
        {R"svg(<mask id="m"><rect width="100" height="100" fill="#808080"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {50, 50}, 128},
        {R"svg(<mask id="m"><rect width="100" height="100" fill="white" fill-opacity="0.5"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {50, 50}, 128},
        // Luminance weights: pure green counts far more than pure blue.
        {R"svg(<mask id="m"><rect width="100" height="100" fill="#00ff00"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {50, 50}, 182},
        {R"svg(<mask id="m"><rect width="100" height="100" fill="#0000ff"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {50, 50}, 18},
        // mask-type alpha: the alpha alone.
        {R"svg(<mask id="m" mask-type="alpha"><rect width="100" height="100" fill="black"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {50, 50}, 255},
        // The default region is the bounding box grown by 10% on every side.
        {R"svg(<mask id="m"><rect width="100" height="100" fill="white"/></mask>
            <rect x="20" y="20" width="50" height="50" mask="url(#m)"/>)svg", {22, 22}, 255},
        {R"svg(<mask id="m"><rect width="100" height="100" fill="white"/></mask>
            <circle cx="50" cy="50" r="30" stroke="black" stroke-width="20" mask="url(#m)"/>)svg", {11, 50}, 0},
        {R"svg(<mask id="m"><rect width="100" height="100" fill="white"/></mask>
            <circle cx="50" cy="50" r="30" stroke="black" stroke-width="20" mask="url(#m)"/>)svg", {16, 50}, 255},
        // userSpaceOnUse region in user units.
        {R"svg(<mask id="m" maskUnits="userSpaceOnUse" x="0" y="0" width="30" height="100">
            <rect width="100" height="100" fill="white"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {40, 50}, 0},
        // maskContentUnits objectBoundingBox: content in fractions of the box.
        {R"svg(<mask id="m" maskContentUnits="objectBoundingBox">
            <rect x="0.5" width="0.5" height="1" fill="white"/></mask>
            <rect x="20" y="20" width="60" height="60" mask="url(#m)"/>)svg", {70, 50}, 255},
        {R"svg(<mask id="m" maskContentUnits="objectBoundingBox">
            <rect x="0.5" width="0.5" height="1" fill="white"/></mask>
            <rect x="20" y="20" width="60" height="60" mask="url(#m)"/>)svg", {30, 50}, 0},
        // A mask on a mask multiplies.
        {R"svg(<mask id="a"><rect width="100" height="100" fill="#808080"/></mask>
            <mask id="m" mask="url(#a)"><rect width="100" height="100" fill="white"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {50, 50}, 128},
        // On a group and on a use.
        {R"svg(<mask id="m"><rect width="50" height="100" fill="white"/></mask>
            <g mask="url(#m)"><rect width="100" height="100"/></g>)svg", {70, 50}, 0},
        {R"svg(<defs><rect id="r" width="100" height="100"/></defs>
            <mask id="m"><rect width="50" height="100" fill="white"/></mask>
            <use href="#r" mask="url(#m)"/>)svg", {30, 50}, 255},
        // Set from a style sheet, which wins over the attribute.
        {R"svg(<style>.m { mask: url(#m) } #m { mask-type: alpha }</style>
            <mask id="m"><rect width="50" height="100" fill="black"/></mask>
            <rect class="m" width="100" height="100"/>)svg", {70, 50}, 0},
        {R"svg(<style>.m { mask: url(#m) } #m { mask-type: alpha }</style>
            <mask id="m"><rect width="50" height="100" fill="black"/></mask>
            <rect class="m" width="100" height="100"/>)svg", {30, 50}, 255},
        {R"svg(<style>rect { mask: none }</style>
            <mask id="m"><rect width="50" height="100" fill="white"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {70, 50}, 255},
        // A reference to nothing is ignored, on a shape as on a group; a mask masking
        // itself draws once.
        {R"svg(<rect width="100" height="100" mask="url(#none)"/>)svg", {50, 50}, 255},
        {R"svg(<g mask="url(#none)" opacity="0.5"><rect width="100" height="100"/></g>)svg", {50, 50}, 128},
        {R"svg(<mask id="m" mask="url(#m)"><rect width="100" height="100" fill="white"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg", {50, 50}, 255},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        const QImage img = Render(c.body);
        EXPECT_NEAR(Alpha(img, c.at.x(), c.at.y()), c.alpha, 3);
    }
}

TEST(Mask, ADocumentLoadedAgainForgetsTheMaskItsStyleSheetSet)
{
    TSVGDocument doc;
    doc.LoadFromText(Document(QStringLiteral(R"svg(<style>svg { mask: url(#m) }</style>
        <mask id="m"><rect width="50" height="100" fill="white"/></mask>
        <rect width="100" height="100"/>)svg")));
    TSVGRasterOptions options;
    const QImage first = SVGRasterize(doc, options).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(Alpha(first, 70, 50), 0);
    // The same root element, now without any rule: a mask of the same id must not apply.
    doc.LoadFromText(Document(QStringLiteral(R"svg(<mask id="m"><rect width="50" height="100"
        fill="white"/></mask><rect width="100" height="100"/>)svg")));
    const QImage second = SVGRasterize(doc, options).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(Alpha(second, 70, 50), 255);
}

TEST(Mask, ARectangleLettingAllThroughClipsLikeTheDrawnMask)
{
    // The same mask drawn (a second, empty child makes it so) and taken as a clip.
    const char *masks[] = {
        R"svg(<mask id="m" maskUnits="userSpaceOnUse" x="0" y="0" width="100" height="100">
            <rect x="10" y="20" width="50" height="60" fill="#fff"/>%1</mask>)svg",
        R"svg(<mask id="m"><rect x="10" y="20" width="50" height="60" fill="white"/>%1</mask>)svg",
        R"svg(<mask id="m" mask-type="alpha"><rect x="10" y="20" width="50" height="60" fill="red"/>%1</mask>)svg",
        R"svg(<mask id="m" maskContentUnits="objectBoundingBox"><rect width="0.5" height="0.5" fill="#ffffff"/>%1</mask>)svg",
    };
    const QString body = QStringLiteral(R"svg(<g mask="url(#m)"><rect x="5" y="5" width="80" height="80" fill="blue"/>
        <circle cx="50" cy="50" r="30" fill="lime" stroke="black" stroke-width="4"/></g>)svg");
    for (const char *mask : masks) {
        SCOPED_TRACE(mask);
        const QImage clipped = Render(QString::fromUtf8(mask).arg(QString()) + body);
        const QImage drawn = Render(QString::fromUtf8(mask).arg(QStringLiteral(R"(<rect width="0" height="0"/>)")) + body);
        EXPECT_FALSE(IsBlank(clipped));
        EXPECT_EQ(clipped, drawn);
    }
}

TEST(Mask, AnElementWithoutAreaUnderBoundingBoxUnitsIsHidden)
{
    EXPECT_TRUE(IsBlank(Render(R"svg(<mask id="m"><rect width="100" height="100" fill="white"/></mask>
        <line x1="0" y1="50" x2="100" y2="50" stroke="black" stroke-width="10" mask="url(#m)"/>)svg")));
}

TEST(Mask, NamingAnotherKindOfElementHidesTheElementNamingNothingDoesNot)
{
    // The named element exists but is no mask: nothing of the masked element shows.
    const char *hidden[] = {
        R"svg(<clipPath id="c"><rect width="100" height="100"/></clipPath>
            <rect width="100" height="100" mask="url(#c)"/>)svg",
        R"svg(<linearGradient id="c"><stop stop-color="white"/></linearGradient>
            <g mask="url(#c)"><rect width="100" height="100"/></g>)svg",
        R"svg(<style>.m { mask: url(#c) }</style><clipPath id="c"/>
            <rect class="m" width="100" height="100"/>)svg",
        R"svg(<defs><rect id="r" width="100" height="100"/></defs><clipPath id="c"/>
            <use href="#r" mask="url(#c)"/>)svg",
        // On the mask itself, or on the one child that would let everything through.
        R"svg(<clipPath id="c"/><mask id="m" mask="url(#c)"><rect width="100" height="100" fill="white"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg",
        R"svg(<clipPath id="c"/><mask id="m"><rect width="100" height="100" fill="white" mask="url(#c)"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg",
    };
    for (const char *body : hidden) {
        SCOPED_TRACE(body);
        EXPECT_TRUE(IsBlank(Render(body)));
    }
    // A missing element: drawn unmasked, a group with its opacity as well.
    const char *shown[] = {
        R"svg(<g mask="url(#missing)"><rect width="100" height="100"/></g>)svg",
        R"svg(<g mask="url(#missing)" opacity="0.5"><rect width="100" height="100"/></g>)svg",
        R"svg(<mask id="m" mask="url(#missing)"><rect width="100" height="100" fill="white"/></mask>
            <rect width="100" height="100" mask="url(#m)"/>)svg",
    };
    const int alpha[] = {255, 128, 255};
    for (size_t i = 0; i < std::size(shown); ++i) {
        SCOPED_TRACE(shown[i]);
        EXPECT_NEAR(Alpha(Render(shown[i]), 50, 50), alpha[i], 1);
    }
}

TEST(Overflow, NestedViewportsAndPatternTilesClipTheirContent)
{
    const TPixelCase cases[] = {
        {R"svg(<svg x="10" y="10" width="30" height="30"><rect width="100" height="100"/></svg>)svg",
         {20, 20}, {50, 50}},
        {R"svg(<pattern id="p" width="20" height="20" patternUnits="userSpaceOnUse">
            <rect width="10" height="40"/></pattern>
            <rect width="100" height="100" fill="url(#p)"/>)svg", {5, 15}, {15, 15}},
    };
    for (const TPixelCase &c : cases)
        ExpectShownAndHidden(c);
    // overflow visible or auto lets a nested svg's content out, and so does inherit
    // when no ancestor states a value; a stated hidden is inherited.
    const char *shown[] = {
        R"svg(<svg x="10" y="10" width="30" height="30" overflow="visible"><rect width="100" height="100"/></svg>)svg",
        R"svg(<svg x="10" y="10" width="30" height="30" overflow="auto"><rect width="100" height="100"/></svg>)svg",
        R"svg(<svg x="10" y="10" width="30" height="30" overflow="inherit"><rect width="100" height="100"/></svg>)svg",
        R"svg(<style>svg svg { overflow: visible }</style>
            <svg x="10" y="10" width="30" height="30"><rect width="100" height="100"/></svg>)svg",
        R"svg(<style>.open { overflow: auto }</style>
            <svg class="open" x="10" y="10" width="30" height="30"><rect width="100" height="100"/></svg>)svg",
    };
    for (const char *body : shown) {
        SCOPED_TRACE(body);
        EXPECT_EQ(Alpha(Render(body), 50, 50), 255);
    }
    EXPECT_EQ(Alpha(Render(R"svg(<g overflow="hidden"><svg x="10" y="10" width="30" height="30"
        overflow="inherit"><rect width="100" height="100"/></svg></g>)svg"), 50, 50), 0);
    // A sheet's hidden is inherited too, and wins over the attribute.
    EXPECT_EQ(Alpha(Render(R"svg(<style>g { overflow: hidden }</style><g><svg x="10" y="10" width="30"
        height="30" overflow="inherit"><rect width="100" height="100"/></svg></g>)svg"), 50, 50), 0);
    EXPECT_EQ(Alpha(Render(R"svg(<style>svg svg { overflow: hidden }</style><svg x="10" y="10" width="30"
        height="30" overflow="visible"><rect width="100" height="100"/></svg>)svg"), 50, 50), 0);
}

TEST(Overflow, ViewportEdgesUnderRotationAreAntialiasedLikeTheShapeTheyCut)
{
    // Content far larger than the viewport: only the viewport's edges show, and they must
    // look like the edges of the same rotated square drawn as a shape.
    const QImage square = Render(R"svg(<g transform="rotate(30 50 50)">
        <rect x="20" y="20" width="60" height="60"/></g>)svg");
    int partial = 0;
    for (int y = 0; y < square.height(); ++y)
        for (int x = 0; x < square.width(); ++x)
            partial += Alpha(square, x, y) > 0 && Alpha(square, x, y) < 255;
    ASSERT_GT(partial, 100);
    const char *viewports[] = {
        R"svg(<g transform="rotate(30 50 50)"><svg x="20" y="20" width="60" height="60">
            <rect x="-500" y="-500" width="1000" height="1000"/></svg></g>)svg",
        R"svg(<symbol id="s" viewBox="0 0 60 60"><rect x="-500" y="-500" width="1000" height="1000"/></symbol>
            <use href="#s" x="20" y="20" width="60" height="60" transform="rotate(30 50 50)"/>)svg",
        R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="60" markerHeight="60"
            refX="30" refY="30" orient="30"><rect x="-500" y="-500" width="1000" height="1000"/></marker>
            <path d="M50 50 L60 50" marker-start="url(#m)"/>)svg",
    };
    for (const char *body : viewports) {
        SCOPED_TRACE(body);
        EXPECT_EQ(Differences(Render(body), square, 8), 0);
    }
}

TEST(Bounds, GroupsUniteTheirChildrenAndTextHasItsLineBox)
{
    TSVGDocument doc;
    doc.LoadFromText(Document(QStringLiteral(R"svg(
        <g id="g" transform="translate(5 5)"><rect x="10" y="10" width="10" height="10"/>
        <circle cx="50" cy="50" r="10" transform="translate(10 0)"/>
        <rect x="-50" width="10" height="10" visibility="hidden"/></g>
        <text id="t" x="10" y="50" font-size="20">Wide text</text>)svg")));
    const auto *g = dynamic_cast<TSVGGraphicElement *>(doc.FindElement(QStringLiteral("g")));
    ASSERT_NE(g, nullptr);
    // In the group's own space (its transform not applied); the hidden rect counts not.
    const QRectF box = SVGObjectBounds(*g);
    EXPECT_NEAR(box.left(), 10, 0.01);
    EXPECT_NEAR(box.top(), 10, 0.01);
    EXPECT_NEAR(box.right(), 70, 0.01);
    EXPECT_NEAR(box.bottom(), 60, 0.01);

    const auto *t = dynamic_cast<TSVGGraphicElement *>(doc.FindElement(QStringLiteral("t")));
    ASSERT_NE(t, nullptr);
    const QRectF text = SVGObjectBounds(*t);
    // The line box: from the text position along its advance, ascent above the baseline
    // and descent below it.
    EXPECT_NEAR(text.left(), 10, 0.01);
    EXPECT_GT(text.width(), 60);  // nine characters of a 20 unit font
    EXPECT_GT(text.bottom(), 52);
    EXPECT_LT(text.bottom(), 60);
    EXPECT_GT(text.top(), 25);
    EXPECT_LT(text.top(), 40);
}
