// vuplora-pack: builds and inspects the asset archive of the application.

#include "PackArchive.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

const char USAGE[] =
    "usage: vuplora-pack build SRC_DIR OUT.zip\n"
    "       vuplora-pack list ARCHIVE\n"
    "       vuplora-pack extract ARCHIVE MEMBER OUT\n"
    "       vuplora-pack --help | --version\n"
    "ARCHIVE '-' reads standard input, OUT.zip and OUT '-' write to standard output.\n"
    "An archive is read up to 512 MiB, a member up to 64 MiB.\n"
    "exit codes: 0 done, 1 the folder or archive could not be processed, 2 usage\n";

bool IsStdio(const QString &asName)
{
    return asName == QStringLiteral("-");
}

QByteArray ReadArchive(const QString &asName)
{
    if (!IsStdio(asName))
        return ReadWholeFile(asName);
    QFile oIn;
    if (!oIn.open(stdin, QIODevice::ReadOnly))
        throw EPackError(QStringLiteral("Cannot read standard input: %1").arg(oIn.errorString()));
    return ReadAllBounded(oIn, QStringLiteral("standard input"), MAX_ARCHIVE_BYTES);
}

void WriteOutput(const QString &asName, const QByteArray &aoContent)
{
    if (!IsStdio(asName)) {
        WriteWholeFile(asName, aoContent);
        return;
    }
    if (std::fwrite(aoContent.constData(), 1, size_t(aoContent.size()), stdout) != size_t(aoContent.size())
        || std::fflush(stdout) != 0)
        throw EPackError(QStringLiteral("Cannot write to standard output"));
}

QString StorageText(const TPackListEntry &aoEntry)
{
    if (!aoEntry.Kind)
        return QStringLiteral("unknown");
    return IsEncryptedKind(*aoEntry.Kind) ? QStringLiteral("encrypted") : QStringLiteral("plain");
}

int RunBuild(const QStringList &aoArgs)
{
    QStringList oWarnings;
    WriteOutput(aoArgs[1], BuildPackFromFolder(aoArgs[0], &oWarnings));
    QTextStream oErr(stderr);
    for (const QString &sWarning : oWarnings)
        oErr << "warning: " << PrintableText(sWarning) << '\n';
    return 0;
}

int RunList(const QStringList &aoArgs)
{
    const auto oList = ListPack(ReadArchive(aoArgs[0]), aoArgs[0]);
    QTextStream oOut(stdout);
    oOut << QStringLiteral("%1 %2 %3  %4\n")
                .arg(QStringLiteral("storage"), -9)
                .arg(QStringLiteral("stored"), 10)
                .arg(QStringLiteral("size"), 10)
                .arg(QStringLiteral("name"));
    for (const TPackListEntry &oEntry : oList) {
        oOut << QStringLiteral("%1 %2 %3  %4\n")
                    .arg(StorageText(oEntry), -9)
                    .arg(oEntry.Compressed, 10)
                    .arg(oEntry.Uncompressed, 10)
                    .arg(PrintableText(oEntry.Name));
    }
    oOut << oList.size() << " members\n";
    return 0;
}

int RunExtract(const QStringList &aoArgs)
{
    WriteOutput(aoArgs[2], ExtractMember(ReadArchive(aoArgs[0]), aoArgs[0], aoArgs[1]));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList oArgs = app.arguments().mid(1);
    const QString sVerb = oArgs.isEmpty() ? QString() : oArgs.takeFirst();
    if (sVerb == QStringLiteral("--help") || sVerb == QStringLiteral("-h")) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (sVerb == QStringLiteral("--version")) {
        std::printf("vuplora-pack %s\n", VUPLORA_VERSION);
        return 0;
    }

    struct TVerb {
        const char *Name;
        qsizetype ArgCount;
        int (*Run)(const QStringList &);
    };
    static const TVerb VERBS[] = {{"build", 2, RunBuild}, {"list", 1, RunList}, {"extract", 3, RunExtract}};
    for (const TVerb &oVerb : VERBS) {
        if (sVerb != QLatin1String(oVerb.Name))
            continue;
        if (oArgs.size() != oVerb.ArgCount)
            break;
        try {
            return oVerb.Run(oArgs);
        } catch (const EVuploraError &e) {
            QTextStream(stderr) << "vuplora-pack: " << PrintableText(e.Message()) << '\n';
            return EXIT_FAILED;
        } catch (const std::exception &e) {
            QTextStream(stderr) << "vuplora-pack: " << PrintableText(QString::fromUtf8(e.what())) << '\n';
            return EXIT_FAILED;
        }
    }
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
}
