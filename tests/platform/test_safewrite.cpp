// The one routine every writer replaces a file through: whole or not at all, and
// never over something that is not a regular file.

#include "platform/safewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QByteArray Read(const QString &asPath)
{
    QFile file(asPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SafeWriteFile, ReplacesARegularFileAndRefusesEverythingElseLeavingItAlone)
{
    QTemporaryDir dir;
    const QString regular = dir.filePath(QStringLiteral("regular.png"));
    {
        QFile f(regular);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    SafeWriteFile(regular, QByteArray("new"));
    EXPECT_EQ(Read(regular), QByteArray("new"));

    const QString fifo = dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = dir.filePath(QStringLiteral("folder.png"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.png")));
    const QString toDevice = dir.filePath(QStringLiteral("null.png"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), toDevice));
    const QString toRegular = dir.filePath(QStringLiteral("link.png"));
    ASSERT_TRUE(QFile::link(regular, toRegular));
    const struct {
        const char *Case;
        QString Path;
    } refused[] = {
        {"a pipe (a writer would block on it forever)", fifo},
        {"a folder", folder},
        {"a link to a device", toDevice},
        {"a link to a regular file (links are never replaced)", toRegular},
        {"a device", QStringLiteral("/dev/null")},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.Case);
        bool called = false;
        try {
            SafeWriteFile(c.Path, [&](QIODevice &) {
                called = true;
                return QString();
            });
            ADD_FAILURE() << "written";
        } catch (const ESafeWriteError &e) {
            EXPECT_EQ(e.Message(), QStringLiteral("it exists and is not a regular file"));
        }
        EXPECT_FALSE(called);
    }
    // Everything is where and what it was, and no temporary file is left.
    EXPECT_EQ(QFileInfo(fifo).isFile(), false);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(QFileInfo(toDevice).symLinkTarget(), QStringLiteral("/dev/null"));
    EXPECT_EQ(Read(toRegular), QByteArray("new"));
    EXPECT_EQ(QFileInfo(QStringLiteral("/dev/null")).isFile(), false);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System).size(), 5);
}

TEST(SafeWriteFile, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.bin"));
    SafeWriteFile(path, QByteArray("kept"));
    try {
        SafeWriteFile(path, [](QIODevice &device) {
            device.write("half");
            return QStringLiteral("the encoder gave up");
        });
        ADD_FAILURE() << "written";
    } catch (const ESafeWriteError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("the encoder gave up"));
    }
    EXPECT_EQ(Read(path), QByteArray("kept"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("keep.bin")});
    EXPECT_THROW(SafeWriteFile(dir.filePath(QStringLiteral("no/such/folder.bin")), QByteArray("x")), ESafeWriteError);
}

} // namespace
