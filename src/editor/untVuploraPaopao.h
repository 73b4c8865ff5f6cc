#pragma once
// TfrmEditPaopao: the small borderless dialog in which the user types a new
// text for the speech bubble. It stores a confirmed text in gsNewPaopaoText
// and nothing else; the editor window applies it.

#include <QDialog>

class QPlainTextEdit;
class TImageControl;

class TfrmEditPaopao : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEditPaopao(QWidget *aoParent = nullptr);

    static constexpr int WIDTH = 416;
    static constexpr int HEIGHT = 174;

    QPlainTextEdit *mmoText;
    TImageControl *imgCancel;
    TImageControl *imgConfirm;

    // Stores the memo's text in gsNewPaopaoText when it holds more than blanks
    // and differs from gsPaopaoText; closes the dialog in any case.
    void imgConfirmClick();
    // Closes the dialog; nothing is stored.
    void imgCancelClick();

protected:
    void showEvent(QShowEvent *aoEvent) override;
};

// The dialog the editor creates at start-up; it stays hidden (the edit command
// shows dialogs of its own). Freed with ReleaseEditPaopao.
extern TfrmEditPaopao *frmEditPaopao;
void CreateEditPaopao();
void ReleaseEditPaopao();

// Shows a new dialog with gsPaopaoText in its memo, modally, and frees it.
void ShowEditPaopao();
