// `vuplora portrait` as a user drives it: the same seed gives the same file,
// other seeds other pictures, --count writes its files, and usage errors.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct TRun {
    int Exit = -1;
    QByteArray Out, Err;
};

TRun Portrait(const QStringList &aoArgs)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    // As from a shell without a display: the command needs none.
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VUPLORA_EXE), QStringList{QStringLiteral("portrait")} + aoArgs);
    EXPECT_TRUE(process.waitForFinished(120000));
    TRun run;
    run.Exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

QByteArray Read(const QString &asPath)
{
    QFile file(asPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(PortraitCommand, TheSameSeedGivesTheSameFileOtherSeedsOtherPictures)
{
    QTemporaryDir dir;
    const auto make = [&](const char *asPack, const char *asSeed, const QString &asName) {
        const TRun run = Portrait({QStringLiteral("--pack"), QLatin1String(asPack), QStringLiteral("--seed"),
                                   QLatin1String(asSeed), dir.filePath(asName)});
        EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
        return Read(dir.filePath(asName));
    };
    const QByteArray a = make("1", "7", QStringLiteral("a.png"));
    const QByteArray again = make("1", "7", QStringLiteral("again.png"));
    ASSERT_FALSE(a.isEmpty());
    EXPECT_EQ(a, again);
    const QImage picture = QImage::fromData(a, "PNG");
    EXPECT_EQ(picture.size(), QSize(640, 1136));
    EXPECT_TRUE(picture.hasAlphaChannel());
    // Some seed of a few gives another pick, and the other pack other art.
    bool differs = false;
    for (const char *seed : {"8", "9", "10", "11"})
        differs = differs || make("1", seed, QStringLiteral("b.png")) != a;
    EXPECT_TRUE(differs);
    EXPECT_NE(make("2", "7", QStringLiteral("c.png")), a);
}

TEST(PortraitCommand, CountWritesNumberedFilesEachTheOneOfItsSeed)
{
    QTemporaryDir dir;
    const TRun run = Portrait({QStringLiteral("--pack"), QStringLiteral("2"), QStringLiteral("--seed"),
                               QStringLiteral("18446744073709551615"), QStringLiteral("--count"), QStringLiteral("3"),
                               dir.filePath(QStringLiteral("many.png"))});
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("many-1.png"), QStringLiteral("many-2.png"), QStringLiteral("many-3.png")}));
    // Portrait 3 is seed S + 2, which wraps around to 1.
    ASSERT_EQ(Portrait({QStringLiteral("--pack"), QStringLiteral("2"), QStringLiteral("--seed"), QStringLiteral("1"),
                        dir.filePath(QStringLiteral("one.png"))})
                  .Exit,
              0);
    EXPECT_EQ(Read(dir.filePath(QStringLiteral("many-3.png"))), Read(dir.filePath(QStringLiteral("one.png"))));
}

TEST(PortraitCommand, BadArgumentsExitWithUsageAndWriteNothing)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("x.png"));
    const QString P = QStringLiteral("--pack"), S = QStringLiteral("--seed"), C = QStringLiteral("--count");
    const struct {
        const char *Case;
        QStringList Args;
        const char *Says;
    } cases[] = {
        {"no arguments", {}, "--pack is missing"},
        {"no seed", {P, "1", out}, "--seed is missing"},
        {"no output", {P, "1", S, "3"}, "the output file is missing"},
        {"pack 3", {P, "3", S, "3", out}, "--pack must be 1 or 2, not '3'"},
        {"negative seed", {P, "1", S, "-1", out}, "--seed must be a whole number"},
        {"seed past 64 bits", {P, "1", S, "18446744073709551616", out}, "--seed must be a whole number"},
        {"pack with a sign", {P, "+1", S, "3", out}, "--pack must be 1 or 2, not '+1'"},
        {"pack with a space", {P, " 1", S, "3", out}, "--pack must be 1 or 2, not ' 1'"},
        {"count with a sign", {P, "1", S, "3", C, "+2", out}, "--count must be from 1 to 100000, not '+2'"},
        {"seed with a sign", {P, "1", S, "+5", out}, "--seed must be a whole number"},
        {"several to the standard output", {P, "1", S, "3", C, "2", "-"}, "needs a file name, not '-'"},
        {"count 0", {P, "1", S, "3", C, "0", out}, "--count must be from 1 to 100000, not '0'"},
        {"value missing", {P, "1", out, S}, "--seed needs a value"},
        {"unknown option", {P, "1", S, "3", "--size", "9", out}, "unknown option '--size'"},
        {"two outputs", {P, "1", S, "3", out, out + "2"}, "one output file"},
        {"avatar size", {P, "1", S, "3", "--avatar", "300", out}, "--avatar must be 256, 512 or 1024, not '300'"},
        {"transparent alone", {P, "1", S, "3", "--transparent", out}, "--transparent goes with --avatar"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Case);
        const TRun run = Portrait(c.Args);
        EXPECT_EQ(run.Exit, 2);
        EXPECT_TRUE(run.Err.contains(c.Says)) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.contains("usage: vuplora portrait")) << run.Err.toStdString();
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    const TRun help = Portrait({QStringLiteral("--help")});
    EXPECT_EQ(help.Exit, 0);
    EXPECT_TRUE(help.Out.startsWith("usage: vuplora portrait")) << help.Out.toStdString();
}

TEST(PortraitCommand, AvatarWritesTheSquareOfTheSameSeedOnItsBackdropOrWithout)
{
    QTemporaryDir dir;
    const auto avatar = [&](const QString &asName, const QStringList &aoMore) {
        const TRun run = Portrait(QStringList{QStringLiteral("--pack"), QStringLiteral("1"), QStringLiteral("--seed"),
                                              QStringLiteral("7"), QStringLiteral("--avatar"), QStringLiteral("512")}
                                  + aoMore + QStringList{dir.filePath(asName)});
        EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
        return QImage(dir.filePath(asName));
    };
    const QImage backdrop = avatar(QStringLiteral("a.png"), {});
    const QImage transparent = avatar(QStringLiteral("t.png"), {QStringLiteral("--transparent")});
    ASSERT_EQ(backdrop.size(), QSize(512, 512));
    ASSERT_EQ(transparent.size(), QSize(512, 512));
    // The backdrop fills the square; without it, what is not the head is clear.
    int opaque = 0, clear = 0;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            opaque += qAlpha(backdrop.pixel(x, y)) == 255;
            clear += qAlpha(transparent.pixel(x, y)) == 0;
        }
    EXPECT_EQ(opaque, 512 * 512);
    EXPECT_GT(clear, 512 * 512 / 10);
    EXPECT_EQ(avatar(QStringLiteral("again.png"), {}), backdrop);
}

TEST(PortraitCommand, AnOutputThatCannotBeWrittenFails)
{
    QTemporaryDir dir;
    const TRun run = Portrait({QStringLiteral("--pack"), QStringLiteral("1"), QStringLiteral("--seed"), QStringLiteral("1"),
                               dir.filePath(QStringLiteral("no/such/folder.png"))});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Err.contains("cannot write")) << run.Err.toStdString();

    // A pipe, or a link to a device, under the name stays what it is.
    const QString fifo = dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString toDevice = dir.filePath(QStringLiteral("null.png"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), toDevice));
    for (const QString &out : {fifo, toDevice}) {
        const TRun refused = Portrait({QStringLiteral("--pack"), QStringLiteral("1"), QStringLiteral("--seed"),
                                       QStringLiteral("1"), out});
        EXPECT_EQ(refused.Exit, 1);
        EXPECT_TRUE(refused.Err.contains(
            QStringLiteral("cannot write '%1': it exists and is not a regular file").arg(out).toUtf8()))
            << refused.Err.toStdString();
    }
    EXPECT_FALSE(QFileInfo(fifo).isFile());
    EXPECT_EQ(QFileInfo(toDevice).symLinkTarget(), QStringLiteral("/dev/null"));
}

TEST(PortraitCommand, DashWritesThePictureToTheStandardOutput)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.png"));
    ASSERT_EQ(Portrait({QStringLiteral("--pack"), QStringLiteral("1"), QStringLiteral("--seed"), QStringLiteral("5"), file})
                  .Exit,
              0);
    const TRun run = Portrait({QStringLiteral("--pack"), QStringLiteral("1"), QStringLiteral("--seed"), QStringLiteral("5"),
                               QStringLiteral("-")});
    EXPECT_EQ(run.Exit, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, Read(file));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).contains(QStringLiteral("a.png")));
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("-")));
}

} // namespace
