// The editor's keyboard: every shortcut does what its pointer twin does,
// wherever the focus is in the window; the text dialog keeps its own keys;
// layer locks keep layers through random portraits and go with back; the
// toolbar's tooltips in both interface languages.

#include "editortestsupport.h"

#include "assets/untVuploraPaopaoDoc.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraLocks.h"
#include "editor/untVuploraPaopao.h"
#include "editor/untVuploraUndo.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

class TKeysTest : public TEditorTest {
public:
    void SetUp() override
    {
        TEditorTest::SetUp();
        NewWindow();
    }
    void NewWindow()
    {
        mScript.reset();
        mFrm.reset();
        mFrm = std::make_unique<TfrmVuplora>();
        ShowActive(mFrm.get());
    }
    void TearDown() override
    {
        mScript.reset();
        mFrm.reset();
        TEditorTest::TearDown();
    }
    // A key as the user types it: to whatever has the focus in the window.
    void Key(Qt::Key aeKey, Qt::KeyboardModifiers aeModifiers = Qt::NoModifier)
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus && focus->window() == mFrm.get() ? focus : mFrm.get(), aeKey, aeModifiers);
    }
    TfrmVuplora &W() { return *mFrm; }
    TFakePlatform &Fake() { return moFake; }
    TLayerCanvas *C() { return mFrm->slCanvas; }
    void ChooseBubble(int aiItem)
    {
        W().imgTabPaopaoClick();
        RunReportingErrors([&] { W().changeBoxItemClick(nullptr, W().changeBox->item(aiItem)); });
    }

    std::unique_ptr<TfrmVuplora> mFrm;
    std::unique_ptr<QObject> mScript;
};

TEST_F(TKeysTest, EveryShortcutDoesWhatItsPointerTwinDoes)
{
    QTemporaryDir dir;
    moFake.SaveDialog.ChosenFile = dir.filePath(QStringLiteral("portrait.png"));
    const struct {
        const char *Name;
        std::function<void(TKeysTest &)> Prepare;
        Qt::Key Key;
        Qt::KeyboardModifiers Modifiers;
        std::function<void(TKeysTest &)> Check;
    } keys[] = {
        {"Right: next item",
         [](TKeysTest &t) {
             t.W().imgTabHandClick();
             t.W().changeBox->setCurrentRow(0);
         },
         Qt::Key_Right, {},
         [](TKeysTest &t) {
             EXPECT_EQ(t.W().changeBox->currentRow(), 1);
             EXPECT_EQ(t.C()->imgHand->Bitmap(), TestPackItem(1, fiHand, 1));
         }},
        {"Left: previous item, the last one before the first",
         [](TKeysTest &t) {
             t.W().imgTabMouthClick();
             t.W().changeBox->setCurrentRow(0);
         },
         Qt::Key_Left, {},
         [](TKeysTest &t) {
             EXPECT_EQ(t.W().changeBox->currentRow(), 2);
             EXPECT_EQ(t.C()->imgMouth->FaceItem()->miIndex, 2);
             EXPECT_EQ(t.C()->imgMouth->Bitmap(), TestPackItem(1, fiMouth, 2));
         }},
        {"Down: nudge down", [](TKeysTest &t) { t.W().imgTabEyesClick(); }, Qt::Key_Down, {},
         [](TKeysTest &t) { EXPECT_EQ(t.C()->imgEyes->y(), 217); }},
        {"Up: nudge up", [](TKeysTest &t) { t.W().imgTabEyesClick(); }, Qt::Key_Up, {},
         [](TKeysTest &t) { EXPECT_EQ(t.C()->imgEyes->y(), 215); }},
        {"Up: the hair does not move", [](TKeysTest &t) { t.W().imgTabHairClick(); }, Qt::Key_Up, {},
         [](TKeysTest &t) { EXPECT_EQ(t.C()->imgHair->y(), -130); }},
        {"Tab: next tab", [](TKeysTest &t) { t.W().imgTabHandClick(); }, Qt::Key_Tab, {},
         [](TKeysTest &t) {
             EXPECT_EQ(t.W().FCurrentTab, t.W().rgtToolbar->imgTabBKG);
             EXPECT_EQ(t.W().changeBox->Cell(0)->FaceItem()->moType, fiBG);
         }},
        {"Tab: after the last tab the first", [](TKeysTest &t) { t.W().imgTabFGClick(); }, Qt::Key_Tab, {},
         [](TKeysTest &t) { EXPECT_EQ(t.W().FCurrentTab, t.W().rgtToolbar->imgTabEmoji); }},
        {"Shift+Tab: previous tab", [](TKeysTest &t) { t.W().imgTabHandClick(); }, Qt::Key_Backtab,
         Qt::ShiftModifier, [](TKeysTest &t) { EXPECT_EQ(t.W().FCurrentTab, t.W().rgtToolbar->imgTabGlass); }},
        {"R: random portrait, one step", nullptr, Qt::Key_R, {},
         [](TKeysTest &t) {
             // A roll may repeat the portrait of the small test pack.
             for (int i = 0; i < 20 && !t.W().FHistory->CanUndo(); ++i)
                 QTest::keyClick(&t.W(), Qt::Key_R);
             EXPECT_EQ(t.W().FHistory->Count(), 1);
         }},
        {"Ctrl+S: save", [](TKeysTest &t) { t.Fake().SaveDialog.Shown = 0; }, Qt::Key_S, Qt::ControlModifier,
         [](TKeysTest &t) {
             EXPECT_EQ(t.Fake().SaveDialog.Shown, 1);
             EXPECT_EQ(QImage(t.Fake().SaveDialog.ChosenFile).size(), QSize(640, 1136));
         }},
        {"Delete: closes the bubble", [](TKeysTest &t) { t.ChooseBubble(1); }, Qt::Key_Delete, {},
         [](TKeysTest &t) {
             EXPECT_FALSE(t.C()->slPaopao->isVisible());
             EXPECT_TRUE(t.W().FHistory->CanUndo());
         }},
        {"Return: edits the bubble",
         [](TKeysTest &t) {
             t.ChooseBubble(1);
             t.mScript = AnswerDialog(QStringLiteral("Typed"), true);
         },
         Qt::Key_Return, {},
         [](TKeysTest &t) {
             EXPECT_TRUE(QString::fromUtf8(goPaopaoStream->data()).contains(QStringLiteral("Typed")));
             EXPECT_TRUE(t.W().FHistory->CanUndo());
         }},
        {"Enter: edits the bubble",
         [](TKeysTest &t) {
             t.ChooseBubble(1);
             t.mScript = AnswerDialog(QStringLiteral("Typed"), true);
         },
         Qt::Key_Enter, Qt::KeypadModifier,
         [](TKeysTest &t) {
             EXPECT_TRUE(QString::fromUtf8(goPaopaoStream->data()).contains(QStringLiteral("Typed")));
             EXPECT_TRUE(t.W().FHistory->CanUndo());
         }},
        {"L: locks the current tab", [](TKeysTest &t) { t.W().imgTabHairClick(); }, Qt::Key_L, {},
         [](TKeysTest &t) {
             EXPECT_TRUE(t.W().FLocks->Locked(fiHair));
             QTest::keyClick(&t.W(), Qt::Key_L, Qt::ControlModifier);
             EXPECT_FALSE(t.W().FLocks->Locked(fiHair));
         }},
        {"Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y: undo and redo",
         [](TKeysTest &t) {
             t.W().imgTabEyesClick();
             t.W().NudgeLayer(1);
         },
         Qt::Key_Z, Qt::ControlModifier,
         [](TKeysTest &t) {
             EXPECT_EQ(t.C()->imgEyes->y(), 216);
             QTest::keyClick(&t.W(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
             EXPECT_EQ(t.C()->imgEyes->y(), 217);
             QTest::keyClick(&t.W(), Qt::Key_Z, Qt::ControlModifier);
             QTest::keyClick(&t.W(), Qt::Key_Y, Qt::ControlModifier);
             EXPECT_EQ(t.C()->imgEyes->y(), 217);
         }},
    };
    // The browser is where a click leaves the focus; the canvas is the other
    // child that takes it.
    for (const char *focus : {"changeBox", "canvas"}) {
        for (const auto &k : keys) {
            SCOPED_TRACE(k.Name);
            SCOPED_TRACE(focus);
            NewWindow();
            if (focus == std::string("changeBox"))
                W().changeBox->setFocus();
            else
                C()->setFocus();
            if (k.Prepare)
                k.Prepare(*this);
            Key(k.Key, k.Modifiers);
            k.Check(*this);
            EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
        }
    }
}

TEST_F(TKeysTest, TheTextDialogKeepsItsKeysAndEscapeCancelsIt)
{
    ChooseBubble(1);
    const QByteArray document = goPaopaoStream->data();
    QString typed;
    bool stillOpen = false;
    mScript = WhenTextDialogShown([&](TfrmEditPaopao *aoDialog) {
        aoDialog->mmoText->clear();
        // Keys the editor has shortcuts for are text here.
        for (Qt::Key key : {Qt::Key_R, Qt::Key_L, Qt::Key_Return, Qt::Key_Tab})
            QTest::keyClick(aoDialog->mmoText, key);
        typed = aoDialog->mmoText->toPlainText();
        stillOpen = aoDialog->isVisible();
        QTest::keyClick(aoDialog->mmoText, Qt::Key_Escape);
    });
    Key(Qt::Key_Return);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(typed, QStringLiteral("rl\n\t"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(goPaopaoStream->data(), document);
    EXPECT_EQ(gsPaopaoText, QStringLiteral("What a day!"));
    // Choosing the bubble is the only step.
    EXPECT_EQ(W().FHistory->Count(), 1);
}

TEST_F(TKeysTest, LockedLayersKeepTheirItemsThroughRandomAndBackUnlocksThem)
{
    W().imgTabHairClick();
    Key(Qt::Key_L);
    // A right click on a tab toggles its lock too.
    QTest::mouseClick(W().rgtToolbar->imgTabFace, Qt::RightButton);
    W().imgColor1Click(W().rgColor->imgColor[5]);
    const QImage hair = C()->imgHair->Bitmap();
    const int face = giFaceIndex;
    ASSERT_TRUE(W().FLocks->Locked(fiHair));
    ASSERT_TRUE(W().FLocks->Locked(fiFace));
    EXPECT_TRUE(W().FLocks->Badge(fiHair)->isVisible());
    EXPECT_TRUE(W().FLocks->Badge(fiFace)->isVisible());
    EXPECT_FALSE(W().FLocks->Badge(fiEye)->isVisible());
    // The background is never rolled and has nothing to lock.
    W().imgTabBKGClick();
    Key(Qt::Key_L);
    EXPECT_FALSE(W().FLocks->Locked(fiBG));

    bool otherLayersRolled = false;
    const int eyes = C()->imgEyes->FaceItem()->miIndex;
    for (int i = 0; i < 20; ++i) {
        Key(Qt::Key_R);
        EXPECT_EQ(C()->imgHair->Bitmap(), hair);
        EXPECT_EQ(giFaceIndex, face);
        otherLayersRolled |= C()->imgEyes->FaceItem()->miIndex != eyes;
    }
    EXPECT_TRUE(otherLayersRolled);

    // A click on the badge unlocks.
    QTest::mouseClick(W().FLocks->Badge(fiFace), Qt::LeftButton);
    EXPECT_FALSE(W().FLocks->Locked(fiFace));
    EXPECT_FALSE(W().FLocks->Badge(fiFace)->isVisible());

    const auto script = WhenPackWindowShown([](TfrmSelectPack *aoPack) { aoPack->close(); });
    RunReportingErrors([&] { W().imgTabBackClick(); });
    EXPECT_FALSE(W().FLocks->Locked(fiHair));
    EXPECT_FALSE(W().FLocks->Badge(fiHair)->isVisible());
}

TEST_F(TKeysTest, EveryToolbarControlHasATooltipInTheInterfaceLanguage)
{
    const struct {
        const char *Lang;
        QString Save;
        QString Random;
        QString HairFirstLine;
    } languages[] = {
        {"en", QStringLiteral("Save the portrait (Ctrl+S)"), QStringLiteral("Random portrait (R)"),
         QStringLiteral("Hair")},
        {"zh", QStringLiteral("保存头像 (Ctrl+S)"), QStringLiteral("随机头像 (R)"), QStringLiteral("发型")},
    };
    for (const auto &l : languages) {
        SCOPED_TRACE(l.Lang);
        moFake.Locale.LangID = QLatin1String(l.Lang);
        NewWindow();
        TVuploraToolbar *bar = W().rgtToolbar;
        EXPECT_EQ(bar->imgTabSave->toolTip().section(u'\n', 0, 0), l.Save);
        EXPECT_EQ(bar->imgTabRandom->toolTip().section(u'\n', 0, 0), l.Random);
        // The commands reachable only by keys are named with them.
        for (const char *keys : {"Ctrl+Shift+S", "Ctrl+O", "Ctrl+C", "Ctrl+E", "Shift+F10"})
            EXPECT_TRUE(bar->imgTabSave->toolTip().contains(QLatin1String(keys))) << keys;
        for (const char *keys : {"Ctrl+Z", "Ctrl+Shift+Z"})
            EXPECT_TRUE(bar->imgTabRandom->toolTip().contains(QLatin1String(keys))) << keys;
        EXPECT_TRUE(bar->imgTabWeb->toolTip().contains(QStringLiteral("Ctrl+Shift+W")));
        EXPECT_EQ(bar->imgTabHair->toolTip().section(u'\n', 0, 0), l.HairFirstLine);
        EXPECT_TRUE(bar->imgTabHair->toolTip().contains(QStringLiteral("Tab / Shift+Tab")));
        EXPECT_TRUE(bar->imgTabHair->toolTip().contains(u'L'));
        for (TImageControl *control : bar->Controls()) {
            if (control == bar->img1 || control == bar->img2)
                continue;
            SCOPED_TRACE(control->objectName().toStdString());
            EXPECT_FALSE(control->toolTip().isEmpty());
        }
    }
}

} // namespace
