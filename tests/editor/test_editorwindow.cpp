// The editor window: start-up order, sizing to the screen, the canvas layers
// after creation, the random portrait, the caption and logo of each language,
// and a pack without some categories.

#include "editortestsupport.h"

#include "PackArchive.h"
#include "TestPackPaths.h"
#include "editor/untHelper.h"
#include "editor/untStartup.h"
#include "editor/untVuploraForm.h"
#include "errors/errors.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTest>
#include <QWindow>

namespace {

using TEditorWindowTest = TEditorTest;

TEST_F(TEditorWindowTest, PackWindowIsModalBeforeTheEditorExists)
{
    bool sawPackWindowFirst = false;
    const auto script = WhenPackWindowShown([&](TfrmSelectPack *frm) {
        sawPackWindowFirst = frmVuplora == nullptr && QApplication::activeModalWidget() == frm;
        ClickAt(frm, QPoint(450, 500));
    });
    std::unique_ptr<TfrmVuplora> frm = StartUp();

    EXPECT_TRUE(sawPackWindowFirst);
    ASSERT_TRUE(frm);
    EXPECT_EQ(frmVuplora, frm.get());
    EXPECT_TRUE(frm->isVisible());
    EXPECT_EQ(giPackIndex, 2);
    // The bubble stream is there and empty until a bubble is chosen.
    ASSERT_NE(goPaopaoStream, nullptr);
    EXPECT_EQ(goPaopaoStream->size(), 0);
    // The portrait comes from pack 2.
    const TLayerImage *hand = frm->slCanvas->imgHand;
    EXPECT_EQ(hand->Bitmap(), TestPackItem(2, fiHand, hand->FaceItem()->miIndex));
    const TLayerImage *hair = frm->slCanvas->imgHair;
    EXPECT_EQ(hair->Bitmap(), TestPackItem(2, fiHair, hair->FaceItem()->miIndex));

    frm.reset();
    EXPECT_EQ(frmVuplora, nullptr);
    EXPECT_EQ(goFaceRes, nullptr);
    EXPECT_EQ(goPaopaoStream, nullptr);
}

struct TFitCase {
    const char *Name;
    qreal ScreenHeight; // 0: no screen service
    QSize Window;
    int PanelWidth;
    qreal Scale;
    qreal CanvasX;
    int ItemsPerRow;
};

TEST_F(TEditorWindowTest, FitToScreenSizesWindowPanelAndCanvas)
{
    const TFitCase cases[] = {
        {"1440", 1440, QSize(992, 1220), 350, 1.0, 1.0, 2},
        {"1080", 1080, QSize(992, 786), 500, 0.62, 47.6, 3},
        {"800", 800.9, QSize(992, 626), 600, 0.48, 42.4, 3},
        {"600", 600, QSize(842, 664), 350, 1.0, -74.0, 2},
        {"no screen service", 0, QSize(842, 664), 350, 1.0, -74.0, 2},
    };
    for (const TFitCase &c : cases) {
        SCOPED_TRACE(c.Name);
        moFake.Screen.Size = QSizeF(2560, c.ScreenHeight);
        TPlatform services = moFake.Services();
        if (c.ScreenHeight == 0)
            services.Screen = nullptr;
        TPlatformOverride use(services);

        TfrmVuplora frm;
        frm.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));

        EXPECT_EQ(QSize(giWindowWidth, giWindowHeight), c.Window);
        EXPECT_EQ(frm.frameGeometry().size(), c.Window);
        EXPECT_EQ(frm.plPreview->width(), c.PanelWidth);
        EXPECT_EQ(frm.plPreview->geometry().right(), frm.width() - 1);
        EXPECT_EQ(frm.plPreview->y(), 50);
        EXPECT_EQ(giItemsPerRow, c.ItemsPerRow);

        TLayerCanvas *canvas = frm.slCanvas;
        EXPECT_DOUBLE_EQ(canvas->CanvasScale(), c.Scale);
        EXPECT_NEAR(canvas->Position().x(), c.CanvasX, 1e-9);
        EXPECT_EQ(canvas->Position().y(), 50);
        // On screen the whole canvas shows at its scale (396.8 x 704.32 at 0.62).
        EXPECT_NEAR(canvas->width(), 640 * c.Scale, 1);
        EXPECT_NEAR(canvas->height(), 1136 * c.Scale, 1);
        EXPECT_NEAR(canvas->x(), c.CanvasX, 0.5);
        EXPECT_EQ(canvas->mapFromScene(QPointF(640, 1136)), QPoint(qRound(640 * c.Scale), qRound(1136 * c.Scale)));

        // The browser lays its cells out in rows of giItemsPerRow.
        frm.imgTabBKGClick();
        frm.changeBox->doItemsLayout();
        ASSERT_EQ(frm.changeBox->count(), 3);
        const int rowOf2 = frm.changeBox->visualItemRect(frm.changeBox->item(2)).y();
        const int rowOf0 = frm.changeBox->visualItemRect(frm.changeBox->item(0)).y();
        EXPECT_EQ(rowOf2 == rowOf0, c.ItemsPerRow == 3);
    }
}

TEST_F(TEditorWindowTest, ToolbarHoldsEighteenControlsOver1045Pixels)
{
    TfrmVuplora frm;
    const struct {
        const char *Name;
        int Width;
    } expected[] = {
        {"imgTabBack", 64}, {"imgTabSave", 64}, {"imgTabRandom", 64}, {"img1", 10},
        {"imgTabEmoji", 64}, {"imgTabFace", 64}, {"imgTabHair", 64}, {"imgTabBrow", 64},
        {"imgTabEyes", 64}, {"imgTabNose", 64}, {"imgTabMouth", 64}, {"imgTabGlass", 64},
        {"imgTabHand", 64}, {"imgTabBKG", 64}, {"imgTabPaopao", 64}, {"imgTabFG", 64},
        {"img2", 10}, {"imgTabWeb", 65},
    };
    const QList<TImageControl *> controls = frm.rgtToolbar->Controls();
    ASSERT_EQ(controls.size(), 18);
    int x = 0;
    for (int i = 0; i < 18; ++i) {
        SCOPED_TRACE(expected[i].Name);
        EXPECT_EQ(controls[i]->objectName(), QLatin1String(expected[i].Name));
        EXPECT_EQ(controls[i]->geometry(), QRect(x, 0, expected[i].Width, 50));
        EXPECT_EQ(controls[i]->Picture().size(), expected[i].Width == 10 ? QSize(2, 80) : QSize(128, 88));
        x += expected[i].Width;
    }
    EXPECT_EQ(x, 1045);
    EXPECT_EQ(frm.rgtToolbar->geometry(), QRect(0, 0, frm.width(), 50));
    // At 992 wide the web command lies almost wholly beyond the client area.
    EXPECT_GT(frm.rgtToolbar->imgTabWeb->x() + 40, frm.width());
    // Commands get their shadow only under the pointer; glows start off.
    EXPECT_FALSE(frm.rgtToolbar->imgTabSave->graphicsEffect()->isEnabled());
    EXPECT_TRUE(frm.rgtToolbar->img1->graphicsEffect()->isEnabled());
    EXPECT_FALSE(frm.rgtToolbar->geWeb->isEnabled());
}

// The pictures are rasterised from documents at build time; a document whose size
// or content went wrong would show squeezed or empty in its box.
TEST_F(TEditorWindowTest, EveryBuiltPictureHasItsDesignedSizeAndSomethingToShow)
{
    const struct {
        const char *Path;
        QSize Size;
    } pictures[] = {
        {":/editor/tab_back.png", {128, 88}},   {":/editor/tab_web.png", {128, 88}},
        {":/editor/tab_paopao.png", {128, 88}}, {":/editor/separator.png", {2, 80}},
        {":/editor/thumbback.png", {100, 100}}, {":/editor/thumbback@2x.png", {200, 200}},
        {":/editor/logo.png", {245, 90}},       {":/editor/pack1_emoji.png", {344, 734}},
        {":/editor/pack2_emoji.png", {344, 734}}, {":/editor/paopao_close.png", {64, 64}},
        {":/editor/paopao_edit.png", {64, 64}}, {":/editor/paopao_confirm.png", {300, 80}},
        {":/editor/paopao_cancel.png", {300, 80}}, {":/res_logo_en", {258, 104}},
        {":/res_logo_cn", {258, 104}},
    };
    for (const auto &p : pictures) {
        SCOPED_TRACE(p.Path);
        const QImage image(QString::fromLatin1(p.Path), "PNG");
        EXPECT_EQ(image.size(), p.Size);
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) > 128;
        EXPECT_GT(opaque, image.width() * image.height() / 100);
    }
}

TEST_F(TEditorWindowTest, LayersAfterCreation)
{
    TfrmVuplora frm;
    TLayerCanvas *c = frm.slCanvas;
    const struct {
        TLayerControl *Layer;
        TYPE_FACE_ITEM Category;
        TImageWrap Wrap;
    } layers[] = {
        {c->imgBack, fiBG, TImageWrap::Fit},         {c->imgHand, fiHand, TImageWrap::Fit},
        {c->imgFace, fiFace, TImageWrap::Stretch},   {c->imgEyes, fiEye, TImageWrap::Stretch},
        {c->imgNose, fiNose, TImageWrap::Stretch},   {c->imgMouth, fiMouth, TImageWrap::Stretch},
        {c->imgBrow, fiBrow, TImageWrap::Stretch},   {c->imgEmoji, fiEmoji, TImageWrap::Fit},
        {c->imgGlass, fiGlasses, TImageWrap::Stretch}, {c->imgHair, fiHair, TImageWrap::Stretch},
        {c->imgFG, fiFG, TImageWrap::Stretch},
    };
    qreal z = c->imgIcon->zValue();
    for (const auto &l : layers) {
        SCOPED_TRACE(l.Layer->objectName().toStdString());
        const QRect r = FACE_ITEM_RECTS[l.Category];
        EXPECT_EQ(QRectF(l.Layer->pos(), QSizeF(l.Layer->Width(), l.Layer->Height())), QRectF(r));
        ASSERT_NE(l.Layer->FaceItem(), nullptr);
        const TFaceItem &item = *l.Layer->FaceItem();
        EXPECT_EQ(item.moType, l.Category);
        EXPECT_EQ(QRect(item.miX, item.miY, item.miWidth, item.miHeight), r);
        EXPECT_EQ(item.miColor, 0u);
        EXPECT_EQ(static_cast<TLayerImage *>(l.Layer)->WrapMode(), l.Wrap);
        EXPECT_EQ(l.Layer->acceptedMouseButtons(), Qt::NoButton);
        EXPECT_GT(l.Layer->zValue(), z);
        z = l.Layer->zValue();
    }
    EXPECT_GT(c->slPaopao->zValue(), z);

    // Pictures only where the random portrait and background put them.
    for (TLayerImage *empty : {c->imgEmoji, c->imgGlass, c->imgFG})
        EXPECT_TRUE(IsEmptyPicture(empty->Bitmap())) << empty->objectName().toStdString();
    for (TLayerImage *shown : {c->imgBack, c->imgHand, c->imgFace, c->imgHair, c->imgEyes, c->imgNose,
                               c->imgMouth, c->imgBrow})
        EXPECT_FALSE(IsEmptyPicture(shown->Bitmap())) << shown->objectName().toStdString();
    for (TLayerImage *feature : {c->imgEyes, c->imgNose, c->imgMouth, c->imgBrow})
        EXPECT_TRUE(feature->isVisible());
    EXPECT_EQ(c->imgFace->Bitmap(), TestPackItem(1, fiFace, giFaceIndex));

    // The bubble frame and the watermark are hidden; the bubble image keeps its
    // frame's size and records the default rectangle only in its TFaceItem.
    EXPECT_FALSE(c->slPaopao->isVisible());
    EXPECT_EQ(c->slPaopao->pos(), QPointF(100, 100));
    TFaceItem *bubble = c->slPaopao->imgPaopao->FaceItem();
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(QRect(bubble->miX, bubble->miY, bubble->miWidth, bubble->miHeight), QRect(0, 0, 300, 300));
    EXPECT_EQ(c->slPaopao->imgPaopao->Width(), c->slPaopao->Width());
    EXPECT_FALSE(c->imgIcon->isVisible());
    EXPECT_EQ(QRectF(c->imgIcon->pos(), QSizeF(c->imgIcon->Width(), c->imgIcon->Height())),
              QRectF(384, 1000, 258, 142));
    EXPECT_EQ(c->imgIcon->FaceItem(), nullptr);

    // The hand tab is current: its glow alone is on and the browser lists the
    // hand items in order.
    EXPECT_EQ(frm.FCurrentTab, frm.rgtToolbar->imgTabHand);
    EXPECT_EQ(frm.FCurrentImage.Image, c->imgHand);
    EXPECT_FALSE(frm.FCurrentImage.bSVG);
    const QList<QGraphicsEffect *> glows = {
        frm.rgtToolbar->geEmoji, frm.rgtToolbar->geFace, frm.rgtToolbar->geHair, frm.rgtToolbar->geBrow,
        frm.rgtToolbar->geEye,   frm.rgtToolbar->geNose, frm.rgtToolbar->geMouth, frm.rgtToolbar->geGlass,
        frm.rgtToolbar->geHand,  frm.rgtToolbar->geBKG,  frm.rgtToolbar->gePaopao, frm.rgtToolbar->geFG};
    for (QGraphicsEffect *glow : glows)
        EXPECT_EQ(glow->isEnabled(), glow == frm.rgtToolbar->geHand);
    ASSERT_EQ(frm.changeBox->count(), 2);
    for (int i = 0; i < 2; ++i) {
        const TFaceItem *cell = frm.changeBox->Cell(i)->FaceItem();
        EXPECT_EQ(cell->moType, fiHand);
        EXPECT_EQ(cell->miIndex, i);
        EXPECT_FALSE(frm.changeBox->Cell(i)->Thumb().isNull());
    }
}

TEST_F(TEditorWindowTest, CaptionAndWatermarkFollowTheLanguage)
{
    const struct {
        const char *LangID;
        QString Caption;
        const char *Logo;
    } cases[] = {
        {"zh", QStringLiteral("维普乐 - "), "res_logo_cn"},
        {"en", QStringLiteral("Vuplora - "), "res_logo_en"},
        {"ZH", QStringLiteral("Vuplora - "), "res_logo_en"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.LangID);
        moFake.Locale.LangID = QLatin1String(c.LangID);
        TfrmVuplora frm;
        EXPECT_EQ(frm.windowTitle(), c.Caption + QString::fromUtf16(PRODUCT_WEB_ADDRESS));
        EXPECT_EQ(gbLangCN, c.Caption.startsWith(u'维'));
        const QImage logo = ResourcePicture(QLatin1String(c.Logo));
        EXPECT_EQ(logo.size(), QSize(258, 104));
        EXPECT_EQ(frm.slCanvas->imgIcon->Bitmap(), logo);
    }
}

TEST_F(TEditorWindowTest, RandomPortraitChangesTheFaceAndItsFeaturesOnly)
{
    TfrmVuplora frm;
    TLayerCanvas *c = frm.slCanvas;
    // An emoji shown over hidden features, and pictures on the layers that must
    // stay as they are.
    const QImage marker = Premultiplied(QImage(8, 8, QImage::Format_ARGB32));
    for (TLayerImage *kept : {c->imgEmoji, c->imgGlass, c->imgBack, c->imgFG})
        kept->SetBitmap(marker);
    c->imgEmoji->setVisible(true);
    for (TLayerImage *feature : {c->imgEyes, c->imgNose, c->imgMouth, c->imgBrow})
        feature->setVisible(false);
    c->imgHair->FaceItem()->miColor = 0xFFFF0000;
    c->imgFace->FaceItem()->miColor = 0xFF00FF00;

    QSet<int> hairSeen;
    QSet<int> faceSeen;
    for (int run = 0; run < 60; ++run) {
        frm.RandomPortrait();
        hairSeen.insert(c->imgHair->FaceItem()->miIndex);
        faceSeen.insert(giFaceIndex);
    }
    // Uniform picks over the whole category, first and last item included.
    EXPECT_EQ(hairSeen, (QSet<int>{0, 1, 2}));
    EXPECT_EQ(faceSeen, (QSet<int>{0, 1, 2}));

    for (TLayerImage *kept : {c->imgEmoji, c->imgGlass, c->imgBack, c->imgFG})
        EXPECT_EQ(kept->Bitmap(), marker) << kept->objectName().toStdString();
    EXPECT_TRUE(c->imgEmoji->isVisible());
    for (TLayerImage *feature : {c->imgEyes, c->imgNose, c->imgMouth, c->imgBrow}) {
        EXPECT_FALSE(feature->isVisible());
        EXPECT_FALSE(IsEmptyPicture(feature->Bitmap()));
    }

    // The stored colour recolours the hair; the face comes uncoloured.
    const QImage hair = c->imgHair->Bitmap();
    bool sawOpaque = false;
    for (int y = 0; y < hair.height(); y += 7) {
        for (int x = 0; x < hair.width(); x += 7) {
            const QRgb px = hair.pixel(x, y);
            if (qAlpha(px) == 255) {
                sawOpaque = true;
                ASSERT_EQ(px, 0xFFFF0000u);
            }
        }
    }
    EXPECT_TRUE(sawOpaque);
    EXPECT_EQ(c->imgFace->Bitmap(), TestPackItem(1, fiFace, giFaceIndex));
}

QStringList gLogLines;
void RecordLog(QtMsgType, const QMessageLogContext &aoContext, const QString &asMessage)
{
    if (QLatin1String(aoContext.category) == QLatin1String("vuplora.random"))
        gLogLines.append(asMessage);
}

TEST_F(TEditorWindowTest, RandomPicksAreLoggedOnlyWhenTheCategoryIsOn)
{
    TfrmVuplora frm;
    EXPECT_FALSE(lcVuploraRandom().isDebugEnabled());

    gLogLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(RecordLog);
    frm.RandomPortrait();
    QLoggingCategory::setFilterRules(QStringLiteral("vuplora.random.debug=true"));
    frm.RandomPortrait();
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);

    const QString expected[] = {
        QStringLiteral("Hand %1/2").arg(frm.slCanvas->imgHand->FaceItem()->miIndex),
        QStringLiteral("Hair %1/3").arg(frm.slCanvas->imgHair->FaceItem()->miIndex),
        QStringLiteral("Eye %1/3").arg(frm.slCanvas->imgEyes->FaceItem()->miIndex),
        QStringLiteral("Nose %1/2").arg(frm.slCanvas->imgNose->FaceItem()->miIndex),
        QStringLiteral("Mouth %1/3").arg(frm.slCanvas->imgMouth->FaceItem()->miIndex),
        QStringLiteral("Brow %1/2").arg(frm.slCanvas->imgBrow->FaceItem()->miIndex),
    };
    EXPECT_EQ(gLogLines, QStringList(std::begin(expected), std::end(expected)));
}

// A pack whose index has a hand category without items and no foreground or
// face category at all, with the editor's own resources beside it.
class TSparsePackTest : public TCustomPackTest {
protected:
    void SetUp() override
    {
        TCustomPackTest::SetUp();
        const QString stem = QStringLiteral("0123456789abcdef0123456789abcdef");
        QImage hair(600, 740, QImage::Format_ARGB32_Premultiplied);
        hair.fill(Qt::blue);
        const QByteArray png = PngBytes(hair);
        const QJsonObject item{{"id", "h0"},
                               {"fileName", QString(stem + ".png")},
                               {"thumbFile", QString(stem + "_thumb.png")},
                               {"maskFile", ""}};
        UsePack(QJsonObject{{"c", 2},
                            {"0", QJsonObject{{"type", "Hand"}, {"count", 0}}},
                            {"1", QJsonObject{{"type", "Hair"}, {"count", 1}, {"0", item}}}},
                {{stem + ".png", png}, {stem + "_thumb.png", png}});
    }
};

TEST_F(TSparsePackTest, CategoriesWithoutItemsGiveTransparentLayersAndAnEmptyBrowser)
{
    TfrmVuplora frm;
    TLayerCanvas *c = frm.slCanvas;
    for (TLayerImage *empty : {c->imgHand, c->imgFace, c->imgEyes, c->imgBack, c->imgFG})
        EXPECT_TRUE(IsEmptyPicture(empty->Bitmap())) << empty->objectName().toStdString();
    EXPECT_EQ(c->imgHand->FaceItem()->miIndex, 0);
    EXPECT_EQ(c->imgHair->Bitmap().pixel(300, 300), QColor(Qt::blue).rgba());
    EXPECT_EQ(frm.changeBox->count(), 0);
    EXPECT_TRUE(moErrors.isEmpty());
}

TEST_F(TSparsePackTest, MissingLogoEndsCreationWithTheLoaderError)
{
    moResources.Remove(QStringLiteral("res_logo_en"));
    try {
        TfrmVuplora frm;
        ADD_FAILURE() << "the window was created without its logo";
    } catch (const EVuploraError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Resource res_logo_en not found"));
    }
    // Nothing of the failed window is left behind.
    EXPECT_EQ(frmVuplora, nullptr);
    EXPECT_EQ(goFaceRes, nullptr);
    EXPECT_EQ(goPaopaoStream, nullptr);
}

} // namespace
