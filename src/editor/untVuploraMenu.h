#pragma once
// The editor's menu of every command: shown by a right click on the canvas, by
// the Menu key or by Shift+F10 anywhere in the window. Each entry names its
// keys; an entry that cannot act now is disabled (undo with nothing to undo, the
// lock on a tab that cannot be locked, everything while a layer slides). Texts
// follow the interface language. The About box shows the version and the
// credits of the art (the NOTICE file, carried in the resources).

#include <QString>

class QMenu;
class QWidget;
class TfrmVuplora;

// A new menu as the window stands now; the caller owns it. Its entries are
// named act... after their command (actUndo, actLock, ...).
QMenu *CreateEditorMenu(TfrmVuplora *aoWindow);
// The right click, the Menu key and Shift+F10.
void InstallEditorMenu(TfrmVuplora *aoWindow);

// What "Undo: ..." says of a history step, in the interface language.
QString StepDisplayName(const QString &asStep, bool abLangCN);

// The About box, modal; it is named dlgAbout.
void ShowAbout(QWidget *aoParent, bool abLangCN);
QString AboutText(bool abLangCN);
