// Markers as a user sees them: where they stand, which way they turn, how large they are
// and where their content is cut off.

#include "render_helpers.h"

#include <gtest/gtest.h>

using namespace svgtest;

namespace {

// A red bar 20 units along the marker's x axis and 10 across, its reference point at the
// middle of its near end: it points the way the marker is turned.
QString Bar(const QString &orient, const QString &extra = QString())
{
    return QStringLiteral(R"svg(<marker id="m" markerUnits="userSpaceOnUse" markerWidth="20"
        markerHeight="10" refX="0" refY="5" orient="%1" %2><rect width="20" height="10"
        fill="red"/></marker>)svg").arg(orient, extra);
}

bool Red(const QImage &img, int x, int y)
{
    return Alpha(img, x, y) == 255 && Colour(img, x, y) == qRgb(255, 0, 0);
}

} // namespace

TEST(Markers, TurnAsTheirOrientSays)
{
    struct Case {
        const char *orient;
        const char *shape;  // its first vertex at (50, 50)
        bool east, south, west, north;  // where the bar at (50, 50) reaches
    };
    const Case cases[] = {
        {"auto", R"svg(<line x1="50" y1="50" x2="90" y2="50" marker-start="url(#m)"/>)svg", true, false, false, false},
        {"auto", R"svg(<line x1="50" y1="50" x2="50" y2="90" marker-start="url(#m)"/>)svg", false, true, false, false},
        {"90", R"svg(<line x1="50" y1="50" x2="90" y2="50" marker-start="url(#m)"/>)svg", false, true, false, false},
        {"180deg", R"svg(<path d="M50 50 L90 50" marker-start="url(#m)"/>)svg", false, false, true, false},
        {"-0.25turn", R"svg(<path d="M50 50 L90 50" marker-start="url(#m)"/>)svg", false, false, false, true},
        {"auto-start-reverse", R"svg(<path d="M50 50 L90 50" marker-start="url(#m)"/>)svg", false, false, true, false},
        // A first segment without length: the direction comes from the next one.
        {"auto", R"svg(<polyline points="50,50 50,50 50,90" marker-start="url(#m)"/>)svg", false, true, false, false},
        // Mid markers beside a zero-length segment take the other segment's direction.
        {"auto", R"svg(<path d="M10 50 L50 50 L50 50 L50 90" marker-mid="url(#m)"/>)svg", true, true, false, false},
        // A closed path: the start looks along its first segment, the end along the closing one.
        {"auto", R"svg(<path d="M50 50 L90 50 Z" marker-start="url(#m)"/>)svg", true, false, false, false},
        {"auto", R"svg(<path d="M50 50 L90 50 Z" marker-end="url(#m)"/>)svg", false, false, true, false},
        // A circle starts at the right of its centre, running clockwise.
        {"auto", R"svg(<circle cx="30" cy="50" r="20" marker-start="url(#m)"/>)svg", false, true, false, false},
        {"auto", R"svg(<rect x="50" y="50" width="30" height="30" marker-start="url(#m)"/>)svg", true, false, false, false},
        // The bisector of east and south.
        {"auto", R"svg(<path d="M10 50 L50 50 L50 90" marker-mid="url(#m)"/>)svg", false, false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.orient) + " " + c.shape);
        const QImage img = Render(QStringLiteral(R"svg(<defs>%1</defs><g fill="none">%2</g>)svg")
                                      .arg(Bar(QLatin1String(c.orient)), QLatin1String(c.shape)));
        EXPECT_EQ(Red(img, 65, 50), c.east);
        EXPECT_EQ(Red(img, 50, 65), c.south);
        EXPECT_EQ(Red(img, 35, 50), c.west);
        EXPECT_EQ(Red(img, 50, 35), c.north);
    }
    // The bisector case: the bar runs towards the lower right.
    const QImage diagonal = Render(QStringLiteral("<defs>%1</defs>").arg(Bar(QStringLiteral("auto"))) +
                                   QLatin1String(R"svg(<path d="M10 50 L50 50 L50 90" marker-mid="url(#m)"/>)svg"));
    EXPECT_TRUE(Red(diagonal, 60, 60));
}

TEST(Markers, StandOnEveryVertexOfEverySubpathAndOnTheClosingOne)
{
    const QString dot = QStringLiteral(R"svg(<defs><marker id="d" markerUnits="userSpaceOnUse"
        markerWidth="8" markerHeight="8" refX="4" refY="4"><rect width="8" height="8"
        fill="blue"/></marker></defs>)svg");
    struct Case {
        const char *shape;
        std::vector<QPoint> marked, unmarked;
    };
    const Case cases[] = {
        {R"svg(<path d="M10 10 L30 10 M60 60 L90 60" marker-mid="url(#d)"/>)svg", {{30, 10}, {60, 60}}, {{10, 10}, {90, 60}}},
        // The return to the start is a vertex of its own: the end marker goes there.
        {R"svg(<polygon points="20,20 80,20 80,80" marker-end="url(#d)"/>)svg", {{20, 20}}, {{80, 80}}},
        {R"svg(<polygon points="20,20 80,20 80,80" marker-mid="url(#d)"/>)svg", {{80, 20}, {80, 80}}, {{20, 20}}},
        {R"svg(<polyline points="20,20 80,20 80,80" marker-end="url(#d)"/>)svg", {{80, 80}}, {{20, 20}}},
        {R"svg(<path d="M20 20 H80 V80 Z M50 50 H60" marker-mid="url(#d)"/>)svg", {{20, 20}, {80, 80}, {50, 50}}, {{60, 50}}},
        // Basic shapes have the vertices of their equivalent paths, starting at the top
        // left (after the corner's rounding) or at the right of the centre.
        {R"svg(<rect x="20" y="20" width="60" height="60" marker-mid="url(#d)"/>)svg",
         {{80, 20}, {80, 80}, {20, 80}, {20, 20}}, {{50, 20}, {80, 50}}},
        {R"svg(<rect x="20" y="20" width="60" height="60" rx="10" marker-start="url(#d)"/>)svg", {{30, 20}}, {{20, 20}, {70, 20}}},
        {R"svg(<rect x="20" y="20" width="60" height="60" rx="10" marker-mid="url(#d)"/>)svg",
         {{70, 20}, {80, 30}, {80, 70}, {30, 80}, {20, 30}}, {{20, 20}, {50, 20}, {80, 80}}},
        {R"svg(<circle cx="50" cy="50" r="30" marker-mid="url(#d)"/>)svg", {{50, 80}, {20, 50}, {50, 20}, {80, 50}}, {{50, 50}}},
        {R"svg(<ellipse cx="50" cy="50" rx="30" ry="20" marker-end="url(#d)"/>)svg", {{80, 50}}, {{50, 70}, {20, 50}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shape);
        const QImage img = Render(dot + QStringLiteral(R"svg(<g fill="none">%1</g>)svg").arg(QLatin1String(c.shape)));
        for (const QPoint &p : c.marked)
            EXPECT_EQ(Colour(img, p.x(), p.y()), qRgb(0, 0, 255)) << p.x() << "," << p.y();
        for (const QPoint &p : c.unmarked)
            EXPECT_EQ(Alpha(img, p.x(), p.y()), 0) << p.x() << "," << p.y();
    }
}

TEST(Markers, SizeFollowsUnitsViewBoxAndReferencePoint)
{
    struct Case {
        const char *marker;
        int reach;  // how far right of the vertex the marker still paints
    };
    // A path along y = 50 with its start marker at x = 20; the marker's content fills its box.
    const Case cases[] = {
        // strokeWidth units: a 10-unit box under a 3-unit stroke is 30 units wide.
        {R"svg(markerWidth="10" markerHeight="10"><rect width="10" height="10")svg", 30},
        {R"svg(markerUnits="userSpaceOnUse" markerWidth="10" markerHeight="10"><rect width="10" height="10")svg", 10},
        // A viewBox of 5 x 5 shown in 20 x 20, its reference point in the middle.
        {R"svg(markerUnits="userSpaceOnUse" viewBox="0 0 5 5" refX="2.5" refY="2.5" markerWidth="20"
            markerHeight="20"><rect width="5" height="5")svg", 10},
        // Percentages of the viewport the path is drawn in (100 x 100).
        {R"svg(markerUnits="userSpaceOnUse" markerWidth="20%" markerHeight="20%" refX="10%"><rect
            width="20" height="20")svg", 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.marker);
        const QImage img = Render(QStringLiteral(R"svg(<defs><marker id="m" %1 fill="red"/></marker></defs>
            <path d="M20 50 H90" stroke="none" stroke-width="3" marker-start="url(#m)"/>)svg")
                                      .arg(QLatin1String(c.marker)));
        EXPECT_TRUE(Red(img, 20 + c.reach - 2, 52));
        EXPECT_EQ(Alpha(img, 20 + c.reach + 2, 52), 0);
    }
}

TEST(Markers, ContentIsCutAtTheMarkerBoxUnlessOverflowIsVisible)
{
    for (const char *overflow : {"", R"svg(overflow="visible")svg"}) {
        SCOPED_TRACE(overflow);
        const QImage img = Render(QStringLiteral(R"svg(<defs><marker id="m" markerUnits="userSpaceOnUse"
            markerWidth="10" markerHeight="10" %1><rect width="30" height="30" fill="red"/></marker></defs>
            <path d="M20 20 H90" marker-start="url(#m)"/>)svg").arg(QLatin1String(overflow)));
        EXPECT_TRUE(Red(img, 25, 25));
        EXPECT_EQ(Red(img, 40, 40), *overflow != 0);
    }
}

TEST(Markers, ReferencesThatLeadNowhereOrBackDrawNothingMore)
{
    // A missing marker, a marker of the wrong kind and a marker whose content uses itself.
    const QImage img = Render(R"svg(<defs><linearGradient id="g"/>
        <marker id="self" markerUnits="userSpaceOnUse" markerWidth="10" markerHeight="10">
        <path d="M0 0 H10 V10 H0 Z" fill="red" marker-start="url(#self)"/></marker></defs>
        <path d="M50 50 H90" marker-start="url(#missing)" marker-mid="url(#g)" marker-end="url(#self)"/>)svg");
    EXPECT_TRUE(Red(img, 92, 52));
    EXPECT_EQ(Alpha(img, 52, 52), 0);
}

TEST(Markers, StandOnAPathThatPaintsNothingItself)
{
    // Markers belong to the path's drawing whatever its fill and stroke (flag icons draw
    // their stars so, on an unpainted path).
    const char *paints[] = {R"p(fill="none")p", R"p(fill="none" stroke="none")p", R"p(fill="url(#missing)")p"};
    for (const char *paint : paints) {
        SCOPED_TRACE(paint);
        const QImage img = Render(QStringLiteral("<defs>%1</defs>").arg(Bar(QStringLiteral("0"))) +
                                  QStringLiteral(R"svg(<path d="M20 20 L50 50 L80 20" %1
                                      marker-mid="url(#m)"/>)svg").arg(QLatin1String(paint)));
        EXPECT_TRUE(Red(img, 60, 50));
        EXPECT_EQ(Alpha(img, 50, 30), 0);
    }
}

TEST(Markers, TakeTheOpacityOfTheirElement)
{
    const QImage img = Render(QStringLiteral("<defs>%1</defs>").arg(Bar(QStringLiteral("0"))) +
                              QLatin1String(R"svg(<path d="M50 50 H90" opacity="0.5" marker-start="url(#m)"/>)svg"));
    EXPECT_NEAR(Alpha(img, 60, 50), 128, 2);
}

TEST(Markers, PropertiesInheritAndTheShorthandIsForStyleSheetsOnly)
{
    const QString dot = QStringLiteral(R"svg(<defs><marker id="d" markerUnits="userSpaceOnUse"
        markerWidth="8" markerHeight="8" refX="4" refY="4"><rect width="8" height="8"
        fill="blue"/></marker></defs>)svg");
    struct Case {
        const char *shape;
        bool start, end;  // marked at (20, 50), (80, 50)
    };
    const Case cases[] = {
        {R"svg(<g marker-start="url(#d)"><path d="M20 50 H80"/></g>)svg", true, false},
        {R"svg(<g marker-end="url(#d)"><path d="M20 50 H80" marker-end="none"/></g>)svg", false, false},
        {R"svg(<path d="M20 50 H80" style="marker: url(#d)"/>)svg", true, true},
        {R"svg(<path d="M20 50 H80" marker="url(#d)"/>)svg", false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shape);
        const QImage img = Render(dot + QLatin1String(c.shape));
        EXPECT_EQ(Colour(img, 20, 50) == qRgb(0, 0, 255), c.start);
        EXPECT_EQ(Colour(img, 80, 50) == qRgb(0, 0, 255), c.end);
    }
}
