#include "editor/untVuploraMenu.h"

#include "editor/untVuploraAvatar.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraKeyboard.h"
#include "editor/untVuploraLocks.h"
#include "editor/untVuploraPortraitFile.h"
#include "editor/untVuploraUndo.h"
#include "platform_ui/errorreport.h"
#include "platform/resources.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QShortcut>
#include <QVBoxLayout>

#include <functional>

namespace {

struct TText {
    const char *English;
    const char *Chinese;
};

QString Text(const TText &aoText, bool abLangCN)
{
    return QString::fromUtf8(abLangCN ? aoText.Chinese : aoText.English);
}

// The menu shows keys after a tab; the keys themselves are the window's
// shortcuts, so the menu does not register them a second time.
QAction *AddEntry(QMenu *aoMenu, const char *asName, const QString &asText, TEditorCommand aeCommand,
                  std::function<void()> aoAction)
{
    QAction *action = aoMenu->addAction(asText + u'\t' + CommandKeyText(aeCommand));
    action->setObjectName(QLatin1String(asName));
    QObject::connect(action, &QAction::triggered, aoMenu, Reporting(std::move(aoAction)));
    return action;
}

// Shows the menu for a right click on the canvas.
class TCanvasMenu : public QObject {
public:
    explicit TCanvasMenu(TfrmVuplora *aoWindow) : QObject(aoWindow), moWindow(aoWindow) {}

    bool eventFilter(QObject *, QEvent *aoEvent) override
    {
        if (aoEvent->type() != QEvent::ContextMenu)
            return false;
        Popup(moWindow, static_cast<QContextMenuEvent *>(aoEvent)->globalPos());
        return true;
    }

    static void Popup(TfrmVuplora *aoWindow, const QPoint &aoGlobal)
    {
        QPointer<QMenu> menu = CreateEditorMenu(aoWindow);
        menu->exec(aoGlobal);
        delete menu;
    }

private:
    TfrmVuplora *moWindow;
};

} // namespace

QString StepDisplayName(const QString &asStep, bool abLangCN)
{
    static const QList<std::pair<const char *, TText>> steps = {
        {"Close bubble", {"close the bubble", "关闭气泡"}},
        {"Colour", {"colour", "颜色"}},
        {"Edit bubble text", {"edit the bubble text", "编辑气泡文字"}},
        {"Move bubble", {"move the bubble", "移动气泡"}},
        {"Move watermark", {"move the watermark", "移动水印"}},
        {"Nudge", {"move the layer", "移动图层"}},
        {"Open portrait", {"open portrait", "打开头像"}},
        {"Random portrait", {"random portrait", "随机头像"}},
        {"Stroke", {"swipe", "滑动"}},
    };
    for (const auto &[step, text] : steps)
        if (asStep == QLatin1String(step))
            return Text(text, abLangCN);
    const QString choose = QStringLiteral("Choose ");
    if (asStep.startsWith(choose))
        for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
            if (asStep.mid(choose.size()) == QLatin1String(FACE_ITEM_NAMES[t]))
                return (abLangCN ? QStringLiteral("选择") : QStringLiteral("choose "))
                       + LayerDisplayName(TYPE_FACE_ITEM(t), abLangCN);
    return asStep;
}

QMenu *CreateEditorMenu(TfrmVuplora *aoWindow)
{
    using C = TEditorCommand;
    TfrmVuplora *w = aoWindow;
    const bool cn = gbLangCN;
    auto *menu = new QMenu(aoWindow);
    menu->setObjectName(QStringLiteral("mnuEditor"));

    const auto stepEntry = [&](const char *asName, const TText &aoLabel, const QString &asStep, C aeCommand,
                               std::function<void()> aoAction) {
        QString text = Text(aoLabel, cn);
        if (!asStep.isEmpty())
            text += (cn ? QStringLiteral("：") : QStringLiteral(": ")) + StepDisplayName(asStep, cn);
        QAction *action = AddEntry(menu, asName, text, aeCommand, std::move(aoAction));
        action->setEnabled(!asStep.isEmpty());
    };
    stepEntry("actUndo", {"Undo", "撤销"}, w->FHistory->UndoText(), C::Undo, [w] { w->FHistory->Undo(); });
    stepEntry("actRedo", {"Redo", "重做"}, w->FHistory->RedoText(), C::Redo, [w] { w->FHistory->Redo(); });
    menu->addSeparator();
    AddEntry(menu, "actOpenPortrait", Text({"Open portrait...", "打开头像..."}, cn), C::OpenPortrait,
             [w] { w->imgOpenPortraitClick(); });
    AddEntry(menu, "actSavePortrait", Text({"Save portrait...", "保存头像..."}, cn), C::SavePortrait,
             [w] { w->imgSavePortraitClick(); });
    AddEntry(menu, "actSavePicture", Text({"Save picture...", "保存图片..."}, cn), C::SavePicture,
             [w] { w->imgTabSaveClick(); });
    AddEntry(menu, "actCopyPicture", Text({"Copy picture", "复制图片"}, cn), C::CopyPicture,
             [w] { w->CopyPicture(); });
    AddEntry(menu, "actExportAvatar", Text({"Export avatar...", "导出头像图标..."}, cn), C::ExportAvatar,
             [w] { ShowAvatarDialog(w); });
    menu->addSeparator();
    QAction *colors = AddEntry(menu, "actShowColors", Text({"Show colours", "显示颜色"}, cn), C::ShowColors,
                               [w] { w->SetColorsShown(!w->ColorsShown()); });
    colors->setCheckable(true);
    colors->setChecked(w->ColorsShown());
    const TYPE_FACE_ITEM current = w->CurrentCategory();
    QAction *lock = AddEntry(menu, "actLock", Text({"Lock this layer", "锁定此图层"}, cn), C::Lock,
                             [w, current] { w->FLocks->Toggle(current); });
    lock->setCheckable(true);
    lock->setChecked(w->FLocks->Locked(current));
    lock->setEnabled(TLayerLocks::Lockable(current));
    AddEntry(menu, "actRandom", Text({"Random portrait", "随机头像"}, cn), C::Random,
             [w] { w->imgTabRandomClick(); });
    menu->addSeparator();
    AddEntry(menu, "actWeb", Text({"Visit the web site", "访问网站"}, cn), C::Web, [w] { w->imgTabWebClick(); });
    AddEntry(menu, "actAbout", Text({"About Vuplora", "关于维普乐"}, cn), C::About,
             [w] { ShowAbout(w, gbLangCN); });

    // A slide in progress owns the portrait until it ends.
    if (w->FChanging)
        for (QAction *action : menu->actions())
            action->setEnabled(false);
    return menu;
}

void InstallEditorMenu(TfrmVuplora *aoWindow)
{
    auto *canvasMenu = new TCanvasMenu(aoWindow);
    aoWindow->slCanvas->viewport()->installEventFilter(canvasMenu);
    const auto popupHere = [aoWindow] {
        // At the pointer when it is over the window, else over the canvas.
        QPoint at = QCursor::pos();
        if (!aoWindow->rect().contains(aoWindow->mapFromGlobal(at)))
            at = aoWindow->slCanvas->mapToGlobal(aoWindow->slCanvas->rect().center());
        TCanvasMenu::Popup(aoWindow, at);
    };
    for (const QKeySequence &keys : CommandKeys(TEditorCommand::Menu)) {
        auto *shortcut = new QShortcut(keys, aoWindow);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, aoWindow, popupHere);
    }
    for (const QKeySequence &keys : CommandKeys(TEditorCommand::About)) {
        auto *shortcut = new QShortcut(keys, aoWindow);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, aoWindow, [aoWindow] { ShowAbout(aoWindow, gbLangCN); });
    }
}

QString AboutText(bool abLangCN)
{
    const QString version = QStringLiteral(VUPLORA_VERSION);
    return abLangCN ? QStringLiteral("维普乐 %1\n用现成的部件拼出卡通头像。").arg(version)
                    : QStringLiteral("Vuplora %1\nCartoon portraits composed from ready-made parts.").arg(version);
}

void ShowAbout(QWidget *aoParent, bool abLangCN)
{
    QDialog dialog(aoParent);
    dialog.setObjectName(QStringLiteral("dlgAbout"));
    dialog.setWindowTitle(abLangCN ? QStringLiteral("关于维普乐") : QStringLiteral("About Vuplora"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(AboutText(abLangCN), &dialog);
    label->setObjectName(QStringLiteral("lblAbout"));
    layout->addWidget(label);
    auto *credits = new QPlainTextEdit(&dialog);
    credits->setObjectName(QStringLiteral("memCredits"));
    credits->setReadOnly(true);
    credits->setPlainText(QString::fromUtf8(ResourceProvider().Open(QStringLiteral("NOTICE"))));
    credits->setMinimumSize(560, 360);
    layout->addWidget(credits);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}
