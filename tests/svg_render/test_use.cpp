// `use` and `symbol` as a user sees them: the shown element takes the use's place and
// properties, a symbol fills the use's viewport, and references that lead nowhere or
// back draw nothing.

#include "render_helpers.h"

#include <gtest/gtest.h>

#include <thread>

using namespace svgtest;

TEST(Use, ShowsItsTargetMovedAndInheritingFromTheUse)
{
    struct Case {
        const char *body;
        QPoint inside, outside;
        QRgb colour;
    };
    const Case cases[] = {
        // Moved by x and y, the use's transform after.
        {R"svg(<defs><rect id="r" width="20" height="20" fill="blue"/></defs>
            <use href="#r" x="30" y="40"/>)svg", {35, 45}, {10, 10}, qRgb(0, 0, 255)},
        {R"svg(<defs><rect id="r" width="20" height="20" fill="blue"/></defs>
            <use xlink:href="#r" x="10" transform="translate(20 20)"/>)svg", {35, 25}, {15, 5}, qRgb(0, 0, 255)},
        // A plain href wins over xlink:href.
        {R"svg(<defs><rect id="r" width="20" height="20" fill="blue"/><rect id="q" width="90" height="90"/></defs>
            <use xlink:href="#q" href="#r"/>)svg", {5, 5}, {50, 50}, qRgb(0, 0, 255)},
        // Fill comes from the use when the target does not set it.
        {R"svg(<defs><rect id="r" width="20" height="20"/></defs>
            <use href="#r" x="50" fill="lime"/>)svg", {55, 5}, {5, 5}, qRgb(0, 255, 0)},
        // ... also through a group inside the target.
        {R"svg(<defs><g id="g"><rect width="20" height="20"/></g></defs>
            <use href="#g" y="50" fill="lime"/>)svg", {5, 55}, {5, 5}, qRgb(0, 255, 0)},
        // currentColor in the target is the use's colour, for fill and stroke.
        {R"svg(<defs><rect id="r" width="20" height="20" fill="currentColor"/></defs>
            <use href="#r" x="50" color="lime"/>)svg", {55, 5}, {5, 5}, qRgb(0, 255, 0)},
        {R"svg(<defs><g id="g" color="red"><rect width="20" height="20" fill="none" stroke="currentColor"
            stroke-width="20"/></g></defs><g color="blue"><use href="#g" x="50" color="lime"/></g>)svg",
         {55, 5}, {5, 15}, qRgb(255, 0, 0)},
        {R"svg(<defs><rect id="r" width="20" height="20" stroke="currentColor" stroke-width="20"/></defs>
            <g color="blue"><use href="#r" x="50"/></g>)svg", {55, 5}, {5, 5}, qRgb(0, 0, 255)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        const QImage img = Render(c.body);
        EXPECT_EQ(Colour(img, c.inside.x(), c.inside.y()), c.colour);
        EXPECT_EQ(Alpha(img, c.inside.x(), c.inside.y()), 255);
        EXPECT_EQ(Alpha(img, c.outside.x(), c.outside.y()), 0);
    }
}

TEST(Use, TheTargetKeepsItsOwnPlaceAndPropertiesAfterwards)
{
    // The target drawn in its own place after the use still takes its own parent's fill.
    const QImage img = Render(R"svg(<use href="#r" x="50" fill="lime"/>
        <g fill="blue"><rect id="r" width="20" height="20"/></g>)svg");
    EXPECT_EQ(Colour(img, 5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(Colour(img, 55, 5), qRgb(0, 255, 0));
}

TEST(Use, TheTargetInheritsFromTheUseOnlyOnTheDrawingThreadAndTheTreeStaysAsItIs)
{
    TSVGDocument doc;
    doc.LoadFromText(Document(R"svg(<g id="g" color="blue"><rect id="r" width="20" height="20" fill="currentColor"/></g>
        <use id="u" href="#r" x="50" color="lime"/>)svg"));
    auto *rect = doc.FindElement(QStringLiteral("r"))->AsGraphic();
    TSVGElement *group = doc.FindElement(QStringLiteral("g"));
    TSVGElement *use = doc.FindElement(QStringLiteral("u"));
    ASSERT_TRUE(rect && group && use);
    const auto seenElsewhere = [&] {
        std::pair<TSVGElement *, TAlphaColor> seen;
        std::thread([&] { seen = {rect->Parent(), rect->CurrentColor()}; }).join();
        return seen;
    };
    {
        const TSVGUseScope scope(*rect, *use);
        EXPECT_EQ(rect->Parent(), use);
        EXPECT_EQ(QColor::fromRgba(rect->CurrentColor()), QColor(0, 255, 0));
        EXPECT_EQ(rect->TreeParent(), group);
        const auto [parent, colour] = seenElsewhere();
        EXPECT_EQ(parent, group);
        EXPECT_EQ(QColor::fromRgba(colour), QColor(0, 0, 255));
    }
    EXPECT_EQ(rect->Parent(), group);
    EXPECT_EQ(QColor::fromRgba(rect->CurrentColor()), QColor(0, 0, 255));
    // Drawn: each place shows its own colour, and the tree is the same afterwards.
    const QImage img = SVGRasterize(doc, TSVGRasterOptions()).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(Colour(img, 5, 5), qRgb(0, 0, 255));
    EXPECT_EQ(Colour(img, 55, 5), qRgb(0, 255, 0));
    EXPECT_EQ(rect->Parent(), group);
    EXPECT_EQ(group->Count(), 1);
}

TEST(Use, SymbolFillsTheUsesViewport)
{
    const QString symbol = QStringLiteral(R"svg(<defs><symbol id="s" viewBox="0 0 10 10">
        <rect width="10" height="10" fill="blue"/><rect x="10" width="10" height="10" fill="red"/>
        </symbol></defs>)svg");
    struct Case {
        const char *use;
        QPoint inside, outside;
    };
    const Case cases[] = {
        // viewBox 10 x 10 shown in 20 x 20 at x = 5: the content doubled from (5, 0).
        {R"svg(<use href="#s" x="5" width="20" height="20"/>)svg", {23, 18}, {27, 5}},
        // Without a size the viewport is the whole picture.
        {R"svg(<use href="#s"/>)svg", {95, 95}, {-1, -1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.use);
        const QImage img = Render(symbol + QLatin1String(c.use));
        EXPECT_EQ(Colour(img, c.inside.x(), c.inside.y()), qRgb(0, 0, 255));
        if (c.outside.x() >= 0) {
            EXPECT_EQ(Alpha(img, c.outside.x(), c.outside.y()), 0);  // the red rect is cut off
        }
    }
    // Unless overflow is visible.
    const QImage visible = Render(QString(symbol).replace(QLatin1String("<symbol "),
                                                          QLatin1String("<symbol overflow=\"visible\" ")) +
                                  QLatin1String(R"svg(<use href="#s" x="5" width="20" height="20"/>)svg"));
    EXPECT_EQ(Colour(visible, 27, 5), qRgb(255, 0, 0));
}

TEST(Use, ReferencesThatLeadNowhereOrBackDrawNothing)
{
    const char *bodies[] = {
        R"svg(<use href="#missing"/>)svg",
        R"svg(<use id="u" href="#u"/>)svg",
        R"svg(<g id="g"><use href="#g" x="10"/></g>)svg",
        R"svg(<use id="a" href="#b"/><use id="b" href="#a"/>)svg",
        R"svg(<defs><rect id="r" width="20" height="20"/></defs><use href="#r" display="none"/>)svg",
        R"svg(<style>use { display: none }</style>
            <defs><rect id="r" width="20" height="20"/></defs><use href="#r"/>)svg",
    };
    for (const char *body : bodies) {
        SCOPED_TRACE(body);
        QImage img;
        ASSERT_NO_THROW(img = Render(body));
        EXPECT_TRUE(IsBlank(img));
    }
}

TEST(Use, NestedSvgTakesTheUsesSizeAndSymbolsTakeNoTransform)
{
    struct Case {
        const char *body;
        QPoint inside, outside;
    };
    const Case cases[] = {
        {R"svg(<defs><svg id="v"><rect width="100" height="100" fill="blue"/></svg></defs>
            <use href="#v" width="30" height="40"/>)svg", {25, 35}, {35, 35}},
        {R"svg(<defs><svg id="v" width="30" height="40"><rect width="100" height="100" fill="blue"/></svg></defs>
            <use href="#v" x="10"/>)svg", {35, 35}, {45, 35}},
        {R"svg(<defs><symbol id="t" transform="translate(50 0)"><rect width="20" height="20" fill="blue"/>
            </symbol></defs><use href="#t"/>)svg", {10, 10}, {60, 10}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        const QImage img = Render(c.body);
        EXPECT_EQ(Colour(img, c.inside.x(), c.inside.y()), qRgb(0, 0, 255));
        EXPECT_EQ(Alpha(img, c.outside.x(), c.outside.y()), 0);
    }
}

// Documents of a few kilobytes that would draw for ever: each level shows the one
// below several times, through each kind of reference. One budget per drawing ends
// them all with a message, whatever the kinds mixed.
TEST(Use, FanOutThroughAnyKindOfReferenceEndsInAMessage)
{
    const auto levels = [](const char *first, const char *level, const char *last, int count) -> QString {
        QString body = QStringLiteral("<defs>") + QString::fromUtf8(first);
        for (int i = 1; i <= count; ++i)
            body += QString::fromUtf8(level).arg(i).arg(i - 1);
        return body + QStringLiteral("</defs>") + QString::fromUtf8(last).arg(count);
    };
    QString vertices = QStringLiteral("M0 0");
    for (int i = 0; i < 1000000; ++i)
        vertices += QStringLiteral(" h0.0001");
    const struct {
        const char *Case;
        QString Body;
    } cases[] = {
        {"use, ten times a level", levels(R"svg(<rect id="l0" width="1" height="1" fill="blue"/>)svg",
                                          R"svg(<g id="l%1"><use href="#l%2"/><use href="#l%2"/><use href="#l%2"/>
                                             <use href="#l%2"/><use href="#l%2"/><use href="#l%2"/><use href="#l%2"/>
                                             <use href="#l%2"/><use href="#l%2"/><use href="#l%2"/></g>)svg",
                                          R"svg(<use href="#l%1"/>)svg", 9)},
        {"masks masked by the next level", levels(R"svg(<mask id="l0"><rect width="50" height="50" fill="white"/></mask>)svg",
                                                  R"svg(<mask id="l%1"><rect width="50" height="50" fill="white" mask="url(#l%2)"/>
                                                     <rect width="60" height="60" fill="white" mask="url(#l%2)"/></mask>)svg",
                                                  R"svg(<rect width="100" height="100" fill="blue" mask="url(#l%1)"/>)svg", 50)},
        {"patterns filled with the next level",
         levels(R"svg(<pattern id="l0" width="10" height="10" patternUnits="userSpaceOnUse"><rect width="5" height="5" fill="blue"/></pattern>)svg",
                R"svg(<pattern id="l%1" width="10" height="10" patternUnits="userSpaceOnUse"><rect width="5" height="5" fill="url(#l%2)"/>
                   <rect x="5" width="5" height="5" fill="url(#l%2)"/></pattern>)svg",
                R"svg(<rect width="100" height="100" fill="url(#l%1)"/>)svg", 50)},
        {"clip paths clipped by the next level",
         levels(R"svg(<clipPath id="l0"><rect width="50" height="50"/></clipPath>)svg",
                R"svg(<clipPath id="l%1"><rect width="50" height="50" clip-path="url(#l%2)"/>
                   <rect width="60" height="60" clip-path="url(#l%2)"/></clipPath>)svg",
                R"svg(<rect width="100" height="100" fill="blue" clip-path="url(#l%1)"/>)svg", 50)},
        {"a million markers", QStringLiteral(R"svg(<marker id="m" markerWidth="1" markerHeight="1"><rect width="1" height="1"/></marker>
                                                <path d="%1" stroke="blue" marker-mid="url(#m)"/>)svg").arg(vertices)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Case);
        try {
            Render(c.Body);
            ADD_FAILURE() << "drawn";
        } catch (const ESVGException &e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(SVG_TOO_MUCH_REDRAWN));
        }
    }
    // Within the budget a reference of references draws whole: 4,096 squares.
    const QImage img = Render(levels(R"svg(<rect id="l0" width="1" height="1" fill="blue"/>)svg",
                                     R"svg(<g id="l%1"><use href="#l%2"/><use href="#l%2" x="%1"/><use href="#l%2" y="%1"/>
                                        <use href="#l%2" x="%1" y="%1"/></g>)svg",
                                     R"svg(<use href="#l%1"/>)svg", 6));
    EXPECT_EQ(Colour(img, 0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(Colour(img, 21, 21), qRgb(0, 0, 255));  // the last square of all, 1 + 2 + ... + 6 away

    // A masked shape shown fifty times on a large canvas draws: a mask's raster is as
    // large as the canvas, but costs by its pixels mostly inside other rasters, where
    // fan-out multiplies them.
    QString shown = QStringLiteral(R"svg(<defs><mask id="m"><rect width="2" height="2" fill="white"/></mask>
                                       <rect id="r" width="2" height="2" fill="blue" mask="url(#m)"/></defs>)svg");
    for (int i = 0; i < 50; ++i)
        shown += QStringLiteral(R"svg(<use href="#r" x="%1"/>)svg").arg(i * 2);
    const QImage many = Render(shown, 400);
    EXPECT_EQ(Colour(many, 2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(Colour(many, 397, 6), qRgb(0, 0, 255));  // the fiftieth
}

TEST(Use, ContextPaintsTakeTheFillAndStrokeOfTheUseOrTheMarkedShape)
{
    struct TRow {
        const char *Body;
        QRgb Expected;  // at (50, 50)
    };
    const TRow rows[] = {
        // A use lends its fill and stroke, swapped here, to what it shows.
        {R"(<defs><rect id="r" width="100" height="100" fill="context-stroke"/></defs>
            <use href="#r" fill="#f00" stroke="#00f"/>)", 0xFF0000FFu},
        // A marker's content takes the marked path's paints, through a use inside it too.
        {R"(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="20" markerHeight="20" refX="10" refY="10">
              <rect id="r" width="20" height="20" fill="context-fill"/></marker>
            <path d="M50 50 h1" fill="#0f0" stroke="#f00" marker-start='url(#m)'/>)", 0xFF00FF00u},
        {R"(<defs><rect id="r" width="20" height="20" fill="context-stroke"/></defs>
            <marker id="m" markerUnits="userSpaceOnUse" markerWidth="20" markerHeight="20" refX="10" refY="10">
              <use href="#r" fill="#00f" stroke="#0f0"/></marker>
            <path d="M50 50 h1" stroke="#f00" marker-start='url(#m)'/>)", 0xFF00FF00u},
        // Outside a marker or use there is no context element: nothing is painted.
        {R"(<rect width="100" height="100" fill="context-fill" stroke="context-stroke"/>)", 0u},
    };
    for (const TRow &row : rows) {
        SCOPED_TRACE(row.Body);
        EXPECT_EQ(Render(row.Body).pixel(50, 50), row.Expected);
    }
}
