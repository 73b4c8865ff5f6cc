// The menu of every command (its entries, their keys, what is disabled when,
// both languages, how it is opened), the colour bar's switch that outlives the
// window, and where the picture save dialog opens.

#include "editortestsupport.h"

#include "editor/untVuploraForm.h"
#include "editor/untVuploraLocks.h"
#include "editor/untVuploraMenu.h"
#include "editor/untVuploraSettings.h"
#include "editor/untVuploraUndo.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class TMenuTest : public TEditorTest {
public:
    void NewWindow(const char *asLang = "en")
    {
        moFake.Locale.LangID = QLatin1String(asLang);
        mFrm.reset();
        mFrm = std::make_unique<TfrmVuplora>();
        ShowActive(mFrm.get());
    }
    void TearDown() override
    {
        mFrm.reset();
        TEditorTest::TearDown();
    }
    TfrmVuplora &W() { return *mFrm; }
    std::unique_ptr<QMenu> Menu() { return std::unique_ptr<QMenu>(CreateEditorMenu(mFrm.get())); }
    static QAction *Entry(QMenu &aoMenu, const char *asName)
    {
        return aoMenu.findChild<QAction *>(QLatin1String(asName));
    }
    static QString Label(QAction *aoAction) { return aoAction->text().section(u'\t', 0, 0); }
    static QString Keys(QAction *aoAction) { return aoAction->text().section(u'\t', 1); }

    std::unique_ptr<TfrmVuplora> mFrm;
};

const char *const ENTRIES[] = {"actUndo", "actRedo", "actOpenPortrait", "actSavePortrait", "actSavePicture",
                               "actCopyPicture", "actExportAvatar", "actShowColors", "actLock", "actRandom",
                               "actWeb", "actAbout"};

TEST_F(TMenuTest, EveryEntryNamesItsKeysInTheInterfaceLanguageAndUndoNamesTheStep)
{
    const struct {
        const char *Lang;
        const char *Undo;
        const char *UndoHair;
        const char *Redo;
        const char *Lock;
    } languages[] = {
        {"en", "Undo", "Undo: choose hair", "Redo: choose hair", "Lock this layer"},
        {"zh", "撤销", "撤销：选择发型", "重做：选择发型", "锁定此图层"},
    };
    for (const auto &l : languages) {
        SCOPED_TRACE(l.Lang);
        NewWindow(l.Lang);
        std::unique_ptr<QMenu> menu = Menu();
        for (const char *name : ENTRIES) {
            SCOPED_TRACE(name);
            QAction *entry = Entry(*menu, name);
            ASSERT_NE(entry, nullptr);
            EXPECT_FALSE(Keys(entry).isEmpty());
        }
        EXPECT_EQ(Keys(Entry(*menu, "actUndo")), QStringLiteral("Ctrl+Z"));
        EXPECT_EQ(Keys(Entry(*menu, "actRedo")), QStringLiteral("Ctrl+Shift+Z"));
        EXPECT_EQ(Keys(Entry(*menu, "actSavePortrait")), QStringLiteral("Ctrl+Shift+S"));
        EXPECT_EQ(Keys(Entry(*menu, "actOpenPortrait")), QStringLiteral("Ctrl+O"));
        // Nothing to undo or redo yet.
        EXPECT_EQ(Label(Entry(*menu, "actUndo")), QString::fromUtf8(l.Undo));
        EXPECT_FALSE(Entry(*menu, "actUndo")->isEnabled());
        EXPECT_FALSE(Entry(*menu, "actRedo")->isEnabled());

        W().imgTabHairClick();
        // Another hair than the random portrait's, so the choice is a step.
        const int pick = W().slCanvas->imgHair->FaceItem()->miIndex == 1 ? 2 : 1;
        RunReportingErrors([&] { W().changeBoxItemClick(nullptr, W().changeBox->item(pick)); });
        menu = Menu();
        EXPECT_EQ(Label(Entry(*menu, "actUndo")), QString::fromUtf8(l.UndoHair));
        EXPECT_TRUE(Entry(*menu, "actUndo")->isEnabled());
        EXPECT_EQ(Label(Entry(*menu, "actLock")), QString::fromUtf8(l.Lock));
        // The entries act: undo, then redo through the menu.
        Entry(*menu, "actUndo")->trigger();
        menu = Menu();
        EXPECT_EQ(Label(Entry(*menu, "actRedo")), QString::fromUtf8(l.Redo));
        EXPECT_FALSE(Entry(*menu, "actUndo")->isEnabled());
    }
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TMenuTest, TheLockFollowsTheTabAndASlideDisablesEverything)
{
    NewWindow();
    W().imgTabHairClick();
    std::unique_ptr<QMenu> menu = Menu();
    QAction *lock = Entry(*menu, "actLock");
    EXPECT_TRUE(lock->isEnabled());
    EXPECT_FALSE(lock->isChecked());
    lock->trigger();
    EXPECT_TRUE(W().FLocks->Locked(fiHair));
    EXPECT_TRUE(Entry(*Menu(), "actLock")->isChecked());

    // The bubble's tab cannot be locked.
    W().imgTabPaopaoClick();
    EXPECT_FALSE(Entry(*Menu(), "actLock")->isEnabled());

    W().FChanging = true;
    menu = Menu();
    for (QAction *entry : menu->actions())
        EXPECT_FALSE(entry->isEnabled()) << entry->text();
    W().FChanging = false;
}

// Closes the menu the moment it shows, recording its name.
std::unique_ptr<QTimer> WhenMenuShown(QString &asShown)
{
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [&asShown] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            asShown = popup->objectName();
            popup->close();
        }
    });
    timer->start(20);
    return timer;
}

TEST_F(TMenuTest, ARightClickOnTheCanvasTheMenuKeyAndShiftF10OpenTheMenu)
{
    NewWindow();
    const struct {
        const char *Way;
        std::function<void()> Open;
    } ways[] = {
        {"right click",
         [this] {
             QWidget *viewport = W().slCanvas->viewport();
             const QPoint at = viewport->rect().center();
             QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
             QApplication::sendEvent(viewport, &event);
         }},
        {"Menu", [this] { QTest::keyClick(mFrm.get(), Qt::Key_Menu); }},
        {"Shift+F10", [this] { QTest::keyClick(mFrm.get(), Qt::Key_F10, Qt::ShiftModifier); }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.Way);
        // The closed menu hands the focus back to the window.
        ShowActive(mFrm.get());
        QString shown;
        const std::unique_ptr<QTimer> closer = WhenMenuShown(shown);
        way.Open();
        EXPECT_EQ(shown, QStringLiteral("mnuEditor"));
    }
}

TEST_F(TMenuTest, ShowColoursShowsTheBarAndTheNextWindowRemembersIt)
{
    NewWindow();
    EXPECT_FALSE(W().rgColor->isVisible());
    Entry(*Menu(), "actShowColors")->trigger();
    EXPECT_TRUE(W().rgColor->isVisible());
    // The browser makes room for the bar.
    EXPECT_LE(W().plPreview->geometry().bottom(), W().rgColor->geometry().top());
    EXPECT_TRUE(Entry(*Menu(), "actShowColors")->isChecked());

    NewWindow();
    EXPECT_TRUE(W().rgColor->isVisible());
    QTest::keyClick(mFrm.get(), Qt::Key_C);
    EXPECT_FALSE(W().rgColor->isVisible());
    NewWindow();
    EXPECT_FALSE(W().rgColor->isVisible());
}

TEST_F(TMenuTest, ThePictureDialogOpensInThePicturesFolderThenWherePicturesWentLast)
{
    QTemporaryDir dir;
    moFake.SaveDialog.ChosenFile = dir.filePath(QStringLiteral("portrait.png"));
    const struct {
        const char *Lang;
        const char *Filter;
    } languages[] = {{"en", "PNG image|*.png"}, {"zh", "PNG 图像|*.png"}};
    for (const auto &l : languages) {
        SCOPED_TRACE(l.Lang);
        SetSettingPictureFolder(QString());
        NewWindow(l.Lang);
        W().imgTabSaveClick();
        EXPECT_EQ(moFake.SaveDialog.LastOptions.Filter, QString::fromUtf8(l.Filter));
        EXPECT_EQ(moFake.SaveDialog.LastOptions.InitialDir, moFake.Shell.Pictures);
        W().imgTabSaveClick();
        EXPECT_EQ(moFake.SaveDialog.LastOptions.InitialDir, dir.path());
    }
    // A folder that has gone since is not offered.
    SetSettingPictureFolder(dir.filePath(QStringLiteral("gone")));
    W().imgTabSaveClick();
    EXPECT_EQ(moFake.SaveDialog.LastOptions.InitialDir, moFake.Shell.Pictures);
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

} // namespace
