// Fonts of SVG text: variable-font axes, kerning, small capitals and colour glyphs.

#include "render_helpers.h"

#include "svg/render/font_instance.h"

#include <gtest/gtest.h>

using namespace svgtest;

namespace {

int InkPixels(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += Alpha(img, x, y) > 100;
    return n;
}

// The leftmost and rightmost columns with ink.
std::pair<int, int> InkColumns(const QImage &img)
{
    int left = img.width(), right = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (Alpha(img, x, y) > 100) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

QImage Flex(const char *attributes, const char *content = "Hamburg")
{
    return Render(QStringLiteral(R"svg(<text font-family="Roboto Flex" font-size="16" x="50" y="50"
        text-anchor="middle" %1>%2</text>)svg")
                      .arg(QLatin1String(attributes), QLatin1String(content)),
                  200);
}

constexpr quint32 Tag(const char (&t)[5])
{
    return quint32(quint8(t[0])) << 24 | quint32(quint8(t[1])) << 16 | quint32(quint8(t[2])) << 8 |
           quint32(quint8(t[3]));
}

} // namespace

TEST(TextFonts, VariationSettingsAreReadAsCssWritesThem)
{
    const struct {
        const char *value;
        std::vector<TFontVariation> expected;
    } cases[] = {
        {"'wght' 700", {{Tag("wght"), 700}}},
        {" \"wdth\" 75.5 , 'GRAD' -200", {{Tag("wdth"), 75.5f}, {Tag("GRAD"), -200}}},
        {"'wght' 100, 'wght' 900", {{Tag("wght"), 900}}},  // the last value of a tag wins
        {"normal", {}},
        {"", {}},
        {"'wght'", {}},              // no value
        {"wght 700", {}},            // an unquoted tag
        {"'wgt' 700", {}},           // three characters
        {"'wght' 700, 'wdth'", {}},  // one bad item drops the whole list
        {"'wght' bold", {}},
        {"'wght' 1e999", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SVGParseFontVariations(QString::fromUtf8(c.value)), c.expected) << c.value;
    // Lists longer than any font's axes are refused whole, however they are written.
    const auto list = [](int items) {
        QStringList parts;
        for (int i = 0; i < items; ++i)
            parts << QStringLiteral("'w%1' %2").arg(i % 1000, 3, 10, QLatin1Char('0')).arg(i);
        return parts.join(QLatin1Char(','));
    };
    EXPECT_EQ(SVGParseFontVariations(list(256)).size(), 256u);
    EXPECT_TRUE(SVGParseFontVariations(list(1 << 20)).empty());
}

TEST(TextFonts, FontStretchKeywordsAndPercentages)
{
    const std::pair<const char *, float> cases[] = {
        {"condensed", 75},  {"Ultra-Expanded", 200}, {"semi-condensed", 87.5f}, {"62.5%", 62.5f},
        {"normal", 100},    {"narrow", 100},         {"-10%", 100},             {"", 100},
    };
    for (const auto &[value, percent] : cases)
        EXPECT_EQ(SVGParseFontStretch(QString::fromUtf8(value)), percent) << value;
}

// Roboto Flex is one variable font file: its weight, width and slant come from its axes,
// set from font-variation-settings or, where they say nothing, from the font properties.
TEST(TextFonts, VariableFontAxesShapeTheGlyphs)
{
    const QImage regular = Flex("");
    ASSERT_GT(InkPixels(regular), 100);
    EXPECT_LT(InkPixels(Flex(R"svg(style="font-variation-settings: 'wght' 100")svg")), InkPixels(regular) * 3 / 4);
    EXPECT_GT(InkPixels(Flex(R"svg(style="font-variation-settings: 'wght' 900")svg")), InkPixels(regular) * 5 / 4);

    const auto width = [](const QImage &img) { return InkColumns(img).second - InkColumns(img).first; };
    EXPECT_LT(width(Flex(R"svg(style="font-variation-settings: 'wdth' 25")svg")), width(regular) * 9 / 10);
    EXPECT_LT(width(Flex(R"svg(font-stretch="condensed")svg")), width(regular));
    EXPECT_GT(width(Flex(R"svg(font-stretch="expanded")svg")), width(regular));

    // Properties and settings meet on the same axes; an explicit setting wins.
    EXPECT_EQ(Differences(Flex(R"svg(font-weight="700")svg"),
                          Flex(R"svg(style="font-variation-settings: 'wght' 700")svg")), 0);
    EXPECT_EQ(Differences(Flex(R"svg(font-weight="bold" style="font-variation-settings: 'wght' 100")svg"),
                          Flex(R"svg(style="font-variation-settings: 'wght' 100")svg")), 0);
    const QImage oblique = Flex(R"svg(font-style="oblique")svg");
    EXPECT_GT(Differences(oblique, regular), 50);
    EXPECT_EQ(Differences(oblique, Flex(R"svg(style="font-variation-settings: 'slnt' -10")svg")), 0);
}

// Glyphs placed one by one stand where the shaped run puts them, and anchors measure the
// run as shaped on the instance.
TEST(TextFonts, VariableFontRunsPlaceCharactersAsShaped)
{
    const char *wide = R"svg(style="font-variation-settings: 'wdth' 151, 'wght' 800")svg";
    const QImage whole = Flex(wide);
    EXPECT_LE(Differences(Flex(R"svg(dx="0 0 0 0 0 0 0" style="font-variation-settings: 'wdth' 151, 'wght' 800")svg"),
                          whole), 4);
    const auto [left, right] = InkColumns(whole);
    EXPECT_NEAR((left + right) / 2.0, 100, 3);  // centred on x = 50 at two pixels a unit
}

// Kerning is on unless kerning="0" or a font-kerning: none declaration turns it off;
// font-kerning written as an attribute is no presentation attribute and is ignored.
TEST(TextFonts, KerningFollowsTheKerningProperties)
{
    const auto width = [](const char *attributes) {
        const QImage img = Render(QStringLiteral(R"svg(<text font-family="Noto Sans" font-size="20" x="5"
            y="50" %1>AVAVA</text>)svg").arg(QLatin1String(attributes)));
        const auto [left, right] = InkColumns(img);
        return right - left;
    };
    const int kerned = width("");
    const struct {
        const char *attributes;
        bool kerned;
    } cases[] = {
        {R"svg(kerning="0")svg", false},
        {R"svg(style="font-kerning: none")svg", false},
        {R"svg(kerning="auto")svg", true},
        {R"svg(kerning="10%")svg", true},
        {R"svg(font-kerning="none")svg", true},
    };
    for (const auto &c : cases) {
        if (c.kerned)
            EXPECT_EQ(width(c.attributes), kerned) << c.attributes;
        else
            EXPECT_GT(width(c.attributes), kerned + 2) << c.attributes;
    }
}

// Small capitals are the font's own (Noto Sans has them): lower-case letters turn into
// capitals a little taller than the x-height and well short of the capitals.
TEST(TextFonts, SmallCapsComeFromTheFont)
{
    const auto top = [](const char *attributes, const char *content) {
        const QImage img = Render(QStringLiteral(R"svg(<text font-family="Noto Sans" font-size="40" x="5"
            y="60" %1>%2</text>)svg").arg(QLatin1String(attributes), QLatin1String(content)));
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (Alpha(img, x, y) > 100)
                    return y;
        return -1;
    };
    const int small = top(R"svg(font-variant="small-caps")svg", "hd");
    // Made-up small capitals (capitals scaled to 70%) would stay below the x-height.
    EXPECT_LT(small, top("", "xz"));
    EXPECT_GT(small, top("", "HD") + 3);
}

// Colour fonts without outlines draw their pictures in their own colours, whatever the
// fill, where the outline glyph would stand.
TEST(TextFonts, BitmapGlyphsDrawTheirPictures)
{
    const auto colours = [](const QImage &img) {
        int yellow = 0, red = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (const QRgb p = img.pixel(x, y); qAlpha(p) > 200) {
                    yellow += qRed(p) > 200 && qGreen(p) > 150 && qBlue(p) < 100;
                    red += qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
                }
        return std::make_pair(yellow, red);
    };
    const QImage emoji = Render(QString::fromUtf8(
        R"svg(<text font-family="Noto Color Emoji" font-size="40" x="30" y="60" fill="red">😀</text>)svg"));
    const auto [yellow, red] = colours(emoji);
    EXPECT_GT(yellow, 300);
    EXPECT_EQ(red, 0);
    const auto [left, right] = InkColumns(emoji);
    EXPECT_NEAR(left, 30, 4);
    EXPECT_NEAR(right, 30 + 40 * 1.17, 6);
}

// The font shorthand sets the font's size, family, style and weight and sets back what it
// does not name, kerning included, whatever the parent has.
TEST(TextFonts, FontShorthandSetsAndResetsTheFontProperties)
{
    const QImage plain = Render(R"svg(<text font-family="Noto Sans" font-size="20" x="5" y="50">AVAVA</text>)svg");
    const QImage shorthand = Render(R"svg(<g style="font-size: 80px; font-family: 'Noto Serif'; font-weight: bold;
        font-kerning: none; font-variant: small-caps"><text x="5" y="50" style="font: 20px 'Noto Sans'">AVAVA</text></g>)svg");
    EXPECT_EQ(Differences(shorthand, plain), 0);
    const QImage italic = Render(R"svg(<text x="5" y="50" style="font: italic bold 20px 'Noto Sans'">AVAVA</text>)svg");
    EXPECT_EQ(Differences(italic, Render(R"svg(<text font-family="Noto Sans" font-size="20" font-style="italic"
        font-weight="bold" x="5" y="50">AVAVA</text>)svg")), 0);
    EXPECT_GT(Differences(italic, plain), 50);
}

// Text that names no family takes the default family (Noto Sans in the test set-up), text
// whose families all are missing the fallback family (Noto Serif there).
TEST(TextFonts, MissingFamiliesTakeTheFallbackFamily)
{
    const auto text = [](const char *attributes) {
        return Render(QStringLiteral(R"svg(<text font-size="20" x="5" y="50" %1>Text</text>)svg")
                          .arg(QLatin1String(attributes)));
    };
    const QImage sans = text(R"svg(font-family="Noto Sans")svg"), serif = text(R"svg(font-family="Noto Serif")svg");
    ASSERT_GT(Differences(sans, serif), 20);
    const std::pair<const char *, const QImage *> rows[] = {
        {"", &sans},
        {R"svg(font-family="Invalid")svg", &serif},
        {R"svg(font-family="Invalid, 'Also Missing'")svg", &serif},
        {R"svg(font-family="Invalid, Noto Sans")svg", &sans},
    };
    for (const auto &[attributes, expected] : rows)
        EXPECT_EQ(Differences(text(attributes), *expected), 0) << attributes;
}
