// viewBox mapping, preserveAspectRatio and conditional processing.

#include "svg_document_support.h"


namespace {

TEST(SVGViewBox, ComputeAspect)
{
    struct TCase {
        QRectF ViewBox;
        TSVGAspectRatioValue Ratio;
        float SX, SY, TX, TY;
    };
    const QRectF wide(0, 0, 200, 100);
    const TCase cases[] = {
        {wide, {saXMidYMid, false, false}, 2, 2, 0, 100},
        {wide, {saXMidYMid, false, true}, 4, 4, -200, 0},
        {wide, {saNone, false, false}, 2, 4, 0, 0},
        {wide, {saXMinYMin, false, false}, 2, 2, 0, 0},
        {wide, {saXMaxYMax, false, false}, 2, 2, 0, 200},
        {wide, {saXMaxYMin, true, true}, 4, 4, -400, 0},
        // A small viewBox scales like any other.
        {QRectF(0, 0, 1, 1), {saXMidYMid, false, false}, 400, 400, 0, 0},
        // Nothing to divide by: scale 1 (such an element is not drawn).
        {QRectF(0, 0, 0, 100), {saNone, false, false}, 1, 4, 0, 0},
    };
    for (const TCase &c : cases) {
        float sx = 0, sy = 0, tx = 0, ty = 0;
        ComputeAspect(c.ViewBox, QRectF(0, 0, 400, 400), c.Ratio, sx, sy, tx, ty);
        EXPECT_FLOAT_EQ(sx, c.SX) << c.Ratio.Align;
        EXPECT_FLOAT_EQ(sy, c.SY) << c.Ratio.Align;
        EXPECT_FLOAT_EQ(tx, c.TX) << c.Ratio.Align;
        EXPECT_FLOAT_EQ(ty, c.TY) << c.Ratio.Align;
    }
}

TEST(SVGViewBox, ViewMatrixMovesTheViewBoxOriginToTheTarget)
{
    const auto stretch = LoadSVG(QStringLiteral("<svg viewBox='10 10 100 100'/>"));
    TMatrix m = stretch->GetViewMatrix(QRectF(0, 0, 100, 100));
    EXPECT_EQ(m.Map(QPointF(10, 10)), QPointF(0, 0));
    EXPECT_EQ(m.Map(QPointF(110, 110)), QPointF(100, 100));

    const auto centred = LoadSVG(QStringLiteral(
        "<svg viewBox='10 10 100 100' preserveAspectRatio='xMidYMid meet'/>"));
    m = centred->GetViewMatrix(QRectF(20, 0, 200, 100));
    EXPECT_EQ(m.Map(QPointF(10, 10)), QPointF(70, 0));
    EXPECT_EQ(m.Map(QPointF(110, 110)), QPointF(170, 100));

    // Without viewBox and alignment: the old matrix's scale, then the corner.
    const auto plain = LoadSVG(QStringLiteral("<svg width='10' height='10'/>"));
    m = plain->GetViewMatrix(TMatrix::CreateScaling(2, 3), QRectF(5, 6, 10, 10));
    EXPECT_EQ(m.Map(QPointF(1, 1)), QPointF(7, 9));

    // The document's default ratio fits a box given by width and height ...
    auto sized = LoadSVG(QStringLiteral("<svg width='50' height='100'/>"));
    sized->DefaultAspectRatio().SetValue({saXMidYMid, false, false});
    m = sized->GetViewMatrix(QRectF(0, 0, 200, 200));
    EXPECT_EQ(m.Map(QPointF(0, 0)), QPointF(50, 0));
    EXPECT_EQ(m.Map(QPointF(50, 100)), QPointF(150, 200));
    // ... but a size relative to the target has nothing to fit.
    auto relative = LoadSVG(QStringLiteral("<svg/>"));
    relative->DefaultAspectRatio().SetValue({saXMidYMid, false, false});
    m = relative->GetViewMatrix(QRectF(3, 4, 200, 200));
    EXPECT_EQ(m.Map(QPointF(1, 1)), QPointF(4, 5));
}

TEST(SVGViewBox, AttributeValues)
{
    struct TCase {
        const char *ViewBox;
        bool Specified;
        bool Disabled;
        QRectF Rect;
    };
    const TCase cases[] = {
        {"0 0 100 50", true, false, QRectF(0, 0, 100, 50)},
        {" -5,10, 20 ,30 ", true, false, QRectF(-5, 10, 20, 30)},
        {"0 0 100", false, false, QRectF(0, 0, 7, 8)},
        {"0 0 100 50 60", false, false, QRectF(0, 0, 7, 8)},
        {"a b c d", false, false, QRectF(0, 0, 7, 8)},
        {"", false, false, QRectF(0, 0, 7, 8)},
        {"0 0 0 50", true, true, QRectF(0, 0, 0, 50)},
        {"0 0 10 -5", true, true, QRectF(0, 0, 10, -5)},
    };
    for (const TCase &c : cases) {
        const auto doc = LoadSVG(QStringLiteral("<svg width='7' height='8' viewBox='%1'/>")
                                     .arg(QString::fromUtf8(c.ViewBox)));
        EXPECT_EQ(doc->ViewBoxSpecified(), c.Specified) << c.ViewBox;
        EXPECT_EQ(doc->ViewBoxDisablesRendering(), c.Disabled) << c.ViewBox;
        EXPECT_EQ(doc->ViewBox(), c.Rect) << c.ViewBox;
    }
    const auto ratio = LoadSVG(QStringLiteral("<svg preserveAspectRatio='defer xMinYMax slice'/>"));
    EXPECT_EQ(ratio->AspectRatio().Value(), TSVGAspectRatioValue({saXMinYMax, true, true}));
}

TEST(SVGViewBox, RootWithoutSizeTakesTheSizeOfWhatShowsIt)
{
    const auto boxed = LoadSVG(QStringLiteral("<svg viewBox='0 0 300 150'/>"));
    EXPECT_TRUE(boxed->WidthIsPercent());
    EXPECT_EQ(boxed->Width(), 300);
    EXPECT_EQ(boxed->Height(), 150);
    EXPECT_EQ(boxed->BoundsRect(), QRectF(0, 0, 300, 150));

    const auto bare = LoadSVG(QStringLiteral("<svg/>"));
    EXPECT_TRUE(bare->WidthIsPercent() && bare->HeightIsPercent());
    EXPECT_EQ(bare->Width(), 1); // a fraction of the target, resolved by what draws it

    const auto sized = LoadSVG(QStringLiteral("<svg width='20mm' height='30'/>"));
    EXPECT_FALSE(sized->WidthIsPercent());
    EXPECT_NEAR(sized->Width(), 75.59, 0.01);
    EXPECT_EQ(sized->ViewBox(), QRectF(0, 0, sized->Width(), 30));
}

TEST(SVGConditional, RequiredFeaturesAndExtensions)
{
    const QString prefix = QStringLiteral("http://www.w3.org/TR/SVG11/feature#");
    struct TCase {
        QString Attribute;
        bool Shown;
    };
    const TCase cases[] = {
        {QStringLiteral("requiredFeatures='%1Shape'").arg(prefix), true},
        {QStringLiteral("requiredFeatures='%1Shape %1Gradient'").arg(prefix), true},
        {QStringLiteral("requiredFeatures='%1Text'").arg(prefix), false},
        {QStringLiteral("requiredFeatures='%1Shape %1Text'").arg(prefix), false},
        {QStringLiteral("requiredFeatures='Shape'"), false},
        {QStringLiteral("requiredFeatures=''"), true},
        {QStringLiteral("requiredExtensions='http://example.org/ext'"), false},
        {QStringLiteral("requiredExtensions=''"), true},
    };
    for (const TCase &c : cases) {
        const auto doc = LoadSVG(QStringLiteral("<svg><rect id='r' %1/></svg>").arg(c.Attribute));
        const TSVGElement *r = Find(*doc, QStringLiteral("r"));
        EXPECT_EQ(r->HasFeatures() && r->HasExtensions(), c.Shown) << c.Attribute.toStdString();
    }
    EXPECT_TRUE(TSVGDocument::SupportsFeature(prefix + QStringLiteral("ConditionalProcessing")));
    EXPECT_FALSE(TSVGDocument::SupportsFeature(prefix + QStringLiteral("shape")));
}

// Puts a list of user languages in force for one test and restores the previous one.
class TUserLanguages {
public:
    TUserLanguages() : FSaved(SVGUserLanguages()) {}
    ~TUserLanguages() { SVGSetUserLanguages(FSaved); }
    void Set(const QStringList &Languages) { SVGSetUserLanguages(Languages); }

private:
    QStringList FSaved;
};

TEST(SVGConditional, LanguagesFollowTheUserLanguagesTheApplicationHandsOver)
{
    TUserLanguages user;
    struct TCase {
        QStringList Preferred;
        const char *Attributes;
        bool Shown;
    };
    const TCase cases[] = {
        {{"en-US"}, "systemLanguage='en'", true},
        {{"en-US"}, "systemLanguage='en-US'", true},
        {{"en"}, "systemLanguage='en-US'", false},
        {{"en-US"}, "systemLanguage='de'", false},
        {{"en-US"}, "systemLanguage='de, en'", true},
        {{"de-DE", "fr"}, "systemLanguage='FR'", true},
        {{}, "systemLanguage='en'", false},
        {{"en-US"}, "", true},
        {{"en-US"}, "lang='en'", true},
        {{"en-US"}, "lang='de'", false},
        {{"en-US"}, "lang='de' systemLanguage='en'", true},
        {{"en-US"}, "xml:lang='ja'", true},  // the content's language, not a condition
    };
    for (const TCase &c : cases) {
        user.Set(c.Preferred);
        const auto doc = LoadSVG(QStringLiteral("<svg><rect id='r' %1/></svg>").arg(QString::fromUtf8(c.Attributes)));
        EXPECT_EQ(Find(*doc, QStringLiteral("r"))->HasLanguages(), c.Shown)
            << c.Attributes << " with " << c.Preferred.join(',').toStdString();
    }

    // Without the locale option the document's own list counts.
    user.Set({"en-US"});
    auto doc = LoadSVG(QStringLiteral(
        "<svg><switch id='s'><g id='de' systemLanguage='de'/><g id='en' systemLanguage='en'/>"
        "<g id='other'/></switch></svg>"));
    const auto *sw = Find<TSVGSwitch>(*doc, QStringLiteral("s"));
    EXPECT_EQ(sw->ChosenChild(), doc->FindElement(QStringLiteral("en")));
    doc->SetOptions(doc->Options() & ~TSVGOptions(soUseLocaleForLanguage));
    doc->SetPreferredLanguage(QStringLiteral("fr, de-AT"));
    EXPECT_EQ(doc->PreferredLanguage(), QStringLiteral("fr,de-AT"));
    EXPECT_EQ(sw->ChosenChild(), doc->FindElement(QStringLiteral("de")));
    doc->SetPreferredLanguage(QStringLiteral("it"));
    EXPECT_EQ(sw->ChosenChild(), doc->FindElement(QStringLiteral("other")));
}

} // namespace
