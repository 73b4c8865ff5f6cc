// Every way to a portrait ends at the same picture: the browser and strokes,
// the keys, undo and redo, a portrait file opened in another window, and the
// windowless composing of the portrait's value; what the window saves and
// copies is what its canvas shows; and the window's random portrait of a seed
// is the picture `vuplora portrait` composes for it.

#include "editortestsupport.h"

#include "compose/untVuploraHeadless.h"
#include "editor/untVuploraBrowser.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraUndo.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr quint64 SEED = 7;

class TPathsTest : public TEditorTest {
protected:
    // A window showing the random portrait of aiSeed, its history empty.
    std::unique_ptr<TfrmVuplora> NewWindow(quint64 aiSeed)
    {
        auto frm = std::make_unique<TfrmVuplora>();
        frm->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frm.get()));
        frm->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frm.get()));
        frm->RandomPortrait(aiSeed, true);
        frm->FHistory->Reset();
        return frm;
    }
};

// The canvas as the window draws it, at arScale pixels per canvas unit,
// without the bubble's selection and buttons: they are no part of the portrait.
QImage CanvasShown(TfrmVuplora &aoFrm, qreal arScale)
{
    TPaopaoFrame *frame = aoFrm.slCanvas->slPaopao;
    const bool selection = frame->SelectionShown();
    const bool close = frame->imgPaopaoClose->isVisible();
    const bool edit = frame->imgPaopaoEdit->isVisible();
    frame->SetSelectionShown(false);
    frame->imgPaopaoClose->setVisible(false);
    frame->imgPaopaoEdit->setVisible(false);
    const QImage shown = aoFrm.slCanvas->MakeScreenshot(arScale);
    frame->SetSelectionShown(selection);
    frame->imgPaopaoClose->setVisible(close);
    frame->imgPaopaoEdit->setVisible(edit);
    return shown;
}

// The saved file and the clipboard hold what the canvas shows, with the
// bubble selected or not; the picture at twice the scale is the canvas drawn
// at twice the scale.
void ExpectSavedAndCopiedAsShown(TfrmVuplora &aoFrm, TFakePlatform &aoFake, const QString &asFile)
{
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "bubble selected" : "bubble not selected");
        if (selected && aoFrm.slCanvas->slPaopao->isVisible())
            aoFrm.slPaopaoClick(aoFrm.slCanvas->slPaopao);
        aoFake.SaveDialog.ChosenFile = asFile;
        QFile::remove(asFile);
        aoFrm.imgTabSaveClick();
        const QImage saved(asFile);
        ASSERT_FALSE(saved.isNull());
        EXPECT_EQ(Premultiplied(saved), CanvasShown(aoFrm, aoFrm.devicePixelRatioF()));
        aoFrm.CopyPicture();
        const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
        ASSERT_TRUE(clip);
        EXPECT_EQ(Premultiplied(QImage::fromData(clip->data(QStringLiteral("image/png")), "PNG")),
                  CanvasShown(aoFrm, 1));
        EXPECT_EQ(aoFrm.PortraitPicture(2), CanvasShown(aoFrm, 2));
    }
}

// One state: an item of a category, optionally coloured, nudged, with the
// bubble's text, and the watermark moved.
struct TState {
    const char *Name;
    TYPE_FACE_ITEM Type;
    int Item;
    quint32 Color;
    int Nudge;
    const char *Text;
    bool MoveWatermark;
};

void Key(TfrmVuplora &aoFrm, Qt::Key aeKey)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == &aoFrm ? focus : &aoFrm, aeKey);
}

qint32 ItemOf(TfrmVuplora &aoFrm, TYPE_FACE_ITEM fiType)
{
    return aoFrm.slCanvas->FaceItemHolder(fiType)->FaceItem()->miIndex;
}

// What follows the choice of the item, the same on both paths.
void Finish(TfrmVuplora &aoFrm, const TState &aoState, bool abKeys)
{
    if (aoState.Color != 0)
        aoFrm.ApplyColor(aoState.Color);
    for (int i = 0; i < std::abs(aoState.Nudge); ++i) {
        if (abKeys) {
            Key(aoFrm, aoState.Nudge > 0 ? Qt::Key_Down : Qt::Key_Up);
        } else {
            const QPointF from(300, 500);
            DragOnCanvas(aoFrm.slCanvas, from, from + QPointF(0, aoState.Nudge > 0 ? 30 : -30));
        }
    }
    if (aoState.Text) {
        const auto answer = AnswerDialog(QString::fromUtf8(aoState.Text), true);
        if (abKeys)
            Key(aoFrm, Qt::Key_Return);
        else
            aoFrm.imgPaopaoEditClick(aoFrm.slCanvas->slPaopao->imgPaopaoEdit);
    }
    if (aoState.MoveWatermark) {
        aoFrm.slCanvas->imgIcon->setPos(40, 900);
        aoFrm.imgIconMouseUp(aoFrm.slCanvas->imgIcon, Qt::LeftButton, 0, 0);
    }
}

void ByBrowser(TfrmVuplora &aoFrm, const TState &aoState)
{
    aoFrm.TabClick(aoState.Type);
    RunReportingErrors([&] { aoFrm.changeBoxItemClick(aoFrm.changeBox, aoFrm.changeBox->item(aoState.Item)); });
    Finish(aoFrm, aoState, false);
}

void ByKeys(TfrmVuplora &aoFrm, const TState &aoState)
{
    for (int i = 0; i < FACE_ITEM_TYPE_COUNT && aoFrm.CurrentCategory() != aoState.Type; ++i)
        Key(aoFrm, Qt::Key_Tab);
    ASSERT_EQ(aoFrm.CurrentCategory(), aoState.Type);
    for (int i = 0; i <= aoFrm.changeBox->count(); ++i) {
        Key(aoFrm, Qt::Key_Right);
        if (ItemOf(aoFrm, aoState.Type) == aoState.Item)
            break;
    }
    ASSERT_EQ(ItemOf(aoFrm, aoState.Type), aoState.Item);
    Finish(aoFrm, aoState, true);
}

TEST_F(TPathsTest, EveryPathToAPortraitEndsAtTheSamePicture)
{
    QTemporaryDir dir;
    const TState states[] = {
        {"hair, slid in", fiHair, 2, 0, 0, nullptr, false},
        {"hair in a colour", fiHair, 1, 0xFFD22A2A, 0, nullptr, false},
        {"face, its colour stored but not shown", fiFace, 1, 0xFF2A2AD2, 0, nullptr, false},
        {"eyes nudged down", fiEye, 1, 0, 3, nullptr, false},
        {"mouth nudged up, the watermark moved", fiMouth, 0, 0, -2, nullptr, true},
        {"emoji over the features", fiEmoji, 1, 0, 0, nullptr, false},
        {"glasses", fiGlasses, 1, 0xFF20A040, 0, nullptr, false},
        {"background and its face", fiBG, 1, 0, 0, nullptr, false},
        {"foreground", fiFG, 1, 0, 0, nullptr, false},
        {"body", fiHand, 1, 0, 0, nullptr, false},
        {"nose", fiNose, 1, 0, 0, nullptr, false},
        {"brows in a colour", fiBrow, 1, 0xFF6A3A10, 0, nullptr, false},
        {"a bubble with text", fiPaopao, 1, 0, 0, "Same picture", false},
    };
    // The editor has one window at a time: each path runs in a window of its own.
    for (const TState &state : states) {
        SCOPED_TRACE(state.Name);
        const QString file = dir.filePath(QStringLiteral("state.vuplora"));
        QImage picture;
        TPortrait value;
        {
            auto browser = NewWindow(SEED);
            const QImage start = browser->PortraitPicture(1.0);
            ByBrowser(*browser, state);
            picture = browser->PortraitPicture(1.0);
            value = browser->CapturePortrait();
            ASSERT_NE(picture, start);
            ASSERT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');

            while (browser->FHistory->CanUndo())
                browser->FHistory->Undo();
            EXPECT_EQ(browser->PortraitPicture(1.0), start);
            while (browser->FHistory->CanRedo())
                browser->FHistory->Redo();
            EXPECT_EQ(browser->PortraitPicture(1.0), picture);
            EXPECT_TRUE(browser->CapturePortrait() == value);
            browser->SavePortraitFile(file);
        }
        {
            auto keys = NewWindow(SEED);
            ByKeys(*keys, state);
            EXPECT_EQ(keys->PortraitPicture(1.0), picture);
            EXPECT_TRUE(keys->CapturePortrait() == value);
        }
        auto opened = NewWindow(SEED + 1);
        opened->OpenPortraitFile(file);
        EXPECT_EQ(opened->PortraitPicture(1.0), picture);
        EXPECT_TRUE(opened->CapturePortrait() == value);

        EXPECT_EQ(RenderPortrait(*goFaceRes, value), picture);
        ExpectSavedAndCopiedAsShown(*opened, moFake, dir.filePath(QStringLiteral("state.png")));
        EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
    }
}

TEST_F(TPathsTest, TheWindowsRandomPortraitOfASeedIsWhatThePortraitCommandComposes)
{
    for (quint64 seed : {quint64(0), SEED, quint64(123456789)}) {
        SCOPED_TRACE(seed);
        QImage rolledPicture;
        qint32 background = 0;
        {
            // A roll keeps the background and takes the seed's picks for the rest.
            auto rolled = NewWindow(seed + 1);
            const TPortrait seeded = SeededPortrait(*goFaceRes, seed);
            background = seeded.Layers[fiBG].Index;
            rolled->TabClick(fiBG);
            rolled->changeBoxItemClick(nullptr, rolled->changeBox->item(background));
            rolled->RandomPortrait(seed, false);
            rolledPicture = rolled->PortraitPicture(1.0);
        }
        auto frm = NewWindow(seed);
        // What `vuplora portrait --seed` writes for the pack.
        const QImage command = RenderPortrait(*goFaceRes, SeededPortrait(*goFaceRes, seed));
        EXPECT_EQ(frm->PortraitPicture(1.0), command);
        EXPECT_EQ(rolledPicture, command);
    }
}

} // namespace
