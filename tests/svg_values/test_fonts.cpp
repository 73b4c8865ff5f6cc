// Font size, family lists, style, weight and decoration.

#include "svg/model/values/font.h"

#include <gtest/gtest.h>

namespace {

const TSVGUnitFactors Doc96 = SVGUnitFactors(96);

TEST(SVGFont, ParseFontSize)
{
    const TSVGUnitFactors parentEm = SVGFontRelativeFactors(Doc96, 10);
    const struct {
        const char *text;
        const TSVGUnitFactors &factors;
        float parent, expected;
    } rows[] = {
        {"larger", Doc96, 10, 12},
        {"smaller", Doc96, 12, 10},
        {"x-large", Doc96, 10, 17.28f},
        {"xx-small", Doc96, 10, 6.9444f},
        {"medium", Doc96, 10, 12},
        {"2em", Doc96, 10, 2},       // no font known: em is a plain unit
        {"2em", parentEm, 10, 20},   // relative to the parent's size
        {"1ex", parentEm, 10, 5},
        {"120%", Doc96, 10, 12},     // a share of the parent's size
        {"12pt", Doc96, 10, 16},
        {"14", Doc96, 10, 14},
        {"Large", Doc96, 10, -7},
        {"abc", Doc96, 10, -7},
        {"x%", Doc96, 10, -7},
        {"inherit", Doc96, 10, -7},
    };
    for (const auto &r : rows) {
        bool inherited = false;
        EXPECT_FLOAT_EQ(ParseFontSize(QString::fromLatin1(r.text), inherited, r.factors, r.parent, -7),
                        r.expected)
            << r.text;
    }
    bool inherited = false;
    EXPECT_EQ(SVGFontSizeKeyword(ParseFontSize(QStringLiteral("x-large"), inherited, Doc96, 10, 0)),
              QStringLiteral("x-large"));
    EXPECT_EQ(SVGFontSizeKeyword(13), QString());
}

TEST(SVGFont, FamilyKeepsTheText)
{
    bool inherited = true;
    EXPECT_EQ(ParseFontFamily(QStringLiteral("  Arial, 'Noto Sans', sans-serif "),
                              QStringLiteral("Old"), inherited),
              QStringLiteral("Arial, 'Noto Sans', sans-serif"));
    EXPECT_FALSE(inherited);
    EXPECT_EQ(ParseFontFamily(QStringLiteral("inherit"), QStringLiteral("Old"), inherited),
              QStringLiteral("Old"));
    EXPECT_TRUE(inherited);
}

TEST(SVGFont, StyleWeightAndDecoration)
{
    const struct {
        const char *text;
        bool italicIn, italic;
        bool boldIn, bold;
    } rows[] = {
        {"italic", false, true, false, false},  {"oblique", false, true, true, true},
        {"normal", true, false, true, false},   {"bold", true, false, false, true},
        {"bolder", false, false, false, true},  {"500", false, false, false, true},
        {"900", false, false, false, true},     {"lighter", false, false, true, false},
        {"400", false, false, true, false},     {"100", false, false, true, false},
        {"heavy", true, false, true, true},     {"Italic", true, false, false, false},
    };
    for (const auto &r : rows) {
        bool inherited = true;
        EXPECT_EQ(ParseFontItalic(QString::fromLatin1(r.text), r.italicIn, inherited), r.italic)
            << r.text;
        EXPECT_EQ(ParseFontBold(QString::fromLatin1(r.text), r.boldIn, inherited), r.bold) << r.text;
        EXPECT_FALSE(inherited);
    }

    const TSVGFontStyle all{true, true, true, true};
    const struct {
        const char *text;
        TSVGFontStyle style;
        TExtendedFontStyles extended;
    } decorations[] = {
        // Italic and bold belong to other properties and survive every decoration.
        {"underline", {true, true, true, false}, {}},
        {"line-through", {true, true, false, true}, {}},
        {"overline", {true, true, false, false}, fsOverline},
        {"blink", {true, true, false, false}, fsBlink},
        {"none", {true, true, false, false}, {}},
        // A list draws every line it names; a word that is no line spoils the list.
        {"underline  overline\tline-through", {true, true, true, true}, fsOverline},
        {"underline overlined", {true, true, false, false}, {}},
        {"inherit", all, fsOverline | fsBlink},
        {"", all, fsOverline | fsBlink},
    };
    for (const auto &d : decorations) {
        TSVGFontStyle style = all;
        TExtendedFontStyles extended = fsOverline | fsBlink;
        bool inherited = false;
        ParseTextDecoration(QString::fromLatin1(d.text), style, extended, inherited);
        EXPECT_EQ(style, d.style) << d.text;
        EXPECT_EQ(extended, d.extended) << d.text;
    }
}

// The font shorthand: optional style, variant, weight and stretch words, a size with an
// optional line height, then the family list; what it leaves out is "normal".
TEST(SVGFont, ShorthandLonghands)
{
    const auto longhands = [](const char *style, const char *variant, const char *weight, const char *stretch,
                              const char *size, const char *family) {
        return QList<std::pair<QString, QString>>{
            {"font-style", style},     {"font-variant", variant}, {"font-weight", weight},
            {"font-stretch", stretch}, {"font-size", size},       {"font-family", family}};
    };
    const struct {
        const char *text;
        QList<std::pair<QString, QString>> expected;
    } rows[] = {
        {"50px 'Noto Sans'", longhands("normal", "normal", "normal", "normal", "50px", "'Noto Sans'")},
        {" italic  small-caps 700 condensed 12pt/1.5 Arial, serif",
         longhands("italic", "small-caps", "700", "condensed", "12pt", "Arial, serif")},
        {"bold normal 2em / 20px \"A B\"", longhands("normal", "normal", "bold", "normal", "2em", "\"A B\"")},
        {"oblique larger serif", longhands("oblique", "normal", "normal", "normal", "larger", "serif")},
        {"inherit", longhands("inherit", "inherit", "inherit", "inherit", "inherit", "inherit")},
        {"50px", {}},                       // no family
        {"bold 'Noto Sans'", {}},           // no size
        {"fancy 50px serif", {}},           // an unknown word before the size
        {"normal normal normal normal normal 5px serif", {}},  // more than four words before the size
        {"", {}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SVGFontShorthandLonghands(QString::fromUtf8(row.text)), row.expected) << row.text;
}

} // namespace
