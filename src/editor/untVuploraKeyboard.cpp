#include "editor/untVuploraKeyboard.h"

#include "editor/untVuploraAvatar.h"
#include "editor/untVuploraCategories.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraLocks.h"
#include "editor/untVuploraPaopao.h"
#include "editor/untVuploraUndo.h"
#include "platform_ui/errorreport.h"

#include <QShortcut>

#include <functional>

namespace {

struct TKey {
    QKeySequence Keys;
    std::function<void(TfrmVuplora &)> Action;
};

bool BubbleShown(const TfrmVuplora &aoWindow)
{
    return aoWindow.slCanvas->slPaopao->isVisible();
}

// Keys of the strokes, the tabs and the bubble's buttons.
const QList<TKey> &GestureKeys();

QList<TKey> EditorKeys()
{
    using W = TfrmVuplora;
    using C = TEditorCommand;
    static const QList<std::pair<TEditorCommand, std::function<void(W &)>>> commands = {
        {C::Undo, [](W &w) { w.FHistory->Undo(); }},
        {C::Redo, [](W &w) { w.FHistory->Redo(); }},
        {C::Random, [](W &w) { w.imgTabRandomClick(); }},
        {C::SavePicture, [](W &w) { w.imgTabSaveClick(); }},
        {C::Lock, [](W &w) { w.FLocks->Toggle(w.CurrentCategory()); }},
        {C::ShowColors, [](W &w) { w.SetColorsShown(!w.ColorsShown()); }},
        {C::Web, [](W &w) { w.imgTabWebClick(); }},
        {C::ExportAvatar, [](W &w) { ShowAvatarDialog(&w); }},
    };
    QList<TKey> keys;
    for (const auto &[command, action] : commands)
        for (const QKeySequence &sequence : CommandKeys(command))
            keys.append({sequence, action});
    keys += GestureKeys();
    return keys;
}

const QList<TKey> &GestureKeys()
{
    using W = TfrmVuplora;
    static const QList<TKey> keys = {
        // Right goes on to the next item, as a stroke to the left does.
        {QKeySequence(Qt::Key_Right), [](W &w) { w.StepItem(1); }},
        {QKeySequence(Qt::Key_Left), [](W &w) { w.StepItem(-1); }},
        {QKeySequence(Qt::Key_Up), [](W &w) { w.NudgeLayer(-1); }},
        {QKeySequence(Qt::Key_Down), [](W &w) { w.NudgeLayer(1); }},
        {QKeySequence(Qt::Key_Tab), [](W &w) { w.StepTab(1); }},
        {QKeySequence(Qt::SHIFT | Qt::Key_Tab), [](W &w) { w.StepTab(-1); }},
        {QKeySequence(Qt::Key_Delete),
         [](W &w) {
             if (BubbleShown(w))
                 w.imgPaopaoCloseClick(w.slCanvas->slPaopao->imgPaopaoClose);
         }},
        // Enter does what the edit button does, where the button is offered.
        {QKeySequence(Qt::Key_Return),
         [](W &w) {
             if (BubbleShown(w) && !gsPaopaoText.isEmpty())
                 w.imgPaopaoEditClick(w.slCanvas->slPaopao->imgPaopaoEdit);
         }},
        {QKeySequence(Qt::Key_Enter),
         [](W &w) {
             if (BubbleShown(w) && !gsPaopaoText.isEmpty())
                 w.imgPaopaoEditClick(w.slCanvas->slPaopao->imgPaopaoEdit);
         }},
    };
    return keys;
}

struct TTip {
    const char *English;
    const char *Chinese;
};

TTip CategoryName(TYPE_FACE_ITEM fiType)
{
    switch (fiType) {
    case fiEmoji: return {"Emoji", "表情"};
    case fiFace: return {"Face", "脸型"};
    case fiHair: return {"Hair", "发型"};
    case fiBrow: return {"Brows", "眉毛"};
    case fiEye: return {"Eyes", "眼睛"};
    case fiNose: return {"Nose", "鼻子"};
    case fiMouth: return {"Mouth", "嘴巴"};
    case fiGlasses: return {"Glasses", "眼镜"};
    case fiHand: return {"Body", "身体"};
    case fiBG: return {"Backdrop", "背景"};
    case fiPaopao: return {"Bubble", "气泡"};
    case fiFG: return {"Front", "前景"};
    }
    return {"", ""};
}

QString Tip(const TTip &aoTip, bool abLangCN)
{
    return QString::fromUtf8(abLangCN ? aoTip.Chinese : aoTip.English);
}

QString KeyTip(const TTip &aoTip, TEditorCommand aeCommand, bool abLangCN);

QString TabTip(TYPE_FACE_ITEM fiType, bool abLangCN)
{
    QStringList lines{Tip(CategoryName(fiType), abLangCN)};
    lines << Tip({"Tab / Shift+Tab: next or previous category", "Tab / Shift+Tab：下一个或上一个类别"}, abLangCN)
          << Tip({"Left / Right: previous or next item", "左 / 右方向键：上一个或下一个"}, abLangCN);
    if (CategoryRules(fiType).Moves)
        lines << Tip({"Up / Down: move the layer up or down", "上 / 下方向键：图层上移或下移"}, abLangCN);
    if (fiType == fiPaopao)
        lines << Tip({"Enter: edit the text, Delete: remove the bubble", "Enter：编辑文字，Delete：移除气泡"},
                     abLangCN);
    if (TLayerLocks::Lockable(fiType))
        lines << Tip({"L or right click: lock against random", "L 或右键：锁定，随机时保留"}, abLangCN);
    lines << KeyTip({"%1: show or hide the colours", "%1：显示或隐藏颜色"}, TEditorCommand::ShowColors, abLangCN);
    return lines.join(u'\n');
}

// A tip with the keys of a command in place of its %1.
QString KeyTip(const TTip &aoTip, TEditorCommand aeCommand, bool abLangCN)
{
    return Tip(aoTip, abLangCN).arg(CommandKeyText(aeCommand));
}

QString MenuTip(bool abLangCN)
{
    const QList<QKeySequence> keys = CommandKeys(TEditorCommand::Menu);
    return Tip({"Right click on the canvas, %1 or %2: every command", "在画布上右键、%1 或 %2：全部命令"}, abLangCN)
        .arg(keys.at(0).toString(QKeySequence::NativeText), keys.at(1).toString(QKeySequence::NativeText));
}

} // namespace

QList<QKeySequence> CommandKeys(TEditorCommand aeCommand)
{
    using C = TEditorCommand;
    switch (aeCommand) {
    case C::Undo: return {QKeySequence(Qt::CTRL | Qt::Key_Z)};
    case C::Redo: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)};
    case C::OpenPortrait: return {QKeySequence(Qt::CTRL | Qt::Key_O)};
    case C::SavePortrait: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
    case C::SavePicture: return {QKeySequence(Qt::CTRL | Qt::Key_S)};
    case C::CopyPicture: return {QKeySequence(Qt::CTRL | Qt::Key_C)};
    case C::ExportAvatar: return {QKeySequence(Qt::CTRL | Qt::Key_E)};
    case C::ShowColors: return {QKeySequence(Qt::Key_C)};
    case C::Lock: return {QKeySequence(Qt::Key_L), QKeySequence(Qt::CTRL | Qt::Key_L)};
    case C::Random: return {QKeySequence(Qt::Key_R)};
    case C::Web: return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W)};
    case C::About: return {QKeySequence(Qt::Key_F1)};
    case C::Menu: return {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)};
    }
    return {};
}

QString CommandKeyText(TEditorCommand aeCommand)
{
    const QList<QKeySequence> keys = CommandKeys(aeCommand);
    return keys.isEmpty() ? QString() : keys.first().toString(QKeySequence::NativeText);
}

void InstallEditorKeys(TfrmVuplora *aoWindow)
{
    for (const TKey &key : EditorKeys()) {
        auto *shortcut = new QShortcut(key.Keys, aoWindow);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(true);
        QObject::connect(shortcut, &QShortcut::activated, aoWindow,
                         Reporting([aoWindow, action = key.Action] { action(*aoWindow); }));
    }
}

void ShowToolbarTips(TVuploraToolbar *aoToolbar, bool abLangCN)
{
    using C = TEditorCommand;
    const auto lines = [abLangCN](std::initializer_list<std::pair<TTip, C>> aoTips) {
        QStringList out;
        for (const auto &[tip, command] : aoTips)
            out << KeyTip(tip, command, abLangCN);
        out << MenuTip(abLangCN);
        return out.join(u'\n');
    };
    aoToolbar->imgTabBack->setToolTip(
        Tip({"Back to the choice of pack", "返回选择素材包"}, abLangCN) + u'\n' + MenuTip(abLangCN));
    aoToolbar->imgTabSave->setToolTip(lines({
        {{"Save the portrait (%1)", "保存头像 (%1)"}, C::SavePicture},
        {{"Save the portrait file (%1)", "保存头像文件 (%1)"}, C::SavePortrait},
        {{"Open a portrait file (%1)", "打开头像文件 (%1)"}, C::OpenPortrait},
        {{"Copy the picture (%1)", "复制图片 (%1)"}, C::CopyPicture},
        {{"Export an avatar (%1)", "导出头像图标 (%1)"}, C::ExportAvatar},
    }));
    aoToolbar->imgTabRandom->setToolTip(lines({
        {{"Random portrait (%1)", "随机头像 (%1)"}, C::Random},
        {{"Undo (%1)", "撤销 (%1)"}, C::Undo},
        {{"Redo (%1)", "重做 (%1)"}, C::Redo},
    }));
    aoToolbar->imgTabWeb->setToolTip(lines({{{"Open the web site (%1)", "打开网站 (%1)"}, C::Web}}));
    for (const TCategory &category : Categories())
        aoToolbar->Tab(category.Type)->setToolTip(TabTip(category.Type, abLangCN));
}
