// Undo and redo of the portrait: every kind of step comes back exactly (the
// canvas's pixels and what the layers hold), a random portrait is one step,
// going back to the pack choice forgets the history, a long history survives
// reloaded faces and new bubbles, and undo waits for a running slide.

#include "editortestsupport.h"

#include "assets/untVuploraPaopaoDoc.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraUndo.h"

#include <QTest>
#include <QTimer>

namespace {

class TUndoTest : public TEditorTest {
public:
    void SetUp() override
    {
        TEditorTest::SetUp();
        NewWindow();
    }
    void NewWindow()
    {
        mFrm.reset();
        mFrm = std::make_unique<TfrmVuplora>();
        mFrm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(mFrm.get()));
    }
    void TearDown() override
    {
        mFrm.reset();
        TEditorTest::TearDown();
    }
    TfrmVuplora &W() { return *mFrm; }
    TLayerCanvas *C() { return mFrm->slCanvas; }
    void Choose(int aiRow)
    {
        RunReportingErrors([&] { mFrm->changeBoxItemClick(mFrm->changeBox, mFrm->changeBox->item(aiRow)); });
    }
    // A row of the current browser other than the layer's own item.
    int OtherRow(TYPE_FACE_ITEM fiType)
    {
        return (C()->FaceItemHolder(fiType)->FaceItem()->miIndex + 1) % mFrm->changeBox->count();
    }
    void ChooseBubble(int aiItem)
    {
        mFrm->imgTabPaopaoClick();
        Choose(aiItem);
    }

    std::unique_ptr<TfrmVuplora> mFrm;
};

struct TSnapshot {
    QImage Pixels;
    TPortraitState State;
};

// The picture as a save writes it (without the bubble's selection, which is
// not a part of the portrait) and what the window holds.
TSnapshot Snap(TfrmVuplora &aoFrm)
{
    TPaopaoFrame *frame = aoFrm.slCanvas->slPaopao;
    const bool selection = frame->SelectionShown();
    const bool close = frame->imgPaopaoClose->isVisible();
    const bool edit = frame->imgPaopaoEdit->isVisible();
    frame->SetSelectionShown(false);
    frame->imgPaopaoClose->setVisible(false);
    frame->imgPaopaoEdit->setVisible(false);
    TSnapshot snap{aoFrm.slCanvas->MakeScreenshot(), {}};
    frame->SetSelectionShown(selection);
    frame->imgPaopaoClose->setVisible(close);
    frame->imgPaopaoEdit->setVisible(edit);
    snap.State = CapturePortrait(aoFrm);
    return snap;
}

void ExpectShows(const TSnapshot &aoNow, const TSnapshot &aoExpected, const char *asWhen)
{
    SCOPED_TRACE(asWhen);
    EXPECT_TRUE(aoNow.Pixels == aoExpected.Pixels);
    EXPECT_TRUE(SamePicture(aoNow.State, aoExpected.State));
    EXPECT_EQ(aoNow.State.Portrait.Bubble.Text, aoExpected.State.Portrait.Bubble.Text);
    EXPECT_EQ(aoNow.State.Portrait.Bubble.ConfirmedText, aoExpected.State.Portrait.Bubble.ConfirmedText);
}

TEST_F(TUndoTest, EveryKindOfStepIsUndoneAndRedoneExactly)
{
    const struct {
        const char *Name;
        std::function<void(TUndoTest &)> Prepare;
        std::function<void(TUndoTest &)> Step;
    } steps[] = {
        {"item chosen in the browser", [](TUndoTest &t) { t.W().imgTabHandClick(); },
         [](TUndoTest &t) { t.Choose(t.OtherRow(fiHand)); }},
        {"sliding item chosen in the browser", [](TUndoTest &t) { t.W().imgTabHairClick(); },
         [](TUndoTest &t) { t.Choose(t.OtherRow(fiHair)); }},
        {"emoji chosen, features hidden", [](TUndoTest &t) { t.W().imgTabEmojiClick(); },
         [](TUndoTest &t) { t.Choose(1); }},
        {"background chosen, face reloaded", [](TUndoTest &t) { t.W().imgTabBKGClick(); },
         [](TUndoTest &t) { t.Choose(t.OtherRow(fiBG)); }},
        {"item stepped by a stroke",
         [](TUndoTest &t) {
             t.W().imgTabFaceClick();
             t.W().changeBox->setCurrentRow(giFaceIndex);
         },
         [](TUndoTest &t) {
             t.W().slCanvasMouseDown(t.C(), Qt::LeftButton, 400, 500);
             t.W().slCanvasMouseUp(t.C(), Qt::LeftButton, 300, 500);
         }},
        {"colour", [](TUndoTest &t) { t.W().imgTabHairClick(); },
         [](TUndoTest &t) { t.W().imgColor1Click(t.W().rgColor->imgColor[4]); }},
        {"nudge", [](TUndoTest &t) { t.W().imgTabMouthClick(); },
         [](TUndoTest &t) {
             t.W().slCanvasMouseDown(t.C(), Qt::LeftButton, 300, 500);
             t.W().slCanvasMouseUp(t.C(), Qt::LeftButton, 300, 470);
         }},
        {"random portrait", nullptr,
         [](TUndoTest &t) {
             // The test pack is small: a roll may repeat the portrait shown.
             const int steps = t.W().FHistory->Count();
             for (int i = 0; i < 20 && t.W().FHistory->Count() == steps; ++i)
                 t.W().imgTabRandomClick();
         }},
        {"bubble chosen", nullptr, [](TUndoTest &t) { t.ChooseBubble(1); }},
        {"another bubble chosen", [](TUndoTest &t) { t.ChooseBubble(1); }, [](TUndoTest &t) { t.Choose(2); }},
        {"bubble moved", [](TUndoTest &t) { t.ChooseBubble(1); },
         [](TUndoTest &t) { DragOnCanvas(t.C(), QPointF(540, 400), QPointF(500, 600)); }},
        {"bubble resized", [](TUndoTest &t) { t.ChooseBubble(1); },
         [](TUndoTest &t) { DragOnCanvas(t.C(), QPointF(640, 500), QPointF(600, 700)); }},
        {"bubble text edited", [](TUndoTest &t) { t.ChooseBubble(1); },
         [](TUndoTest &t) {
             const auto answer = AnswerDialog(QStringLiteral("Hello there"), true);
             t.W().imgPaopaoEditClick(nullptr);
         }},
        {"bubble closed", [](TUndoTest &t) {
             t.ChooseBubble(1);
             t.W().slPaopaoClick(nullptr);
         },
         [](TUndoTest &t) { t.W().imgPaopaoCloseClick(nullptr); }},
        {"watermark moved", nullptr,
         [](TUndoTest &t) {
             TLayerImage *icon = t.C()->imgIcon;
             t.W().imgIconMouseDown(icon, Qt::LeftButton, 10, 10);
             t.W().imgIconMouseMove(icon, 110, 60);
             t.W().imgIconMouseUp(icon, Qt::LeftButton, 110, 60);
         }},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.Name);
        NewWindow();
        if (s.Prepare)
            s.Prepare(*this);
        const int count = W().FHistory->Count();
        const TSnapshot before = Snap(W());

        s.Step(*this);
        const TSnapshot after = Snap(W());
        ASSERT_FALSE(SamePicture(before.State, after.State));
        EXPECT_EQ(W().FHistory->Count(), count + 1);

        W().FHistory->Undo();
        ExpectShows(Snap(W()), before, "undone");
        W().FHistory->Redo();
        ExpectShows(Snap(W()), after, "redone");
        W().FHistory->Undo();
        ExpectShows(Snap(W()), before, "undone again");
        EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
    }
}

TEST_F(TUndoTest, UndoShowsTheLayerItChangedInTheBrowserAndColourPicker)
{
    W().imgTabHairClick();
    const int hair = C()->imgHair->FaceItem()->miIndex;
    const quint32 colour = C()->imgHair->FaceItem()->miColor;
    Choose(OtherRow(fiHair));
    W().imgColor1Click(W().rgColor->imgColor[6]);
    W().imgTabEyesClick();

    W().FHistory->Undo();
    EXPECT_EQ(W().FCurrentTab, W().rgtToolbar->imgTabHair);
    EXPECT_EQ(W().rgColor->cmbColor->Color(), colour);
    W().FHistory->Undo();
    EXPECT_EQ(W().changeBox->currentRow(), hair);
    EXPECT_EQ(C()->imgHair->FaceItem()->miIndex, hair);
    EXPECT_FALSE(W().FHistory->CanUndo());
}

TEST_F(TUndoTest, ALongHistoryWithReloadedFacesAndNewBubblesComesBackStepByStep)
{
    // More steps than keep their pictures: the oldest are loaded from the pack
    // again when they come back.
    std::vector<TSnapshot> shown{Snap(W())};
    const std::function<void()> steps[] = {
        [&] { W().imgTabBKGClick(); Choose(OtherRow(fiBG)); },
        [&] { W().imgTabFaceClick(); Choose(OtherRow(fiFace)); },
        [&] { W().imgTabHandClick(); Choose(OtherRow(fiHand)); },
        [&] { W().imgColor1Click(W().rgColor->imgColor[3 + int(shown.size() % 5)]); },
        [&] { ChooseBubble(1 + int(shown.size() % 2)); },
        [&] { DragOnCanvas(C(), QPointF(200, 200), QPointF(220, 240)); },
    };
    // Whether a step records depends on the random portrait it starts from (a
    // colour or bubble already shown is no step), so go on until the history is
    // long enough.
    const size_t wanted = size_t(TPortraitHistory::STEPS_WITH_PICTURES + 6);
    for (int round = 0; round < 20 && shown.size() < wanted; ++round)
        for (const auto &step : steps) {
            const int count = W().FHistory->Count();
            step();
            if (W().FHistory->Count() > count)
                shown.push_back(Snap(W()));
        }
    ASSERT_GT(shown.size(), size_t(TPortraitHistory::STEPS_WITH_PICTURES + 5));
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');

    for (size_t i = shown.size() - 1; i > 0; --i) {
        SCOPED_TRACE(i);
        W().FHistory->Undo();
        ExpectShows(Snap(W()), shown[i - 1], "undone");
    }
    EXPECT_FALSE(W().FHistory->CanUndo());
    for (size_t i = 1; i < shown.size(); ++i) {
        SCOPED_TRACE(i);
        W().FHistory->Redo();
        ExpectShows(Snap(W()), shown[i], "redone");
    }
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TUndoTest, ANewStepAfterUndoDropsTheStepsUndoneAndNothingChangedIsNoStep)
{
    W().imgTabHandClick();
    Choose(OtherRow(fiHand));
    W().FHistory->Undo();
    W().imgTabMouthClick();
    W().NudgeLayer(1);
    EXPECT_FALSE(W().FHistory->CanRedo());
    EXPECT_EQ(W().FHistory->Count(), 1);

    // The item shown chosen again, the frame clicked without a drag, the
    // hair's own colour again: nothing to undo.
    W().imgTabHairClick();
    Choose(C()->imgHair->FaceItem()->miIndex);
    W().ApplyColor(C()->imgHair->FaceItem()->miColor);
    EXPECT_EQ(W().FHistory->Count(), 1);
}

TEST_F(TUndoTest, BackToThePackChoiceForgetsTheHistory)
{
    W().imgTabHandClick();
    Choose(OtherRow(fiHand));
    ASSERT_TRUE(W().FHistory->CanUndo());
    const auto script = WhenPackWindowShown([](TfrmSelectPack *aoPack) { aoPack->close(); });
    RunReportingErrors([&] { W().imgTabBackClick(); });
    EXPECT_FALSE(W().FHistory->CanUndo());
    const TSnapshot now = Snap(W());
    W().FHistory->Undo();
    ExpectShows(Snap(W()), now, "after an undo with nothing to undo");
}

TEST_F(TUndoTest, UndoDuringASlideWaitsForTheStepToEnd)
{
    W().imgTabHairClick();
    const int hair = OtherRow(fiHair);
    bool undoTried = false;
    QTimer::singleShot(100, [&] {
        undoTried = W().FChanging;
        W().FHistory->Undo();
        QTest::keyClick(&W(), Qt::Key_Z, Qt::ControlModifier);
    });
    Choose(hair);
    ASSERT_TRUE(undoTried);
    EXPECT_EQ(C()->imgHair->FaceItem()->miIndex, hair);
    EXPECT_EQ(C()->imgHair->Bitmap(), TestPackItem(1, fiHair, hair));
    EXPECT_EQ(C()->imgHair->x(), FACE_ITEM_RECTS[fiHair].x());
    EXPECT_TRUE(W().FHistory->CanUndo());
}

} // namespace
