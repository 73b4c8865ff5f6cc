// vuplora-svg as a user drives it: conventions of the command line, exit codes, and
// what it refuses to read or write.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TRun {
    int Exit = -1;
    QByteArray Out, Err;
};

TRun RunTool(const QStringList &args, const QString &stdinFile = QString(), const QString &stdoutFile = QString())
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    // As a user's shell has it: the platform is the tool's own choice.
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(env);
    if (!stdinFile.isEmpty())
        process.setStandardInputFile(stdinFile);
    if (!stdoutFile.isEmpty())
        process.setStandardOutputFile(stdoutFile);
    process.start(QStringLiteral(VUPLORA_SVG_EXE), args);
    EXPECT_TRUE(process.waitForFinished(60000));
    TRun run;
    run.Exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray kSquare = "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10'>"
                           "<rect width='10' height='10' fill='red'/></svg>";

class SVGTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FTemp.isValid());
        Write(Path("a.svg"), kSquare);
    }
    QString Path(const char *name) const { return FTemp.filePath(QString::fromUtf8(name)); }

    QTemporaryDir FTemp;
};

TEST_F(SVGTool, HelpVersionAndQuietRuns)
{
    const TRun help = RunTool({"--help"});
    EXPECT_EQ(help.Exit, 0);
    EXPECT_TRUE(help.Out.startsWith("usage: vuplora-svg"));
    EXPECT_TRUE(help.Out.contains("exit codes: 0 done, 1 a document could not be rendered or written, 2 usage"));
    EXPECT_EQ(help.Err, QByteArray());
    const TRun version = RunTool({"--version"});
    EXPECT_EQ(version.Exit, 0);
    EXPECT_EQ(version.Out, QByteArray("vuplora-svg " VUPLORA_VERSION "\n"));

    const TRun render = RunTool({"render", Path("a.svg"), Path("a.png")});
    EXPECT_EQ(render.Exit, 0);
    EXPECT_EQ(render.Err, QByteArray());
    EXPECT_EQ(QImage(Path("a.png")).size(), QSize(20, 10));

    // "-" reads the document from standard input and writes the picture to standard output.
    const TRun piped = RunTool({"render", "-", "-"}, Path("a.svg"));
    EXPECT_EQ(piped.Exit, 0);
    EXPECT_EQ(piped.Err, QByteArray());
    EXPECT_TRUE(piped.Out == Read(Path("a.png")));
}

TEST_F(SVGTool, ExitCodesAndMessages)
{
    const QString in = Path("a.svg");
    const struct {
        QStringList Args;
        int Exit;
        QByteArray Stderr;
    } cases[] = {
        {{}, 2, "usage:"},
        {{"render", in}, 2, "usage:"},
        {{"render", in, Path("x.png"), "--background", "#12345"}, 2, "Invalid colour: #12345"},
        {{"render", in, Path("x.png"), "--background", "#zz"}, 2, "Invalid colour: #zz"},
        {{"render", in, Path("x.png"), "--background", "no-such"}, 2, "Invalid colour: no-such"},
        {{"render", in, Path("x.png"), "--width", "0"}, 2, "Invalid width: 0"},
        {{"render", in, Path("x.png"), "--width", "32768"}, 1,
         "Picture too large: 32768 x 16384 pixels (at most 16777216)"},
        {{"render", "/dev/zero", Path("x.png")}, 1, "/dev/zero: Not a regular file: /dev/zero"},
        {{"render", Path("missing.svg"), Path("x.png")}, 1, "missing.svg"},
        {{"render", in, Path("no/such/folder/x.png")}, 1, "cannot write the picture"},
        {{"render", in, "/dev/null"}, 1, "/dev/null: cannot write the picture: it exists and is not a regular file"},
        {{"render", in, FTemp.path()}, 1, "cannot write the picture: it exists and is not a regular file"},
    };
    for (const auto &c : cases) {
        const TRun run = RunTool(c.Args);
        EXPECT_EQ(run.Exit, c.Exit) << c.Args.join(u' ').toStdString() << "\n" << run.Err.constData();
        EXPECT_TRUE(run.Err.contains(c.Stderr)) << run.Err.constData();
    }
    EXPECT_FALSE(QFile::exists(Path("x.png")));

    // A picture that cannot be written out is a failure, not a success.
    const TRun full = RunTool({"render", in, "-"}, QString(), QStringLiteral("/dev/full"));
    EXPECT_EQ(full.Exit, 1);
    EXPECT_TRUE(full.Err.contains("cannot write the picture")) << full.Err.constData();
}

TEST_F(SVGTool, AFailedRunLeavesThePictureUnderTheNameAsItWas)
{
    Write(Path("old.png"), "an older picture");
    Write(Path("bad.svg"), "<svg xmlns='http://www.w3.org/2000/svg' width='100' height='100'><rect");
    EXPECT_EQ(RunTool({"render", Path("bad.svg"), Path("old.png")}).Exit, 1);
    EXPECT_EQ(RunTool({"render", Path("a.svg"), Path("old.png"), "--width", "40000"}).Exit, 1);
    EXPECT_EQ(Read(Path("old.png")), QByteArray("an older picture"));
    EXPECT_EQ(QDir(FTemp.path()).entryList(QDir::Files).size(), 3) << "a temporary file was left behind";
}

// The tool runs in another folder than the document's: an image beside the document is
// found all the same, in both modes.
TEST_F(SVGTool, RelativeImagesResolveAgainstTheDocument)
{
    ASSERT_TRUE(QDir(FTemp.path()).mkpath(QStringLiteral("doc/img")));
    QImage blue(4, 4, QImage::Format_ARGB32);
    blue.fill(QColor(0, 0, 255));
    ASSERT_TRUE(blue.save(Path("doc/img/blue.png")));
    Write(Path("doc/pic.svg"), "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
                               "width='10' height='10'><image xlink:href='img/blue.png' width='10' height='10'/></svg>");
    ASSERT_EQ(RunTool({"render", Path("doc/pic.svg"), Path("r.png")}).Exit, 0);
    Write(Path("list.txt"), (Path("doc/pic.svg") + "\tb.png\n").toUtf8());
    ASSERT_EQ(RunTool({"batch", Path("list.txt"), FTemp.path(), "10"}).Exit, 0);
    for (const char *name : {"r.png", "b.png"}) {
        const QImage out(Path(name));
        ASSERT_EQ(out.size(), QSize(10, 10)) << name;
        EXPECT_EQ(out.pixelColor(5, 5), QColor(0, 0, 255)) << name;
    }
}

TEST_F(SVGTool, BatchWritesOnlyInsideItsFolder)
{
    const QString in = Path("a.svg");
    ASSERT_TRUE(QDir(FTemp.path()).mkpath(QStringLiteral("out")));
    ASSERT_TRUE(QDir(FTemp.path()).mkpath(QStringLiteral("elsewhere")));
    ASSERT_TRUE(QFile::link(Path("elsewhere"), Path("out/away")));
    Write(Path("list.txt"), (in + "\tok.png\n" + in + "\t../out.png\n" + in + "\t" + Path("abs.png") + "\n" + in +
                             "\tsub/../../x.png\n" + in + "\taway/y.png\n")
                                .toUtf8());
    const TRun run = RunTool({"batch", Path("list.txt"), Path("out"), "10"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_TRUE(run.Out.startsWith("render_seconds "));
    EXPECT_TRUE(QDir(Path("elsewhere")).isEmpty());
    for (const char *name : {"../out.png", "/abs.png", "sub/../../x.png", "away/y.png"})
        EXPECT_TRUE(run.Err.contains(QByteArray(name).append(": the output name leaves the output folder; skipped")))
            << run.Err.constData();
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files), QStringList{"ok.png"});
    EXPECT_FALSE(QFile::exists(Path("out.png")));
    EXPECT_FALSE(QFile::exists(Path("abs.png")));
    EXPECT_FALSE(QFile::exists(Path("x.png")));
}

// Pictures are written while later documents are drawn: what the batch says keeps the
// list's order, and a name given twice ends up with the later picture.
TEST_F(SVGTool, BatchKeepsTheListsOrder)
{
    // Tall and full of edges, so that its picture takes long to write.
    QByteArray stripes = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='200'>";
    for (int i = 0; i < 200; ++i)
        stripes += QStringLiteral("<rect y='%1' width='%2' height='0.5' fill='#%3'/>")
                       .arg(i)
                       .arg(1 + i % 10)
                       .arg(i * 40503 % 0xffffff, 6, 16, QLatin1Char('0'))
                       .toUtf8();
    Write(Path("tall.svg"), stripes + "</svg>");
    ASSERT_TRUE(QDir(FTemp.path()).mkpath(QStringLiteral("out/folder.png")));
    const QString a = Path("a.svg"), tall = Path("tall.svg");
    QString list;
    for (const QString &line : QStringList{tall + "\tsame.png", a + "\tsame.png", a + "\tfolder.png", Path("gone.svg") + "\tx.png",
                                QString("no tab"), tall + "\tt1.png", a + "\t../up.png", tall + "\tt2.png",
                                Path("gone2.svg") + "\ty.png", a + "\tlast.png"})
        list += line + "\n";
    Write(Path("list.txt"), list.toUtf8());
    const TRun run = RunTool({"batch", Path("list.txt"), Path("out"), "200"});
    EXPECT_EQ(run.Exit, 1);
    EXPECT_EQ(QImage(Path("out/same.png")).size(), QSize(200, 100));
    for (const char *name : {"t1.png", "t2.png"})
        EXPECT_EQ(QImage(Path("out/") + name).size(), QSize(200, 4000)) << name;
    EXPECT_EQ(QImage(Path("out/last.png")).size(), QSize(200, 100));
    const QList<QByteArray> said = run.Err.trimmed().split('\n');
    const QByteArray expected[] = {"folder.png: cannot write the picture: it exists and is not a regular file",
                                   "gone.svg", "not \"in.svg<TAB>out.png\": no tab",
                                   "../up.png: the output name leaves the output folder", "gone2.svg"};
    ASSERT_EQ(said.size(), qsizetype(std::size(expected))) << run.Err.constData();
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_TRUE(said[qsizetype(i)].contains(expected[i])) << i << ": " << said[qsizetype(i)].constData();
}

} // namespace
