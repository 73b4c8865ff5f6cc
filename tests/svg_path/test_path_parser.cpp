// Path-data text to points: commands, implicit repetition, number forms, and what the
// parser does with malformed data.

#include "path_expect.h"
#include "svg/model/path/path_data.h"
#include "svg/model/path/path_parser.h"

#include <gtest/gtest.h>

namespace {

struct TParseCase {
    const char *Data;
    std::vector<TExpectedPoint> Points;
};

void PrintTo(const TParseCase &c, std::ostream *os)
{
    *os << '"' << c.Data << '"';
}

class PathParse : public ::testing::TestWithParam<TParseCase> {};

TEST_P(PathParse, GivesPoints)
{
    const TParseCase &c = GetParam();
    TRSPathData path;
    path.SetData(QString::fromLatin1(c.Data));
    ExpectPoints(path, c.Points);

    // The 8-bit entry point reads the same text the same way.
    TPathData bytes;
    ParsePathData(bytes, std::string_view(c.Data));
    EXPECT_EQ(bytes.Points(), path.Points());
}

constexpr float T3 = 10.0f / 3, S3 = 20.0f / 3;

INSTANTIATE_TEST_SUITE_P(Commands, PathParse, ::testing::Values(
    TParseCase{"M10,20L30,40Z", {{'M', 10, 20}, {'L', 30, 40}, {'Z', 10, 20}}},
    TParseCase{"m10 20 30 40", {{'M', 10, 20}, {'L', 40, 60}}},
    TParseCase{"M1 2 m3 4", {{'M', 1, 2}, {'M', 4, 6}}},
    TParseCase{"M0 0 H10 V5 h-3 v-2", {{'M', 0, 0}, {'L', 10, 0}, {'L', 10, 5}, {'L', 7, 5}, {'L', 7, 3}}},
    TParseCase{"M0 0 C1 1 2 2 3 3 4 4 5 5 6 6",
               {{'M', 0, 0}, {'C', 1, 1}, {'C', 2, 2}, {'C', 3, 3}, {'C', 4, 4}, {'C', 5, 5}, {'C', 6, 6}}},
    TParseCase{"M1 1 c1 0 2 0 3 3",
               {{'M', 1, 1}, {'C', 2, 1}, {'C', 3, 1}, {'C', 4, 4}}},
    // A relative command after a close starts from the subpath start.
    TParseCase{"M10 20 L30 40 z l5 5", {{'M', 10, 20}, {'L', 30, 40}, {'Z', 10, 20}, {'L', 15, 25}}},
    TParseCase{"zM1 2", {{'Z', 0, 0}, {'M', 1, 2}}},
    TParseCase{"M0 0 Q10 0 10 10", {{'M', 0, 0}, {'C', S3, 0}, {'C', 10, T3}, {'C', 10, 10}}},
    TParseCase{"M5 5 q10 0 10 10", {{'M', 5, 5}, {'C', 5 + S3, 5}, {'C', 15, 5 + T3}, {'C', 15, 15}}},
    // Smooth cubic: the reflection of the previous cubic's second control point, or
    // the current point after any command that drew no cubic (a line, a quadratic, an arc).
    TParseCase{"M0 0 L10 10 S20 20 30 30", {{'M', 0, 0}, {'L', 10, 10}, {'C', 10, 10}, {'C', 20, 20}, {'C', 30, 30}}},
    TParseCase{"M0 0 L5 0 L10 10 S20 20 30 30",
               {{'M', 0, 0}, {'L', 5, 0}, {'L', 10, 10}, {'C', 10, 10}, {'C', 20, 20}, {'C', 30, 30}}},
    TParseCase{"M0 0 L5 0 L10 10 s10 10 20 20",
               {{'M', 0, 0}, {'L', 5, 0}, {'L', 10, 10}, {'C', 10, 10}, {'C', 20, 20}, {'C', 30, 30}}},
    TParseCase{"M0 0 C0 5 5 10 10 10 S20 20 30 30",
               {{'M', 0, 0}, {'C', 0, 5}, {'C', 5, 10}, {'C', 10, 10}, {'C', 15, 10}, {'C', 20, 20}, {'C', 30, 30}}},
    TParseCase{"M0 0 C0 5 5 10 10 10 s10 10 20 20 10 0 10 0",
               {{'M', 0, 0}, {'C', 0, 5}, {'C', 5, 10}, {'C', 10, 10}, {'C', 15, 10}, {'C', 20, 20},
                {'C', 30, 30}, {'C', 40, 40}, {'C', 40, 30}, {'C', 40, 30}}},
    TParseCase{"M0 0 Q10 0 10 10 S20 20 30 30",
               {{'M', 0, 0}, {'C', S3, 0}, {'C', 10, T3}, {'C', 10, 10}, {'C', 10, 10}, {'C', 20, 20}, {'C', 30, 30}}},
    TParseCase{"M0 0 A5 5 0 0 1 10 0 S20 20 30 30", {{'M', 0, 0}, {'C', 0, -2.761424f}, {'C', 2.238576f, -5},
               {'C', 5, -5}, {'C', 7.761424f, -5}, {'C', 10, -2.761424f}, {'C', 10, 0},
               {'C', 10, 0}, {'C', 20, 20}, {'C', 30, 30}}},
    // Smooth quadratic: the reflection of the previous quadratic's control point, or the
    // current point after any command that drew no quadratic.
    TParseCase{"M0 0 Q5 5 10 0 T20 0",
               {{'M', 0, 0}, {'C', T3, T3}, {'C', 10 - T3, T3}, {'C', 10, 0},
                {'C', 10 + T3, -T3}, {'C', 20 - T3, -T3}, {'C', 20, 0}}},
    TParseCase{"M0 0 Q5 5 10 0 L20 0 t10 0",
               {{'M', 0, 0}, {'C', T3, T3}, {'C', 10 - T3, T3}, {'C', 10, 0}, {'L', 20, 0},
                {'C', 20, 0}, {'C', 20 + T3, 0}, {'C', 30, 0}}},
    TParseCase{"M0 0 C0 5 5 10 10 10 T20 10",
               {{'M', 0, 0}, {'C', 0, 5}, {'C', 5, 10}, {'C', 10, 10}, {'C', 10, 10}, {'C', 10 + T3, 10}, {'C', 20, 10}}},
    TParseCase{"M0 0 T10 0", {{'M', 0, 0}, {'C', 0, 0}, {'C', T3, 0}, {'C', 10, 0}}},
    TParseCase{"M5 5 A10 10 0 0 1 5 5", {{'M', 5, 5}}},
    // A zero radius makes the arc a straight line.
    TParseCase{"M0 0 A0 10 0 0 1 20 0", {{'M', 0, 0}, {'L', 20, 0}}},
    TParseCase{"M0 0 a10 0 0 0 1 20 5", {{'M', 0, 0}, {'L', 20, 5}}}));

INSTANTIATE_TEST_SUITE_P(Numbers, PathParse, ::testing::Values(
    TParseCase{"M10 20 .5 .5", {{'M', 10, 20}, {'L', 0.5f, 0.5f}}},
    TParseCase{"M0,0c0.107,0.814-0.02,1.465-0.381,1.953",
               {{'M', 0, 0}, {'C', 0.107f, 0.814f}, {'C', -0.02f, 1.465f}, {'C', -0.381f, 1.953f}}},
    TParseCase{"M0 0 L-.5-.5 1-2", {{'M', 0, 0}, {'L', -0.5f, -0.5f}, {'L', 1, -2}}},
    TParseCase{"M0 0 L0.5.5", {{'M', 0, 0}, {'L', 0.5f, 0.5f}}},
    TParseCase{"M0 0 L1e-1 0 l1E2,2e0", {{'M', 0, 0}, {'L', 0.1f, 0}, {'L', 100.1f, 2}}},
    // Signs the SVG grammar allows: a leading "+" and a signed exponent.
    TParseCase{"M0 0 L1e+1 0", {{'M', 0, 0}, {'L', 10, 0}}},
    TParseCase{"M+1+2 L+5 -6", {{'M', 1, 2}, {'L', 5, -6}}},
    TParseCase{"M1\t2\nL3\r\n4", {{'M', 1, 2}, {'L', 3, 4}}},
    TParseCase{"M 1 , 2 L 3 ,, 4", {{'M', 1, 2}, {'L', 3, 4}}},
    TParseCase{"M0 0 L100000000000000000000000 0.000000000000000000000000123",
               {{'M', 0, 0}, {'L', 1e23f, 0}}}));

// Malformed data keeps what was read before the fault.
INSTANTIATE_TEST_SUITE_P(Faults, PathParse, ::testing::Values(
    TParseCase{"", {}},
    TParseCase{"   ", {}},
    TParseCase{"10 20", {}},
    TParseCase{"M1 1 L", {{'M', 1, 1}, {'L', 0, 0}}},
    TParseCase{"M1 1 L2 2 x L3 3", {{'M', 1, 1}, {'L', 2, 2}}},
    TParseCase{"M0 0 L1 2 3", {{'M', 0, 0}, {'L', 1, 2}}},
    TParseCase{"M0 0 H", {{'M', 0, 0}}},
    // A number too large for a single drops its command; the parse goes on.
    TParseCase{"M0 0 L1e40 0 L5 5", {{'M', 0, 0}, {'L', 5, 5}}},
    TParseCase{"M0 0 L1e999999999 0 L5 5", {{'M', 0, 0}, {'L', 5, 5}}},
    TParseCase{"M3e38 0 l3e38 0 L1 1", {{'M', 3e38f, 0}, {'L', 1, 1}}},
    TParseCase{"M0 0 L1e 5", {{'M', 0, 0}}},
    TParseCase{"M0 0 L1 2 \x01 L3 4", {{'M', 0, 0}, {'L', 1, 2}}}));

// The implicit repetition reads a final one-character argument like any other.
INSTANTIATE_TEST_SUITE_P(Repetition, PathParse, ::testing::Values(
    TParseCase{"M0 0 H5 6", {{'M', 0, 0}, {'L', 5, 0}, {'L', 6, 0}}},
    TParseCase{"M0 0 V5 6 7", {{'M', 0, 0}, {'L', 0, 5}, {'L', 0, 6}, {'L', 0, 7}}},
    TParseCase{"M0 0 h1 1 v-1 -1", {{'M', 0, 0}, {'L', 1, 0}, {'L', 2, 0}, {'L', 2, -1}, {'L', 2, -2}}}));

TEST(PathParser, CompactArcFlagsNeedNoSeparators)
{
    TRSPathData compact(QStringLiteral("M0 0 A10 10 0 0110 10"));
    TRSPathData spaced(QStringLiteral("M0 0 A10 10 0 0 1 10 10"));
    ASSERT_GT(compact.Count(), 1);
    EXPECT_EQ(compact.Points(), spaced.Points());
    EXPECT_NEAR(compact.LastPoint().X, 10, 1e-5);
    EXPECT_NEAR(compact.LastPoint().Y, 10, 1e-5);

    // A second arc after the same letter.
    TRSPathData repeated(QStringLiteral("M0 0 A5 5 0 1,0 10 0 5 5 0 01 20 0"));
    EXPECT_NEAR(repeated.LastPoint().X, 20, 1e-5);
    EXPECT_EQ(Kinds(repeated).find_first_not_of('C', 1), std::string::npos);
}

TEST(PathParser, SetDataReplacesThePathWithOneChangeEvent)
{
    TRSPathData path(QStringLiteral("M1 1 L2 2"));
    int events = 0;
    path.SetOnChanged([&](TRSPathData *sender) {
        EXPECT_EQ(sender, &path);
        ++events;
    });
    path.SetData(QStringLiteral("M0 0 L1 1 L2 2 C1 1 2 2 3 3 Q1 1 2 2 A1 1 0 0 1 5 5 Z"));
    EXPECT_EQ(events, 1);
    EXPECT_EQ(path.GetPoint(0).Point, TPointF(0, 0));

    path.SetData(QStringLiteral("garbage"));
    EXPECT_EQ(events, 2);
    EXPECT_TRUE(path.IsEmpty());
}

TEST(PathParser, TextFormReadsBackToTheSamePoints)
{
    TRSPathData path(QStringLiteral(
        "M0.1 0.2 L1e-7 -3.4e38 C1.5e20 2 3 4 5 6 Z m-0 0 a7 3 30 1 0 12.345678 -9.87654 "
        "q1 2 3 4 t5 6 s1 2 3 4"));
    ASSERT_GT(path.Count(), 10);
    TRSPathData again(path.Data());
    EXPECT_EQ(again.Points(), path.Points());
}

} // namespace
