#include "editor/untVuploraRecovery.h"

#include "editor/untSelectPack.h"
#include "editor/untStartup.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraPortraitFile.h"
#include "editor/untVuploraUndo.h"
#include "errors/errors.h"
#include "platform_ui/errorreport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

void WriteFile(const QString &asFileName, const QByteArray &aoData)
{
    QDir().mkpath(QFileInfo(asFileName).absolutePath());
    QSaveFile file(asFileName);
    // A recovery file that cannot be written costs nothing now; the next change
    // tries again.
    if (file.open(QIODevice::WriteOnly) && file.write(aoData) == aoData.size())
        file.commit();
}

bool AskRestore(bool abLangCN)
{
    QMessageBox box(QMessageBox::Question,
                    abLangCN ? QStringLiteral("维普乐") : QStringLiteral("Vuplora"),
                    abLangCN ? QStringLiteral("上次的头像没有正常关闭。要恢复它吗？")
                             : QStringLiteral("The portrait of the last session was not closed properly. "
                                              "Restore it?"));
    box.setObjectName(QStringLiteral("dlgRestore"));
    QPushButton *restore =
        box.addButton(abLangCN ? QStringLiteral("恢复") : QStringLiteral("Restore"), QMessageBox::AcceptRole);
    restore->setObjectName(QStringLiteral("btnRestore"));
    QPushButton *discard =
        box.addButton(abLangCN ? QStringLiteral("丢弃") : QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    discard->setObjectName(QStringLiteral("btnDiscard"));
    box.setDefaultButton(restore);
    box.setEscapeButton(restore);
    box.exec();
    return box.clickedButton() != discard;
}

// Renames a damaged recovery file so the next start does not meet it again.
QString SetAside(const QString &asFileName)
{
    const QFileInfo info(asFileName);
    const QString aside = info.dir().filePath(
        QStringLiteral("recovery-damaged-%1.vuplora")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"))));
    if (!QFile::rename(asFileName, aside)) {
        QFile::remove(asFileName);
        return QString();
    }
    return aside;
}

} // namespace

QString RecoveryFileName()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery.vuplora"));
}

TRecoveryWriter::TRecoveryWriter(TfrmVuplora *aoWindow) : QObject(aoWindow), moWindow(aoWindow)
{
    setObjectName(QStringLiteral("recoveryWriter"));
    moWriter.setMaxThreadCount(1);
    moDelay.setSingleShot(true);
    moDelay.setInterval(DELAY_MS);
    connect(&moDelay, &QTimer::timeout, this, &TRecoveryWriter::WriteNow);
    // A history without steps holds nothing the user made: the random portrait
    // of a start, a pack chosen anew, a file just opened.
    connect(aoWindow->FHistory, &TPortraitHistory::Changed, this, [this] {
        if (moWindow->FHistory->Count() > 0)
            moDelay.start();
    });
}

TRecoveryWriter::~TRecoveryWriter()
{
    Wait();
}

void TRecoveryWriter::WriteNow()
{
    moDelay.stop();
    // The portrait is taken here; only its file form and the writing go to
    // the background, one write after the other.
    moWriter.start([portrait = moWindow->CapturePortrait(), name = RecoveryFileName()] {
        WriteFile(name, WritePortrait(portrait));
    });
}

void TRecoveryWriter::Wait()
{
    moWriter.waitForDone();
}

void TRecoveryWriter::Remove()
{
    moDelay.stop();
    Wait();
    QFile::remove(RecoveryFileName());
}

void InstallRecovery(TfrmVuplora *aoWindow)
{
    auto *writer = new TRecoveryWriter(aoWindow);
    aoWindow->FRecovery = writer;
    QObject::connect(aoWindow, &TfrmVuplora::Closed, writer, &TRecoveryWriter::Remove);
}

std::unique_ptr<TfrmVuplora> StartUpOrRecover()
{
    const QString name = RecoveryFileName();
    if (!QFileInfo::exists(name))
        return StartUp();
    const bool cn = IsLangCN();
    if (!AskRestore(cn)) {
        QFile::remove(name);
        return StartUp();
    }
    try {
        ReadPortraitFile(name);
    } catch (const EVuploraError &e) {
        const QString aside = SetAside(name);
        TVuploraApplication::ReportError(
            (cn ? QStringLiteral("上次的头像无法恢复，已另存为 %1：%2")
                : QStringLiteral("The portrait of the last session could not be restored and was kept as %1: %2"))
                .arg(QFileInfo(aside).fileName(), e.Message()));
        return StartUp();
    }
    return StartUpWithPortraitFile(name);
}
