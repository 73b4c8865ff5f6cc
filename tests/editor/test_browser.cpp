// Category tabs and the item browser: which tab lights, what the browser lists,
// and what a chosen item does to its layer (the slide of the features, the
// face after a background, emoji against features), also when input arrives
// during a slide and when an item fails to load.

#include "editortestsupport.h"

#include "editor/untVuploraCategories.h"
#include "editor/untVuploraForm.h"

#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

using TBrowserTest = TEditorTest;

// A real click on a browser cell.
void ClickCell(TfrmVuplora &aoFrm, int aiRow)
{
    TItemBrowser *box = aoFrm.changeBox;
    box->scrollToItem(box->item(aiRow));
    QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::NoModifier,
                      box->visualItemRect(box->item(aiRow)).center());
}

TEST_F(TBrowserTest, HairTabLightsOnlyItsGlowAndListsHairInOrder)
{
    TfrmVuplora frm;
    frm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    ClickAt(&frm, frm.rgtToolbar->imgTabHair->geometry().center());

    EXPECT_EQ(frm.FCurrentTab, frm.rgtToolbar->imgTabHair);
    EXPECT_EQ(frm.FCurrentImage.Image, frm.slCanvas->imgHair);
    for (const TCategory &category : Categories())
        EXPECT_EQ(frm.rgtToolbar->Glow(category.Type)->isEnabled(), category.Type == fiHair)
            << category.GlowName;
    ASSERT_EQ(frm.changeBox->count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(frm.changeBox->Cell(i)->FaceItem()->moType, fiHair);
        EXPECT_EQ(frm.changeBox->Cell(i)->FaceItem()->miIndex, i);
        QImage thumb;
        goFaceRes->GetBitmap(thumb, fiHair, i, ifThumb, false);
        EXPECT_EQ(frm.changeBox->Cell(i)->Thumb(), thumb);
    }
    // The bubble tab makes the bubble current and keeps the last bitmap layer.
    frm.imgTabPaopaoClick();
    EXPECT_TRUE(frm.FCurrentImage.bSVG);
    EXPECT_EQ(frm.FCurrentImage.Image, frm.slCanvas->imgHair);
    EXPECT_TRUE(frm.rgtToolbar->gePaopao->isEnabled());
    EXPECT_FALSE(frm.rgtToolbar->geHair->isEnabled());
}

TEST_F(TBrowserTest, ThreeCellsPerRowOf480GiveSquaresOf150)
{
    moFake.Screen.Size = QSizeF(1920, 1080);
    TfrmVuplora frm;
    ASSERT_EQ(giItemsPerRow, 3);
    // The size is computed once, from the width of the first fill.
    gbItemSizeSet = false;
    TItemBrowser *box = frm.changeBox;
    box->setFixedWidth(box->width() - box->ClientWidth() + 480);
    ASSERT_EQ(box->ClientWidth(), 480);
    frm.imgTabHairClick();
    EXPECT_DOUBLE_EQ(box->ItemSize(), 150);
    box->doItemsLayout();
    const QRect first = box->visualItemRect(box->item(0));
    EXPECT_EQ(first.size(), QSize(150, 150));
    EXPECT_EQ(box->visualItemRect(box->item(2)).y(), first.y());

    box->setFixedWidth(box->width() + 200);
    frm.imgTabEyesClick();
    EXPECT_DOUBLE_EQ(box->ItemSize(), 150);
}

TEST_F(TBrowserTest, HairSlidesOutAndInWhileInputDuringTheSlideCannotDisturbIt)
{
    TfrmVuplora frm;
    frm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    TLayerImage *hair = frm.slCanvas->imgHair;
    frm.imgTabHairClick();
    frm.changeBox->doItemsLayout();

    qreal midSlideX = 0;
    int retiredDuringSlide = -1;
    QTimer::singleShot(120, &frm, [&] {
        midSlideX = hair->x();
        // A second cell click is turned away, and so are save, random and back.
        ClickCell(frm, 2);
        const QImage eyes = frm.slCanvas->imgEyes->Bitmap();
        frm.imgTabSaveClick();
        frm.imgTabRandomClick();
        frm.imgTabBackClick();
        EXPECT_EQ(moFake.SaveDialog.Shown, 0);
        EXPECT_EQ(frm.slCanvas->imgEyes->Bitmap(), eyes);
        EXPECT_TRUE(frm.isVisible());
        // A tab click refills the browser; the clicked cell stays alive until
        // its click has returned.
        frm.imgTabEyesClick();
        retiredDuringSlide = frm.changeBox->RetiredCount();
    });
    ClickCell(frm, 1);

    EXPECT_LT(midSlideX, 20);
    EXPECT_GT(midSlideX, -640);
    EXPECT_EQ(retiredDuringSlide, 3);
    EXPECT_FALSE(frm.FChanging);
    EXPECT_EQ(hair->x(), 20);
    EXPECT_EQ(hair->y(), -130);
    EXPECT_EQ(hair->FaceItem()->miIndex, 1);
    EXPECT_EQ(hair->Bitmap(), TestPackItem(1, fiHair, 1));
    // The eyes tab clicked during the slide is current now.
    EXPECT_EQ(frm.FCurrentImage.Image, frm.slCanvas->imgEyes);
    QTest::qWait(20);
    EXPECT_EQ(frm.changeBox->RetiredCount(), 0);
    EXPECT_TRUE(moErrors.isEmpty());
}

TEST_F(TBrowserTest, HandAndBackgroundItemsChangeInPlaceAndTheBackgroundReloadsTheFace)
{
    TfrmVuplora frm;
    TLayerCanvas *c = frm.slCanvas;
    frm.imgTabHandClick();
    frm.changeBoxItemClick(nullptr, frm.changeBox->item(1));
    EXPECT_EQ(c->imgHand->Bitmap(), TestPackItem(1, fiHand, 1));
    EXPECT_EQ(c->imgHand->pos(), QPointF(0, 0));

    // Something else on the face layer shows that the background puts the face
    // of giFaceIndex back.
    c->imgFace->SetBitmap(QImage());
    frm.imgTabBKGClick();
    frm.changeBoxItemClick(nullptr, frm.changeBox->item(2));
    EXPECT_EQ(c->imgBack->Bitmap(), TestPackItem(1, fiBG, 2));
    EXPECT_EQ(c->imgFace->Bitmap(), TestPackItem(1, fiFace, giFaceIndex));

    frm.imgTabFaceClick();
    frm.changeBoxItemClick(nullptr, frm.changeBox->item(2));
    EXPECT_EQ(giFaceIndex, 2);
    EXPECT_EQ(c->imgFace->Bitmap(), TestPackItem(1, fiFace, 2));
}

TEST_F(TBrowserTest, AnEmojiReplacesTheFeaturesAndEmojiZeroOrAFeatureBringsThemBack)
{
    TfrmVuplora frm;
    TLayerCanvas *c = frm.slCanvas;
    const auto featuresShown = [c](bool abShown) {
        for (TLayerImage *feature : {c->imgBrow, c->imgNose, c->imgMouth, c->imgEyes})
            if (feature->isVisible() != abShown)
                return false;
        return c->imgEmoji->isVisible() != abShown;
    };
    const struct {
        void (TfrmVuplora::*Tab)();
        int Item;
        bool FeaturesShown;
    } steps[] = {
        {&TfrmVuplora::imgTabEmojiClick, 1, false}, // an emoji
        {&TfrmVuplora::imgTabHairClick, 0, false},  // hair leaves it as it is
        {&TfrmVuplora::imgTabEyesClick, 2, true},   // eyes bring the features back
        {&TfrmVuplora::imgTabEmojiClick, 1, false},
        {&TfrmVuplora::imgTabEmojiClick, 0, true},  // emoji 0 means no emoji
    };
    for (const auto &step : steps) {
        (frm.*step.Tab)();
        frm.changeBoxItemClick(nullptr, frm.changeBox->item(step.Item));
        EXPECT_TRUE(featuresShown(step.FeaturesShown))
            << frm.FCurrentImage.Image->objectName() << " item " << step.Item;
    }
}

// Pack 1 with a glasses item whose picture breaks off after its signature
// (glasses, because the random portrait at start does not pick them).
class TBrokenItemTest : public TCustomPackTest {
protected:
    void SetUp() override
    {
        TCustomPackTest::SetUp();
        const QString stem = QStringLiteral("0123456789abcdef0123456789abcdef");
        const QString broken = QStringLiteral("fedcba9876543210fedcba9876543210.png");
        QImage glasses(340, 140, QImage::Format_ARGB32_Premultiplied);
        glasses.fill(Qt::blue);
        const QByteArray png = PngBytes(glasses);
        const auto item = [&](const char *asId, const QString &asFile) {
            return QJsonObject{{"id", asId}, {"fileName", asFile},
                               {"thumbFile", QString(stem + "_thumb.png")}, {"maskFile", ""}};
        };
        UsePack(QJsonObject{{"c", 1},
                            {"0", QJsonObject{{"type", "Glasses"}, {"count", 2},
                                              {"0", item("g0", stem + ".png")}, {"1", item("g1", broken)}}}},
                {{stem + ".png", png},
                 {stem + "_thumb.png", png},
                 {broken, QByteArray("\x89PNG\r\n\x1a\n cut short", 19)}});
    }
};

TEST_F(TBrokenItemTest, AFailedLoadIsReportedAndTheLayerComesBackToItsPlace)
{
    TfrmVuplora frm;
    frm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    frm.imgTabGlassClick();
    frm.changeBox->doItemsLayout();
    ClickCell(frm, 1);

    ASSERT_EQ(moErrors, QStringList{QStringLiteral("Loading bitmap failed.")});
    EXPECT_FALSE(frm.FChanging);
    EXPECT_EQ(frm.slCanvas->imgGlass->x(), 150);
    // The next item works as usual.
    ClickCell(frm, 0);
    EXPECT_EQ(moErrors.size(), 1);
    EXPECT_EQ(frm.slCanvas->imgGlass->Bitmap().pixel(100, 100), QColor(Qt::blue).rgba());
}

} // namespace
