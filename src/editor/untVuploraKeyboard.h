#pragma once
// The editor's keyboard: shortcuts that mirror the pointer (strokes, tabs,
// the toolbar's commands, the bubble's buttons), undo and redo, and the
// toolbar's tooltips, which name each control's action and keys in the
// interface language.

#include <QKeySequence>

class TfrmVuplora;
class TVuploraToolbar;

// The window's commands that have keys of their own; the keys, the menu and the
// tooltips all name a command's keys from CommandKeys.
enum class TEditorCommand {
    Undo,
    Redo,
    OpenPortrait,
    SavePortrait,
    SavePicture,
    CopyPicture,
    ExportAvatar,
    ShowColors,
    Lock,
    Random,
    Web,
    About,
    Menu,
};

// The first sequence is the one menus and tooltips show.
QList<QKeySequence> CommandKeys(TEditorCommand aeCommand);
// "Ctrl+Shift+Z", as the platform writes it.
QString CommandKeyText(TEditorCommand aeCommand);

// The shortcuts work wherever the focus is inside the window; a dialog of its
// own (the bubble's text) keeps its keys.
void InstallEditorKeys(TfrmVuplora *aoWindow);

void ShowToolbarTips(TVuploraToolbar *aoToolbar, bool abLangCN);
