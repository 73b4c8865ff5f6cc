#pragma once
// Nothing lost on a crash: after every change of the portrait (a step recorded,
// undone or redone) the window's portrait is written, a moment later and off
// the interface thread, to a recovery file in the application's data folder. The
// file is a portrait file like any other, written through QSaveFile, so a kill
// halfway through a write leaves the previous one whole. A clean exit and going
// back to the pack choice remove it.
//
// At the next start a recovery file leads to a question: Restore opens it as a
// portrait file named on the command line is opened, Discard deletes it. A
// recovery file that cannot be read is reported ("The portrait of the last
// session could not be restored and was kept as NAME: REASON") and renamed
// beside it, out of the way of the next start.

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <memory>

class TfrmVuplora;

// <application data folder>/recovery.vuplora
QString RecoveryFileName();

class TRecoveryWriter : public QObject {
    Q_OBJECT
public:
    // Watches the window's history from now on.
    explicit TRecoveryWriter(TfrmVuplora *aoWindow);
    // Waits for a write under way.
    ~TRecoveryWriter() override;

    // The pause after a change before the portrait is written; changes within
    // it make one write.
    static constexpr int DELAY_MS = 400;

    // Captures the portrait now and writes it in the background.
    void WriteNow();
    // Waits until what was handed to the background is written.
    void Wait();
    // Drops a pending write and deletes the file.
    void Remove();

private:
    TfrmVuplora *moWindow;
    QTimer moDelay;
    QThreadPool moWriter;
};

// The window's writer (FRecovery); the file goes with the window's clean close.
void InstallRecovery(TfrmVuplora *aoWindow);

// Start-up with no file named on the command line: with a recovery file the
// user is asked first (the question is the message box dlgRestore), then the
// portrait is restored or the usual start-up runs.
std::unique_ptr<TfrmVuplora> StartUpOrRecover();
