// Colours, the named-colour table, opacity and url(#id) references.

#include "errors/errors.h"
#include "svg/model/values/color.h"
#include "svg/model/values/uri.h"

#include <QColor>
#include <gtest/gtest.h>
#include <cmath>

namespace {

constexpr TAlphaColor Old = 0xFF123456;

TEST(SVGColor, ParsesEveryForm)
{
    const struct {
        const char *text;
        TAlphaColor expected;
    } rows[] = {
        {"#abc", 0xFFAABBCC},
        {" #F0A ", 0xFFFF00AA},
        {"#123456", 0xFF123456},
        {"#f008", 0x88FF0000},        // alpha last, as CSS writes it
        {"#ff000080", 0x80FF0000},
        {"#80FF0000", 0x0080FF00},
        {"#12345", 0x0FF12345},       // odd lengths: the digits after an opaque FF
        {"rgb(100%, 50%, 0)", 0xFFFF7F00},
        {"rgb(300,0,0)", 0xFFFF0000}, // clamped, not wrapped
        {"rgb(-5, 256, 12.6)", 0xFF00FF0D},
        {"RGB( 1 , 2 , 3 )", 0xFF010203},
        {"rgb(1)", 0xFF010000},
        {"rgb()", 0xFF000000},
        {"rgba(255,0,0,0.5)", 0x80FF0000},
        {"rgb(255,0,0,25%)", 0x40FF0000},
        {"rgba(0,0,255,2)", 0xFF0000FF},
        {"rgb(255 0 0 / 50%)", 0x80FF0000},
        {"rgb(0 128 0)", 0xFF008000},
        {"rgb(0\t128\n0/.5)", 0x80008000},
        {"hsl(120, 100%, 50%)", 0xFF00FF00},
        {"HSLA(240,100%,50%,0.5)", 0x800000FF},
        {"hsl(0 0% 50%)", 0xFF808080},
        {"hsl(-120, 100%, 25%)", 0xFF000080},
        {"hsl(0.5turn, 100%, 50%)", 0xFF00FFFF},
        {"RED", 0xFFFF0000},
        {"yellowgreen", 0xFF9ACD32},
        {"null", 0x00000000},
        {"Transparent", 0x00000000},
        {"notacolor", Old},
        {"rgb(1,2,3", Old},
    };
    for (const auto &r : rows) {
        bool isNone = true, inherited = true, current = true;
        EXPECT_EQ(ParseColor(QString::fromLatin1(r.text), Old, isNone, inherited, &current),
                  r.expected)
            << r.text;
        EXPECT_FALSE(isNone) << r.text;
        EXPECT_FALSE(inherited) << r.text;
        EXPECT_FALSE(current) << r.text;
    }
}

TEST(SVGColor, NoneInheritEmptyAndCurrentColorKeepTheColour)
{
    const struct {
        const char *text;
        bool noneIn, inheritedIn;
        bool noneOut, inheritedOut, currentOut;
    } rows[] = {
        {"none", false, true, true, false, false},
        {"inherit", false, false, false, true, false},
        {"inherit", true, false, true, true, false},
        {"", false, true, false, true, false},
        {"  ", true, false, true, false, false},
        {"currentColor", true, true, false, false, true},
        {"currentcolor", false, false, false, false, true},
    };
    for (const auto &r : rows) {
        bool isNone = r.noneIn, inherited = r.inheritedIn, current = !r.currentOut;
        EXPECT_EQ(ParseColor(QString::fromLatin1(r.text), Old, isNone, inherited, &current), Old)
            << r.text;
        EXPECT_EQ(isNone, r.noneOut) << r.text;
        EXPECT_EQ(inherited, r.inheritedOut) << r.text;
        EXPECT_EQ(current, r.currentOut) << r.text;
    }
    bool isNone = true, inherited = false;
    EXPECT_EQ(ParseColor(QStringLiteral("currentColor"), Old, isNone, inherited), Old);
}

TEST(SVGColor, MalformedNumbersRaiseConversionErrors)
{
    for (const char *text : {"#ggg", "#12345678901", "#1234567", "rgb(a,0,0)", "rgb(1,2,3,4,x)",
                             "rgb(,1,2)", "rgb(12.5.1,0,0)", "hsl(x,1%,1%)"}) {
        bool isNone = false, inherited = false;
        EXPECT_THROW(ParseColor(QString::fromLatin1(text), Old, isNone, inherited), EConvertError)
            << text;
    }
    bool isNone = false, inherited = false;
    try {
        ParseColor(QStringLiteral("#xyz"), Old, isNone, inherited);
        FAIL() << "no exception";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'#xyz' is not a valid integer value"));
    }
}

TEST(SVGColor, NamedTableHasTheStandardKeywords)
{
    ASSERT_EQ(SVGColorTableCount(), 148);
    int named = 0;
    for (int i = 0; i < SVGColorTableCount(); ++i) {
        const QString name = SVGColorTableName(i);
        ASSERT_TRUE(name.startsWith(QLatin1String("cla")) && name[3].isUpper()) << qPrintable(name);
        const QString keyword = name.mid(3).toLower();
        TAlphaColor found = 1;
        EXPECT_TRUE(SVGColorByName(keyword, found));
        EXPECT_EQ(found, SVGColorTableValue(i)) << qPrintable(name);
        if (keyword == QLatin1String("null")) {
            EXPECT_EQ(SVGColorTableValue(i), 0u);
            continue;
        }
        // Qt knows the same SVG keyword list, which makes it an independent check of
        // the values.
        EXPECT_EQ(SVGColorTableValue(i), QColor(keyword).rgba()) << qPrintable(name);
        ++named;
    }
    EXPECT_EQ(named, 147);
    for (const QString &qtName : QColor::colorNames()) {
        TAlphaColor c = 0;
        if (qtName != QLatin1String("transparent")) {
            EXPECT_TRUE(SVGColorByName(qtName, c)) << qPrintable(qtName);
        }
    }
    EXPECT_THROW(SVGColorTableName(148), EArgumentOutOfRange);
    TAlphaColor c = 0;
    EXPECT_FALSE(SVGColorByName(u"claRed", c));
    EXPECT_FALSE(SVGColorByName(QString::fromUtf8("r\u0117d"), c));
}

TEST(SVGColor, ColourText)
{
    EXPECT_EQ(SVGColorToText(0xFFFF0000), QStringLiteral("Red"));
    EXPECT_EQ(SVGColorToText(0xFF00FFFF), QStringLiteral("Aqua")); // first of aqua and cyan
    EXPECT_EQ(SVGColorToText(0xFF808080), QStringLiteral("Gray"));
    EXPECT_EQ(SVGColorToText(0), QStringLiteral("Null"));
    EXPECT_EQ(SVGColorToText(0x800a0b0c), QStringLiteral("#0A0B0C80"));
    EXPECT_EQ(SVGColorToText(0xFF0a0b0c), QStringLiteral("#0A0B0C"));
    // Every colour text reads back as the same colour.
    for (TAlphaColor c : {0x800a0b0cu, 0xFF0a0b0cu, 0x00000001u, 0xFFFF0000u, 0u, 0x7FFFFFFFu}) {
        bool isNone = false, inherited = false;
        EXPECT_EQ(ParseColor(SVGColorToText(c), 0x12345678, isNone, inherited), c) << c;
    }
}

TEST(SVGColor, ApplyOpacityReplacesAlpha)
{
    const struct {
        float opacity;
        TAlphaColor expected;
    } rows[] = {
        {0.5f, 0x80112233}, {0, 0x00112233}, {1, 0xFF112233},
        {1.5f, 0xFF112233}, {-1, 0x00112233}, {NAN, 0x00112233},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ApplyOpacity(0x40112233, r.opacity), r.expected) << r.opacity;
}

TEST(SVGURI, References)
{
    const struct {
        const char *text;
        const char *expected;
    } rows[] = {
        {"url(#grad1)", "grad1"}, {" URL(#a) ", "a"}, {"uri(#b)", "b"}, {"url(#)", ""},
        {"url(grad)", ""},        {"url(#a", ""},     {"red", ""},      {"", ""},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ParseURI(QString::fromLatin1(r.text)), QString::fromLatin1(r.expected)) << r.text;

    bool inherited = true;
    EXPECT_EQ(ParsePaintURI(QStringLiteral("red"), QStringLiteral("old"), inherited), "old");
    EXPECT_FALSE(inherited);
    EXPECT_EQ(ParsePaintURI(QStringLiteral("url(#x)"), QStringLiteral("old"), inherited), "x");
    EXPECT_EQ(ParsePaintURI(QStringLiteral("inherit"), QStringLiteral("old"), inherited), "old");
    EXPECT_TRUE(inherited);
}

} // namespace
