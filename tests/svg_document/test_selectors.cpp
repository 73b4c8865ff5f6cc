// Selectors: tokens, specificity and matching as CSS does it.

#include "svg_document_support.h"

#include "svg/model/values/exception.h"
#include "svg/model/css/selector.h"

namespace {

TEST(SVGSelectors, Tokens)
{
    using T = TSVGSelectorToken;
    EXPECT_EQ(SVGTokenizeSelector(QStringLiteral(" g#a.b > rect[x^='1'] + *:first-child ")),
              QList<T>({{sttString, "g"},
                        {sttIDHashChar, "a"},
                        {sttClassChar, "b"},
                        {sttHasChild, ">"},
                        {sttString, "rect"},
                        {sttHasAttribute, "x"},
                        {sttPrefixMatch, "1"},
                        {sttHasFollower, "+"},
                        {sttUniversalChar, ""},
                        {sttColonChar, "first-child"}}));
    EXPECT_EQ(SVGTokenizeSelector(QStringLiteral("g  rect:lang(en)")),
              QList<T>({{sttString, "g"},
                        {sttHasDescendant, " "},
                        {sttString, "rect"},
                        {sttColonChar, "lang"},
                        {sttLanguage, "en"}}));
    for (const char *bad : {"[x", "[x=1", "[x 1]", "rect[x ~ 1]", ":lang(en"})
        EXPECT_EQ(MessageOf([&] { SVGTokenizeSelector(QString::fromUtf8(bad)); }),
                  QStringLiteral("Invalid selector: %1").arg(QString::fromUtf8(bad)));
}

TEST(SVGSelectors, Specificity)
{
    struct TCase {
        const char *Selector;
        int Value;
    };
    const TCase cases[] = {
        {"rect", 1},          {"rect.a", 11},       {"#a", 100},
        {"*", 0},             {".a.b", 20},         {"g rect", 2},
        {"[x]", 10},          {"rect:first-child", 11},
        {"g#g1 * g * * rect", 103}, {"g#g1 * * rect", 102},
    };
    for (const TCase &c : cases)
        EXPECT_EQ(TSVGSelector::Parse(QString::fromUtf8(c.Selector)).Specificity().Value(), c.Value)
            << c.Selector;
}

// One fixture document, a table of selectors and the ids they must match.
TEST(SVGSelectors, MatchLikeCSS)
{
    const auto doc = LoadSVG(QStringLiteral(
        "<svg id='root'>"
        "  <g id='g1' class='outer Big'>"
        "    <rect id='r1' x='5' class='a b' title='one two' lang='en-US'/>"
        "    <g id='g2'><rect id='r2' data='xy-z'/><circle id='c1'/></g>"
        "    <rect id='r3' y='1'/>"
        "  </g>"
        "  <rect id='r4' class='a'/>"
        "  <text id='t1' xml:lang='ja'><tspan id='s1'>x</tspan></text>"
        "</svg>"));
    struct TCase {
        const char *Selector;
        QStringList Matches;
    };
    const TCase cases[] = {
        {"rect", {"r1", "r2", "r3", "r4"}},
        {"g rect", {"r1", "r2", "r3"}},
        {"g g rect", {"r2"}},
        {"svg > rect", {"r4"}},
        {"g > rect", {"r1", "r2", "r3"}},
        {"#g1 > g > *", {"r2", "c1"}},
        {"rect + g", {"g2"}},
        {"rect ~ rect", {"r3"}},
        {"rect + rect", {}},
        {".a", {"r1", "r4"}},
        {".a.b", {"r1"}},
        {".big", {}}, // class names are case-sensitive
        {"g.Big rect.a", {"r1"}},
        {"[x]", {"r1"}},
        {"[y='1']", {"r3"}},
        {"[title~=two]", {"r1"}},
        {"[title~=tw]", {}},
        {"[data|=xy]", {"r2"}},
        {"[data^=xy-]", {"r2"}},
        {"[data$='-z']", {"r2"}},
        {"[data*=y]", {"r2"}},
        {"[class='a b']", {"r1"}},
        {"rect:first-child", {"r1", "r2"}},
        {":lang(en)", {"r1"}},
        {":lang(ja)", {"t1", "s1"}},
        {"rect:hover", {}},
        {"tspan", {"s1"}},
        {"text", {"t1"}},
        {"#r4", {"r4"}},
        {"* > circle", {"c1"}},
        {"> rect", {}},
        {"rect >", {}},
    };
    const QStringList ids = {"root", "g1", "r1", "g2", "r2", "c1", "r3", "r4", "t1", "s1"};
    for (const TCase &c : cases) {
        QStringList matched;
        for (const QString &id : ids) {
            const int m = doc->FindElement(id)->Matches(QString::fromUtf8(c.Selector));
            if (m >= 0)
                matched.append(id);
        }
        EXPECT_EQ(matched, c.Matches) << c.Selector;
    }
}

TEST(SVGSelectors, MalformedRuleFailsTheLoad)
{
    TSVGDocument doc;
    EXPECT_EQ(MessageOf([&] {
                  doc.LoadFromText(QStringLiteral("<svg><style>rect[x {fill:red}</style><rect/></svg>"));
              }),
              QStringLiteral("Invalid selector: rect[x"));
}

TEST(SVGSelectors, LongDescendantChainsStayCheap)
{
    // Every element is a g, so each descendant step has many candidates; a matcher
    // without memory would try them all in every combination.
    QString text = QStringLiteral("<svg>");
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("<g>");
    text += QStringLiteral("<rect id='leaf'/>");
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("</g>");
    text += QStringLiteral("</svg>");
    const auto doc = LoadSVG(text);
    const TSVGElement *leaf = doc->FindElement(QStringLiteral("leaf"));
    EXPECT_EQ(leaf->Matches(QStringLiteral("q g g g g g g g g g g g g g g g g rect")), -1);
    EXPECT_EQ(leaf->Matches(QStringLiteral("svg g g g g g g g g g g g g g g g g rect")), 9);
}

// A deep tree of g elements with a rect at the bottom.
QString DeepTree(int depth, const QString &style)
{
    QString text = QStringLiteral("<svg><style>") + style + QStringLiteral("</style>");
    for (int i = 0; i < depth; ++i)
        text += QStringLiteral("<g>");
    text += QStringLiteral("<rect id='leaf' width='1' height='1'/>");
    for (int i = 0; i < depth; ++i)
        text += QStringLiteral("</g>");
    return text + QStringLiteral("</svg>");
}

QString Chain(const QString &first, int universals, const QString &last)
{
    QString selector = first;
    for (int i = 0; i < universals; ++i)
        selector += QStringLiteral(" *");
    return selector + QLatin1Char(' ') + last;
}

TEST(SVGSelectors, MatchingWorkGrowsWithElementsTimesCompounds)
{
    // Universal descendant compounds over a deep tree: every ancestor is a candidate
    // for every compound, which without remembered results multiplies by the depth.
    const int depth = 250, universals = 200;
    const QString never = Chain(QStringLiteral("q"), universals, QStringLiteral("rect"));
    const QString deep = Chain(QStringLiteral("svg"), universals, QStringLiteral("rect"));
    const QString tooDeep = Chain(QStringLiteral("svg"), depth + 1, QStringLiteral("rect"));
    const auto doc = LoadSVG(DeepTree(depth, never + QStringLiteral("{fill:red} ") + deep +
                                                 QStringLiteral("{stroke:blue} ") + tooDeep +
                                                 QStringLiteral("{opacity:0.5}")));
    const TSVGElement *leaf = doc->FindElement(QStringLiteral("leaf"));
    EXPECT_EQ(leaf->Matches(never), -1);
    EXPECT_EQ(leaf->Matches(deep), 2);
    EXPECT_EQ(leaf->Matches(tooDeep), -1);

    TSVGMatchScope scope;
    doc->ApplyStyles();
    const qint64 elements = depth + 2, compounds = 3 * universals + depth + 7;
    EXPECT_LE(TSVGMatchScope::Steps(), 4 * elements * compounds);
}

TEST(SVGSelectors, WorkBeyondTheBudgetFailsTheLoad)
{
    // 2,600 rules over 2,000 elements: each test is cheap, their product is not.
    QString style;
    for (int i = 0; i < 2600; ++i)
        style += QStringLiteral(".c%1{fill:red}").arg(i);
    QString text = QStringLiteral("<svg><style>") + style + QStringLiteral("</style>");
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("<rect/>");
    text += QStringLiteral("</svg>");
    TSVGDocument doc;
    EXPECT_EQ(MessageOf([&] { doc.LoadFromText(text); }),
              QStringLiteral("Style rules too costly to match (more than 5000000 steps)"));
}

TEST(SVGSelectors, SelectorsOfTooManyCompoundsFailTheMatch)
{
    const auto doc = LoadSVG(QStringLiteral("<svg><rect id='r'/></svg>"));
    const TSVGElement *r = doc->FindElement(QStringLiteral("r"));
    const QString longest = Chain(QStringLiteral("svg"), SVGMaxSelectorCompounds - 2, QStringLiteral("rect"));
    EXPECT_EQ(r->Matches(longest), -1);
    const QString tooLong = longest + QStringLiteral(" *");
    EXPECT_EQ(MessageOf([&] { r->Matches(tooLong); }),
              QStringLiteral("Selector too long (more than 1024 compounds): ") + tooLong.left(60) +
                  QStringLiteral("..."));
}

TEST(SVGSelectors, LongSiblingChainsMatchWithinTheBudget)
{
    // Sibling combinators chain along a flat list as descendants do up a deep tree.
    QString text = QStringLiteral("<svg>");
    for (int i = 0; i < 1100; ++i)
        text += QStringLiteral("<rect id='r%1'/>").arg(i);
    const auto doc = LoadSVG(text + QStringLiteral("</svg>"));
    QString adjacent = QStringLiteral("rect"), general = QStringLiteral("rect");
    for (int i = 0; i < SVGMaxSelectorCompounds - 1; ++i) {
        adjacent += QStringLiteral(" + rect");
        general += QStringLiteral(" ~ *");
    }
    TSVGMatchScope scope;
    for (const QString &selector : {adjacent, general}) {
        const TSVGSelector parsed = TSVGSelector::Parse(selector);
        QList<int> matched;
        for (int i = 0; i < 1100; ++i)
            if (parsed.Matches(*doc->FindElement(QStringLiteral("r%1").arg(i))))
                matched.append(i);
        EXPECT_EQ(matched.size(), 1100 - (SVGMaxSelectorCompounds - 1)) << selector.left(20).toStdString();
        EXPECT_EQ(matched.value(0), SVGMaxSelectorCompounds - 1);
    }
    EXPECT_LE(TSVGMatchScope::Steps(), 2 * 4 * 1100 * SVGMaxSelectorCompounds);
}

} // namespace

