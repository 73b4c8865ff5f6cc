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

QByteArray LE(quint32 v, int bytes)
{
    QByteArray out(bytes, 0);
    for (int i = 0; i < bytes; ++i)
        out[i] = char((v >> (8 * i)) & 0xFF);
    return out;
}

// A chunk whose header may state another size than the body it carries.
QByteArray Chunk(const char *id, const QByteArray &body, qint64 stated = -1)
{
    return QByteArray(id, 4) + LE(quint32(stated < 0 ? body.size() : stated), 4) + body +
           (body.size() % 2 ? QByteArray(1, 0) : QByteArray());
}

QByteArray Fmt(quint16 tag, quint16 channels, quint32 rate, quint16 bits)
{
    return Chunk("fmt ", LE(tag, 2) + LE(channels, 2) + LE(rate, 4) + LE(rate * channels * bits / 8, 4) +
                             LE(quint16(channels * bits / 8), 2) + LE(bits, 2));
}

QByteArray Riff(const QByteArray &chunks, const char *form = "WAVE")
{
    return "RIFF" + LE(quint32(4 + chunks.size()), 4) + QByteArray(form, 4) + chunks;
}

TEST(WaveSound, ReadsThePlayableFormatsAndRefusesTheRest)
{
    const QByteArray pcm(40, '\x10');
    const struct {
        const char *name;
        QByteArray wave;
        int channels, rate, bits;  // channels 0: nothing is played
        bool isFloat;
        qsizetype samples;
    } rows[] = {
        {"16-bit stereo", Riff(Fmt(1, 2, 11025, 16) + Chunk("data", pcm)), 2, 11025, 16, false, 40},
        {"8-bit mono", Riff(Fmt(1, 1, 8000, 8) + Chunk("data", pcm)), 1, 8000, 8, false, 40},
        {"32-bit integer", Riff(Fmt(1, 1, 8000, 32) + Chunk("data", pcm)), 1, 8000, 32, false, 40},
        {"32-bit float", Riff(Fmt(3, 2, 48000, 32) + Chunk("data", pcm)), 2, 48000, 32, true, 40},
        {"chunks before and between, odd one padded",
         Riff(Chunk("LIST", "abc") + Fmt(1, 1, 8000, 16) + Chunk("fact", "x") + Chunk("data", pcm)), 1, 8000, 16,
         false, 40},
        {"truncated data plays whole frames", Riff(Fmt(1, 2, 8000, 16) + Chunk("data", pcm.left(38), 100)), 2,
         8000, 16, false, 36},
        {"rate capped", Riff(Fmt(1, 1, 5000000, 8) + Chunk("data", pcm)), 1, 1 << 20, 8, false, 40},
        {"empty", QByteArray(), 0, 0, 0, false, 0},
        {"header only", QByteArray("RIFF"), 0, 0, 0, false, 0},
        {"another RIFF form", Riff(Fmt(1, 1, 8000, 8) + Chunk("data", pcm), "AVI "), 0, 0, 0, false, 0},
        {"12-bit samples", Riff(Fmt(1, 1, 8000, 12) + Chunk("data", pcm)), 0, 0, 0, false, 0},
        {"64-bit float", Riff(Fmt(3, 1, 8000, 64) + Chunk("data", pcm)), 0, 0, 0, false, 0},
        {"compressed", Riff(Fmt(2, 1, 8000, 16) + Chunk("data", pcm)), 0, 0, 0, false, 0},
        {"no channels", Riff(Fmt(1, 0, 8000, 16) + Chunk("data", pcm)), 0, 0, 0, false, 0},
        {"rate 0", Riff(Fmt(1, 1, 0, 16) + Chunk("data", pcm)), 0, 0, 0, false, 0},
        {"data before fmt", Riff(Chunk("data", pcm) + Fmt(1, 1, 8000, 16)), 0, 0, 0, false, 0},
        {"short fmt", Riff(Chunk("fmt ", LE(1, 2) + LE(1, 2) + LE(8000, 4)) + Chunk("data", pcm)), 0, 0, 0, false, 0},
        {"no data", Riff(Fmt(1, 1, 8000, 16)), 0, 0, 0, false, 0},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const std::optional<TWaveSound> sound = ReadWaveSound(r.wave);
        if (r.channels == 0) {
            EXPECT_FALSE(sound.has_value());
            continue;
        }
        ASSERT_TRUE(sound.has_value());
        EXPECT_EQ(sound->Channels, r.channels);
        EXPECT_EQ(sound->SampleRate, r.rate);
        EXPECT_EQ(sound->BitsPerSample, r.bits);
        EXPECT_EQ(sound->IsFloat, r.isFloat);
        EXPECT_EQ(sound->Samples, r.wave.mid(r.wave.indexOf("data") + 8, r.samples));
    }
}

} // namespace
