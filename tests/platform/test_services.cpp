// The parts of the platform services that carry rules of their own.

#include "platform/fakeplatform.h"
#include "platform/platform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

TEST(QueryScreenSize, TruncatesAndFailsWithoutAScreen)
{
    struct Case {
        const char *what;
        bool haveService;
        QSizeF size;
        bool known;
        int width, height;
    };
    const Case cases[] = {
        {"whole pixels", true, {2560, 1440}, true, 2560, 1440},
        {"fractions truncated towards zero", true, {1366.9, 767.99}, true, 1366, 767},
        {"no screen service", false, {1920, 1080}, false, -1, -1},
        {"service without a screen", true, {0, 0}, false, -1, -1},
    };
    for (const Case &c : cases) {
        TFakePlatform fake;
        fake.Screen.Size = c.size;
        TPlatform services = fake.Services();
        if (!c.haveService)
            services.Screen = nullptr;
        TPlatformOverride use(services);
        int width = -1, height = -1;
        EXPECT_EQ(QueryScreenSize(width, height), c.known) << c.what;
        EXPECT_EQ(width, c.width) << c.what;
        EXPECT_EQ(height, c.height) << c.what;
    }
}

TEST(PlatformOverride, RestoresThePreviousServices)
{
    ISoundService *const original = Platform().Sound;
    {
        TFakePlatform outer;
        TPlatformOverride useOuter(outer.Services());
        {
            TFakePlatform inner;
            TPlatformOverride useInner(inner.Services());
            Platform().Sound->PlayWave("RIFF");
            EXPECT_EQ(inner.Sound.Played.size(), 1);
        }
        EXPECT_EQ(Platform().Sound, &outer.Sound);
    }
    EXPECT_EQ(Platform().Sound, original);
    EXPECT_NE(original, nullptr);
}

TEST(SaveDialogNameFilters, PairsBecomeQtFilters)
{
    EXPECT_EQ(SaveDialogNameFilters(QStringLiteral("png gile|*.png")),
              QStringList{QStringLiteral("png gile (*.png)")});
    EXPECT_EQ(SaveDialogNameFilters(QStringLiteral("Pictures|*.png;*.jpg|All|*")),
              (QStringList{QStringLiteral("Pictures (*.png *.jpg)"), QStringLiteral("All (*)")}));
    EXPECT_EQ(SaveDialogNameFilters(QStringLiteral("dangling")), QStringList{});
}

// Runs the real dialog: types a name without extension over an existing file
// of the same name and accepts, from inside the dialog's modal loop.
TEST(QtSaveDialog, AppendsTheDefaultExtensionAndAsksNothingOnOverwrite)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString existing = QDir(folder.path()).filePath(QStringLiteral("portrait.png"));
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QStringList filtersSeen;
    QString directorySeen;
    bool accepted = false, askedQuestion = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (dialog && !accepted) {
            accepted = true;
            filtersSeen = dialog->nameFilters();
            directorySeen = dialog->directory().absolutePath();
            dialog->selectFile(QStringLiteral("portrait"));
            // Queued, so that this timer is free to fire inside a question's loop.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else if (dialog) {
            dialog->close(); // still open after accepting: give up
        } else if (modal) {
            askedQuestion = true;
            modal->close();
        }
    });
    poll.start(10);

    TQtSaveDialogService service;
    TSaveDialogOptions options;
    options.Filter = QStringLiteral("png gile|*.png");
    options.DefaultExt = QStringLiteral(".png");
    options.FileName = QStringLiteral("Vuplora_2014-08-26_15-07-09.png");
    options.InitialDir = folder.path();
    QString chosen;
    ASSERT_TRUE(service.Execute(nullptr, options, chosen));
    EXPECT_FALSE(askedQuestion);
    EXPECT_EQ(QFileInfo(chosen).absoluteFilePath(), QFileInfo(existing).absoluteFilePath());
    EXPECT_EQ(filtersSeen, QStringList{QStringLiteral("png gile (*.png)")});
    EXPECT_EQ(directorySeen, QDir(folder.path()).absolutePath());
}

TEST(QtSaveDialog, CancelIsReportedAsNoChoice)
{
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    poll.start(10);
    TQtSaveDialogService service;
    QString chosen = QStringLiteral("unchanged");
    EXPECT_FALSE(service.Execute(nullptr, TSaveDialogOptions{}, chosen));
    EXPECT_EQ(chosen, QStringLiteral("unchanged"));
}

QByteArray Wave(quint16 channels, quint32 rate, quint16 bits, const QByteArray &samples)
{
    QByteArray wave("RIFF....WAVEfmt ");
    auto add32 = [&](quint32 v) { char b[4]; qToLittleEndian(v, b); wave.append(b, 4); };
    auto add16 = [&](quint16 v) { char b[2]; qToLittleEndian(v, b); wave.append(b, 2); };
    add32(16);
    add16(1);
    add16(channels);
    add32(rate);
    add32(rate * channels * bits / 8);
    add16(quint16(channels * bits / 8));
    add16(bits);
    wave.append("data");
    add32(quint32(samples.size()));
    wave.append(samples);
    qToLittleEndian(quint32(wave.size() - 8), wave.data() + 4);
    return wave;
}

// Whatever the machine has for audio, playing returns at once, a second sound
// replaces the first, and broken data is ignored without a report.
TEST(QtSound, PlaysOrStaysSilentWithoutFailing)
{
    TQtSoundService sound;
    const QByteArray tone = Wave(2, 11025, 16, QByteArray(11025 * 4 / 10, '\x10'));
    sound.PlayWave(tone);
    sound.PlayWave(tone);
    QTest::qWait(50);
    const QByteArray broken[] = {QByteArray(), QByteArray("RIFF"), tone.left(30),
                                 Wave(2, 11025, 12, QByteArray(100, 0)), Wave(0, 11025, 16, {})};
    for (const QByteArray &data : broken)
        sound.PlayWave(data);
    QTest::qWait(20);
    sound.Stop();
    SUCCEED();
}

} // namespace
