// Text layout: SVG's line layout and the speech bubbles' box mode.

#include "render_helpers.h"

#include "svg/model/dom/text.h"
#include "svg/render/text.h"
#include "svg/render/text_metrics.h"

#include <gtest/gtest.h>

using namespace svgtest;

namespace {

struct TInk {
    int Left = -1, Top = -1, Right = -1, Bottom = -1;
    bool Empty() const { return Right < 0; }
};

TInk Ink(const QImage &img, QRect area = QRect())
{
    if (area.isNull())
        area = img.rect();
    TInk ink;
    ink.Left = area.right() + 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Alpha(img, x, y) > 100) {
                if (ink.Top < 0)
                    ink.Top = y;
                ink.Bottom = y;
                ink.Left = std::min(ink.Left, x);
                ink.Right = std::max(ink.Right, x);
            }
    return ink;
}

bool HasRed(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (const QRgb p = img.pixel(x, y); qAlpha(p) > 100 && qRed(p) > 200 && qGreen(p) < 80)
                return true;
    return false;
}

QString Text(const char *attributes, const char *content)
{
    return QStringLiteral(R"svg(<text font-family="Noto Sans" font-size="20" %1>%2</text>)svg")
        .arg(QLatin1String(attributes), QString::fromUtf8(content));
}

} // namespace

// The families text is drawn with (the test set-up maps serif, sans-serif and monospace
// to the suite's Noto families; cursive is left to the system).
TEST(Text, FamilyListsFollowCssQuotingAndGenericNames)
{
    const struct {
        const char *list;
        QStringList expected;
    } rows[] = {
        {"Arial, 'Noto Sans', sans-serif", {"Arial", "Noto Sans", "Noto Sans"}},
        {"'serif', serif", {"serif", "Noto Serif"}},  // quoted: a family called serif
        {"\"monospace\"", {"monospace"}},
        {"SERIF", {"Noto Serif"}},
        {"'SimSun'", {"SimSun"}},
        {"\"A, B\" , C", {"A, B", "C"}},
        {"  Times   New Roman ,,", {"Times New Roman"}},
        {"' Spaced  Name '", {" Spaced  Name "}},
        {"cursive", {"cursive"}},
        {"", {}},
    };
    for (const auto &r : rows)
        EXPECT_EQ(TTextMetrics::Families(QString::fromUtf8(r.list)), r.expected) << r.list;
}

TEST(Text, PositionIsTheBaselineAndAnchorsPlaceTheLine)
{
    const QImage start = Render(Text(R"svg(x="10" y="50")svg", "HH"), 100);
    const QImage end = Render(Text(R"svg(x="90" y="50" text-anchor="end")svg", "HH"), 100);
    const QImage middle = Render(Text(R"svg(x="50" y="50" text-anchor="middle")svg", "HH"), 100);
    const TInk s = Ink(start), e = Ink(end), m = Ink(middle);
    ASSERT_FALSE(s.Empty());
    EXPECT_EQ(s.Bottom, 49);                  // H sits on the baseline
    EXPECT_NEAR(s.Top, 50 - 14, 1);           // cap height of Noto Sans, 0.714 em
    EXPECT_NEAR(s.Left, 12, 1);               // the side bearing after x
    EXPECT_NEAR(e.Right, 88, 1);
    EXPECT_NEAR((m.Left + m.Right) / 2.0, 50, 1);
    EXPECT_EQ(e.Bottom, 49);
}

TEST(Text, PositionListsAndSpansContinue)
{
    const TInk listed = Ink(Render(Text(R"svg(x="10 70" y="50")svg", "HH")));
    // The second H starts at x = 70: ink reaches past 80.
    EXPECT_GT(listed.Right, 80);
    const QImage spans = Render(Text(R"svg(x="10" y="50")svg", "H<tspan fill=\"red\">H</tspan>"));
    const QImage plain = Render(Text(R"svg(x="10" y="50")svg", "HH"));
    // The span continues where the text ended: same place as one string, in its own colour.
    const TInk all = Ink(spans);
    EXPECT_EQ(all.Right, Ink(plain).Right);
    EXPECT_EQ(Colour(spans, all.Right - 1, 40), qRgb(255, 0, 0));
    EXPECT_EQ(Colour(spans, all.Left + 1, 40), qRgb(0, 0, 0));
    const QImage moved = Render(Text(R"svg(x="10" y="50")svg", "H<tspan dy=\"20\">H</tspan>"));
    EXPECT_EQ(Ink(moved, QRect(22, 0, 78, 100)).Bottom, 69);
}

// Characters placed one by one keep the places the shaper gave the whole run: kerning
// between A and V survives when the V is positioned on its own.
TEST(Text, PlacingCharactersOneByOneKeepsTheShapedRun)
{
    const QImage plain = Render(Text(R"svg(x="10" y="50")svg", "AVAV"));
    ASSERT_FALSE(IsBlank(plain));
    for (const char *attributes : {R"svg(x="10" y="50" dx="0 0 0")svg", R"svg(x="10" y="50" rotate="0")svg",
                                   R"svg(x="10" y="50" dy="0 0 0 0" letter-spacing="0")svg",
                                   R"svg(x="10" y="50" word-spacing="0" dx="0")svg"})
        EXPECT_EQ(Differences(Render(Text(attributes, "AVAV")), plain), 0) << attributes;
    // A rotated V still starts where the kerned run puts it.
    const TInk turned = Ink(Render(Text(R"svg(x="10" y="50" rotate="0 180")svg", "AV")), QRect(0, 0, 100, 49));
    const TInk upright = Ink(Render(Text(R"svg(x="10" y="50")svg", "AV")));
    EXPECT_NEAR(turned.Right, upright.Right - (upright.Right - 10) / 2, 3);
    // A mark stays on its letter: the cluster turns by its first character's value, and the
    // mark's own value counts for nothing.
    const char *marked = "e\u0301H";
    const QImage cluster = Render(Text(R"svg(x="30" y="50" rotate="30 -60")svg", marked));
    EXPECT_EQ(Differences(cluster, Render(Text(R"svg(x="30" y="50" rotate="30 45 -60")svg", marked))), 0);
    EXPECT_GT(Differences(cluster, Render(Text(R"svg(x="30" y="50" rotate="0 -60")svg", marked))), 0);
}

// Spans of one font are shaped as one run: kerning and the bidirectional order hold across
// them, and the paragraph runs left to right unless the text says otherwise.
TEST(Text, SpansOfOneFontAreShapedTogether)
{
    const QImage kerned = Render(Text(R"svg(x="10" y="50")svg", "AVAV"));
    EXPECT_EQ(Differences(Render(Text(R"svg(x="10" y="50")svg", "A<tspan>V</tspan>A<tspan>V</tspan>")), kerned), 0);
    const auto arabic = [](const char *content) {
        return Render(QStringLiteral(R"svg(<text font-family="Amiri" font-size="16" x="4" y="50">%1</text>)svg")
                          .arg(QString::fromUtf8(content)));
    };
    // A word cut by a span keeps its joined letters and its place.
    EXPECT_LE(Differences(arabic("Hi <tspan>مرح</tspan>با."), arabic("Hi مرحبا.")), 2);
    // An Arabic word first, a Latin one after it: in a left-to-right text the Latin word
    // is on the right, in a right-to-left one on the left.
    const auto redLeft = [](const QImage &img) {
        for (int x = 0; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                if (const QRgb p = img.pixel(x, y); qAlpha(p) > 100 && qRed(p) > 200 && qGreen(p) < 80)
                    return x;
        return -1;
    };
    const QImage ltr = arabic("مرحبا <tspan fill='red'>SVG</tspan>");
    const QImage rtl = arabic("<tspan direction='rtl'>مرحبا <tspan fill='red'>SVG</tspan></tspan>");
    const TInk ltrInk = Ink(ltr), rtlInk = Ink(rtl);
    ASSERT_FALSE(ltrInk.Empty());
    ASSERT_FALSE(rtlInk.Empty());
    EXPECT_GT(redLeft(ltr), ltrInk.Left + 20);
    EXPECT_LT(redLeft(rtl), rtlInk.Left + 3);
}

// Right-to-left text placed letter by letter goes on leftwards from its start, and its
// joined letters take no letter-spacing (it would tear them apart); spaces still do.
TEST(Text, RightToLeftLettersPlacedOneByOneKeepTheirOrderAndJoins)
{
    const auto arabic = [](const char *attributes, const char *anchor = R"(x="4")") {
        return Render(QStringLiteral(R"svg(<text font-family="Amiri" font-size="16" y="50" %1 %2>بعض النص</text>)svg")
                          .arg(QLatin1String(anchor), QLatin1String(attributes)));
    };
    const QImage plain = arabic("");
    ASSERT_FALSE(IsBlank(plain));
    EXPECT_LE(Differences(arabic(R"(rotate="0 0 0" dx="0 0 0")"), plain), 2);
    const char *middle = R"(x="50" text-anchor="middle")";
    EXPECT_LE(Differences(arabic(R"(rotate="0")", middle), arabic("", middle)), 2);
    const QImage wide = arabic(R"(word-spacing="12")");
    EXPECT_GT(Differences(wide, plain), 0);
    EXPECT_LE(Differences(arabic(R"(letter-spacing="12")"), wide), 2);
}

// text-decoration takes a list of lines; lines declared around the text element are drawn
// with the text's own paint.
TEST(Text, DecorationListsAndTheirPaint)
{
    const auto text = [](const char *around, const char *attributes) {
        return Render(QStringLiteral(R"svg(<g %1><text font-family="Noto Sans" font-size="20" x="10" y="50" %2>Hi</text></g>)svg")
                          .arg(QLatin1String(around), QLatin1String(attributes)));
    };
    const QImage all = text("", "text-decoration='underline overline line-through'");
    const QImage plain = text("", "");
    EXPECT_GT(Differences(all, text("", "text-decoration='underline'")), 0);
    EXPECT_GT(Differences(text("", "text-decoration='underline'"), plain), 0);
    EXPECT_EQ(Differences(text("", "text-decoration='underline bogus'"), plain), 0);
    EXPECT_EQ(Differences(text("text-decoration='underline overline'", "text-decoration='line-through'"), all), 0);
    // The group's red paint does not reach the underline of the black text.
    const QImage around = text("fill='red' text-decoration='underline'", "fill='black'");
    EXPECT_EQ(Differences(around, text("", "fill='black' text-decoration='underline'")), 0);
    EXPECT_FALSE(HasRed(around));
}

TEST(Text, SpacingWidensTheLineByEachGap)
{
    const TInk plain = Ink(Render(Text(R"svg(x="10" y="50")svg", "H H")));
    const TInk letters = Ink(Render(Text(R"svg(x="10" y="50" letter-spacing="5")svg", "H H")));
    const TInk words = Ink(Render(Text(R"svg(x="10" y="50" word-spacing="7")svg", "H H")));
    // Three letters, two gaps after the first and the space; one space.
    EXPECT_NEAR(letters.Right - plain.Right, 10, 1);
    EXPECT_NEAR(words.Right - plain.Right, 7, 1);
    // Anchored at the end, the spacing after the last letter is not part of the line.
    const TInk end = Ink(Render(Text(R"svg(x="90" y="50" letter-spacing="5" text-anchor="end")svg", "H H")));
    EXPECT_NEAR(end.Right, 88, 1);
    // Nor of the box the text's filter region, gradients and patterns take.
    const TInk region = Ink(Render(QStringLiteral(R"svg(<filter id="f" x="0" y="0" width="1" height="1">
        <feFlood flood-color="green"/></filter>%1)svg").arg(Text(R"svg(x="10" y="50" letter-spacing="30" filter="url(#f)")svg", "HH"))));
    EXPECT_NEAR(region.Right, Ink(Render(Text(R"svg(x="10" y="50" letter-spacing="30")svg", "HH"))).Right, 3);
    // Percentages are of the viewport's width, as for lengths along x.
    EXPECT_EQ(Differences(Render(Text(R"svg(x="10" y="50" letter-spacing="10%" word-spacing="5%")svg", "H H")),
                          Render(Text(R"svg(x="10" y="50" letter-spacing="10" word-spacing="5")svg", "H H"))),
              0);
}

TEST(Text, TextLengthFitsALineAndIgnoresALengthOverSeveralLines)
{
    // Spacing moves the letters apart; spacingAndGlyphs stretches them as well.
    const QImage spaced = Render(Text(R"svg(x="10" y="50" textLength="80")svg", "II"));
    const QImage stretched = Render(Text(R"svg(x="10" y="50" textLength="80" lengthAdjust="spacingAndGlyphs")svg", "II"));
    const TInk plain = Ink(Render(Text(R"svg(x="10" y="50")svg", "II")));
    EXPECT_NEAR(Ink(spaced).Left, plain.Left, 1);
    EXPECT_NEAR(Ink(spaced).Right, 88, 2);
    const QRect first(0, 0, 50, 100);
    const auto width = [](const TInk &ink) { return ink.Right - ink.Left + 1; };
    EXPECT_GE(width(Ink(stretched, first)), 2 * width(Ink(spaced, first)));
    // Two lines placed on their own have no one length: each keeps its own.
    const char *lines = R"(<tspan x="10" y="30" textLength="60">HH</tspan><tspan x="10" y="70">HH</tspan>)";
    EXPECT_EQ(Differences(Render(Text(R"svg(textLength="300")svg", lines)), Render(Text("", lines))), 0);
}

TEST(Text, TextPathSetsGlyphsAlongItsPathAndDropsWhatRunsPastTheEnd)
{
    const QString path = QStringLiteral(R"svg(<path id="p" d="M 50 10 V 60" fill="none"/>)svg");
    const auto along = [&](const char *content) {
        return Render(path + QStringLiteral(R"svg(<text font-family="Noto Sans" font-size="10">
            <textPath href="#p">%1</textPath></text>)svg").arg(QLatin1String(content)));
    };
    // Down a vertical path the line turns a quarter: tall and narrow, the glyphs' tops
    // toward the right of the path.
    const TInk down = Ink(along("HHHH"));
    ASSERT_FALSE(down.Empty());
    EXPECT_GT(down.Bottom - down.Top, 20);
    EXPECT_LT(down.Right - down.Left, 10);
    EXPECT_GE(down.Left, 49);
    EXPECT_GE(down.Top, 10);
    // Glyphs whose middle lies past the path's 50 units are not drawn.
    EXPECT_LE(Ink(along("HHHHHHHHHHHHHHHHHHHH")).Bottom, 61);
    // A textPath without a path draws nothing.
    EXPECT_TRUE(IsBlank(Render(QStringLiteral(R"svg(<text><textPath href="#none">HH</textPath></text>)svg"))));
}

TEST(Text, TextPathKeepsGlyphsOnCurvesAtAnyScaleAndTakesNoPositionsOfItsOwn)
{
    // One arc with its text, drawn at unit scale and as a path a hundred times smaller
    // under a hundredfold transform: the glyphs follow the curve alike.
    const auto arc = [](double unit) {
        return Render(QStringLiteral(R"svg(<g transform="scale(%1)">
            <path id="p" d="M %2 %3 A %4 %4 0 0 1 %3 %2" fill="none"/>
            <text font-family="Noto Sans" font-size="%5"><textPath href="#p">Round and round</textPath></text>
            </g>)svg").arg(1 / unit).arg(10 * unit).arg(90 * unit).arg(80 * unit).arg(12 * unit));
    };
    const QImage unit = arc(1);
    ASSERT_FALSE(IsBlank(unit));
    EXPECT_LE(Differences(unit, arc(0.01)), 10);

    const auto along = [](const char *attributes, const char *content = "Hello") {
        return Render(QStringLiteral(R"svg(<path id="p" d="M 10 60 Q 50 20 90 60" fill="none"/>
            <text font-family="Noto Sans" font-size="12" x="10" y="90">%2</text>)svg")
                          .arg(QString::fromUtf8(content).replace(QStringLiteral("%1"), QLatin1String(attributes))));
    };
    const QImage plain = along("", R"(<textPath href="#p" %1>Hello</textPath>)");
    ASSERT_FALSE(IsBlank(plain));
    // The path alone places a textPath's characters.
    EXPECT_EQ(Differences(along(R"(x="30" y="5" dx="7" dy="3" rotate="40")",
                                R"(<textPath href="#p" %1>Hello</textPath>)"),
                          plain),
              0);
    // A textPath with no shape to follow takes its characters out of the text.
    const QImage joined = along("", "A<textPath href=\"#none\">BBB</textPath>C");
    ASSERT_FALSE(IsBlank(joined));
    EXPECT_EQ(Differences(joined, along("", "AC")), 0);
    EXPECT_EQ(Differences(along("", "<textPath href=\"#none\">BBB</textPath> C"), along("", "C")), 0);
    // The text after a path goes on level from the end of the path's last glyph, not from
    // the text's start.
    const auto level = [](const char *after) {
        return Ink(Render(QStringLiteral(R"svg(<path id="h" d="M 10 50 H 90"/>
            <text font-family="Noto Sans" font-size="12"><textPath href="#h">HH</textPath>%1</text>)svg")
                              .arg(QLatin1String(after))));
    };
    const TInk path = level(""), then = level("H");
    ASSERT_FALSE(path.Empty());
    EXPECT_EQ(then.Top, path.Top);
    EXPECT_EQ(then.Bottom, path.Bottom);
    EXPECT_GE(then.Right, path.Right + 8);
}

// A column: Latin is the horizontal line turned a quarter clockwise about its start, with
// the middle of the font's ascent and descent on the column's x; ideographs stand upright,
// centred on x, one em apart.
TEST(Text, ColumnsTurnLatinAndSetIdeographsUpright)
{
    const TInk line = Ink(Render(Text(R"svg(x="10" y="50")svg", "HH")));
    for (const char *mode : {"tb", "tb-rl", "vertical-rl", "vertical-lr"}) {
        const TInk column =
            Ink(Render(Text(qPrintable(QStringLiteral("x='50' y='10' writing-mode='%1'").arg(QLatin1String(mode))), "HH")));
        ASSERT_FALSE(column.Empty()) << mode;
        EXPECT_NEAR(column.Top - 10, line.Left - 10, 1) << mode;
        EXPECT_NEAR(column.Bottom - column.Top, line.Right - line.Left, 1) << mode;
        // Noto Sans: ascent 1.069 em, descent 0.293 em; the baseline lies 7.76 left of x.
        EXPECT_NEAR(column.Left, 42, 1) << mode;
        EXPECT_NEAR(column.Right - column.Left, 50 - line.Top, 1) << mode;
    }
    // A column is set by the text element, inherited from around it; a span has no say.
    EXPECT_EQ(Render(R"svg(<g writing-mode="tb"><text font-family="Noto Sans" font-size="20" x="50" y="10">HH</text></g>)svg"),
              Render(Text(R"svg(x="50" y="10" writing-mode="tb")svg", "HH")));
    EXPECT_EQ(Render(Text(R"svg(x="10" y="50")svg", "H<tspan writing-mode='tb'>H</tspan>")),
              Render(Text(R"svg(x="10" y="50")svg", "HH")));

    const auto japanese = [](const char *content) {
        return Ink(Render(QStringLiteral(R"svg(<text font-family="'Mplus 1p'" font-size="20" x="50" y="10"
            writing-mode="tb">%1</text>)svg").arg(QString::fromUtf8(content))));
    };
    const TInk one = japanese("日"), two = japanese("日日");
    ASSERT_FALSE(one.Empty());
    EXPECT_NEAR((one.Left + one.Right) / 2.0, 50, 1);
    EXPECT_EQ(two.Left, one.Left);
    EXPECT_EQ(two.Top, one.Top);
    EXPECT_NEAR(two.Bottom - one.Bottom, 20, 1);
    // The em box stands from y down, its middle on the font's central baseline: the top of
    // 日 (0.773 em high) lies 0.104 em below y in M+ 1p (ascent 1.075 em, descent 0.32 em).
    EXPECT_NEAR(one.Top, 12, 1);
    // Latin after an ideograph starts an em further down, turned.
    const TInk mixed = japanese("日H");
    EXPECT_GT(mixed.Bottom - one.Bottom, 10);
    EXPECT_LT(mixed.Bottom - mixed.Top, 20 + 16);
}

// In a column, y and dy move along it, x and dx across it, text-anchor places the column
// on y, and decorations run along it on the glyphs' side they belong to.
TEST(Text, ColumnPositionsAndLines)
{
    const auto column = [](const char *attributes, const char *content = "HH") {
        return Render(QStringLiteral(R"svg(<text font-family="Noto Sans" font-size="20" writing-mode="tb" %1>%2</text>)svg")
                          .arg(QLatin1String(attributes), QLatin1String(content)));
    };
    const TInk plain = Ink(column("x='50' y='10'"));
    const TInk moved = Ink(column("x='50' y='10' dx='-20' dy='15'"));
    EXPECT_EQ(moved.Left, plain.Left - 20);
    EXPECT_EQ(moved.Top, plain.Top + 15);
    EXPECT_EQ(Ink(column("x='50' y='10 60'")).Bottom, Ink(column("x='50' y='60'", "H")).Bottom);
    const TInk middle = Ink(column("x='50' y='50' text-anchor='middle'"));
    EXPECT_NEAR((middle.Top + middle.Bottom) / 2.0, 50, 1.5);
    const TInk end = Ink(column("x='50' y='90' text-anchor='end'"));
    EXPECT_NEAR(end.Bottom, 88, 1);  // less the side bearing, as a line ends
    // The underline is a line down the left of the turned glyphs, the overline one down
    // their right, each as long as the column.
    const TInk under = Ink(column("x='50' y='10' text-decoration='underline'"));
    const TInk over = Ink(column("x='50' y='10' text-decoration='overline'"));
    EXPECT_LT(under.Left, plain.Left);
    EXPECT_EQ(under.Right, plain.Right);
    EXPECT_GT(over.Right, plain.Right);
    EXPECT_EQ(over.Left, plain.Left);
    EXPECT_GE(under.Bottom - under.Top, plain.Bottom - plain.Top);
}

// Characters of a column placed one by one (here by a rotate list) keep the lengths the
// shaper gave them, also where a right-to-left word meets a left-to-right one (a full turn
// each sets every character apart).
TEST(Text, ColumnCharactersPlacedOneByOneKeepTheirLengths)
{
    const auto column = [](const char *attributes) {
        return Ink(Render(QStringLiteral(R"svg(<text font-family="Amiri" font-size="12" x="50" y="5" writing-mode="tb"
            %1>Hi مرحبا Hi</text>)svg").arg(QLatin1String(attributes))));
    };
    const TInk whole = column(""), one = column("rotate='360'");
    ASSERT_FALSE(whole.Empty());
    EXPECT_NEAR(one.Top, whole.Top, 1);
    EXPECT_NEAR(one.Bottom, whole.Bottom, 1);
    EXPECT_NEAR(one.Left, whole.Left, 1);
    EXPECT_NEAR(one.Right, whole.Right, 1);
}

TEST(Text, WhiteSpaceCollapsesUnlessPreserved)
{
    const QImage plain = Render(Text(R"svg(x="10" y="50")svg", "A B"));
    const QImage loose = Render(Text(R"svg(x="10" y="50")svg", "\n   A  \t\n  B   "));
    EXPECT_EQ(plain, loose);
    const QImage kept = Render(Text(R"svg(x="10" y="50" xml:space="preserve")svg", "A   B"));
    EXPECT_GT(Ink(kept).Right, Ink(plain).Right + 5);
}

TEST(Text, SpanInheritsTheFontOfItsText)
{
    const QImage parent = Render(R"svg(<text x="10" y="60" font-family="Noto Sans" font-size="40"
        font-weight="bold" text-decoration="underline">H<tspan>H</tspan></text>)svg");
    const QImage flat = Render(R"svg(<text x="10" y="60" font-family="Noto Sans" font-size="40"
        font-weight="bold" text-decoration="underline">HH</text>)svg");
    EXPECT_EQ(Differences(parent, flat), 0);
    EXPECT_FALSE(IsBlank(parent));
}

TEST(Text, BoxModeCentresWrappedTextInTheBox)
{
    // The speech bubbles' form: width and height on the text, anchor middle.
    const char *bubble = R"svg(<text transform="matrix(1 0 0 1 7 30)" width="86" height="51"
        font-family="Noto Sans" font-size="14" text-anchor="middle">%1</text>)svg";
    const QImage shortText = Render(QString::fromLatin1(bubble).arg(QLatin1String("Hi")));
    const QImage longText = Render(QString::fromLatin1(bubble).arg(
        QLatin1String("a rather long sentence that cannot stay on one line")));
    // Ascent and descent are 0.85 and 0.15 of the text height (rounded), and the box's
    // top lies a - b above y.
    TSVGDocument doc;
    doc.LoadFromText(Document(QString::fromLatin1(bubble).arg(QLatin1String("Hi"))));
    QImage one(1, 1, QImage::Format_ARGB32_Premultiplied);
    TSVGCanvas canvas(one);
    TCanvasFont font;
    font.Family = QStringLiteral("Noto Sans");
    font.Size = 14;
    canvas.SetFont(font);
    const float h = canvas.TextHeight(QStringLiteral("Hi"));
    const float a = std::nearbyint(0.85f * h), b = std::nearbyint(0.15f * h);
    const double boxTop = 30 - (a - b), boxMid = boxTop + 51 / 2.0;

    const TInk s = Ink(shortText), l = Ink(longText);
    ASSERT_FALSE(s.Empty());
    EXPECT_NEAR((s.Left + s.Right) / 2.0, 7 + 43, 1.5);
    EXPECT_NEAR((s.Top + s.Bottom) / 2.0, boxMid, 3);
    EXPECT_GE(l.Left, 7);
    EXPECT_LE(l.Right, 7 + 86);
    EXPECT_GT(l.Bottom - l.Top, 2 * (s.Bottom - s.Top));   // wrapped onto further lines
    EXPECT_NEAR((l.Left + l.Right) / 2.0, 7 + 43, 2);
}

TEST(Text, BoxModeOverlineRunsAlongTheTopOfTheBox)
{
    const QImage img = Render(R"svg(<text x="10" y="40" width="80" height="40" font-size="14"
        text-decoration="overline" fill="blue">Hi</text>)svg");
    // A line across the whole box width, in the fill colour, above the text.
    const TInk ink = Ink(img);
    EXPECT_NEAR(ink.Left, 10, 1);
    EXPECT_NEAR(ink.Right, 89, 1);
    EXPECT_EQ(Colour(img, 50, ink.Top), qRgb(0, 0, 255));
}

TEST(Text, EmptyAndMissingReferencesDrawNothing)
{
    EXPECT_TRUE(IsBlank(Render(R"svg(<text x="10" y="50"></text><text x="10" y="50">  </text>
        <text x="10" y="50"><tref xlink:href="#missing"/></text>)svg")));
    const QImage ref = Render(R"svg(<defs><text id="t">HH</text></defs>
        <text x="10" y="50" font-size="20"><tref xlink:href="#t"/></text>)svg");
    EXPECT_FALSE(IsBlank(ref));
}

TEST(Text, ReferencedTextTakesTheReferencesOwnPosition)
{
    // The tref's x and dy move its characters; the hidden second tref draws nothing.
    const QImage img = Render(R"svg(<defs><text id="t">H</text></defs>
        <text x="10" y="50" font-family="Noto Sans" font-size="20">
          <tref x="60" dy="20" xlink:href="#t"/><tref display="none" x="5" xlink:href="#t"/></text>)svg");
    const TInk ink = Ink(img);
    ASSERT_FALSE(ink.Empty());
    EXPECT_NEAR(ink.Left, 62, 1);
    EXPECT_EQ(ink.Bottom, 69);
}

namespace {

// A long text is laid out and outlined in pieces, and only the pieces that can reach
// the picture are outlined: what shows must not change for it.
TEST(SVGTextLayout, LongTextsDrawAsTheirVisiblePartAlone)
{
    const QString words = QStringLiteral("Wave and hop ");
    const auto text = [&](const char *attributes, int repeats) {
        return Render(QStringLiteral(R"svg(<text font-family="Noto Sans" font-size="20" %1>%2</text>)svg")
                          .arg(QLatin1String(attributes), words.repeated(repeats)));
    };
    EXPECT_EQ(text("x='2' y='30'", 2000), text("x='2' y='30'", 10));
    // The end of a long line anchored at the right edge lies in its last piece.
    const TInk ink = Ink(text("x='98' y='30' text-anchor='end' stroke='blue' stroke-width='4'", 2000));
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.Right, 95);
    EXPECT_LE(ink.Left, 2);
}

// The same in a column, upright ideographs and turned words alike.
TEST(SVGTextLayout, LongColumnsDrawAsTheirVisiblePartAlone)
{
    const auto column = [](int repeats) {
        return Render(QStringLiteral(R"svg(<text font-family="'Mplus 1p'" font-size="10" x="50" y="2"
            writing-mode="tb">%1</text>)svg").arg(QStringLiteral("日本語 and 表現 ").repeated(repeats)));
    };
    const QImage shown = column(4);
    ASSERT_FALSE(IsBlank(shown));
    EXPECT_EQ(column(8000), shown);
}

TEST(SVGTextLayout, TextsBeyondTheCharacterCapFailToDraw)
{
    // The spans of a text count together.
    const QString half = QStringLiteral("x").repeated(SVGMaxTextChars / 2);
    TSVGDocument doc;
    doc.LoadFromText(Document(QStringLiteral("<text y='20'>%1<tspan>%1</tspan>y</text>").arg(half)));
    QString message;
    try {
        (void)SVGRasterize(doc, TSVGRasterOptions());
    } catch (const EVuploraError &e) {
        message = e.Message();
    }
    EXPECT_EQ(message, QStringLiteral("Text too long: more than 1048576 characters in one text element"));
}

} // namespace

namespace {

// Hostile sizes end with a picture, and the picture is what the document asks for.
TEST(SVGTextLayout, HugeListsSpacingAndPathsDrawWhatShows)
{
    const auto text = [](const QString &attributes, const QString &content) {
        return Render(QStringLiteral(R"svg(<text font-family="Noto Sans" font-size="20" x="10" y="50" %1>%2</text>)svg")
                          .arg(attributes, content));
    };
    // A million rotations for two letters: the first two count.
    QString turns = QStringLiteral("30 -20");
    turns += QStringLiteral(" 45").repeated(1000000 - 2);
    EXPECT_EQ(Differences(text(QStringLiteral("rotate='%1'").arg(turns), QStringLiteral("AV")),
                          text(QStringLiteral("rotate='30 -20'"), QStringLiteral("AV"))), 0);
    // Letters 1e30 units apart: the first alone shows.
    const QImage apart = text(QStringLiteral("letter-spacing='1e30'"), QStringLiteral("ab ").repeated(10000));
    EXPECT_FALSE(IsBlank(apart));
    EXPECT_EQ(Differences(apart, text(QString(), QStringLiteral("a"))), 0);
    // A path of a hundred thousand segments carries its text like a short one.
    const auto along = [](const QString &segments) {
        return Render(QStringLiteral(R"svg(<defs><path id="p" d="M 10 50 %1"/></defs>
            <text font-family="Noto Sans" font-size="20"><textPath href="#p">Hi</textPath></text>)svg")
                          .arg(segments));
    };
    const QImage long_ = along(QStringLiteral("h 0.001").repeated(100000));
    EXPECT_FALSE(IsBlank(long_));
    EXPECT_EQ(Differences(long_, along(QStringLiteral("h 100"))), 0);
}

} // namespace
