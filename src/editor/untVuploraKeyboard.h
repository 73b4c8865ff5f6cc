#pragma once
// The editor's keyboard: shortcuts that mirror the pointer (strokes, tabs,
// the toolbar's commands, the bubble's buttons), undo and redo, and the
// toolbar's tooltips, which name each control's action and keys in the
// interface language.

class TfrmVuplora;
class TVuploraToolbar;

// The shortcuts work wherever the focus is inside the window; a dialog of its
// own (the bubble's text) keeps its keys.
void InstallEditorKeys(TfrmVuplora *aoWindow);

void ShowToolbarTips(TVuploraToolbar *aoToolbar, bool abLangCN);
