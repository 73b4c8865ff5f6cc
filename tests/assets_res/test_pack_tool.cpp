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

namespace {

QByteArray FileBytes(const QString &asPath)
{
    QFile oFile(asPath);
    EXPECT_TRUE(oFile.open(QIODevice::ReadOnly)) << asPath;
    return oFile.readAll();
}

} // namespace

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
