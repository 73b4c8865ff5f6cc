// The parts of the platform services that carry rules of their own.

#include "platform/fakeplatform.h"
#include "platform/platform.h"
#include "platform/resources.h"
#include "platform_ui/widgetservices.h"
#include "errors/errors.h"

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
            Platform().Sound->PlaySound(QUrl(QStringLiteral("qrc:/res_audio_1")));
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

TEST(Resources, UrlsFailLikeOpen)
{
    TMemoryResourceProvider memory;
    memory.Add(QStringLiteral("Res_Audio_1"), "RIFF");
    EXPECT_EQ(memory.Url(QStringLiteral("RES_AUDIO_1")), QUrl(QStringLiteral("memory:res_audio_1")));
    try {
        memory.Url(QStringLiteral("res_audio_9"));
        ADD_FAILURE() << "no error";
    } catch (const EVuploraError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Resource res_audio_9 not found"));
    }
}

} // namespace
