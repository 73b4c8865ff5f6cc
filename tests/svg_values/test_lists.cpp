// Item lists, number lists, points, dash patterns, viewBox, preserveAspectRatio, clip and
// comment removal.

#include "errors/errors.h"
#include "svg/model/values/clip.h"
#include "svg/model/values/lists.h"
#include "svg/model/values/viewbox.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

const TSVGUnitFactors Doc96 = SVGUnitFactors(96);

QStringList L(std::initializer_list<const char *> items)
{
    QStringList r;
    for (const char *i : items)
        r.append(QString::fromLatin1(i));
    return r;
}

TEST(SVGLists, SplitListAndSplitNumbers)
{
    EXPECT_EQ(SplitList(QStringLiteral(" a, b,,c ,"), QStringLiteral(",")), L({"a", "b", "c"}));
    EXPECT_EQ(SplitList(QStringLiteral("en-US, de fr"), QStringLiteral(", ")), L({"en-US", "de", "fr"}));
    EXPECT_TRUE(SplitList(QStringLiteral("  "), QStringLiteral(" ")).isEmpty());
    EXPECT_EQ(SplitList(QStringLiteral("a\tb;c"), QStringLiteral(";")), L({"a\tb", "c"}));

    const struct {
        const char *text;
        QStringList expected;
    } rows[] = {
        {"1-2-3", L({"1", "-2-3"})},
        {"10-5", L({"10", "-5"})},
        {"-1-2", L({"-1", "-2"})},
        {"1e-5,2", L({"1e-5", "2"})},
        {"1E+2+3", L({"1E+2", "+3"})},
        {"1 , 2  3", L({"1", "2", "3"})},
        {"1\t2\n3\r\n-4", L({"1", "2", "3", "-4"})},
        {"", {}},
    };
    for (const auto &r : rows)
        EXPECT_EQ(SplitNumbers(QString::fromLatin1(r.text)), r.expected) << r.text;
}

TEST(SVGLists, ParsePoints)
{
    EXPECT_TRUE(ParsePoints(QStringLiteral("1,2 3")).isEmpty());
    EXPECT_TRUE(ParsePoints(QStringLiteral("")).isEmpty());
    EXPECT_TRUE(ParsePoints(QStringLiteral("1,a 3")).isEmpty()); // odd count: nothing read
    EXPECT_EQ(ParsePoints(QStringLiteral(" 0,0 10-5 ")),
              (QList<QPointF>{QPointF(0, 0), QPointF(10, -5)}));
    EXPECT_EQ(ParsePoints(QStringLiteral("0.1 2e1")), (QList<QPointF>{QPointF(0.1f, 20)}));
    EXPECT_THROW(ParsePoints(QStringLiteral("1,a")), EConvertError);
}

TEST(SVGLists, ParseDashArray)
{
    const struct {
        const char *text;
        QList<float> expected;
    } rows[] = {
        {"5 10 15", {5, 10, 15, 5, 10, 15}},
        {"5,10", {5, 10}},
        {"50%", {0.5f, 0.5f}},
        {"abc 2", {0, 2}},
        {"1in", {96, 96}},
        {"", {}},
    };
    for (const auto &r : rows) {
        const QList<float> dashes = ParseDashArray(QString::fromLatin1(r.text), Doc96);
        EXPECT_EQ(std::vector<float>(dashes.begin(), dashes.end()),
                  std::vector<float>(r.expected.begin(), r.expected.end()))
            << r.text;
    }
}

TEST(SVGLists, ParseStrokeDash)
{
    const TSVGStrokeDash start{{1, 2}, 4};
    // Flags are {dasharray, dashoffset}.
    const struct {
        const char *dashArray, *dashOffset;
        std::pair<bool, bool> inheritedIn;
        TSVGStrokeDash expected;
        std::pair<bool, bool> inheritedOut;
    } rows[] = {
        {"5 10", "3", {true, true}, {{5, 10}, 3}, {false, false}},
        {"none", "", {false, true}, {{}, 4}, {false, true}},
        {"inherit", "inherit", {false, false}, start, {true, true}},
        {"", "", {true, false}, start, {true, false}},
        {"7", "50%", {false, false}, {{7, 7}, 0.5f}, {false, false}},
        // SVG renders these as solid lines; a zero-length pattern cannot be stroked.
        {"-1 2", "", {false, false}, {{}, 4}, {false, false}},
        {"0 0", "", {false, false}, {{}, 4}, {false, false}},
        {"abc", "", {false, false}, {{}, 4}, {false, false}},
    };
    for (const auto &r : rows) {
        TSVGStrokeDash pen = start;
        auto [arrayInherited, offsetInherited] = r.inheritedIn;
        ParseStrokeDash(QString::fromLatin1(r.dashArray), QString::fromLatin1(r.dashOffset), pen,
                        Doc96, arrayInherited, offsetInherited);
        EXPECT_EQ(pen, r.expected) << r.dashArray << " / " << r.dashOffset;
        EXPECT_EQ(std::make_pair(arrayInherited, offsetInherited), r.inheritedOut)
            << r.dashArray << " / " << r.dashOffset;
    }
}

TEST(SVGLists, StripComments)
{
    const struct {
        const char *text, *expected;
    } rows[] = {
        {"a/*x*/b", "ab"},       {"a/*x*/b/*y*/c", "abc"}, {"a/*x", "a/*x"},
        {"/*/ b", "/*/ b"},      {"a/*/x*/b", "ab"},       {"/*a/*b*/c*/", "c*/"},
        {"a/**/b/*", "ab/*"},    {"", ""},
    };
    for (const auto &r : rows)
        EXPECT_EQ(StripComments(QString::fromLatin1(r.text)), QString::fromLatin1(r.expected))
            << r.text;
}

TEST(SVGViewBox, ParseViewBox)
{
    const QRectF untouched(1, 2, 3, 4);
    const struct {
        const char *text;
        QRectF expected;
    } rows[] = {
        {"0 0 100 50", QRectF(0, 0, 100, 50)},
        {"10,20,30,40", QRectF(10, 20, 30, 40)},
        {" -5, -5 10 10 ", QRectF(-5, -5, 10, 10)},
        {"0 0 1in 1in", QRectF(0, 0, 96, 96)},
        {"0 0 x 10", QRectF(0, 0, 3, 10)},  // an unreadable item keeps its part
        {"1 2 3", untouched},
        {"1 2 3 4 5", untouched},
        {"", untouched},
    };
    for (const auto &r : rows) {
        QRectF rect = untouched;
        ParseViewBox(QString::fromLatin1(r.text), Doc96, rect);
        EXPECT_EQ(rect, r.expected) << r.text;
    }
}

TEST(SVGViewBox, ParseAspectRatio)
{
    const TSVGAspectRatioValue start{saXMaxYMax, true, true};
    const struct {
        const char *text;
        TSVGAspectRatioValue expected;
    } rows[] = {
        {"xMidYMax slice", {saXMidYMax, false, true}},
        {"defer xMinYMin meet", {saXMinYMin, true, false}},
        {"  xMidYMid  ", {saXMidYMid, false, false}},
        {"none", {saNone, false, false}},
        {"xmidymid", {saNone, false, false}},
        {"defer", {saNone, false, false}},
        {"xMinYMin Slice", {saXMinYMin, false, false}},
        {"", start},
    };
    for (const auto &r : rows) {
        TSVGAspectRatioValue value = start;
        ParseAspectRatio(QString::fromLatin1(r.text), value);
        EXPECT_EQ(value, r.expected) << r.text;
    }
}

TEST(SVGClip, ParseClip)
{
    const QRectF current(QPointF(9, 9), QPointF(19, 19));
    const auto edges = [](float l, float t, float r, float b) {
        return QRectF(QPointF(l, t), QPointF(r, b));
    };
    const struct {
        const char *text;
        QRectF expected;
        bool inheritedOut;
    } rows[] = {
        {"rect(1 2 3 4)", edges(4, 1, 2, 3), false},
        {"RECT(1in 0 0 0)", edges(0, 96, 0, 0), false},
        {"rect(1px, 2px, 3px, 4px)", edges(4, 0, 0, 0), false}, // commas do not separate
        {"rect(5)", edges(0, 5, 0, 0), false},
        {"auto", QRectF(), false},
        {"foo", current, false},
        {"inherit", current, true},
        {"", current, true},
    };
    for (const auto &r : rows) {
        bool inherited = true;
        const QRectF clip = ParseClip(QString::fromLatin1(r.text), current, inherited, Doc96);
        EXPECT_EQ(clip.left(), r.expected.left()) << r.text;
        EXPECT_EQ(clip.top(), r.expected.top()) << r.text;
        EXPECT_EQ(clip.right(), r.expected.right()) << r.text;
        EXPECT_EQ(clip.bottom(), r.expected.bottom()) << r.text;
        EXPECT_EQ(inherited, r.inheritedOut) << r.text;
    }
}

} // namespace
