// Loading documents: XML forms, entities, errors, ids, events and style elements.

#include "svg_document_support.h"

#include "svg/model/values/exception.h"
#include "svg/model/dom/shapes.h"
#include "svg/model/dom/text.h"
#include "svg/model/dom/xml_dom.h"

#include <QBuffer>
#include <QTemporaryDir>

namespace {

TEST(SVGLoading, AcceptsDeclarationAndExternalDoctypeWithoutFetching)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
        "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">"
        "<rect id=\"r\" width=\"5\" height=\"5\"/></svg>"));
    ASSERT_NE(Find<TSVGRectangle>(*doc, QStringLiteral("r")), nullptr);
    EXPECT_EQ(doc->Count(), 1);
}

TEST(SVGLoading, StreamHonoursTheDeclaredEncoding)
{
    // "é" in Latin-1 is one byte 0xE9, which is not valid UTF-8.
    QByteArray bytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\"><text id=\"t\">caf\xE9</text></svg>");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TSVGDocument doc;
    doc.LoadFromStream(buffer);
    EXPECT_EQ(Find<TSVGText>(doc, QStringLiteral("t"))->Text(), QStringLiteral("caf\u00E9"));
}

TEST(SVGLoading, TextKeepsCharactersOutsideLatin1)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
        "<svg xmlns=\"http://www.w3.org/2000/svg\"><text id=\"t\">\u4F60\u597D</text></svg>"));
    EXPECT_EQ(Find<TSVGText>(*doc, QStringLiteral("t"))->Text(), QStringLiteral("\u4F60\u597D"));
}

TEST(SVGLoading, ExpandsEntitiesOfTheInternalSubset)
{
    // The shape of documents written by illustration tools.
    const auto doc = LoadSVG(QStringLiteral(
        "<?xml version=\"1.0\"?>"
        "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"svg11.dtd\" [\n"
        "  <!ENTITY ns_svg \"http://www.w3.org/2000/svg\">\n"
        "  <!ENTITY ns_xlink 'http://www.w3.org/1999/xlink'>\n"
        "  <!-- a comment with <!ENTITY fake \"no\"> inside -->\n"
        "  <!ENTITY st0 \"fill:#00FF00;\">\n"
        "  <!ENTITY shape \"<circle id='c' r='&radius;'/>\">\n"
        "  <!ENTITY radius \"7\">\n"
        "]>"
        "<svg xmlns=\"&ns_svg;\" xmlns:xlink=\"&ns_xlink;\">"
        "<rect id=\"r\" style=\"&st0;\"/>&shape;"
        "<use id=\"u\" xlink:href=\"#r\"/>"
        "<text id=\"t\"><![CDATA[&st0;]]></text></svg>"));
    EXPECT_EQ(Find(*doc, QStringLiteral("r"))->Brush().Color(), 0xFF00FF00u);
    ASSERT_NE(Find<TSVGCircle>(*doc, QStringLiteral("c")), nullptr);
    EXPECT_EQ(Find<TSVGCircle>(*doc, QStringLiteral("c"))->Width(), 7);
    EXPECT_EQ(Find<TSVGUse>(*doc, QStringLiteral("u"))->Reference(), QStringLiteral("#r"));
    // CDATA sections are character data, never expanded.
    EXPECT_EQ(Find<TSVGText>(*doc, QStringLiteral("t"))->Content().value(0).Text,
              QStringLiteral("&st0;"));
}

TEST(SVGLoading, EntityBombsAreRefused)
{
    QString lol = QStringLiteral("<!DOCTYPE svg [<!ENTITY a0 \"lollollollol\">");
    for (int i = 1; i < 12; ++i)
        lol += QStringLiteral("<!ENTITY a%1 \"&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;\">").arg(i).arg(i - 1);
    lol += QStringLiteral("]><svg><text>&a11;</text></svg>");
    TSVGDocument doc;
    EXPECT_THROW(doc.LoadFromText(lol), EXMLParseError);

    EXPECT_THROW(doc.LoadFromText(QStringLiteral(
                     "<!DOCTYPE svg [<!ENTITY a \"&b;\"><!ENTITY b \"x&a;\">]><svg>&a;</svg>")),
                 EXMLParseError);
}

TEST(SVGLoading, RootMustBeSvgInAnyNamespace)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<s:svg xmlns:s=\"http://www.w3.org/2000/svg\"><s:rect id=\"r\"/></s:svg>"));
    EXPECT_NE(Find<TSVGRectangle>(*doc, QStringLiteral("r")), nullptr);

    TSVGDocument other;
    EXPECT_EQ(MessageOf([&] { other.LoadFromText(QStringLiteral("<html><svg/></html>")); }),
              QStringLiteral("Not a valid SVG document"));
}

TEST(SVGLoading, IsValidSVGNeverRaises)
{
    struct TCase {
        const char *Text;
        bool Strict;
        bool Valid;
    };
    const TCase cases[] = {
        {"<svg xmlns='http://www.w3.org/2000/svg'/>", true, true},
        {"<svg xmlns='http://www.w3.org/2000/svg'/>", false, true},
        {"<html/>", true, false},
        {"<html/>", false, false},
        {"<svg><rect", true, false},
        {"", false, false},
        // Well formed, but the transform cannot be read: only the strict test sees it.
        {"<svg><rect transform='spin(3)'/></svg>", true, false},
        {"<svg><rect transform='spin(3)'/></svg>", false, true},
    };
    for (const TCase &c : cases) {
        EXPECT_EQ(TSVGDocument::IsValidSVG(c.Strict, QString::fromUtf8(c.Text)), c.Valid)
            << c.Text << " strict " << c.Strict;
        QByteArray bytes(c.Text);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_EQ(TSVGDocument::IsValidSVG(buffer, c.Strict), c.Valid) << c.Text;
    }
    EXPECT_FALSE(TSVGDocument::IsValidSVG(QStringLiteral("/nonexistent/file.svg"), false));
}

TEST(SVGLoading, FileLoadAndErrors)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("a.svg"));
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<svg xmlns='http://www.w3.org/2000/svg'><circle id='c' r='2'/></svg>");
    file.close();

    TSVGDocument doc;
    doc.LoadFromFile(name);
    EXPECT_NE(Find<TSVGCircle>(doc, QStringLiteral("c")), nullptr);
    EXPECT_TRUE(TSVGDocument::IsValidSVG(name, true));

    EXPECT_THROW(doc.LoadFromFile(dir.filePath(QStringLiteral("missing.svg"))), EVuploraError);
    // A failed load leaves the document cleared, not half the old content.
    EXPECT_THROW(doc.LoadFromText(QStringLiteral("<svg><g><rect transform='x(1)'/></g></svg>")),
                 ESVGException);
    EXPECT_EQ(doc.FindElement(QStringLiteral("c")), nullptr);
    EXPECT_THROW(doc.LoadFromText(QStringLiteral("<svg><g></svg>")), EXMLParseError);
}

TEST(SVGLoading, UnknownElementsAreSkippedUnlessTheOptionsSayOtherwise)
{
    const QString text = QStringLiteral(
        "<svg xmlns='http://www.w3.org/2000/svg'><startPointX>10</startPointX>"
        "<rect id='r'/><g><filter id='f'/></g></svg>");
    TSVGDocument doc;
    doc.LoadFromText(text);
    EXPECT_EQ(doc.Count(), 2);

    doc.SetOptions(doc.Options() & ~TSVGOptions(soSkipUnknownXML));
    EXPECT_EQ(MessageOf([&] { doc.LoadFromText(text); }),
              QStringLiteral("Unknown SVG element <ntElement> in document: startPointX"));
}

TEST(SVGLoading, ElementsOfOtherNamespacesAreLeftOutAndLinksInTextAreSpans)
{
    TSVGDocument doc;
    doc.SetOptions(doc.Options() & ~TSVGOptions(soSkipUnknownXML));  // nothing is merely skipped
    doc.LoadFromText(QStringLiteral(
        "<svg xmlns='http://www.w3.org/2000/svg' xmlns:x='http://example.org/x'>"
        "<s:g id='g' xmlns='http://example.org/other' xmlns:s='http://www.w3.org/2000/svg'>"
        "<s:rect id='in'/><rect id='out'/><x:rect/></s:g>"
        "<text id='t'>a<a id='link'>b</a><a xmlns='http://example.org/other'>c</a></text></svg>"));
    const auto *g = dynamic_cast<TSVGGraphicElement *>(doc.FindElement(QStringLiteral("g")));
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->Count(), 1);
    EXPECT_EQ(g->Items(0)->ID(), QStringLiteral("in"));
    EXPECT_EQ(doc.FindElement(QStringLiteral("out")), nullptr);
    const auto *text = dynamic_cast<TSVGText *>(doc.FindElement(QStringLiteral("t")));
    ASSERT_NE(text, nullptr);
    ASSERT_EQ(text->Count(), 1);
    EXPECT_NE(dynamic_cast<TSVGText *>(text->Items(0)), nullptr);
}

TEST(SVGLoading, TitleAndDescriptionCreateNoElements)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><g id='g'><title>Head</title><desc>line 1\nline 2</desc><rect/></g></svg>"));
    TSVGGraphicElement *g = Find(*doc, QStringLiteral("g"));
    EXPECT_EQ(g->Count(), 1);
    EXPECT_EQ(g->Title(), QStringLiteral("Head"));
    EXPECT_EQ(g->Description(), QStringList({QStringLiteral("line 1"), QStringLiteral("line 2")}));
}

TEST(SVGLoading, IdTable)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg><rect id='a' x='1'/><rect id='a' x='2'/><circle/></svg>"));
    // The element read last owns a repeated id.
    EXPECT_EQ(Find(*doc, QStringLiteral("a"))->X(), 2);
    // Elements without id are registered under an automatic one.
    const QString automatic = doc->Items(2)->ID();
    EXPECT_TRUE(automatic.startsWith(QStringLiteral("ID#")));
    EXPECT_EQ(doc->FindElement(automatic), doc->Items(2));

    TSVGDocument strict;
    strict.SetOptions(strict.Options() | soEnforceUniqueID);
    EXPECT_EQ(MessageOf([&] { strict.LoadFromText(QStringLiteral("<svg><g id='a'/><g id='a'/></svg>")); }),
              QStringLiteral("Duplicates not allowed"));
}

TEST(SVGLoading, NewElementsGetTheNextAutomaticIdAndLeaveTheTableWhenFreed)
{
    TSVGDocument doc;
    for (int i = 0; i < 5; ++i)
        doc.Add(std::make_unique<TSVGRectangle>(&doc));
    EXPECT_EQ(doc.AllItems().size(), 5);
    auto element = std::make_unique<TSVGCircle>(&doc);
    EXPECT_EQ(element->ID(), QStringLiteral("ID#5"));

    element->SetID(QStringLiteral("named"));
    EXPECT_EQ(doc.FindElement(QStringLiteral("named")), element.get());
    EXPECT_FALSE(doc.AllItems().contains(QStringLiteral("ID#5")));
    element.reset();
    // No entry may point at a freed element.
    EXPECT_FALSE(doc.AllItems().contains(QStringLiteral("named")));
    doc.Delete(0);
    EXPECT_EQ(doc.AllItems().size(), 4);
    // An id taken over by another element stays with it when the first one is renamed.
    TSVGElement *first = doc.Items(0);
    TSVGElement *second = doc.Items(1);
    first->SetID(QStringLiteral("x"));
    second->SetID(QStringLiteral("x"));
    first->SetID(QStringLiteral("y"));
    EXPECT_EQ(doc.FindElement(QStringLiteral("x")), second);
}

TEST(SVGLoading, OneChangeEventPerLoadAndParsingEvents)
{
    TSVGDocument doc;
    int changes = 0;
    QStringList parsing;
    QStringList parsed;
    doc.SetOnChange([&](TSVGDocument *) { ++changes; });
    doc.SetOnParsingNode([&](TSVGElement *, pugi::xml_node node) {
        if (node.type() == pugi::node_element)
            parsing.append(svgxml::LocalName(node));
    });
    doc.SetOnParsedNode([&](TSVGElement *sender, TSVGElement *element) {
        EXPECT_EQ(sender, &doc);
        parsed.append(element->TagName());
    });
    doc.LoadFromText(QStringLiteral(
        "<svg><style>rect{fill:red}</style><g><rect/><rect/></g><desc>d</desc></svg>"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(parsing, QStringList({"style", "g", "rect", "rect", "desc"}));
    EXPECT_EQ(parsed, QStringList({"rect", "rect", "g"}));

    // A bracket around several changes reports them once.
    changes = 0;
    doc.BeginUpdate();
    doc.BeginUpdate();
    static_cast<TSVGGraphicElement *>(doc.Items(0))->SetX(5);
    doc.Items(0)->Delete(0);
    doc.EndUpdate();
    EXPECT_EQ(changes, 0);
    doc.EndUpdate();
    EXPECT_EQ(changes, 1);
}

TEST(SVGLoading, LoadReplacesTheWholeContent)
{
    TSVGDocument doc;
    doc.LoadFromText(QStringLiteral("<svg viewBox='0 0 10 10'><style>.a{fill:red}</style><g id='old'/></svg>"));
    ASSERT_EQ(doc.StyleCount(), 1);
    doc.LoadFromText(QStringLiteral("<svg><g id='new'/></svg>"));
    EXPECT_EQ(doc.FindElement(QStringLiteral("old")), nullptr);
    EXPECT_NE(doc.FindElement(QStringLiteral("new")), nullptr);
    EXPECT_EQ(doc.StyleCount(), 0);
    EXPECT_FALSE(doc.ViewBoxSpecified());
}

TEST(SVGLoading, DeepNestingIsRefusedInsteadOfExhaustingTheStack)
{
    QString text = QStringLiteral("<svg>");
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("<g>");
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("</g>");
    text += QStringLiteral("</svg>");
    TSVGDocument doc;
    EXPECT_EQ(MessageOf([&] { doc.LoadFromText(text); }),
              QStringLiteral("SVG elements are nested too deeply"));

    // Depths real documents reach load fine.
    QString ok = QStringLiteral("<svg>");
    for (int i = 0; i < 100; ++i)
        ok += QStringLiteral("<g>");
    ok += QStringLiteral("<rect id='deep'/>");
    for (int i = 0; i < 100; ++i)
        ok += QStringLiteral("</g>");
    ok += QStringLiteral("</svg>");
    doc.LoadFromText(ok);
    EXPECT_EQ(doc.FindElement(QStringLiteral("deep"))->Depth(), 101);
}

TEST(SVGLoading, StyleElementsWithCDataTextAndForeignTypes)
{
    struct TCase {
        const char *Style;
        QStringList Selectors;
    };
    const TCase cases[] = {
        {"<style>rect {fill:red} circle, ellipse {fill:blue}</style>", {"rect", "circle", "ellipse"}},
        {"<style><![CDATA[ g rect { fill: red } ]]></style>", {"g rect"}},
        // Mixed content: only the CDATA sections count.
        {"<style>a{fill:red}<![CDATA[b{fill:red}]]></style>", {"b"}},
        {"<style type='text/css'>.x{fill:red}</style>", {".x"}},
        {"<style type='text/less'>.x{fill:red}</style>", {}},
        // At-rules are stepped over, including their blocks.
        {"<style>@import url(a.css); @media print { rect {fill:red} } circle{fill:red}</style>",
         {"circle"}},
        {"<style>/* rect {fill:red} */ circle{fill:red} text{</style>", {"circle"}},
        {"<style>[title='a,b'], g > rect {fill:red}</style>", {"[title='a,b']", "g > rect"}},
    };
    for (const TCase &c : cases) {
        const auto doc = LoadSVG(QStringLiteral("<svg>%1</svg>").arg(QString::fromUtf8(c.Style)));
        QStringList selectors;
        for (int i = 0; i < doc->StyleCount(); ++i)
            selectors.append(doc->Styles(i)->Name());
        EXPECT_EQ(selectors, c.Selectors) << c.Style;
    }
}

TEST(SVGLoading, StyleEventsAndCopies)
{
    TSVGDocument doc;
    QStringList events;
    doc.SetOnAddStyle([&](TSVGDocument *, TSVGStyle *s) { events.append("+" + s->Name()); });
    doc.SetOnRemoveStyle([&](TSVGDocument *, TSVGStyle *s) { events.append("-" + s->Name()); });
    doc.LoadFromText(QStringLiteral("<svg><style>a{fill:red} b{fill:blue}</style></svg>"));
    EXPECT_EQ(events, QStringList({"+a", "+b"}));

    TSVGDocument copy;
    copy.SetStyles(doc);
    ASSERT_EQ(copy.StyleCount(), 2);
    EXPECT_NE(copy.Styles(0), doc.Styles(0));
    EXPECT_EQ(copy.Styles(1)->ToString(), QStringLiteral("b { fill=blue }"));

    events.clear();
    doc.Clear();
    EXPECT_EQ(events, QStringList({"-a", "-b"}));
}

} // namespace
