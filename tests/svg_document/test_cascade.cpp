// The cascade: order of declarations, inheritance, currentColor and the property readers.

#include "svg_document_support.h"

#include "svg/model/dom/paint_servers.h"
#include "svg/model/dom/shapes.h"

namespace {

constexpr TAlphaColor Red = 0xFFFF0000, Green = 0xFF008000, Blue = 0xFF0000FF, Black = 0xFF000000;

// The fill colour in force: the nearest element up the tree that does not inherit it.
TAlphaColor FillOf(const QString &body)
{
    const auto doc = LoadSVG(QStringLiteral("<svg>%1</svg>").arg(body));
    const TSVGGraphicElement *e = Find(*doc, QStringLiteral("r"));
    while (e->Inherits().Contains(ipFill) && e->GetGraphicParent())
        e = e->GetGraphicParent();
    return e->Brush().Color();
}

TEST(SVGCascade, DeclarationsWinInCSSOrder)
{
    struct TCase {
        const char *Body;
        TAlphaColor Fill;
    };
    const TCase cases[] = {
        {"<rect id='r' fill='red' style='fill:blue'/>", Blue},
        // Document rules win over presentation attributes ...
        {"<style>.a{fill:green}</style><rect id='r' class='a' fill='red'/>", Green},
        // ... and lose to the style attribute.
        {"<style>.a{fill:green}</style><rect id='r' class='a' style='fill:blue'/>", Blue},
        {"<style>#r{fill:green} rect{fill:red}</style><rect id='r'/>", Green},
        {"<style>rect{fill:red} rect{fill:green}</style><rect id='r'/>", Green},
        {"<style>rect{fill:red}</style><style>rect{fill:green}</style><rect id='r'/>", Green},
        {"<style>#r{fill:green !important} #r{fill:red}</style><rect id='r'/>", Green},
        {"<style>rect{fill:green!important}</style><rect id='r' style='fill:red'/>", Green},
        {"<style>#r{fill:red !important}</style><rect id='r' style='fill:green ! important'/>", Green},
        {"<style>g rect{fill:green}</style><g><rect id='r'/></g>", Green},
        {"<style>g rect{fill:red}</style><rect id='r'/>", Black},
        {"<style>svg > rect{fill:green}</style><rect id='r'/>", Green},
        {"<style>[x]{fill:green}</style><rect id='r' x='1'/>", Green},
        {"<style type='text/x'>rect{fill:red}</style><rect id='r' fill='green'/>", Green},
        {"<style>rect{fill:red}</style><g fill='green'><rect id='r' style='fill:inherit'/></g>", Green},
        {"<style>.fil{fill:red}</style><rect id='r' class='other' fill='green'/>", Green},
    };
    for (const TCase &c : cases)
        EXPECT_EQ(FillOf(QString::fromUtf8(c.Body)), c.Fill) << c.Body;
}

TEST(SVGCascade, InheritanceBits)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><g id='g' fill='red' fill-rule='evenodd' opacity='0.5' font-size='10'>"
        "<circle id='plain'/>"
        "<circle id='inherit' fill='inherit' opacity='inherit'/>"
        "<circle id='none' fill='none'/>"
        "<text id='larger' font-size='larger'/>"
        "<text id='em' font-size='2em'/>"
        "</g></svg>"));
    const TSVGGraphicElement *g = Find(*doc, QStringLiteral("g"));
    const TSVGGraphicElement *plain = Find(*doc, QStringLiteral("plain"));
    EXPECT_EQ(g->Brush().Color(), Red);
    EXPECT_FALSE(g->Inherits().Contains(ipFill));
    EXPECT_TRUE(plain->Inherits().Contains(ipFill));
    EXPECT_EQ(plain->FillRule(), frEvenOdd);
    EXPECT_TRUE(plain->Inherits().Contains(ipFillRule));
    EXPECT_EQ(plain->Opacity(), 1); // opacity is not inherited ...
    const TSVGGraphicElement *inherit = Find(*doc, QStringLiteral("inherit"));
    EXPECT_TRUE(inherit->Inherits().Contains(ipFill));
    EXPECT_EQ(inherit->Opacity(), 0.5f); // ... unless asked for
    EXPECT_FLOAT_EQ(inherit->GetAbsoluteOpacity(), 0.25f);
    const TSVGGraphicElement *none = Find(*doc, QStringLiteral("none"));
    EXPECT_EQ(none->Brush().Kind(), TBrushKind::None);
    EXPECT_FALSE(none->Inherits().Contains(ipFill));
    EXPECT_FLOAT_EQ(Find(*doc, QStringLiteral("larger"))->GetResolvedFontSize(), 12);
    EXPECT_FLOAT_EQ(Find(*doc, QStringLiteral("em"))->GetResolvedFontSize(), 20);
    EXPECT_FLOAT_EQ(plain->GetResolvedFontSize(), 10);
    // The root starts at size 11.
    EXPECT_FLOAT_EQ(doc->GetResolvedFontSize(), 11);
}

// em and ex on geometry follow the font size in force on the element, whether it is
// inherited, its own attribute or set by a style sheet (ex is half an em).
TEST(SVGCascade, GeometryInEmFollowsTheFontSizeOfTheElement)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><style>#line { font-size: 8px }</style><g font-size='20'>"
        "<rect id='rect' x='1em' y='2ex' width='3em' height='10' rx='0.25em'/>"
        "<circle id='circle' font-size='10' cx='2em' cy='5' r='1em'/>"
        "<line id='line' x1='1em' y1='0' x2='4em' y2='1ex'/>"
        "<rect id='plain' x='1' y='2' width='3' height='4'/></g></svg>"));
    const auto *rect = Find<TSVGRectangle>(*doc, QStringLiteral("rect"));
    EXPECT_FLOAT_EQ(rect->X(), 20);
    EXPECT_FLOAT_EQ(rect->Y(), 20);
    EXPECT_FLOAT_EQ(rect->Width(), 60);
    EXPECT_FLOAT_EQ(rect->RX(), 5);
    const auto *circle = Find<TSVGCircle>(*doc, QStringLiteral("circle"));
    EXPECT_FLOAT_EQ(circle->X(), 20);
    EXPECT_FLOAT_EQ(circle->Y(), 5);
    EXPECT_FLOAT_EQ(circle->Radius(), 10);
    const auto *line = Find<TSVGLine>(*doc, QStringLiteral("line"));
    EXPECT_FLOAT_EQ(line->X(), 8);
    EXPECT_FLOAT_EQ(line->EndX(), 32);
    EXPECT_FLOAT_EQ(line->EndY(), 4);
    const auto *plain = Find<TSVGRectangle>(*doc, QStringLiteral("plain"));
    EXPECT_FLOAT_EQ(plain->X(), 1);
    EXPECT_FLOAT_EQ(plain->Width(), 3);
}

// A backslash escapes a quote inside a quoted string, so what follows it is still
// quoted: a ";" or "}" there splits nothing, in a style attribute as in a style sheet.
TEST(SVGCascade, EscapedQuotesKeepTheStringOpen)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><style>#b { font-family: 'x\\'};y' ; fill: #0000ff } #c { fill: #00ff00 }</style>"
        "<rect id='a' style=\"font-family: 'x\\';y'; fill: #ff0000\"/><rect id='b'/><rect id='c'/></svg>"));
    EXPECT_EQ(Find(*doc, QStringLiteral("a"))->Brush().Color(), 0xFFFF0000u);
    EXPECT_EQ(Find(*doc, QStringLiteral("b"))->Brush().Color(), 0xFF0000FFu);
    EXPECT_EQ(Find(*doc, QStringLiteral("c"))->Brush().Color(), 0xFF00FF00u);
}

TEST(SVGCascade, VisibilityDisplayAndColor)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><rect id='both' visibility='hidden' display='inline'/>"
        "<rect id='hidden' visibility='hidden'/>"
        "<rect id='none' display='none'/>"
        "<rect id='colour' color='red'/></svg>"));
    EXPECT_TRUE(Find(*doc, QStringLiteral("both"))->Visible());
    EXPECT_FALSE(Find(*doc, QStringLiteral("hidden"))->Visible());
    EXPECT_FALSE(Find(*doc, QStringLiteral("none"))->Visible());
    // `color` fills an element that has no fill of its own.
    EXPECT_EQ(Find(*doc, QStringLiteral("colour"))->Brush().Color(), Red);
}

TEST(SVGCascade, CurrentColorTakesTheComputedColor)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg>"
        "<rect id='simple' fill='currentColor' color='green'/>"
        "<g id='outer' stroke='currentColor' color='blue'><g color='green'>"
        "  <rect id='deep' fill='none'/></g></g>"
        "<g color='green'><rect id='inh' fill='currentColor' color='inherit'/></g>"
        "<g color='green'><rect id='cc' color='currentColor' fill='currentColor'/></g>"
        "<style>#ruled{color:green}</style><rect id='ruled' fill='currentColor' color='red'/>"
        "<linearGradient color='green'><stop id='stop' stop-color='currentColor'/></linearGradient>"
        "</svg>"));
    EXPECT_EQ(Find(*doc, QStringLiteral("simple"))->Brush().Color(), Green);
    // The keyword is inherited, not the colour it gave where it was written.
    EXPECT_EQ(Find(*doc, QStringLiteral("outer"))->Pen().Color(), Blue);
    const TSVGGraphicElement *deep = Find(*doc, QStringLiteral("deep"));
    EXPECT_EQ(deep->Pen().Color(), Green);
    EXPECT_EQ(deep->Pen().Kind(), TBrushKind::Solid);
    EXPECT_EQ(Find(*doc, QStringLiteral("inh"))->Brush().Color(), Green);
    EXPECT_EQ(Find(*doc, QStringLiteral("cc"))->Brush().Color(), Green);
    // The colour that wins the cascade is the one used, whatever layer it came from.
    EXPECT_EQ(Find(*doc, QStringLiteral("ruled"))->Brush().Color(), Green);
    EXPECT_EQ(Find<TSVGGradientStop>(*doc, QStringLiteral("stop"))->StopBrush().Color(), Green);
}

TEST(SVGCascade, PaintReferences)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><style>#over{fill:red}</style>"
        "<rect id='ref' fill='url(#g)' stroke='url( #p )'/>"
        "<rect id='fallback' fill='url(#missing) green'/>"
        "<rect id='over' fill='url(#g)'/></svg>"));
    const TSVGGraphicElement *ref = Find(*doc, QStringLiteral("ref"));
    EXPECT_EQ(ref->Brush().URI(), QStringLiteral("g"));
    EXPECT_EQ(ref->Brush().Kind(), TBrushKind::Solid);
    EXPECT_TRUE(ref->Pen().URI().isEmpty()); // "url( #p )" is no reference
    const TSVGGraphicElement *fallback = Find(*doc, QStringLiteral("fallback"));
    EXPECT_EQ(fallback->Brush().URI(), QStringLiteral("missing"));
    EXPECT_EQ(fallback->Brush().Color(), Green);
    EXPECT_TRUE(fallback->Brush().HasFallback());
    EXPECT_FALSE(ref->Brush().HasFallback());
    // A colour that wins over a reference replaces it.
    const TSVGGraphicElement *over = Find(*doc, QStringLiteral("over"));
    EXPECT_TRUE(over->Brush().URI().isEmpty());
    EXPECT_EQ(over->Brush().Color(), Red);
}

TEST(SVGCascade, PropertyReaders)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg viewBox='0 0 100 100'><g id='g' stroke-miterlimit='2'><path id='p' style='"
        "stroke:#00f; stroke-width:2%; stroke-linecap:round; stroke-linejoin:bevel;"
        "stroke-dasharray:5 10 15; stroke-dashoffset:3; stroke-opacity:50%; fill-opacity:0.25;"
        "text-anchor:middle; clip-path:url(#c); clip-rule:evenodd; marker:url(#m);"
        "marker-end:url(#e); cursor:crosshair; overflow:hidden; font-family:serif;"
        "font-weight:bold; font-style:italic; text-decoration:underline; shape-rendering:crispEdges'/>"
        "<path id='bad' stroke-miterlimit='0.5'/><path id='own' stroke-miterlimit='8'/></g></svg>"));
    const TSVGGraphicElement *p = Find(*doc, QStringLiteral("p"));
    const TSVGPen &pen = p->Pen();
    EXPECT_EQ(pen.Color(), Blue);
    EXPECT_FLOAT_EQ(pen.Thickness(), 0.02f);
    EXPECT_TRUE(pen.ThicknessIsPercent());
    EXPECT_FLOAT_EQ(p->ResolvePercent(pen.Thickness(), true, TSVGAxis::Diagonal), 2);
    EXPECT_EQ(pen.Cap(), Qt::RoundCap);
    EXPECT_EQ(pen.Join(), Qt::BevelJoin);
    EXPECT_EQ(pen.DashArray(), QList<float>({5, 10, 15, 5, 10, 15}));
    EXPECT_EQ(pen.SVGDashOffset(), 3);
    EXPECT_FLOAT_EQ(pen.Opacity(), 0.5f);
    EXPECT_FLOAT_EQ(p->Brush().Opacity(), 0.25f);
    EXPECT_EQ(p->TextAlign(), staCenter);
    EXPECT_EQ(p->ClipURI(), QStringLiteral("c"));
    EXPECT_EQ(p->ClipRule(), frEvenOdd);
    EXPECT_EQ(p->MarkerStartURI(), QStringLiteral("m"));
    EXPECT_EQ(p->MarkerMidURI(), QStringLiteral("m"));
    EXPECT_EQ(p->MarkerEndURI(), QStringLiteral("e"));
    EXPECT_EQ(p->Cursor(), Qt::CrossCursor);
    EXPECT_FALSE(p->Overflow());
    EXPECT_TRUE(p->Font().Style().Bold);
    EXPECT_TRUE(p->Font().Style().Italic);
    EXPECT_TRUE(p->Font().Style().Underline);
    EXPECT_EQ(p->ShapeRendering(), srnCrispEdges);
    // stroke-miterlimit is inherited; a limit below 1 is an error and changes nothing.
    EXPECT_EQ(p->StrokeMiterLimit(), 2);
    EXPECT_EQ(Find(*doc, QStringLiteral("bad"))->StrokeMiterLimit(), 2);
    EXPECT_EQ(Find(*doc, QStringLiteral("own"))->StrokeMiterLimit(), 8);
    EXPECT_EQ(doc->StrokeMiterLimit(), 4);
}

TEST(SVGCascade, DashPercentagesAreSharesOfTheViewportDiagonal)
{
    // The diagonal of 300 x 400 normalised by the square root of 2: about 353.55.
    const auto doc = LoadSVG(QStringLiteral(
        "<svg viewBox='0 0 300 400'><rect id='r' stroke-dasharray='10% 5' stroke-dashoffset='20%'/>"
        "<rect id='plain' stroke-dasharray='4' stroke-dashoffset='2'/></svg>"));
    const TSVGStrokeDash dash = Find(*doc, QStringLiteral("r"))->Pen().Dash();
    ASSERT_EQ(dash.Pattern.size(), 2);
    EXPECT_NEAR(dash.Pattern[0], 35.355, 0.01);
    EXPECT_FLOAT_EQ(dash.Pattern[1], 5);
    EXPECT_NEAR(dash.Offset, 70.711, 0.01);
    const TSVGStrokeDash plain = Find(*doc, QStringLiteral("plain"))->Pen().Dash();
    EXPECT_EQ(plain.Pattern, (QList<float>{4, 4}));
    EXPECT_FLOAT_EQ(plain.Offset, 2);
}

TEST(SVGCascade, TransformDeclaredInCSS)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><style>#ruled{transform:translate(10px, 5px) scale(2)} #bad{transform:skew(1turn)}</style>"
        "<rect id='ruled' transform='translate(1)'/>"
        "<rect id='inline' style='transform: rotate(90deg)'/>"
        "<rect id='bad' transform='translate(3)'/>"
        "<rect id='attribute' transform='translate(4)'/></svg>"));
    const TMatrix ruled = Find(*doc, QStringLiteral("ruled"))->Matrix();
    EXPECT_EQ(ruled.Map(QPointF(1, 1)), QPointF(12, 7));
    const QPointF turned = Find(*doc, QStringLiteral("inline"))->Matrix().Map(QPointF(1, 0));
    EXPECT_NEAR(turned.x(), 0, 1e-6);
    EXPECT_NEAR(turned.y(), 1, 1e-6);
    // A declaration CSS cannot read is dropped; the attribute stays in force.
    EXPECT_EQ(Find(*doc, QStringLiteral("bad"))->Matrix().m31, 3);
    EXPECT_EQ(Find(*doc, QStringLiteral("attribute"))->Matrix().m31, 4);
}

TEST(SVGCascade, ErrorsOfValueParsersFailTheLoad)
{
    TSVGDocument doc;
    EXPECT_THROW(doc.LoadFromText(QStringLiteral("<svg><rect fill='#12345z'/></svg>")), EConvertError);
    EXPECT_THROW(doc.LoadFromText(QStringLiteral("<svg><style>rect{fill:#xyz}</style><rect/></svg>")),
                 EConvertError);
}

TEST(SVGCascade, ApplyingAgainKeepsTheResult)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><style>.a{stroke:red}</style><g fill='blue'><rect id='r' class='a' fill='inherit'/></g></svg>"));
    TSVGGraphicElement *r = Find(*doc, QStringLiteral("r"));
    const TSVGStyleProperties before = r->Inherits();
    doc->ApplyStyles();
    EXPECT_EQ(r->Inherits(), before);
    EXPECT_EQ(r->Pen().Color(), Red);
}

TEST(SVGCascade, AssignToWritesTheCurrentValues)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><g font-size='20'><rect id='r' fill='red' stroke='url(#p)' stroke-width='2%'"
        " font-size='larger' font-weight='bold' stroke-dasharray='1,2' stroke-linecap='butt'/></g></svg>"));
    TSVGStyle style;
    Find(*doc, QStringLiteral("r"))->AssignTo(style);
    EXPECT_EQ(style.fill(), QStringLiteral("Red"));
    EXPECT_EQ(style.stroke(), QStringLiteral("url(#p)"));
    EXPECT_EQ(style.stroke_width(), QStringLiteral("0.0199999995529652%"));
    EXPECT_EQ(style.font_size(), QStringLiteral("larger"));
    EXPECT_EQ(style.font_weight(), QStringLiteral("bold"));
    EXPECT_EQ(style.stroke_dasharray(), QStringLiteral("1,2"));
    EXPECT_EQ(style.stroke_linecap(), QStringLiteral("butt"));
    EXPECT_EQ(style.display(), QStringLiteral("visible"));
    // Inherited properties are not written.
    EXPECT_TRUE(style.fill_rule().isEmpty());
    EXPECT_TRUE(style.font_style().isEmpty());
}

TEST(SVGCascade, StyleDeclarations)
{
    TSVGStyle style(QStringLiteral("rect"),
                    QStringLiteral(" fill : red ; /* stroke: blue; */ font-family: 'A;B' ;"
                                   " Stroke-Width:2 ; bogus ; fill:green !important"));
    EXPECT_EQ(style.StyleValues(), QStringList({"fill=green", "font-family='A;B'", "Stroke-Width=2"}));
    EXPECT_TRUE(style.IsImportant(QStringLiteral("FILL")));
    EXPECT_EQ(style.stroke_width(), QStringLiteral("2"));
    style.AddStyle(QStringLiteral("fill:"));
    EXPECT_TRUE(style.fill().isEmpty());
    EXPECT_EQ(style.ToString(), QStringLiteral("rect { font-family='A;B'\nStroke-Width=2 }"));
}

} // namespace
