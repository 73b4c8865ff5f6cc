// The recovery file: written a moment after a change and not before, removed by
// a clean close and by going back to the packs; at the next start the question,
// Restore (a killed process comes back pixel for pixel), Discard, and a damaged
// file that is reported and set aside.

#include "editortestsupport.h"

#include "editor/untStartup.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraPortraitFile.h"
#include "editor/untVuploraRecovery.h"
#include "editor/untVuploraUndo.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <unistd.h>

namespace {

using TRecoveryTest = TEditorTest;

const char CHILD[] = "VUPLORA_RECOVERY_CHILD";

// Waits for the pause after a change and the write it starts.
void WaitForRecovery(TfrmVuplora &aoWindow)
{
    QTest::qWait(TRecoveryWriter::DELAY_MS + 100);
    aoWindow.FRecovery->Wait();
}

// Answers the restore question with the named button; records whether it came.
[[nodiscard]] std::unique_ptr<QTimer> AnswerRestore(const char *asButton, bool *aoAsked = nullptr)
{
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [asButton, aoAsked] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != QLatin1String("dlgRestore"))
            return;
        if (aoAsked)
            *aoAsked = true;
        modal->findChild<QAbstractButton *>(QLatin1String(asButton))->click();
    });
    timer->start(20);
    return timer;
}

void WriteBytes(const QString &asFileName, const QByteArray &aoData)
{
    QDir().mkpath(QFileInfo(asFileName).absolutePath());
    QFile file(asFileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(aoData);
}

TEST_F(TRecoveryTest, AChangeIsWrittenAMomentLaterAndACleanCloseOrBackRemovesIt)
{
    TfrmVuplora frm;
    frm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    // The random portrait of a start is nobody's work yet.
    WaitForRecovery(frm);
    EXPECT_FALSE(QFileInfo::exists(RecoveryFileName()));

    frm.imgTabRandomClick();
    EXPECT_FALSE(QFileInfo::exists(RecoveryFileName()));
    WaitForRecovery(frm);
    ASSERT_TRUE(QFileInfo::exists(RecoveryFileName()));
    EXPECT_EQ(ReadPortraitFile(RecoveryFileName()), frm.CapturePortrait());

    // An undo is a change too.
    frm.FHistory->Undo();
    WaitForRecovery(frm);
    EXPECT_EQ(ReadPortraitFile(RecoveryFileName()), frm.CapturePortrait());

    // Back to the pack choice gives the portrait up.
    const auto script = WhenPackWindowShown([](TfrmSelectPack *pack) { ClickAt(pack, QPoint(150, 500)); });
    frm.imgTabBackClick();
    EXPECT_FALSE(QFileInfo::exists(RecoveryFileName()));

    frm.imgTabRandomClick();
    WaitForRecovery(frm);
    ASSERT_TRUE(QFileInfo::exists(RecoveryFileName()));
    frm.close();
    EXPECT_FALSE(QFileInfo::exists(RecoveryFileName()));
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

// The part of the test below that runs in a process of its own and is killed.
[[noreturn]] void ChangeAndDie(const QString &asExpected)
{
    giPackIndex = 2;
    TfrmVuplora frm;
    frm.show();
    (void)QTest::qWaitForWindowExposed(&frm);
    frm.imgTabRandomClick();
    frm.imgTabHairClick();
    frm.ApplyColor(0xFF2A62D2);
    frm.NudgeLayer(1);
    WaitForRecovery(frm);
    frm.PortraitPicture(1.0).save(asExpected, "PNG");
    ::kill(::getpid(), SIGKILL);
    std::abort();
}

TEST_F(TRecoveryTest, AKilledSessionIsRestoredPixelForPixel)
{
    const QString childHome = qEnvironmentVariable(CHILD);
    if (!childHome.isEmpty())
        ChangeAndDie(childHome + QStringLiteral("/expected.png"));

    QTemporaryDir home;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(CHILD), home.path());
    env.insert(QStringLiteral("VUPLORA_TEST_HOME"), home.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=TRecoveryTest.AKilledSessionIsRestoredPixelForPixel")});
    ASSERT_TRUE(child.waitForFinished(120000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardError().toStdString();
    const QImage expected(home.filePath(QStringLiteral("expected.png")));
    ASSERT_FALSE(expected.isNull());

    // The next start finds what the killed one left (this process's data folder
    // stands in for the user's).
    QFile left(home.filePath(QStringLiteral("data/") + QFileInfo(RecoveryFileName()).dir().dirName()
                             + QStringLiteral("/recovery.vuplora")));
    ASSERT_TRUE(left.open(QIODevice::ReadOnly)) << left.fileName().toStdString();
    WriteBytes(RecoveryFileName(), left.readAll());
    giPackIndex = 1;
    bool asked = false;
    const auto answer = AnswerRestore("btnRestore", &asked);
    std::unique_ptr<TfrmVuplora> frm = StartUpOrRecover();
    EXPECT_TRUE(asked);
    ASSERT_TRUE(frm);
    EXPECT_EQ(giPackIndex, 2);
    EXPECT_EQ(frm->PortraitPicture(1.0).convertToFormat(QImage::Format_ARGB32),
              expected.convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TRecoveryTest, DiscardDeletesTheFileAndADamagedOneIsReportedAndSetAside)
{
    const struct {
        const char *Case;
        QByteArray Content;
        const char *Button;
        bool Reported;
        bool SetAside;
    } cases[] = {
        {"discard", QByteArray(), "btnDiscard", false, false},
        {"damaged", QByteArray("{\"format\": \"vuplora-portrait\", \"ver"), "btnRestore", true, true},
        {"not JSON at all", QByteArray("\x00\x01\x02", 3), "btnRestore", true, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Case);
        moErrors.clear();
        QDir folder = QFileInfo(RecoveryFileName()).dir();
        for (const QString &name : folder.entryList({QStringLiteral("recovery-damaged-*")}))
            folder.remove(name);
        QByteArray content = c.Content;
        if (content.isEmpty()) {
            TfrmVuplora frm;
            content = WritePortrait(frm.CapturePortrait());
        }
        WriteBytes(RecoveryFileName(), content);

        bool asked = false;
        const auto answer = AnswerRestore(c.Button, &asked);
        const auto pack = WhenPackWindowShown([](TfrmSelectPack *pack) { ClickAt(pack, QPoint(450, 500)); });
        std::unique_ptr<TfrmVuplora> frm = StartUpOrRecover();
        EXPECT_TRUE(asked);
        ASSERT_TRUE(frm);
        EXPECT_TRUE(frm->isVisible());
        EXPECT_FALSE(QFileInfo::exists(RecoveryFileName()));
        EXPECT_EQ(moErrors.size(), c.Reported ? 1 : 0) << moErrors.join(u'\n');
        if (c.Reported) {
            EXPECT_TRUE(moErrors.value(0).startsWith(
                QStringLiteral("The portrait of the last session could not be restored and was kept as recovery-damaged-")))
                << moErrors.value(0);
        }
        const QStringList aside = folder.entryList({QStringLiteral("recovery-damaged-*")});
        ASSERT_EQ(aside.size(), c.SetAside ? 1 : 0);
        if (c.SetAside) {
            QFile kept(folder.filePath(aside.first()));
            ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
            EXPECT_EQ(kept.readAll(), content);
        }
    }
}

} // namespace
