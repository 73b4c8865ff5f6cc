// The toolbar's commands: save (what the file holds at a reduced on-screen
// scale, the suggested name, failures that keep an existing file), random, web
// and back to the pack choice (also when reloading fails).

#include "editortestsupport.h"

#include "editor/untHelper.h"
#include "editor/untVuploraForm.h"
#include "errors/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

using TCommandsTest = TEditorTest;

// What the canvas shows, composed here from the visible layers' own pictures.
QImage ComposeLayers(TLayerCanvas *aoCanvas)
{
    QImage out(640, 1136, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (TLayerImage *layer : {aoCanvas->imgBack, aoCanvas->imgHand, aoCanvas->imgFace, aoCanvas->imgEyes,
                               aoCanvas->imgNose, aoCanvas->imgMouth, aoCanvas->imgBrow, aoCanvas->imgEmoji,
                               aoCanvas->imgGlass, aoCanvas->imgHair, aoCanvas->imgFG}) {
        if (!layer->isVisible() || layer->Bitmap().isNull())
            continue;
        const QRectF box(layer->pos(), QSizeF(layer->Width(), layer->Height()));
        p.drawImage(layer->WrapMode() == TImageWrap::Fit ? FitRect(layer->Bitmap().size(), box) : box,
                    layer->Bitmap());
    }
    return out;
}

double MeanDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y);
            const QRgb pb = b.pixel(x, y);
            sum += qAbs(qRed(pa) - qRed(pb)) + qAbs(qGreen(pa) - qGreen(pb)) + qAbs(qBlue(pa) - qBlue(pb))
                   + qAbs(qAlpha(pa) - qAlpha(pb));
        }
    return sum / (4.0 * a.width() * a.height());
}

TEST_F(TCommandsTest, SaveWritesTheWholeCanvasAtItsOwnSizeWithTransparency)
{
    moFake.Screen.Size = QSizeF(1920, 1080);
    QTemporaryDir dir;
    moFake.SaveDialog.ChosenFile = dir.filePath(QStringLiteral("portrait.png"));
    TfrmVuplora frm;
    frm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    TLayerCanvas *c = frm.slCanvas;
    ASSERT_DOUBLE_EQ(c->CanvasScale(), 0.62);
    // Nothing covers the lower corners once background, body and foreground
    // are off; the hair reaches over the top edge.
    for (TLayerImage *off : {c->imgBack, c->imgHand, c->imgFG})
        off->setVisible(false);
    frm.FNow = [] { return QDateTime(QDate(2014, 8, 26), QTime(15, 7, 9)); };

    ClickAt(&frm, frm.rgtToolbar->imgTabSave->geometry().center());

    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
    EXPECT_EQ(moFake.SaveDialog.Shown, 1);
    EXPECT_EQ(moFake.SaveDialog.LastOptions.Filter, QStringLiteral("PNG image|*.png"));
    EXPECT_EQ(moFake.SaveDialog.LastOptions.DefaultExt, QStringLiteral(".png"));
    EXPECT_EQ(moFake.SaveDialog.LastOptions.FileName, QStringLiteral("Vuplora_2014-08-26_15-07-09.png"));
    EXPECT_EQ(moFake.SaveDialog.LastOptions.InitialDir, moFake.Shell.Pictures);
    EXPECT_TRUE(frm.rgtToolbar->imgTabSave->isEnabled());

    const QImage saved(moFake.SaveDialog.ChosenFile);
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(640, 1136));
    EXPECT_TRUE(saved.hasAlphaChannel());
    EXPECT_EQ(qAlpha(saved.pixel(2, 1133)), 0);
    EXPECT_EQ(qAlpha(saved.pixel(637, 1133)), 0);
    const QImage expected = ComposeLayers(c);
    EXPECT_LT(MeanDifference(Premultiplied(saved), expected), 1.0);
    // The hidden watermark is not in the picture: it would cover this corner.
    EXPECT_EQ(qAlpha(saved.pixel(500, 1100)), 0);
}

TEST_F(TCommandsTest, AFailedSaveReportsItKeepsAnExistingFileAndEnablesTheButtonAgain)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("portrait.xyz"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    TfrmVuplora frm;
    const QString targets[] = {
        existing,                                           // no encoder for the extension
        dir.filePath(QStringLiteral("missing/portrait.png")), // no such folder
        dir.filePath(QStringLiteral("pipe.png")),             // a pipe, left as it is
    };
    ASSERT_EQ(mkfifo(QFile::encodeName(targets[2]).constData(), 0600), 0);
    for (const QString &target : targets) {
        SCOPED_TRACE(target.toStdString());
        moErrors.clear();
        moFake.SaveDialog.ChosenFile = target;
        RunReportingErrors([&] { frm.imgTabSaveClick(); });
        EXPECT_EQ(moErrors, QStringList{QStringLiteral("Saving bitmap failed.")});
        EXPECT_TRUE(frm.rgtToolbar->imgTabSave->isEnabled());
    }
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("keep me"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("portrait.xyz")});
    EXPECT_FALSE(QFileInfo(targets[2]).isFile());

    // A cancelled dialog writes nothing.
    moErrors.clear();
    moFake.SaveDialog.Accept = false;
    frm.imgTabSaveClick();
    EXPECT_TRUE(moErrors.isEmpty());
}

TEST_F(TCommandsTest, RandomKeepsPositionsTabAndBrowserAndWebOpensTheAddress)
{
    TfrmVuplora frm;
    TLayerCanvas *c = frm.slCanvas;
    frm.imgTabEyesClick();
    frm.slCanvasMouseDown(c, Qt::LeftButton, 300, 500);
    frm.slCanvasMouseUp(c, Qt::LeftButton, 300, 530);
    ASSERT_EQ(c->imgEyes->y(), 217);
    TBrowserCell *firstCell = frm.changeBox->Cell(0);
    frm.imgTabRandomClick();
    EXPECT_EQ(c->imgEyes->y(), 217);
    EXPECT_EQ(frm.FCurrentTab, frm.rgtToolbar->imgTabEyes);
    EXPECT_EQ(frm.changeBox->Cell(0), firstCell);
    EXPECT_EQ(c->imgEyes->Bitmap(), TestPackItem(1, fiEye, c->imgEyes->FaceItem()->miIndex));

    frm.imgTabWebClick();
    EXPECT_EQ(moFake.Shell.Opened, QStringList{QString::fromUtf16(PRODUCT_WEB_ADDRESS)});
}

TEST_F(TCommandsTest, BackWithTheOtherPackShowsANewPortraitOverTheOldBackground)
{
    TfrmVuplora frm;
    frm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    TLayerCanvas *c = frm.slCanvas;
    const QPoint place = frm.pos();
    const QImage background = c->imgBack->Bitmap();
    c->imgHair->FaceItem()->miColor = 0xFFD22A2A;
    c->imgEmoji->FaceItem()->miColor = 0xFF434343;
    frm.imgTabMouthClick();

    bool editorHidden = false;
    const auto script = WhenPackWindowShown([&](TfrmSelectPack *pack) {
        editorHidden = !frm.isVisible();
        ClickAt(pack, QPoint(450, 500));
    });
    ClickAt(&frm, frm.rgtToolbar->imgTabBack->geometry().center());

    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
    EXPECT_TRUE(editorHidden);
    EXPECT_TRUE(frm.isVisible());
    EXPECT_EQ(frm.pos(), place);
    EXPECT_EQ(giPackIndex, 2);
    EXPECT_EQ(c->imgHair->Bitmap(), TestPackItem(2, fiHair, c->imgHair->FaceItem()->miIndex));
    EXPECT_EQ(c->imgFace->Bitmap(), TestPackItem(2, fiFace, giFaceIndex));
    EXPECT_EQ(c->imgBack->Bitmap(), background);
    EXPECT_EQ(c->imgHair->FaceItem()->miColor, 0u);
    EXPECT_EQ(c->imgEmoji->FaceItem()->miColor, 0xFF434343u);
    EXPECT_EQ(frm.FCurrentTab, frm.rgtToolbar->imgTabHand);
    EXPECT_EQ(frm.changeBox->Cell(0)->FaceItem()->moType, fiHand);
}

TEST_F(TCommandsTest, BackShowsTheEditorAgainWhenReloadingFails)
{
    TfrmVuplora frm;
    frm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    const auto script = WhenPackWindowShown([&](TfrmSelectPack *pack) {
        // A pack number the archive has no index for.
        giPackIndex = 3;
        pack->close();
    });
    RunReportingErrors([&] { frm.imgTabBackClick(); });
    EXPECT_EQ(moErrors, QStringList{QStringLiteral("Argument out of range")});
    EXPECT_TRUE(frm.isVisible());
}

} // namespace
