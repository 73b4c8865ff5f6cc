// Filter effects: the `filter` value parser, the pipeline (region, subregions, inputs,
// references) and the bounds that keep hostile numbers from costing more than the
// filter region's pixels.

#include "render_helpers.h"

#include "svg/render/filter_functions.h"

#include <gtest/gtest.h>

using namespace svgtest;
using TKind = TSVGFilterFunctionKind;

TEST(SVGFilterValue, ReadsReferencesAndFunctionsAndRefusesWhatCannotBeRead)
{
    struct TRow {
        const char *Text;
        bool Valid;
        std::vector<TKind> Kinds;
        double FirstAmount;
    };
    const TRow rows[] = {
        {"none", true, {}, 0},
        {"url(#f1)", true, {TKind::Url}, 0},
        {"url(#f1) blur(2)", true, {TKind::Url, TKind::Blur}, 0},
        {"blur(5mm)", true, {TKind::Blur}, 5 * 3.78},
        {"grayscale(250%)", true, {TKind::Grayscale}, 1},  // past 100% is 100%
        {"saturate(250%)", true, {TKind::Saturate}, 2.5},  // but not where more means more
        {"hue-rotate(0.5turn)", true, {TKind::HueRotate}, 180},
        {"brightness()", true, {TKind::Brightness}, 1},
        {"drop-shadow(blue 4 5 6)", true, {TKind::DropShadow}, 6},
        {"drop-shadow(4 5 rgb(0, 0, 255))", true, {TKind::DropShadow}, 0},
        {"blur(-1)", false, {}, 0},
        {"invert(-10%)", false, {}, 0},
        {"blur(2", false, {}, 0},
        {"frobnicate(1)", false, {}, 0},
        {"drop-shadow(4)", false, {}, 0},
        {"drop-shadow(4 blue 5)", false, {}, 0},
        {"drop-shadow(4 5 hsl(120, 50%,&50%))", false, {}, 0},  // a colour that raises
        {"hue-rotate(30)", false, {}, 0},  // an angle needs its unit
    };
    for (const TRow &row : rows) {
        SCOPED_TRACE(row.Text);
        const auto value = SVGParseFilterValue(QString::fromUtf8(row.Text));
        ASSERT_EQ(value.has_value(), row.Valid);
        if (!value)
            continue;
        ASSERT_EQ(value->size(), row.Kinds.size());
        for (size_t i = 0; i < row.Kinds.size(); ++i)
            EXPECT_EQ((*value)[i].Kind, row.Kinds[i]);
        if (!value->empty() && row.Kinds[0] != TKind::Url) {
            EXPECT_NEAR((*value)[0].Amount, row.FirstAmount, 1e-4);
        }
    }
    const auto shadow = SVGParseFilterValue(QStringLiteral("drop-shadow(4 5 rgb(0, 0, 255))"));
    EXPECT_EQ((*shadow)[0].Dx, 4);
    EXPECT_EQ((*shadow)[0].Dy, 5);
    EXPECT_FALSE((*shadow)[0].CurrentColor);
    EXPECT_EQ((*shadow)[0].Color, 0xFF0000FFu);
}

TEST(SVGFilter, PrimitivesWorkWithinTheirSubregionAndTheRegion)
{
    // A flood in a subregion of user units paints exactly there; the element's own
    // drawing is replaced by the filter's result.
    const QImage flood = Render(R"(<filter id="f" filterUnits="userSpaceOnUse" x="0" y="0" width="100" height="100">
        <feFlood flood-color="#00f" x="20" y="30" width="40" height="20"/></filter>
        <rect width="10" height="10" fill="red" filter='url(#f)'/>)");
    EXPECT_EQ(flood.pixel(5, 5), 0u);             // the source is gone
    EXPECT_EQ(flood.pixel(25, 35), 0xFF0000FFu);  // the flood is there
    EXPECT_EQ(flood.pixel(59, 49), 0xFF0000FFu);
    EXPECT_EQ(flood.pixel(61, 35), 0u);
    EXPECT_EQ(flood.pixel(25, 51), 0u);

    // The default region reaches 10% beyond the bounding box and no further.
    const QImage offset = Render(R"(<filter id="f"><feOffset dx="15"/></filter>
        <rect x="20" y="20" width="50" height="50" fill="#0f0" filter='url(#f)'/>)");
    EXPECT_EQ(offset.pixel(25, 40), 0u);             // moved away
    EXPECT_EQ(offset.pixel(40, 40), 0xFF00FF00u);
    EXPECT_EQ(offset.pixel(73, 40), 0xFF00FF00u);   // within the region (x < 75)
    EXPECT_EQ(offset.pixel(80, 40), 0u);             // cut by the region
}

TEST(SVGFilter, ResultsAreReadByNameAndInputsDefaultToThePreviousResult)
{
    // The blur's result is unused by the merge, which takes the flood by name and the
    // source: an unblurred edge shows that the named result, not the previous, was read.
    const QImage img = Render(R"(<filter id="f" filterUnits="userSpaceOnUse" x="0" y="0" width="100" height="100">
        <feFlood flood-color="#f00" result="red" x="0" y="0" width="10" height="10"/>
        <feGaussianBlur in="SourceGraphic" stdDeviation="5"/>
        <feMerge><feMergeNode in="red"/><feMergeNode in="SourceGraphic"/></feMerge></filter>
        <rect x="40" y="40" width="20" height="20" fill="#00f" filter='url(#f)'/>)");
    EXPECT_EQ(img.pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(img.pixel(40, 50), 0xFF0000FFu);
    EXPECT_EQ(img.pixel(38, 50), 0u);
}

TEST(SVGFilter, ReferencesThatLeadToNoFilterHideTheElement)
{
    for (const char *body : {R"(<rect width="50" height="50" filter='url(#missing)'/>)",
                             R"(<rect id="r" width="5" height="5"/><rect width="50" height="50" filter='url(#r)'/>)",
                             R"(<filter id="f"/><rect width="50" height="50" filter='url(#f)'/>)"}) {
        SCOPED_TRACE(body);
        EXPECT_EQ(Alpha(Render(body), 25, 25), 0);
    }
    // An unreadable value is no filter at all.
    EXPECT_EQ(Alpha(Render(R"(<rect width="50" height="50" filter='blur(-3)'/>)"), 25, 25), 255);
}

TEST(SVGFilter, BlurKeepsItsWeightAndSpreadsAsFarAsItsDeviation)
{
    // A blurred square keeps (nearly) all of its alpha, for deviations on either side of
    // the switch from the exact kernel to the box passes.
    for (const double deviation : {1.0, 6.0}) {
        SCOPED_TRACE(deviation);
        const QImage img = Render(QStringLiteral(
            R"(<filter id="f" filterUnits="userSpaceOnUse" x="0" y="0" width="100" height="100">
               <feGaussianBlur stdDeviation="%1" color-interpolation-filters="sRGB"/></filter>
               <rect x="40" y="40" width="20" height="20" filter='url(#f)'/>)").arg(deviation));
        qint64 total = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                total += qAlpha(img.pixel(x, y));
        EXPECT_NEAR(double(total), 400.0 * 255, 400.0 * 255 * 0.02);
        EXPECT_GT(Alpha(img, 40 - int(deviation), 50), 0);  // spread beyond the square
        EXPECT_LT(Alpha(img, 40, 50), 255);                       // its edge softened
    }
}

TEST(SVGFilter, HostileNumbersEndWithAPictureOrAnError)
{
    const char *bodies[] = {
        R"(<filter id="f"><feGaussianBlur stdDeviation="1e9"/></filter>)",
        R"(<filter id="f"><feMorphology radius="1e7" operator="dilate"/></filter>)",
        R"(<filter id="f"><feTurbulence baseFrequency="0.05" numOctaves="1000000000"/></filter>)",
        R"(<filter id="f"><feConvolveMatrix order="10000" kernelMatrix="1 2 3"/></filter>)",
        R"(<filter id="f" filterUnits="userSpaceOnUse" x="-1e9" y="-1e9" width="2e9" height="2e9">
             <feOffset dx="1e9"/><feFlood/></filter>)",
        R"(<filter id="f"><feDropShadow stdDeviation="1e9" dx="-1e9"/></filter>)",
    };
    for (const char *filter : bodies) {
        SCOPED_TRACE(filter);
        try {
            const QImage img = Render(QString::fromUtf8(filter) +
                                      QStringLiteral(R"(<rect x="10" y="10" width="80" height="80" filter='url(#f)'/>)"),
                                      1000);
            EXPECT_EQ(img.size(), QSize(1000, 1000));
        } catch (const ESVGException &e) {
            EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Filter too costly: "))) << e.what();
        }
    }
    // A chain past what is run is refused with a message.
    QString chain = QStringLiteral(R"(<filter id="f">)");
    for (int i = 0; i < 10000; ++i)
        chain += QStringLiteral(R"(<feOffset dx="1"/>)");
    chain += QStringLiteral(R"(</filter><rect width="10" height="10" filter='url(#f)'/>)");
    try {
        Render(chain);
        FAIL() << "a chain of 10000 primitives was run";
    } catch (const ESVGException &e) {
        EXPECT_STREQ(e.what(), "Filter too long: 10000 primitives (at most 1000)");
    }
}
