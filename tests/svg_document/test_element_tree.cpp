// The element tree: class table, tree tests, geometry readers, copies and references.

#include "svg_document_support.h"

#include "svg/model/dom/clip_path.h"
#include "svg/model/dom/image.h"
#include "svg/model/dom/marker.h"
#include "svg/model/dom/metadata.h"
#include "svg/model/dom/paint_servers.h"
#include "svg/model/dom/shapes.h"
#include "svg/model/dom/text.h"

#include <cmath>

namespace {

TEST(SVGElementTree, TagsCreateTheirClasses)
{
    struct TCase {
        const char *Markup;
        const char *ClassName;
        const char *TypeName;
    };
    const TCase cases[] = {
        {"<g id='e'/>", "TSVGGroup", "g"},
        {"<svg id='e'/>", "TSVGDocument", "svg"},
        {"<image id='e'/>", "TSVGImage", "image"},
        {"<defs id='e'/>", "TSVGDefs", "defs"},
        {"<use id='e'/>", "TSVGUse", "use"},
        {"<circle id='e'/>", "TSVGCircle", "circle"},
        {"<ellipse id='e'/>", "TSVGEllipse", "ellipse"},
        {"<rect id='e'/>", "TSVGRectangle", "rect"},
        {"<line id='e'/>", "TSVGLine", "line"},
        {"<polyline id='e'/>", "TSVGPolyline", "polyline"},
        {"<polygon id='e'/>", "TSVGPolygon", "polygon"},
        {"<path id='e'/>", "TSVGPath", "path"},
        {"<text id='e'/>", "TSVGText", "text"},
        {"<text><tspan id='e'/></text>", "TSVGText", "text"},
        {"<text><tref id='e'/></text>", "TSVGTextRef", "tref"},
        {"<switch id='e'/>", "TSVGSwitch", "switch"},
        {"<clipPath id='e'/>", "TSVGClipPath", "clipPath"},
        {"<linearGradient id='e'/>", "TSVGLinearGradient", "linearGradient"},
        {"<radialGradient id='e'/>", "TSVGRadialGradient", "radialGradient"},
        {"<linearGradient><stop id='e'/></linearGradient>", "TSVGGradientStop", "stop"},
        {"<marker id='e'/>", "TSVGMarker", "marker"},
        {"<metadata id='e'><x>1</x></metadata>", "TSVGMetadata", "metadata"},
        {"<script id='e'>go()</script>", "TSVGScript", "script"},
        {"<symbol id='e'/>", "TSVGSymbol", "symbol"},
        {"<pattern id='e'/>", "TSVGPattern", "pattern"},
    };
    for (const TCase &c : cases) {
        const auto doc = LoadSVG(QStringLiteral("<svg>%1</svg>").arg(QString::fromUtf8(c.Markup)));
        const TSVGElement *e = doc->FindElement(QStringLiteral("e"));
        ASSERT_NE(e, nullptr) << c.Markup;
        EXPECT_EQ(e->ClassName(), QString::fromUtf8(c.ClassName)) << c.Markup;
        EXPECT_EQ(e->SVGTypeName(), QString::fromUtf8(c.TypeName)) << c.Markup;
    }
    // Tags without a class make no element; textPath makes one only inside text, where
    // it is a span drawn along its path.
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><desc/><title/><comment/><textPath/><text id='t'><textPath>x</textPath></text></svg>"));
    EXPECT_EQ(doc->Count(), 1);
    EXPECT_EQ(Find(*doc, QStringLiteral("t"))->Count(), 1);
    const auto meta = LoadSVG(QStringLiteral("<svg><metadata id='m'><x a='1'/></metadata></svg>"));
    EXPECT_EQ(Find<TSVGMetadata>(*meta, QStringLiteral("m"))->XMLText(),
              QStringLiteral("<metadata id=\"m\"><x a=\"1\"/></metadata>"));
}

TEST(SVGElementTree, ClipPathTakesOnlyShapesAndText)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><clipPath id='c'><rect/><g/><circle/><text>a</text><image/></clipPath></svg>"));
    const TSVGElement *clip = doc->FindElement(QStringLiteral("c"));
    QStringList classes;
    for (int i = 0; i < clip->Count(); ++i)
        classes.append(clip->Items(i)->ClassName());
    EXPECT_EQ(classes, QStringList({"TSVGRectangle", "TSVGCircle", "TSVGText"}));
}

TEST(SVGElementTree, TreeTests)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><g id='g'><rect id='a'/><g id='h'><rect id='b'/></g></g><rect id='c'/></svg>"));
    const TSVGElement *g = doc->FindElement("g"), *a = doc->FindElement("a"),
                      *h = doc->FindElement("h"), *b = doc->FindElement("b"),
                      *c = doc->FindElement("c");
    EXPECT_TRUE(g->HasChild(a));
    EXPECT_FALSE(g->HasChild(b));
    EXPECT_TRUE(g->HasDescendant(b));
    EXPECT_FALSE(b->HasDescendant(g));
    EXPECT_TRUE(a->HasSibling(h));
    EXPECT_FALSE(a->HasSibling(b));
    EXPECT_TRUE(h->HasPreceding(a));  // an earlier sibling
    EXPECT_FALSE(a->HasPreceding(h)); // a later one
    EXPECT_TRUE(b->HasPreceding(g)); // an ancestor precedes its descendants
    EXPECT_TRUE(c->HasPreceding(g));
    EXPECT_TRUE(g->HasSibling(c));
    EXPECT_EQ(b->Depth(), 3);
}

TEST(SVGElementTree, PercentagesResolveAgainstTheNearestViewport)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg viewBox='0 0 200 100'>"
        "  <rect id='r' x='50%' y='50%' width='25%' height='10%'/>"
        "  <circle id='c' r='10%'/>"
        "  <svg id='inner' width='50%' height='300'>"
        "    <rect id='in' x='50%' y='10%'/>"
        "  </svg>"
        "</svg>"));
    const TSVGGraphicElement *r = Find(*doc, QStringLiteral("r"));
    EXPECT_EQ(r->X(), 100);
    EXPECT_EQ(r->Y(), 50);
    EXPECT_EQ(r->Width(), 50);
    EXPECT_EQ(r->Height(), 10);
    EXPECT_TRUE(r->XIsPercent());
    EXPECT_FLOAT_EQ(r->StoredX(), 0.5f);
    // A length that is neither horizontal nor vertical: the normalised diagonal.
    EXPECT_NEAR(Find(*doc, QStringLiteral("c"))->Width(), 0.1 * std::sqrt((200.0 * 200 + 100 * 100) / 2), 1e-4);
    // An svg without viewBox is the viewport of its content with its own size.
    EXPECT_EQ(Find(*doc, QStringLiteral("inner"))->Width(), 100);
    EXPECT_EQ(Find(*doc, QStringLiteral("in"))->X(), 50);
    EXPECT_EQ(Find(*doc, QStringLiteral("in"))->Y(), 30);

    // With nothing to measure against, the fraction stays.
    const auto bare = LoadSVG(QStringLiteral("<svg><rect id='r' x='50%'/></svg>"));
    EXPECT_EQ(Find(*bare, QStringLiteral("r"))->X(), 0.5f);
    const auto sized = LoadSVG(QStringLiteral("<svg width='300' height='90'><rect id='r' x='50%' y='10%'/></svg>"));
    EXPECT_EQ(Find(*sized, QStringLiteral("r"))->X(), 150);
    EXPECT_EQ(Find(*sized, QStringLiteral("r"))->Y(), 9);
}

TEST(SVGElementTree, ShapeGeometry)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg>"
        "<line id='l' x1='10' y1='10' x2='0' y2='0'/>"
        "<ellipse id='e' cx='5' cy='6' rx='3' ry='2'/>"
        "<polyline id='odd' points='1,2 3'/>"
        "<polygon id='p' points='0,0 10-5'/>"
        "<path id='d' d='M10,20L30,40Z'/>"
        "</svg>"));
    const auto *line = Find<TSVGLine>(*doc, QStringLiteral("l"));
    EXPECT_EQ(line->StoredWidth(), -10);
    EXPECT_EQ(line->StoredHeight(), -10);
    EXPECT_EQ(line->Width(), 10);
    EXPECT_EQ(line->Height(), 10);
    EXPECT_EQ(line->EndX(), 0);
    EXPECT_EQ(Find<TSVGEllipse>(*doc, QStringLiteral("e"))->BoundsRect(), QRectF(2, 4, 6, 4));
    EXPECT_TRUE(Find<TSVGPolyline>(*doc, QStringLiteral("odd"))->Points().isEmpty());
    EXPECT_EQ(Find<TSVGPolygon>(*doc, QStringLiteral("p"))->Points(),
              QList<QPointF>({QPointF(0, 0), QPointF(10, -5)}));
    EXPECT_EQ(Find<TSVGPath>(*doc, QStringLiteral("d"))->Path().Count(), 3);
}

TEST(SVGElementTree, RectangleCornerRadii)
{
    struct TCase {
        const char *Attributes;
        float RX, RY;
    };
    const TCase cases[] = {
        {"", 0, 0},
        {"rx='5'", 5, 5},
        {"ry='4'", 4, 4},
        {"rx='5' ry='2'", 5, 2},
        {"rx='-3'", 0, 0},
        {"rx='80'", 50, 20}, // limited to half the width and half the height
        {"rx='10%' ry='50%'", 20, 20},
        {"rx='10%'", 20, 20}, // the shared value is the horizontal one
    };
    for (const TCase &c : cases) {
        const auto doc = LoadSVG(QStringLiteral("<svg viewBox='0 0 200 100'>"
                                                "<rect id='r' width='100' height='40' %1/></svg>")
                                     .arg(QString::fromUtf8(c.Attributes)));
        const auto *r = Find<TSVGRectangle>(*doc, QStringLiteral("r"));
        EXPECT_EQ(r->RX(), c.RX) << c.Attributes;
        EXPECT_EQ(r->RY(), c.RY) << c.Attributes;
    }
}

TEST(SVGElementTree, LengthsThatCannotBeReadKeepTheirDefaultAndPercentagesTheirAxis)
{
    struct TCase {
        const char *Markup;
        float (*Read)(const TSVGElement &);
        float Expected;
    };
    const auto markerWidth = [](const TSVGElement &e) { return static_cast<const TSVGMarker &>(e).MarkerWidth(); };
    const auto refY = [](const TSVGElement &e) { return static_cast<const TSVGMarker &>(e).RefY(); };
    const auto width = [](const TSVGElement &e) { return static_cast<const TSVGGraphicElement &>(e).Width(); };
    const auto endX = [](const TSVGElement &e) { return static_cast<const TSVGLine &>(e).EndX(); };
    const auto endY = [](const TSVGElement &e) { return static_cast<const TSVGLine &>(e).EndY(); };
    const auto focalX = [](const TSVGElement &e) { return static_cast<const TSVGRadialGradient &>(e).FocalX(); };
    const TCase cases[] = {
        {"<marker id='e' markerWidth='wide'/>", markerWidth, 3},
        {"<marker id='e' viewBox='0 10 5 20' refY='25%'/>", refY, 15},
        {"<rect id='e' width='abc'/>", width, 0},
        {"<rect id='e' width='10%'/>", width, 20},
        {"<ellipse id='e' rx='10%'/>", width, 20},
        {"<line id='e' x1='10' x2='50%'/>", endX, 100},
        {"<line id='e' x1='10%' y2='5'/>", endX, 0},
        {"<line id='e' y1='50%' y2='abc'/>", endY, 0},
        {"<radialGradient id='e' fx='abc'/>", focalX, 0},
    };
    for (const TCase &c : cases) {
        const auto doc = LoadSVG(QStringLiteral("<svg viewBox='0 0 200 100'>%1</svg>")
                                     .arg(QString::fromUtf8(c.Markup)));
        const TSVGElement *e = doc->FindElement(QStringLiteral("e"));
        ASSERT_NE(e, nullptr) << c.Markup;
        EXPECT_FLOAT_EQ(c.Read(*e), c.Expected) << c.Markup;
    }
}

TEST(SVGElementTree, PaintServerAndMarkerAttributes)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg xmlns:xlink='http://www.w3.org/1999/xlink'>"
        "<linearGradient id='lg' x1='10%' x2='0.5' gradientUnits='userSpaceOnUse' spreadMethod='reflect'"
        "  gradientTransform='translate(5)'><stop id='s' offset='40%' stop-color='red' stop-opacity='0.5'/></linearGradient>"
        "<radialGradient id='rg' xlink:href='#lg' fx='20%' r='7'/>"
        "<pattern id='pt' patternUnits='userSpaceOnUse' patternTransform='scale(2)' width='4' height='4'/>"
        "<marker id='m' viewBox='1 2 30 40' refX='50%' markerWidth='-2' orient='90'/>"
        "<image id='i' xlink:href='#pic'/>"
        "</svg>"));
    const auto *lg = Find<TSVGLinearGradient>(*doc, QStringLiteral("lg"));
    EXPECT_FLOAT_EQ(lg->X1(), 0.1f);
    EXPECT_FLOAT_EQ(lg->X2(), 0.5f);
    EXPECT_EQ(lg->Y2(), 0);
    EXPECT_EQ(lg->Units(), csuUserSpaceOnUse);
    EXPECT_EQ(lg->Spread(), gsReflect);
    EXPECT_EQ(lg->Matrix().m31, 5);
    const auto *stop = Find<TSVGGradientStop>(*doc, QStringLiteral("s"));
    EXPECT_FLOAT_EQ(stop->Offset(), 0.4f);
    EXPECT_EQ(stop->StopBrush().Color(), 0xFFFF0000u);
    EXPECT_EQ(stop->StopBrush().Opacity(), 0.5f);

    const auto *rg = Find<TSVGRadialGradient>(*doc, QStringLiteral("rg"));
    EXPECT_EQ(rg->Reference(), QStringLiteral("lg"));
    EXPECT_EQ(rg->CenterX(), 0.5f);
    EXPECT_TRUE(rg->CenterXIsPercent());
    EXPECT_FALSE(rg->CenterXSpecified());
    EXPECT_EQ(rg->Radius(), 7);
    EXPECT_FALSE(rg->RadiusIsPercent());
    EXPECT_TRUE(rg->FocalXSpecified() && rg->FocalXIsPercent());
    EXPECT_FALSE(rg->FocalYSpecified());
    // The stops come through the reference.
    ASSERT_EQ(rg->Stops().size(), 1);
    EXPECT_EQ(rg->Stops()[0], stop);

    const auto *pt = Find<TSVGPattern>(*doc, QStringLiteral("pt"));
    EXPECT_EQ(pt->Units(), csuUserSpaceOnUse);
    EXPECT_EQ(pt->ContentUnits(), csuUserSpaceOnUse);
    EXPECT_EQ(pt->Matrix().m11, 2);
    EXPECT_EQ(pt->AspectRatio().Align(), saXMidYMid);

    const auto *m = Find<TSVGMarker>(*doc, QStringLiteral("m"));
    EXPECT_EQ(m->RefX(), 16);
    EXPECT_EQ(m->MarkerWidth(), 0);
    EXPECT_EQ(m->MarkerHeight(), 3);
    EXPECT_EQ(m->Units(), muStrokeWidth);
    EXPECT_FLOAT_EQ(m->Orientation(), float(M_PI / 2));
    EXPECT_EQ(m->BoundsRect(), QRectF(1, 2, 30, 40));
    EXPECT_EQ(m->X(), 1);
    EXPECT_EQ(m->Width(), 30);
    EXPECT_FALSE(m->Overflow());

    EXPECT_EQ(Find<TSVGImage>(*doc, QStringLiteral("i"))->Reference(), QStringLiteral("pic"));
}

TEST(SVGElementTree, ReferenceCyclesAreDetected)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg xmlns:xlink='http://www.w3.org/1999/xlink'>"
        "<g id='g'><use id='self' xlink:href='#g'/></g>"
        "<g id='a'><use id='toB' xlink:href='#b'/></g>"
        "<g id='b'><use id='toA' xlink:href='#a'/></g>"
        "<rect id='r'/><use id='plain' href='#r'/><use id='twice' href='#plain'/>"
        "<use id='missing' href='#nothing'/>"
        "<linearGradient id='l1' xlink:href='#l2'/><linearGradient id='l2' xlink:href='#l1'/>"
        "<linearGradient id='l3' xlink:href='#l1'/>"
        "</svg>"));
    struct TCase {
        const char *Id;
        bool Cyclic;
    };
    for (const TCase &c : {TCase{"self", true}, TCase{"toB", true}, TCase{"toA", true},
                           TCase{"plain", false}, TCase{"twice", false}, TCase{"missing", false}})
        EXPECT_EQ(Find<TSVGUse>(*doc, QString::fromUtf8(c.Id))->IsReferenceCyclic(), c.Cyclic) << c.Id;
    EXPECT_EQ(Find<TSVGUse>(*doc, QStringLiteral("twice"))->ReferencedElement(),
              doc->FindElement(QStringLiteral("plain")));
    EXPECT_EQ(Find<TSVGCustomGradient>(*doc, QStringLiteral("l3"))->StopSource(), nullptr);
    EXPECT_TRUE(Find<TSVGCustomGradient>(*doc, QStringLiteral("l1"))->Stops().isEmpty());
}

TEST(SVGElementTree, CloneCopiesTheSubtree)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><g id='g' class='k' transform='translate(3 4)' fill='red'>"
        "<rect id='r' x='1' width='5' rx='2'/><text id='t'>hi</text></g></svg>"));
    const TSVGElement *g = doc->FindElement(QStringLiteral("g"));
    TSVGDocument other;
    const std::unique_ptr<TSVGElement> copy = g->Clone(&other);
    ASSERT_EQ(copy->Count(), 2);
    EXPECT_EQ(copy->ClassName(), QStringLiteral("TSVGGroup"));
    EXPECT_EQ(copy->Classes(), QStringList({"k"}));
    const auto *cg = static_cast<const TSVGGraphicElement *>(copy.get());
    EXPECT_EQ(cg->Matrix().m32, 4);
    EXPECT_EQ(cg->Brush().Color(), 0xFFFF0000u);
    EXPECT_EQ(static_cast<TSVGRectangle *>(copy->Items(0))->RX(), 2);
    EXPECT_EQ(static_cast<TSVGText *>(copy->Items(1))->Text(), QStringLiteral("hi"));
    EXPECT_EQ(copy->Items(0)->Parent(), copy.get());
    // The copy's ids live in the other document.
    EXPECT_EQ(other.FindElement(QStringLiteral("r")), copy->Items(0));
    EXPECT_EQ(doc->FindElement(QStringLiteral("r"))->Parent(), g);
}

TEST(SVGElementTree, TextKeepsItsContentInOrder)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><text id='one'>  Hello  </text>"
        "<text id='mixed'>A <tspan>B</tspan><![CDATA[ C]]></text></svg>"));
    EXPECT_EQ(Find<TSVGText>(*doc, QStringLiteral("one"))->Text(), QStringLiteral("Hello"));
    const auto *mixed = Find<TSVGText>(*doc, QStringLiteral("mixed"));
    EXPECT_TRUE(mixed->Text().isEmpty());
    EXPECT_EQ(mixed->Content(), QList<TSVGTextContent>({{QStringLiteral("A "), -1},
                                                        {QString(), 0},
                                                        {QStringLiteral(" C"), -1}}));
    EXPECT_EQ(static_cast<TSVGText *>(mixed->Items(0))->Text(), QStringLiteral("B"));
}

} // namespace
