#include "editor/untVuploraKeyboard.h"

#include "editor/untVuploraCategories.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraLocks.h"
#include "editor/untVuploraPaopao.h"
#include "editor/untVuploraUndo.h"
#include "platform/errorreport.h"

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

const QList<TKey> &EditorKeys()
{
    using W = TfrmVuplora;
    static const QList<TKey> keys = {
        {QKeySequence(Qt::CTRL | Qt::Key_Z), [](W &w) { w.FHistory->Undo(); }},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [](W &w) { w.FHistory->Redo(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), [](W &w) { w.FHistory->Redo(); }},
        // Right goes on to the next item, as a stroke to the left does.
        {QKeySequence(Qt::Key_Right), [](W &w) { w.StepItem(1); }},
        {QKeySequence(Qt::Key_Left), [](W &w) { w.StepItem(-1); }},
        {QKeySequence(Qt::Key_Up), [](W &w) { w.NudgeLayer(-1); }},
        {QKeySequence(Qt::Key_Down), [](W &w) { w.NudgeLayer(1); }},
        {QKeySequence(Qt::Key_Tab), [](W &w) { w.StepTab(1); }},
        {QKeySequence(Qt::SHIFT | Qt::Key_Tab), [](W &w) { w.StepTab(-1); }},
        {QKeySequence(Qt::Key_R), [](W &w) { w.imgTabRandomClick(); }},
        {QKeySequence(Qt::CTRL | Qt::Key_S), [](W &w) { w.imgTabSaveClick(); }},
        {QKeySequence(Qt::Key_L), [](W &w) { w.FLocks->Toggle(w.CurrentCategory()); }},
        {QKeySequence(Qt::CTRL | Qt::Key_L), [](W &w) { w.FLocks->Toggle(w.CurrentCategory()); }},
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
    return lines.join(u'\n');
}

} // namespace

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
    aoToolbar->imgTabBack->setToolTip(Tip({"Back to the choice of pack", "返回选择素材包"}, abLangCN));
    aoToolbar->imgTabSave->setToolTip(Tip({"Save the portrait (Ctrl+S)", "保存头像 (Ctrl+S)"}, abLangCN));
    aoToolbar->imgTabRandom->setToolTip(Tip({"Random portrait (R)", "随机头像 (R)"}, abLangCN));
    aoToolbar->imgTabWeb->setToolTip(Tip({"Open the web site", "打开网站"}, abLangCN));
    for (const TCategory &category : Categories())
        aoToolbar->Tab(category.Type)->setToolTip(TabTip(category.Type, abLangCN));
}
