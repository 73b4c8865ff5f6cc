// vuplora-pack: building the test pack again, extracting every member back,
// rejecting bad packs, and the command line's exit codes.

#include "ResTestSupport.h"
#include "TestPackPaths.h"

#include "assets/ArchiveReader.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <zip.h>

#include <cstdio>

namespace {

QByteArray FileBytes(const QString &asPath)
{
    QFile oFile(asPath);
    EXPECT_TRUE(oFile.open(QIODevice::ReadOnly)) << asPath;
    return oFile.readAll();
}

// The archive with every header's uncompressed size of its members set to aiSize.
QByteArray WithDeclaredSize(QByteArray aoZip, quint32 aiSize)
{
    const auto patch = [&](const QByteArray &asSignature, int aiOffset) {
        for (qsizetype i = aoZip.indexOf(asSignature); i >= 0; i = aoZip.indexOf(asSignature, i + 4))
            for (int b = 0; b < 4; ++b)
                aoZip[i + aiOffset + b] = char((aiSize >> (8 * b)) & 0xFF);
    };
    patch(QByteArray("PK\x03\x04", 4), 22);
    patch(QByteArray("PK\x01\x02", 4), 24);
    return aoZip;
}

} // namespace

TEST(PackTool, MembersInflateNoFurtherThanTheirDeclaredSizeAndTheCap)
{
    // 4 MiB of zeros deflate to a few kilobytes: what a bomb is made of.
    const QString sName = Stem(QStringLiteral("zeros")) + "_thumb.png";
    const QByteArray oZip = WriteZipArchive({{sName, QByteArray(4 * 1024 * 1024, '\0')}});
    ASSERT_LT(oZip.size(), 64 * 1024);
    EXPECT_EQ(ExtractMember(oZip, QStringLiteral("z.zip"), sName).size(), 4 * 1024 * 1024);
    const struct {
        quint32 Declared;
        QString Message;
    } CASES[] = {
        {1000, QStringLiteral("Archive member %1 inflates beyond its declared size of 1000 bytes").arg(sName)},
        {quint32(MAX_MEMBER_BYTES + 1),
         QStringLiteral("Archive member %1 is too large: it declares 67108865 bytes (at most 67108864)").arg(sName)},
    };
    for (const auto &c : CASES) {
        const QByteArray oBomb = WithDeclaredSize(oZip, c.Declared);
        EXPECT_EQ(ErrorOf([&] { ExtractMember(oBomb, QStringLiteral("z.zip"), sName); }), c.Message);
    }
}

TEST(PackTool, RebuildingTheTestPackGivesTheSameArchiveAndEveryMemberBack)
{
    QTemporaryDir oTemp;
    ASSERT_TRUE(oTemp.isValid());
    const QString sOut = oTemp.filePath(QStringLiteral("pack.zip"));
    QStringList oWarnings;
    BuildPack(TestPackMembersDir(), sOut, &oWarnings);
    EXPECT_TRUE(oWarnings.isEmpty()) << oWarnings.join(u'\n');
    const QByteArray oArchive = FileBytes(sOut);
    EXPECT_TRUE(oArchive == FileBytes(TestPackArchivePath())) << "builds are not reproducible";

    const QStringList oNames = QDir(TestPackMembersDir()).entryList(QDir::Files, QDir::Name);
    const std::vector<TPackListEntry> oList = ListPack(oArchive, sOut);
    ASSERT_EQ(oList.size(), size_t(oNames.size()));

    const TZipReader oZip(OpenZipFromMemory(oArchive, sOut));
    int iEncrypted = 0;
    for (size_t i = 0; i < oList.size(); ++i) {
        const TPackListEntry &oEntry = oList[i];
        SCOPED_TRACE(oEntry.Name);
        ASSERT_TRUE(oEntry.Kind.has_value());
        const bool bEncrypted = oEntry.Name.endsWith(QStringLiteral(".json"))
                                || !(oEntry.Name.contains(QStringLiteral("_thumb")) || oEntry.Name.endsWith(QStringLiteral(".svg")));
        EXPECT_EQ(IsEncryptedKind(*oEntry.Kind), bEncrypted);
        iEncrypted += bEncrypted;

        zip_stat_t oStat;
        ASSERT_EQ(zip_stat_index(oZip.get(), i, 0, &oStat), 0);
        EXPECT_EQ(oStat.comp_method, ZIP_CM_DEFLATE);

        const QByteArray oOriginal = FileBytes(QDir(TestPackMembersDir()).filePath(oEntry.Name));
        const QByteArray oStored = ReadArchiveMember(oZip.get(), qint64(i), oEntry.Name);
        EXPECT_EQ(oStored == oOriginal, !bEncrypted);
        if (bEncrypted) {
            EXPECT_EQ(oStored.size() % 16, 0);
        }
        EXPECT_TRUE(ExtractMember(oArchive, sOut, oEntry.Name) == oOriginal);
    }
    EXPECT_GT(iEncrypted, 2);
    // Members are found without regard to case, as the application finds them.
    EXPECT_TRUE(ExtractMember(oArchive, sOut, QStringLiteral("RES2.JSON"))
                == FileBytes(QDir(TestPackMembersDir()).filePath(QStringLiteral("res2.json"))));
}

TEST(PackTool, RejectsPacksTheApplicationCouldNotRead)
{
    const QString sImg = Stem(QStringLiteral("img")) + ".png";
    const QString sThumb = Stem(QStringLiteral("img")) + "_thumb.png";
    const QByteArray oPng = PngOf(QSize(2, 2), Qt::red);
    const QString sSvg = Stem(QStringLiteral("bubble")) + ".svg";
    const auto index = [&](const QString &asFile, const QString &asThumb, const QString &asMask = QString(),
                           const QString &asType = QStringLiteral("Hair")) {
        return TPackFile{"res1.json", IndexJson({{asType, {{asFile, asThumb, asMask}}}})};
    };
    const struct {
        const char *Case;
        std::vector<TPackFile> Files;
        QString Message; // a trailing '*' matches any rest
    } CASES[] = {
        {"empty", {}, "The pack has no members"},
        {"stray file", {{"notes.txt", "x"}}, "'notes.txt' is not a pack member name (*"},
        {"upper-case digits", {{sImg.toUpper(), oPng}}, "'" + sImg.toUpper() + "' is not a pack member name (*"},
        {"a line break after a member name", {{sImg + "\n", oPng}}, "'" + sImg + "\n' is not a pack member name (*"},
        {"an index name with a line break", {{"res1.json\n", "{}"}}, "'res1.json\n' is not a pack member name (*"},
        {"twice", {{sImg, oPng}, {sImg, oPng}}, "'" + sImg + "' is in the pack twice"},
        {"not an image", {{sImg, "GIF89a"}}, "'" + sImg + "' is not a PNG or JPEG image"},
        {"bad index", {{"res1.json", "{\"c\": \"3.5\"}"}}, "res1.json: '3.5' is not a valid integer value"},
        {"thumbnail named as full image",
         {index(sThumb, sThumb), {sThumb, oPng}},
         "res1.json: Hair item 0: fileName '" + sThumb + "' is not a name the application can read as a full image, *"},
        {"full image named as thumbnail",
         {index(sImg, sImg), {sImg, oPng}},
         "res1.json: Hair item 0: thumbFile '" + sImg + "' is not a name the application can read as a thumbnail"},
        // A bubble document is read plain and never as a picture; every other
        // full image is decrypted and decoded as one.
        {"bubble named as thumbnail",
         {index(sImg, sSvg), {sImg, oPng}},
         "res1.json: Hair item 0: thumbFile '" + sSvg + "' is not a name the application can read as a thumbnail"},
        {"bubble named as mask",
         {index(sImg, sThumb, sSvg), {sImg, oPng}, {sThumb, oPng}},
         "res1.json: Hair item 0: maskFile '" + sSvg + "' is not a name the application can read as a mask"},
        {"bubble named as a hair's full image",
         {index(sSvg, sThumb), {sThumb, oPng}},
         "res1.json: Hair item 0: fileName '" + sSvg + "' is not a name the application can read as a full image, *"},
        {"picture named as a bubble's full image",
         {index(sImg, sThumb, QString(), QStringLiteral("Paopao")), {sImg, oPng}, {sThumb, oPng}},
         "res1.json: Paopao item 0: fileName '" + sImg + "' is not a name the application can read as a full image, *"},
    };
    for (const auto &c : CASES) {
        const QString sMessage = ErrorOf([&] { BuildPackArchive(c.Files); });
        if (c.Message.endsWith(u'*'))
            EXPECT_TRUE(sMessage.startsWith(c.Message.chopped(1))) << c.Case << ": " << sMessage;
        else
            EXPECT_EQ(sMessage, c.Message) << c.Case;
    }

    // A member the index names but the pack lacks is only a warning.
    QStringList oWarnings;
    BuildPackArchive({index(sImg, sThumb), {sImg, oPng}}, &oWarnings);
    EXPECT_EQ(oWarnings, QStringList{"res1.json: Hair item 0: thumbFile '" + sThumb + "' is not in the pack"});
}

TEST(PackTool, CommandLineExitCodesAndMessages)
{
    QTemporaryDir oTemp;
    ASSERT_TRUE(oTemp.isValid());
    const QString sZip = oTemp.filePath(QStringLiteral("p.zip"));
    const QString sNotZip = oTemp.filePath(QStringLiteral("n.zip"));
    QFile oNotZip(sNotZip);
    ASSERT_TRUE(oNotZip.open(QIODevice::WriteOnly));
    oNotZip.write("not a zip");
    oNotZip.close();

    const auto run = [](const QStringList &aoArgs, QByteArray *aoStdout = nullptr) {
        QProcess oProcess;
        QProcessEnvironment oEnv = QProcessEnvironment::systemEnvironment();
        oEnv.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        oProcess.setProcessEnvironment(oEnv);
        oProcess.start(QStringLiteral(VUPLORA_PACK_EXE), aoArgs);
        EXPECT_TRUE(oProcess.waitForFinished(60000));
        if (aoStdout)
            *aoStdout = oProcess.readAllStandardOutput();
        return std::make_pair(oProcess.exitStatus() == QProcess::NormalExit ? oProcess.exitCode() : -1,
                              QString::fromUtf8(oProcess.readAllStandardError()));
    };

    const struct {
        QStringList Args;
        int Exit;
        QString Stderr;
    } CASES[] = {
        {{}, 2, "usage: vuplora-pack build"},
        {{"list"}, 2, "usage:"},
        {{"frobnicate", "a"}, 2, "usage:"},
        {{"build", oTemp.filePath("missing"), sZip}, 1, "is not a folder"},
        {{"list", oTemp.filePath("missing.zip")}, 1, "Cannot read"},
        {{"list", sNotZip}, 1, "is not a valid archive: Not a zip archive"},
        {{"extract", TestPackArchivePath(), "nope.png", oTemp.filePath("x")}, 1, "has no member 'nope.png'"},
        {{"build", TestPackMembersDir(), sZip}, 0, ""},
    };
    for (const auto &c : CASES) {
        const auto [iExit, sStderr] = run(c.Args);
        EXPECT_EQ(iExit, c.Exit) << c.Args.join(u' ') << "\n" << sStderr;
        EXPECT_TRUE(sStderr.contains(c.Stderr)) << sStderr;
    }

    QByteArray oOut;
    EXPECT_EQ(run({"extract", sZip, "res1.json", "-"}, &oOut).first, 0);
    EXPECT_TRUE(oOut == FileBytes(QDir(TestPackMembersDir()).filePath(QStringLiteral("res1.json"))));
    EXPECT_EQ(run({"list", sZip}, &oOut).first, 0);
    EXPECT_TRUE(oOut.contains("encrypted") && oOut.contains("plain") && oOut.contains("res2.json"));
}

TEST(PackTool, ConventionsOfTheCommandLine)
{
    const auto run = [](const QStringList &aoArgs, const QString &asStdin = QString()) {
        QProcess oProcess;
        QProcessEnvironment oEnv = QProcessEnvironment::systemEnvironment();
        oEnv.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        oProcess.setProcessEnvironment(oEnv);
        if (!asStdin.isEmpty())
            oProcess.setStandardInputFile(asStdin);
        oProcess.start(QStringLiteral(VUPLORA_PACK_EXE), aoArgs);
        EXPECT_TRUE(oProcess.waitForFinished(60000));
        struct {
            int Exit;
            QByteArray Out, Err;
        } oResult{oProcess.exitStatus() == QProcess::NormalExit ? oProcess.exitCode() : -1,
                  oProcess.readAllStandardOutput(), oProcess.readAllStandardError()};
        return oResult;
    };
    const auto help = run({"--help"});
    EXPECT_EQ(help.Exit, 0);
    EXPECT_TRUE(help.Out.startsWith("usage: vuplora-pack") && help.Out.contains("exit codes: 0 done, 1 "));
    EXPECT_TRUE(help.Err.isEmpty());
    const auto version = run({"--version"});
    EXPECT_EQ(version.Exit, 0);
    EXPECT_EQ(version.Out, QByteArray("vuplora-pack " VUPLORA_VERSION "\n"));

    // "-" as the archive reads standard input, as the output writes standard output.
    const auto listed = run({"list", "-"}, TestPackArchivePath());
    EXPECT_EQ(listed.Exit, 0) << listed.Err.constData();
    EXPECT_TRUE(listed.Out.contains("res2.json"));
    EXPECT_TRUE(listed.Err.isEmpty());
    const auto built = run({"build", TestPackMembersDir(), "-"});
    EXPECT_EQ(built.Exit, 0);
    EXPECT_TRUE(built.Out == FileBytes(TestPackArchivePath()));
}

TEST(PackTool, NamesArePrintedWithTheirControlCharactersEscaped)
{
    const struct {
        const char *Case;
        QString Name, Printed;
    } CASES[] = {
        {"plain", "res1.json", "res1.json"},
        {"a forged line", "x\nplain       1000       1000  res1.json", "x\\nplain       1000       1000  res1.json"},
        {"carriage return and tab", "a\rb\tc", "a\\rb\\tc"},
        {"escape and delete", QStringLiteral("a\x1b[2Jb\x7f"), "a\\x1b[2Jb\\x7f"},
        {"a backslash stays readable", "a\\n", "a\\\\n"},
        {"letters beyond ASCII as they are", QStringLiteral("h\u00e9"), QStringLiteral("h\u00e9")},
    };
    for (const auto &c : CASES)
        EXPECT_EQ(PrintableText(c.Name), c.Printed) << c.Case;

    // The listing of an archive whose member name holds a line of its own.
    QTemporaryDir oTemp;
    const QString sZip = oTemp.filePath(QStringLiteral("forged.zip"));
    WriteWholeFile(sZip, WriteZipArchive({{CASES[1].Name, "x"}}));
    QProcess oProcess;
    QProcessEnvironment oEnv = QProcessEnvironment::systemEnvironment();
    oEnv.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    oProcess.setProcessEnvironment(oEnv);
    oProcess.start(QStringLiteral(VUPLORA_PACK_EXE), {QStringLiteral("list"), sZip});
    ASSERT_TRUE(oProcess.waitForFinished(60000));
    const QList<QByteArray> oLines = oProcess.readAllStandardOutput().split('\n');
    ASSERT_EQ(oLines.size(), 4); // heading, the member, the count, and the end
    EXPECT_TRUE(oLines[1].endsWith(CASES[1].Printed.toUtf8())) << oLines[1].constData();
    EXPECT_EQ(oLines[2], QByteArray("1 members"));

    // A NUL inside a stored name reads as a space (libzip does so): the name is listed
    // whole, as the name the member is found by, never cut short at the NUL.
    QByteArray oNul = WriteZipArchive({{QStringLiteral("resX1.json\nmore"), "x"}});
    oNul.replace(QByteArray("resX1.json"), QByteArray("res\0" "1.json", 10));
    WriteWholeFile(sZip, oNul);
    oProcess.start(QStringLiteral(VUPLORA_PACK_EXE), {QStringLiteral("list"), sZip});
    ASSERT_TRUE(oProcess.waitForFinished(60000));
    const QList<QByteArray> oNulLines = oProcess.readAllStandardOutput().split('\n');
    ASSERT_EQ(oNulLines.size(), 4);
    EXPECT_TRUE(oNulLines[1].endsWith("  res 1.json\\nmore")) << oNulLines[1].constData();
    EXPECT_EQ(ExtractMember(oNul, sZip, QStringLiteral("res 1.json\nmore")), QByteArray("x"));
}

TEST(PackTool, ReadsAndWritesOnlyRegularFilesWhereItShould)
{
    QTemporaryDir oTemp;
    ASSERT_TRUE(oTemp.isValid());
    const QDir oRoot(oTemp.path());
    ASSERT_TRUE(oRoot.mkdir(QStringLiteral("pack")));
    const QString sPack = oRoot.filePath(QStringLiteral("pack"));
    const QString sThumb = Stem(QStringLiteral("img")) + "_thumb.png";
    const QString sOther = Stem(QStringLiteral("other")) + "_thumb.png";
    QFile oSecret(oRoot.filePath(QStringLiteral("secret.png")));
    ASSERT_TRUE(oSecret.open(QIODevice::WriteOnly));
    oSecret.write(PngOf(QSize(2, 2), Qt::red));
    oSecret.close();
    QFile oThumb(QDir(sPack).filePath(sThumb));
    ASSERT_TRUE(oThumb.open(QIODevice::WriteOnly));
    oThumb.write(PngOf(QSize(2, 2), Qt::blue));
    oThumb.close();

    // A link to another member of the folder is read; one that leads out is refused.
    ASSERT_TRUE(QFile::link(sThumb, QDir(sPack).filePath(sOther)));
    const QString sZip = oRoot.filePath(QStringLiteral("p.zip"));
    EXPECT_EQ(ErrorOf([&] { BuildPack(sPack, sZip); }), QStringLiteral("(no error)"));
    ASSERT_TRUE(QFile::remove(QDir(sPack).filePath(sOther)));
    ASSERT_TRUE(QFile::link(oSecret.fileName(), QDir(sPack).filePath(sOther)));
    EXPECT_EQ(ErrorOf([&] { BuildPack(sPack, sZip); }),
              QStringLiteral("'%1' is a link that leads out of the pack folder").arg(QDir(sPack).filePath(sOther)));
    ASSERT_TRUE(QFile::remove(QDir(sPack).filePath(sOther)));

    // An output that exists and is not a regular file stays as it is.
    const QString sLink = oRoot.filePath(QStringLiteral("link.zip"));
    ASSERT_TRUE(QFile::link(oSecret.fileName(), sLink));
    for (const QString &sOut : {sLink, QStringLiteral("/dev/null"), sPack}) {
        EXPECT_EQ(ErrorOf([&] { BuildPack(sPack, sOut); }),
                  QStringLiteral("Cannot write '%1': it exists and is not a regular file").arg(sOut));
    }
    EXPECT_TRUE(QFileInfo(sLink).isSymLink());
    EXPECT_EQ(FileBytes(oSecret.fileName()), PngOf(QSize(2, 2), Qt::red));

    // Inputs that never end are not read.
    EXPECT_EQ(ErrorOf([] { ReadWholeFile(QStringLiteral("/dev/zero")); }),
              QStringLiteral("Cannot read '/dev/zero': not a regular file"));
    QFile oBig(oRoot.filePath(QStringLiteral("big.zip")));
    ASSERT_TRUE(oBig.open(QIODevice::WriteOnly) && oBig.resize(MAX_ARCHIVE_BYTES + 1));
    oBig.close();
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(oBig.fileName()); }),
              QStringLiteral("Cannot read '%1': larger than 536870912 bytes").arg(oBig.fileName()));
    // A stream tells its size only by ending.
    QFile oPipe;
    ASSERT_TRUE(oPipe.open(std::fopen("/dev/zero", "rb"), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    EXPECT_EQ(ErrorOf([&] { ReadAllBounded(oPipe, QStringLiteral("standard input"), 1000); }),
              QStringLiteral("Cannot read 'standard input': larger than 1000 bytes"));
}
