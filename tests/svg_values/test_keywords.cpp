// Keyword enumerations, the cursor and the style property names.

#include "svg/model/values/cursor.h"
#include "svg/model/values/keywords.h"
#include "svg/model/css/style_property.h"

#include <gtest/gtest.h>

namespace {

// Every member's keyword parses back to that member, and words differing only in case
// give the none member.
template <typename E, typename Parse>
void ExpectRoundTrip(int first, int last, E noneValue, Parse parse)
{
    for (int i = first; i <= last; ++i) {
        const QString word = SVGKeyword(E(i));
        ASSERT_FALSE(word.isEmpty()) << i;
        EXPECT_EQ(parse(word), E(i)) << qPrintable(word);
        if (word.toUpper() != word) {
            EXPECT_EQ(parse(word.toUpper()), noneValue) << qPrintable(word);
        }
    }
}

TEST(SVGKeywords, CascadedEnumerationsRoundTrip)
{
    const auto cascaded = [](auto parser, auto current) {
        return [=](const QString &w) {
            bool inherited = true;
            const auto r = parser(w, current, inherited);
            EXPECT_FALSE(inherited);
            return r;
        };
    };
    ExpectRoundTrip(sciAuto, sciLinearRGB, sciNone, cascaded(ParseColorInterpolation, sciSRGB));
    ExpectRoundTrip(clrnAuto, clrnOptimizeQuality, clrnNone,
                    cascaded(ParseColorRendering, clrnAuto));
    ExpectRoundTrip(srnAuto, srnGeometricPrecision, srnNone,
                    cascaded(ParseShapeRendering, srnAuto));
    ExpectRoundTrip(txrnAuto, txrnGeometricPrecision, txrnNone,
                    cascaded(ParseTextRendering, txrnAuto));
    ExpectRoundTrip(frNonZero, frEvenOdd, frNone, cascaded(ParseFillRule, frNonZero));
    ExpectRoundTrip(saXMinYMin, saXMaxYMax, saNone, [](const QString &w) { return SVGAlignByName(w); });
    EXPECT_EQ(SVGKeyword(sciNone), QString());
    EXPECT_EQ(SVGKeyword(saNone), QString());
}

TEST(SVGKeywords, AttributeEnumerationsKeepTheirValueForUnknownWords)
{
    ExpectRoundTrip(muStrokeWidth, muUserSpaceOnUse, muUserSpaceOnUse,
                    [](const QString &w) { return ParseMarkerUnit(w, muUserSpaceOnUse); });
    ExpectRoundTrip(csuObjectBoundingBox, csuUserSpaceOnUse, csuObjectBoundingBox, [](const QString &w) {
        return ParseCoordinateSystemUnit(w, csuObjectBoundingBox);
    });
    ExpectRoundTrip(gsPad, gsRepeat, gsReflect,
                    [](const QString &w) { return ParseGradientSpread(w, gsReflect); });
    EXPECT_EQ(ParseMarkerUnit(QStringLiteral(" userSpaceOnUse "), muStrokeWidth), muUserSpaceOnUse);
    EXPECT_EQ(ParseGradientSpread(QString(), gsRepeat), gsRepeat);
}

TEST(SVGKeywords, InheritConventionOnEnumerations)
{
    bool inherited = false;
    EXPECT_EQ(ParseFillRule(QStringLiteral("inherit"), frEvenOdd, inherited), frEvenOdd);
    EXPECT_TRUE(inherited);
    EXPECT_EQ(ParseFillRule(QString(), frEvenOdd, inherited), frEvenOdd);
    EXPECT_TRUE(inherited);
    EXPECT_EQ(ParseFillRule(QStringLiteral("bogus"), frEvenOdd, inherited), frNone);
    EXPECT_FALSE(inherited);
}

TEST(SVGKeywords, TextAlignBooleansAndStrokeShapes)
{
    bool inh = false;
    const struct {
        const char *text;
        TSVGTextAlign align;
        bool visibility, display, overflow;
        Qt::PenCapStyle cap;
        Qt::PenJoinStyle join;
    } rows[] = {
        {"middle", staCenter, false, true, false, Qt::FlatCap, Qt::SvgMiterJoin},
        {"end", staTrailing, false, true, false, Qt::FlatCap, Qt::SvgMiterJoin},
        {"start", staLeading, false, true, false, Qt::FlatCap, Qt::SvgMiterJoin},
        {"visible", staLeading, true, true, true, Qt::FlatCap, Qt::SvgMiterJoin},
        {"none", staLeading, false, false, false, Qt::FlatCap, Qt::SvgMiterJoin},
        {"round", staLeading, false, true, false, Qt::RoundCap, Qt::RoundJoin},
        {"bevel", staLeading, false, true, false, Qt::FlatCap, Qt::BevelJoin},
        {"square", staLeading, false, true, false, Qt::SquareCap, Qt::SvgMiterJoin},
        {"butt", staLeading, false, true, false, Qt::FlatCap, Qt::SvgMiterJoin},
        {"Visible", staLeading, false, true, false, Qt::FlatCap, Qt::SvgMiterJoin},
    };
    for (const auto &r : rows) {
        const QString t = QString::fromLatin1(r.text);
        EXPECT_EQ(ParseTextAlign(t, staCenter, inh), r.align) << r.text;
        EXPECT_EQ(ParseVisibility(t, !r.visibility, inh), r.visibility) << r.text;
        EXPECT_EQ(ParseDisplay(t, !r.display, inh), r.display) << r.text;
        EXPECT_EQ(ParseOverflow(t, !r.overflow, inh), r.overflow) << r.text;
        EXPECT_EQ(ParseLineCap(t, Qt::MPenCapStyle, inh), r.cap) << r.text;
        EXPECT_EQ(ParseLineJoin(t, Qt::MiterJoin, inh), r.join) << r.text;
    }
    EXPECT_EQ(ParseVisibility(QStringLiteral("inherit"), false, inh), false);
    EXPECT_TRUE(inh);
    EXPECT_EQ(SVGKeyword(staCenter), QStringLiteral("middle"));
    EXPECT_EQ(SVGKeyword(Qt::RoundCap), QStringLiteral("round"));
    EXPECT_EQ(SVGKeyword(Qt::SquareCap), QStringLiteral("square"));
    EXPECT_EQ(SVGKeyword(Qt::FlatCap), QStringLiteral("butt"));
    EXPECT_EQ(SVGKeyword(Qt::SvgMiterJoin), QStringLiteral("miter"));
    EXPECT_EQ(SVGKeyword(Qt::BevelJoin), QStringLiteral("bevel"));
}

TEST(SVGCursor, Keywords)
{
    const struct {
        const char *text;
        Qt::CursorShape expected;
    } rows[] = {
        {"auto", Qt::ArrowCursor},          {"default", Qt::ArrowCursor},
        {"crosshair", Qt::CrossCursor},     {"pointer", Qt::PointingHandCursor},
        {"move", Qt::DragMoveCursor},       {"e-resize", Qt::SizeHorCursor},
        {"w-resize", Qt::SizeHorCursor},    {"n-resize", Qt::SizeVerCursor},
        {"s-resize", Qt::SizeVerCursor},    {"ne-resize", Qt::SizeBDiagCursor},
        {"sw-resize", Qt::SizeBDiagCursor}, {"nw-resize", Qt::SizeFDiagCursor},
        {"se-resize", Qt::SizeFDiagCursor}, {"text", Qt::IBeamCursor},
        {"wait", Qt::WaitCursor},           {"help", Qt::WhatsThisCursor},
        {"Pointer", Qt::BlankCursor},       {"grab", Qt::BlankCursor},
        {"url(\"a.cur\"), pointer", Qt::PointingHandCursor},
        {"url(\"a.cur\")", Qt::BlankCursor},
        {"url(a.cur), pointer", Qt::BlankCursor},
        {"inherit", Qt::OpenHandCursor},    {"", Qt::OpenHandCursor},
    };
    for (const auto &r : rows) {
        bool inherited = false;
        EXPECT_EQ(ParseCursor(QString::fromLatin1(r.text), Qt::OpenHandCursor, inherited),
                  r.expected)
            << r.text;
    }
    EXPECT_EQ(SVGCursorKeyword(Qt::ArrowCursor), QStringLiteral("auto"));
    EXPECT_EQ(SVGCursorKeyword(Qt::IBeamCursor), QStringLiteral("text"));
    EXPECT_EQ(SVGCursorKeyword(Qt::BlankCursor), QString());
}

TEST(SVGStyleProperties, NameTableAndSet)
{
    int named = 0;
    for (int i = 1; i < SVGStylePropertyCount; ++i) {
        const QString name = SVGStylePropertyName(TSVGStyleProperty(i));
        EXPECT_EQ(SVGStylePropertyByName(name), TSVGStyleProperty(i)) << qPrintable(name);
        ++named;
    }
    EXPECT_EQ(named, 38);
    EXPECT_EQ(SVGStylePropertyName(ipClip), QStringLiteral("clip"));
    EXPECT_EQ(SVGStylePropertyName(ipStrokeDasharray), QStringLiteral("stroke-dasharray"));
    EXPECT_EQ(SVGStylePropertyName(ipStrokeDashOffset), QStringLiteral("stroke-dashoffset"));
    EXPECT_EQ(SVGStylePropertyName(ipVisibility), QStringLiteral("visibility"));
    EXPECT_EQ(SVGStylePropertyName(ipNone), QString());
    EXPECT_EQ(SVGStylePropertyByName(u"Fill"), ipNone);
    EXPECT_EQ(SVGStylePropertyByName(u""), ipNone);

    TSVGStyleProperties set{ipNone, ipVisibility};
    EXPECT_TRUE(set.Contains(ipVisibility));
    EXPECT_FALSE(set.Contains(ipTextRendering));
    set.Exclude(ipVisibility);
    set.Include(ipClip);
    EXPECT_EQ(set, (TSVGStyleProperties{ipNone, ipClip}));
    set.Set(ipNone, false);
    set.Set(ipClip, false);
    EXPECT_TRUE(set.IsEmpty());
}

} // namespace
