// Number conversion, units, lengths, fractions, plain numbers and angles.

#include "errors/errors.h"
#include "svg/model/values/numbers.h"
#include "svg/model/values/units.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <cfloat>
#include <cmath>
#include <numbers>

namespace {

const TSVGUnitFactors Doc96 = SVGUnitFactors(96);

TEST(SVGNumbers, ConversionAcceptsOnlyDecimalNumbers)
{
    const struct {
        const char *text;
        bool ok;
        double value;
    } rows[] = {
        {"1", true, 1},        {" +1.5e+2 ", true, 150}, {".5", true, 0.5},
        {"5.", true, 5},       {"-2.25E-1", true, -0.225}, {"1e-400", true, 0},
        {"", false, 0},        {"-", false, 0},         {"+-1", false, 0},
        {"1e", false, 0},      {"e5", false, 0},        {"inf", false, 0},
        {"nan", false, 0},     {"0x10", false, 0},      {"1.2.3", false, 0},
        {"1,5", false, 0},     {"1 2", false, 0},       {"1e400", false, 0},
    };
    for (const auto &r : rows) {
        double v = -99;
        EXPECT_EQ(TrySVGStrToFloat(QString::fromLatin1(r.text), v), r.ok) << r.text;
        if (r.ok) {
            EXPECT_DOUBLE_EQ(v, r.value) << r.text;
        }
    }
}

TEST(SVGNumbers, ErrorsNameTheText)
{
    try {
        SVGStrToFloat(u"abc");
        FAIL() << "no exception";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'abc' is not a valid floating point value"));
    }
    EXPECT_EQ(SVGHexToUInt32(u"FFffFFff"), 0xFFFFFFFFu);
    for (const char *bad : {"", "g", "100000000", "-1"})
        EXPECT_THROW(SVGHexToUInt32(QString::fromLatin1(bad)), EConvertError) << bad;
    EXPECT_EQ(SVGToSingle(1e300), FLT_MAX);
    EXPECT_EQ(SVGToSingle(-1e300), -FLT_MAX);
}

TEST(SVGNumbers, DecimalPointDoesNotFollowTheLocale)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    double v = 0;
    EXPECT_TRUE(TrySVGStrToFloat(u"1.5", v));
    EXPECT_EQ(v, 1.5);
    EXPECT_FALSE(TrySVGStrToFloat(u"1,5", v));
    EXPECT_FLOAT_EQ(ParseUnitValue(QStringLiteral("2.5mm"), Doc96, 0), 2.5f * 96 / 25.4f);
    QLocale::setDefault(saved);
}

TEST(SVGUnits, FactorTables)
{
    const TSVGUnitFactors expected96 = {1, 1, 96.0f / 72, 16, 96 / 25.4f, 96 / 2.54f, 96, 1, 1, 1};
    const TSVGUnitFactors expectedDefault = {1, 1, 1.333f, 15.996f, 3.78f, 37.8f, 96, 1, 1, 1};
    for (int u = 0; u < SVGUnitCount; ++u) {
        EXPECT_FLOAT_EQ(SVGUnitFactors(96)[u], expected96[u]) << u;
        EXPECT_EQ(SVGDefaultUnitFactors()[u], expectedDefault[u]) << u;
    }
    EXPECT_FLOAT_EQ(SVGUnitFactors(72)[suPoints], 1);
    const TSVGUnitFactors font = SVGFontRelativeFactors(Doc96, 10);
    EXPECT_EQ(font[suFontSize], 10);
    EXPECT_EQ(font[suFontXHeight], 5);
    EXPECT_EQ(font[suInches], 96);
}

TEST(SVGUnits, ParseUnitValue)
{
    const struct {
        const char *text;
        float expected;
    } rows[] = {
        {"12pt", 16},       {"1in", 96},       {"2pc", 32},          {"5PX", 5},
        {" 2.54cm ", 96},   {"10mm", 37.795277f}, {"3", 3},          {"1e2px", 100},
        {"3em", 3},         {"4ex", 4},        {"50%", 50},          {"-Infinity", -1e8f},
        {"INFINITYpx", 1e8f}, {"", -7},        {"abc", -7},          {"px", -7},
        {"%", -7},          {"12 pt", 16},     {"1,5", -7},          {"12deg", -7},
    };
    for (const auto &r : rows)
        EXPECT_FLOAT_EQ(ParseUnitValue(QString::fromLatin1(r.text), Doc96, -7), r.expected)
            << r.text;
    // em and ex follow the font where the caller knows it.
    const TSVGUnitFactors font = SVGFontRelativeFactors(Doc96, 20);
    EXPECT_FLOAT_EQ(ParseUnitValue(QStringLiteral("1.5em"), font, 0), 30);
    EXPECT_FLOAT_EQ(ParseUnitValue(QStringLiteral("1ex"), font, 0), 10);
}

TEST(SVGUnits, ParseLengthMapsPercentagesOntoTheRange)
{
    const struct {
        const char *text;
        float high, low, expected;
    } rows[] = {
        {"50%", 1, 0, 0.5f}, {"40%", 1, 0, 0.4f},   {"1.5", 1, 0, 1.5f},   {"50%", 30, 10, 20},
        {"abc", 1, 0, -7},   {"abc%", 1, 0, -7},    {"2mm", 1, 0, 2 * 96 / 25.4f},
        {"-20%", 1, 0, -0.2f}, {"Infinity%", 1, 0, -7},
    };
    for (const auto &r : rows) {
        bool inherited = true;
        EXPECT_FLOAT_EQ(ParseLength(QString::fromLatin1(r.text), inherited, Doc96, r.high,
                                    r.low, -7),
                        r.expected)
            << r.text;
        EXPECT_FALSE(inherited) << r.text;
        EXPECT_FLOAT_EQ(ParseLength(QString::fromLatin1(r.text), Doc96, r.high, r.low, -7),
                        r.expected)
            << r.text;
    }
}

TEST(SVGUnits, InheritConvention)
{
    const struct {
        const char *text;
        bool inheritedIn, inheritedOut;
        float expected;
    } rows[] = {
        {"inherit", false, true, -7}, {" inherit ", false, true, -7}, {"", true, true, -7},
        {"   ", false, false, -7},    {"0.3", true, false, 0.3f},     {"Inherit", true, false, -7},
    };
    for (const auto &r : rows) {
        bool inherited = r.inheritedIn;
        EXPECT_FLOAT_EQ(ParseLength(QString::fromLatin1(r.text), inherited, Doc96, 1, 0, -7),
                        r.expected)
            << r.text;
        EXPECT_EQ(inherited, r.inheritedOut) << r.text;
        inherited = r.inheritedIn;
        bool isPercent = true;
        ParseFraction(QString::fromLatin1(r.text), inherited, isPercent, Doc96, -7);
        EXPECT_EQ(inherited, r.inheritedOut) << r.text;
        inherited = r.inheritedIn;
        ParseNumber(QString::fromLatin1(r.text), inherited, Doc96, -7);
        EXPECT_EQ(inherited, r.inheritedOut) << r.text;
    }
}

TEST(SVGUnits, ParseFractionKeepsThePercentFlagWithItsValue)
{
    const struct {
        const char *text;
        bool percentIn;
        float expected;
        bool percentOut;
    } rows[] = {
        {"25%", false, 0.25f, true},
        {"10", true, 10, false},
        {"1in", true, 96, false},
        {"Infinity", true, 1e8f, false},
        // Unreadable text keeps the previous value and therefore its meaning.
        {"abc", true, -7, true},
        {"abc", false, -7, false},
        {"x%", false, -7, false},
    };
    for (const auto &r : rows) {
        bool inherited = false, isPercent = r.percentIn;
        EXPECT_FLOAT_EQ(ParseFraction(QString::fromLatin1(r.text), inherited, isPercent, Doc96, -7),
                        r.expected)
            << r.text;
        EXPECT_EQ(isPercent, r.percentOut) << r.text;
        isPercent = r.percentIn;
        EXPECT_FLOAT_EQ(ParseFraction(QString::fromLatin1(r.text), isPercent, Doc96, -7),
                        r.expected)
            << r.text;
        EXPECT_EQ(isPercent, r.percentOut) << r.text;
    }
}

TEST(SVGUnits, ParseNumberHasNoInfinityKeywords)
{
    bool inherited = false;
    EXPECT_EQ(ParseNumber(QStringLiteral("Infinity"), inherited, Doc96, -7), -7);
    EXPECT_EQ(ParseNumber(QStringLiteral("10px"), inherited, Doc96, -7), 10);
    EXPECT_EQ(ParseNumber(QStringLiteral("1in"), inherited, Doc96, -7), 96);
}

TEST(SVGUnits, ParseAngle)
{
    const double pi = std::numbers::pi;
    const struct {
        const char *text;
        bool isAuto;
        float expected;
    } rows[] = {
        {"90", false, float(pi / 2)},     {" 100 grad", false, float(pi / 2)},
        {"100 GRAD", false, float(pi / 2)}, {"1.5 rad", false, 1.5f},
        {"180 deg", false, float(pi)},    {"45deg", false, float(pi / 4)},
        {"1.5rad", false, 1.5f},          {"-100grad", false, float(-pi / 2)},
        {"90DEG", false, float(pi / 2)},  {"rad", false, -7},
        {"1.5rad x", false, -7},
        {"abc", false, -7},               {"", false, -7},
        {"auto", true, -7},               {"Auto", false, -7},
    };
    for (const auto &r : rows) {
        bool isAuto = !r.isAuto;
        EXPECT_FLOAT_EQ(ParseAngle(QString::fromLatin1(r.text), isAuto, -7), r.expected) << r.text;
        EXPECT_EQ(isAuto, r.isAuto) << r.text;
    }
}

} // namespace
