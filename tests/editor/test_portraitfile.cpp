// Portrait files in the editor: a saved portrait reopens as the same picture
// (by shortcut, by drop, from the command line, into another pack), files the
// pack cannot fully serve or that are malformed, the clipboard, and the
// headless portrait drawn as the canvas draws it.

#include "editortestsupport.h"

#include "assets/untVuploraPaopaoDoc.h"
#include "editor/untVuploraBrowser.h"
#include "editor/untVuploraForm.h"
#include "compose/untVuploraHeadless.h"
#include "editor/untVuploraPortraitFile.h"
#include "editor/untVuploraUndo.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <sys/stat.h>

namespace {

class TPortraitFileTest : public TEditorTest {
protected:
    void SetUp() override
    {
        TEditorTest::SetUp();
        moFake.Shell.Documents = moDir.path();
    }
    std::unique_ptr<TfrmVuplora> NewWindow()
    {
        auto frm = std::make_unique<TfrmVuplora>();
        frm->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
        return frm;
    }
    QString Path(const char *asName) const { return moDir.filePath(QLatin1String(asName)); }

    QTemporaryDir moDir;
};

void Choose(TfrmVuplora &aoFrm, void (TfrmVuplora::*aoTab)(), int aiItem)
{
    (aoFrm.*aoTab)();
    aoFrm.changeBoxItemClick(nullptr, aoFrm.changeBox->item(aiItem));
}

// A portrait with something of every kind a file records: a chosen bubble
// with a confirmed text, moved and resized; a coloured layer; a nudged one;
// glasses; a moved watermark.
void Compose(TfrmVuplora &aoFrm)
{
    TLayerCanvas *c = aoFrm.slCanvas;
    Choose(aoFrm, &TfrmVuplora::imgTabGlassClick, 1);
    Choose(aoFrm, &TfrmVuplora::imgTabPaopaoClick, 1);
    gsNewPaopaoText = QStringLiteral("Round trip");
    aoFrm.ApplyPaopaoText();
    c->slPaopao->setPos(210, 640);
    c->slPaopao->SetSize(QSizeF(330, 240));
    aoFrm.imgTabHairClick();
    aoFrm.ApplyColor(0xFFD22A2A);
    c->imgMouth->setY(c->imgMouth->y() + 7);
    c->imgIcon->setPos(12, 40);
}

void WriteAll(const QString &asPath, const QByteArray &aoData)
{
    QFile file(asPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(aoData);
}

TEST_F(TPortraitFileTest, ASavedPortraitReopensAsTheSamePictureInANewWindow)
{
    TPortrait saved;
    QImage picture;
    {
        auto frm = NewWindow();
        Compose(*frm);
        frm->SavePortraitFile(Path("p.vuplora"));
        saved = frm->CapturePortrait();
        picture = frm->PortraitPicture(1.0);
    }
    auto frm = NewWindow();
    ASSERT_NE(frm->PortraitPicture(1.0), picture);
    frm->OpenPortraitFile(Path("p.vuplora"));

    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
    EXPECT_EQ(frm->PortraitPicture(1.0), picture);
    EXPECT_TRUE(frm->CapturePortrait() == saved);
    // The bubble goes on as it was: its text, the confirmed one, its buttons.
    EXPECT_EQ(gsPaopaoText, saved.Bubble.Text);
    EXPECT_EQ(gsNewPaopaoText, QStringLiteral("Round trip"));
    EXPECT_TRUE(frm->slCanvas->slPaopao->imgPaopaoEdit->isVisible());
    EXPECT_EQ(frm->slCanvas->imgHair->FaceItem()->miColor, 0xFFD22A2Au);
}

TEST_F(TPortraitFileTest, OpeningAgainRestoresEveryLayerChangedSinceTheFirstOpening)
{
    auto frm = NewWindow();
    Compose(*frm);
    frm->SavePortraitFile(Path("again.vuplora"));
    const QImage picture = frm->PortraitPicture(1.0);
    const struct {
        const char *Change;
        std::function<void()> Make;
    } changes[] = {
        {"random portrait", [&] { frm->RandomPortrait(); }},
        {"hair recoloured", [&] { frm->imgTabHairClick(); frm->ApplyColor(0xFF1F3F74); }},
        {"hair colour taken off", [&] { frm->imgTabHairClick(); frm->ApplyColor(0); }},
        // The portrait's own background is a random one: take whichever of the
        // first two it is not.
        {"other background", [&] {
             Choose(*frm, &TfrmVuplora::imgTabBKGClick, 0);
             if (frm->PortraitPicture(1.0) == picture)
                 Choose(*frm, &TfrmVuplora::imgTabBKGClick, 1);
         }},
        {"glasses item", [&] { Choose(*frm, &TfrmVuplora::imgTabGlassClick, 0); }},
    };
    for (const auto &c : changes) {
        SCOPED_TRACE(c.Change);
        frm->OpenPortraitFile(Path("again.vuplora"));
        c.Make();
        ASSERT_NE(frm->PortraitPicture(1.0), picture);
        frm->OpenPortraitFile(Path("again.vuplora"));
        EXPECT_EQ(frm->PortraitPicture(1.0), picture);
    }
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TPortraitFileTest, OpeningIsOneStepUndoTakesBackAndAnotherPackStartsANewHistory)
{
    giPackIndex = 2;
    NewWindow()->SavePortraitFile(Path("pack2.vuplora"));
    giPackIndex = 1;
    auto frm = NewWindow();
    Compose(*frm);
    frm->SavePortraitFile(Path("undo.vuplora"));
    const QImage opened = frm->PortraitPicture(1.0);
    frm->imgTabRandomClick();
    const QImage before = frm->PortraitPicture(1.0);
    ASSERT_NE(before, opened);
    const int steps = frm->FHistory->Count();

    frm->OpenPortraitFile(Path("undo.vuplora"));
    EXPECT_EQ(frm->FHistory->Count(), steps + 1);
    frm->FHistory->Undo();
    EXPECT_EQ(frm->PortraitPicture(1.0), before);
    frm->FHistory->Redo();
    EXPECT_EQ(frm->PortraitPicture(1.0), opened);

    frm->OpenPortraitFile(Path("pack2.vuplora"));
    EXPECT_EQ(giPackIndex, 2);
    EXPECT_FALSE(frm->FHistory->CanUndo());
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TPortraitFileTest, UndoOfAnOpeningRestoresEveryFieldTheFileChanged)
{
    auto frm = NewWindow();
    Compose(*frm);
    // Opened, so that the history holds it as the state undo goes back to.
    frm->SavePortraitFile(Path("base.vuplora"));
    frm->OpenPortraitFile(Path("base.vuplora"));
    const TPortrait base = frm->CapturePortrait();
    const QImage picture = frm->PortraitPicture(1.0);
    const struct {
        const char *Change;
        std::function<void(TPortrait &)> Make;
    } changes[] = {
        {"every layer 200 units right", [](TPortrait &p) {
             for (TYPE_FACE_ITEM type : {fiBG, fiHand, fiFace, fiHair, fiEye, fiNose, fiMouth, fiBrow, fiGlasses})
                 p.Layers[type].Pos.rx() += 200;
         }},
        {"the mouth 30 units down", [](TPortrait &p) { p.Layers[fiMouth].Pos.ry() += 30; }},
        {"the nose 40 units left and up", [](TPortrait &p) { p.Layers[fiNose].Pos -= QPointF(40, 40); }},
        {"another mouth", [](TPortrait &p) { p.Layers[fiMouth].Index = p.Layers[fiMouth].Index == 0 ? 1 : 0; }},
        {"hair in another colour", [](TPortrait &p) { p.Layers[fiHair].Color = 0xFF1F3F74; }},
        {"hair in its own colours", [](TPortrait &p) { p.Layers[fiHair].Color = 0; }},
        {"the nose hidden", [](TPortrait &p) { p.Layers[fiNose].Visible = false; }},
        {"no glasses", [](TPortrait &p) { p.Layers[fiGlasses].Present = false; }},
        {"the bubble moved and resized", [](TPortrait &p) { p.Bubble.Frame = QRectF(40, 300, 200, 150); }},
        {"the bubble hidden", [](TPortrait &p) { p.Bubble.Shown = false; }},
        {"the watermark moved", [](TPortrait &p) { p.Watermark = QPointF(300, 900); }},
    };
    for (const auto &c : changes) {
        SCOPED_TRACE(c.Change);
        TPortrait changed = base;
        c.Make(changed);
        ASSERT_FALSE(changed == base);
        QFile file(Path("changed.vuplora"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(WritePortrait(changed));
        file.close();

        frm->OpenPortraitFile(Path("changed.vuplora"));
        const TPortrait opened = frm->CapturePortrait();
        const QImage changedPicture = frm->PortraitPicture(1.0);
        ASSERT_FALSE(opened == base) << moErrors.join(u'\n').toStdString();
        // The watermark is left out of the picture; everything else shows in it.
        EXPECT_EQ(changedPicture != picture, opened.Watermark == base.Watermark);
        frm->FHistory->Undo();
        EXPECT_EQ(frm->PortraitPicture(1.0), picture);
        EXPECT_TRUE(frm->CapturePortrait() == base);
        frm->FHistory->Redo();
        EXPECT_EQ(frm->PortraitPicture(1.0), changedPicture);
        EXPECT_TRUE(frm->CapturePortrait() == opened);
        frm->FHistory->Undo();
    }
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TPortraitFileTest, HugeBubbleFramesStayWithinTheRasterCapAndTheHistorysBudget)
{
    auto frm = NewWindow();
    Compose(*frm);
    // Opened, so that the history holds it as where undo ends.
    frm->SavePortraitFile(Path("base.vuplora"));
    frm->OpenPortraitFile(Path("base.vuplora"));
    TPortrait portrait = frm->CapturePortrait();
    std::vector<QImage> pictures{frm->PortraitPicture(1.0)};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        // Frames of the largest places a file may hold, each opening a step of its own.
        portrait.Bubble.Frame = QRectF(0, 0, 100000 - 1000 * i, 100000);
        WriteAll(Path("huge.vuplora"), WritePortrait(portrait));
        frm->OpenPortraitFile(Path("huge.vuplora"));
        // The bubble draws its picture when it is painted.
        frm->slCanvas->MakeScreenshot();
        const QImage &buffer = frm->slCanvas->slPaopao->imgPaopao->Picture();
        EXPECT_GT(buffer.width(), 1000);
        EXPECT_LE(qint64(buffer.width()) * buffer.height(), 16777216);
        EXPECT_LE(frm->FHistory->KeptPictureBytes(), TPortraitHistory::PICTURE_BYTES);
        pictures.push_back(frm->PortraitPicture(1.0));
    }
    // Steps whose pictures were dropped draw them again.
    for (int i = 5; i >= 0; --i) {
        frm->FHistory->Undo();
        EXPECT_EQ(frm->PortraitPicture(1.0), pictures[size_t(i)]) << i;
    }
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n').toStdString();
}

TEST_F(TPortraitFileTest, SavingOverAPipeOrALinkIsReportedAndLeavesThemAlone)
{
    auto frm = NewWindow();
    const QString fifo = Path("pipe.vuplora");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString toDevice = Path("null.vuplora");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), toDevice));
    for (const QString &target : {fifo, toDevice}) {
        SCOPED_TRACE(target.toStdString());
        try {
            frm->SavePortraitFile(target);
            ADD_FAILURE() << "saved";
        } catch (const EVuploraError &e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Saving portrait file failed."));
        }
    }
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_EQ(QFileInfo(toDevice).symLinkTarget(), QStringLiteral("/dev/null"));
}

TEST_F(TPortraitFileTest, ShortcutsSaveOpenAndCopy)
{
    auto frm = NewWindow();
    frm->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frm.get()));
    Compose(*frm);
    const QImage picture = frm->PortraitPicture(1.0);
    frm->FNow = [] { return QDateTime(QDate(2014, 8, 26), QTime(15, 7, 9)); };
    moFake.SaveDialog.ChosenFile = Path("keys.vuplora");

    QTest::keyClick(frm.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(moFake.SaveDialog.LastOptions.FileName, QStringLiteral("Vuplora_2014-08-26_15-07-09.vuplora"));
    EXPECT_EQ(moFake.SaveDialog.LastOptions.Filter, QStringLiteral("Vuplora portrait|*.vuplora"));
    EXPECT_EQ(moFake.SaveDialog.LastOptions.DefaultExt, QStringLiteral(".vuplora"));
    EXPECT_EQ(moFake.SaveDialog.LastOptions.InitialDir, moDir.path());
    ASSERT_TRUE(QFile::exists(Path("keys.vuplora")));

    QTest::keyClick(frm.get(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(clip);
    const QImage fromPng = QImage::fromData(clip->data(QStringLiteral("image/png")), "PNG");
    EXPECT_EQ(fromPng.size(), QSize(640, 1136));
    EXPECT_TRUE(fromPng.hasAlphaChannel());
    EXPECT_EQ(Premultiplied(fromPng), picture);
    EXPECT_EQ(Premultiplied(qvariant_cast<QImage>(clip->imageData())), picture);

    frm->RandomPortrait();
    ASSERT_NE(frm->PortraitPicture(1.0), picture);
    moFake.OpenDialog.ChosenFile = Path("keys.vuplora");
    QTest::keyClick(frm.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(moFake.OpenDialog.Shown, 1);
    EXPECT_EQ(moFake.OpenDialog.LastOptions.Filter, QStringLiteral("Vuplora portrait|*.vuplora"));
    EXPECT_EQ(frm->PortraitPicture(1.0), picture);

    // A cancelled dialog changes nothing.
    moFake.OpenDialog.Accept = false;
    frm->RandomPortrait();
    const QImage random = frm->PortraitPicture(1.0);
    QTest::keyClick(frm.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(frm->PortraitPicture(1.0), random);
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TPortraitFileTest, ADroppedPortraitFileOpensOtherFilesAreRefused)
{
    auto frm = NewWindow();
    Compose(*frm);
    frm->SavePortraitFile(Path("drop.vuplora"));
    const QImage picture = frm->PortraitPicture(1.0);
    frm->RandomPortrait();
    const QImage random = frm->PortraitPicture(1.0);

    const auto drop = [&](const QString &asFile) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(asFile)});
        const QPoint at = frm->slCanvas->geometry().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frm.get(), &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frm.get(), &dropped);
        return enter.isAccepted();
    };
    EXPECT_FALSE(drop(Path("picture.png")));
    EXPECT_EQ(frm->PortraitPicture(1.0), random);
    EXPECT_TRUE(drop(Path("drop.vuplora")));
    EXPECT_EQ(frm->PortraitPicture(1.0), picture);
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TPortraitFileTest, AFileOfTheOtherPackSwitchesToIt)
{
    giPackIndex = 2;
    TPortrait saved;
    QImage picture;
    {
        auto frm = NewWindow();
        frm->SavePortraitFile(Path("pack2.vuplora"));
        saved = frm->CapturePortrait();
        picture = frm->PortraitPicture(1.0);
    }
    giPackIndex = 1;
    auto frm = NewWindow();
    frm->imgTabHairClick();
    const QImage pack1Thumb = static_cast<TBrowserCell *>(frm->changeBox->item(0))->Thumb();
    frm->OpenPortraitFile(Path("pack2.vuplora"));

    EXPECT_EQ(giPackIndex, 2);
    EXPECT_EQ(frm->PortraitPicture(1.0), picture);
    EXPECT_TRUE(frm->CapturePortrait() == saved);
    // The browser shows the new pack's hair.
    const QImage pack2Thumb = static_cast<TBrowserCell *>(frm->changeBox->item(0))->Thumb();
    EXPECT_NE(pack2Thumb, pack1Thumb);
    QImage expected;
    goFaceRes->GetBitmap(expected, fiHair, 0, ifThumb, false);
    EXPECT_EQ(pack2Thumb, expected);
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TPortraitFileTest, LayersWhoseItemsThePackLacksKeepWhatTheyShowAndAreNamed)
{
    auto frm = NewWindow();
    TPortrait file = frm->CapturePortrait();
    file.Layers[fiHair].Index = 99;
    file.Layers[fiEye].Index = 50;
    file.Layers[fiMouth].Index = (file.Layers[fiMouth].Index + 1) % 3;
    WriteAll(Path("lacking.vuplora"), WritePortrait(file));
    const QImage hair = frm->slCanvas->imgHair->Bitmap();
    const qint32 hairItem = frm->slCanvas->imgHair->FaceItem()->miIndex;

    frm->OpenPortraitFile(Path("lacking.vuplora"));

    EXPECT_EQ(moErrors, QStringList{QStringLiteral(
                            "This pack lacks some parts the portrait file names; these layers were not restored: "
                            "hair, eyes.")});
    EXPECT_EQ(frm->slCanvas->imgHair->Bitmap(), hair);
    EXPECT_EQ(frm->slCanvas->imgHair->FaceItem()->miIndex, hairItem);
    EXPECT_EQ(frm->slCanvas->imgMouth->FaceItem()->miIndex, file.Layers[fiMouth].Index);
    EXPECT_EQ(Premultiplied(frm->slCanvas->imgMouth->Bitmap()), TestPackItem(1, fiMouth, file.Layers[fiMouth].Index));
    EXPECT_EQ(LayersNotRestoredMessage({fiHair, fiEye}, true),
              QStringLiteral("当前素材包中没有文件里的部分素材，以下图层未能恢复：发型、眼睛"));
}

TEST_F(TPortraitFileTest, AFileThatCannotBeOpenedIsReportedAndChangesNothing)
{
    auto frm = NewWindow();
    Compose(*frm);
    TPortrait good = frm->CapturePortrait();
    const QByteArray goodFile = WritePortrait(good);
    frm->RandomPortrait();
    const TPortrait before = frm->CapturePortrait();
    const QImage picture = frm->PortraitPicture(1.0);

    TPortrait brokenBubble = good;
    brokenBubble.Bubble.Document = "<svg><text>&</svg>";
    QByteArray wrongVersion = goodFile;
    wrongVersion.replace("\"version\": 1", "\"version\": 7");
    WriteAll(Path("version.vuplora"), wrongVersion);
    WriteAll(Path("json.vuplora"), goodFile.left(goodFile.size() / 2));
    WriteAll(Path("bubble.vuplora"), WritePortrait(brokenBubble));
    WriteAll(Path("big.vuplora"), QByteArray(8 * 1024 * 1024 + 1, ' '));
    QDir(moDir.path()).mkdir(QStringLiteral("folder.vuplora"));
    const struct {
        const char *File;
        QString Starts;
    } cases[] = {
        {"version.vuplora",
         QStringLiteral("Not a portrait file: format version 7 is not supported (this program reads version 1).")},
        {"json.vuplora", QStringLiteral("Not a portrait file: ")},
        {"bubble.vuplora",
         QStringLiteral("The portrait file 'bubble.vuplora' was not opened: its speech bubble document is not valid: XML error at offset ")},
        {"big.vuplora", QStringLiteral("The portrait file is larger than 8 MiB.")},
        {"folder.vuplora", QStringLiteral("Cannot read the portrait file.")},
        {"missing.vuplora", QStringLiteral("Cannot read the portrait file.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.File);
        moErrors.clear();
        RunReportingErrors([&] { frm->OpenPortraitFile(Path(c.File)); });
        ASSERT_EQ(moErrors.size(), 1);
        EXPECT_TRUE(moErrors[0].startsWith(c.Starts)) << moErrors[0].toStdString();
        EXPECT_TRUE(frm->CapturePortrait() == before);
        EXPECT_EQ(frm->PortraitPicture(1.0), picture);
    }
}

TEST_F(TPortraitFileTest, AFileNamedAtStartUpOpensWithoutThePackChoice)
{
    giPackIndex = 2;
    QImage picture;
    {
        auto frm = NewWindow();
        Compose(*frm);
        frm->SavePortraitFile(Path("start.vuplora"));
        picture = frm->PortraitPicture(1.0);
    }
    giPackIndex = 1;
    const auto frm = StartUpWithPortraitFile(Path("start.vuplora"));
    ASSERT_TRUE(frm);
    EXPECT_EQ(giPackIndex, 2);
    EXPECT_EQ(frm->PortraitPicture(1.0), picture);
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TPortraitFileTest, AnUnreadableFileAtStartUpIsReportedAndThePackChoiceFollows)
{
    WriteAll(Path("bad.vuplora"), "{}");
    int shown = 0;
    const auto script = WhenPackWindowShown([&](TfrmSelectPack *aoPack) {
        ++shown;
        aoPack->imgPack2Click();
    });
    const auto frm = StartUpWithPortraitFile(Path("bad.vuplora"));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(giPackIndex, 2);
    EXPECT_EQ(moErrors, QStringList{QStringLiteral("Not a portrait file: \"format\" is missing.")});
}

TEST_F(TPortraitFileTest, ABadBubbleDocumentAtStartUpNamesTheFileAndThePart)
{
    TPortrait portrait;
    {
        auto frm = NewWindow();
        portrait = frm->CapturePortrait();
    }
    portrait.Bubble.Document = "<svg";
    WriteAll(Path("bubble.vuplora"), WritePortrait(portrait));
    const auto frm = StartUpWithPortraitFile(Path("bubble.vuplora"));
    ASSERT_EQ(moErrors.size(), 1);
    EXPECT_TRUE(moErrors[0].startsWith(QStringLiteral(
        "The portrait file 'bubble.vuplora' was not opened: its speech bubble document is not valid: XML error at offset")))
        << moErrors[0].toStdString();
}

TEST_F(TPortraitFileTest, AHeadlessPortraitIsWhatTheEditorShowsForTheSameComposition)
{
    auto frm = NewWindow();
    const TPortrait seeded = SeededPortrait(*goFaceRes, 42);
    EXPECT_TRUE(frm->ApplyPortrait(seeded).isEmpty());
    const QImage editor = frm->PortraitPicture(1.0);
    const QImage headless = RenderPortrait(*goFaceRes, seeded);
    ASSERT_EQ(headless.size(), editor.size());
    EXPECT_EQ(headless.convertToFormat(QImage::Format_ARGB32_Premultiplied), editor);
}

} // namespace
