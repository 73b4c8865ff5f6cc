// vuplora-pack: builds and inspects the asset archive of the application.

#include "PackArchive.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int EXIT_USAGE = 2;

const char USAGE[] =
    "usage: vuplora-pack build SRC_DIR OUT.zip\n"
    "       vuplora-pack list ARCHIVE\n"
    "       vuplora-pack extract ARCHIVE MEMBER OUT   (OUT '-' writes to standard output)\n";

QString StorageText(const TPackListEntry &aoEntry)
{
    if (!aoEntry.Kind)
        return QStringLiteral("unknown");
    return IsEncryptedKind(*aoEntry.Kind) ? QStringLiteral("encrypted") : QStringLiteral("plain");
}

int RunBuild(const QStringList &aoArgs)
{
    QStringList oWarnings;
    BuildPack(aoArgs[0], aoArgs[1], &oWarnings);
    QTextStream oErr(stderr);
    for (const QString &sWarning : oWarnings)
        oErr << "warning: " << sWarning << '\n';
    return 0;
}

int RunList(const QStringList &aoArgs)
{
    const auto oList = ListPack(ReadWholeFile(aoArgs[0]), aoArgs[0]);
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
                    .arg(oEntry.Name);
    }
    oOut << oList.size() << " members\n";
    return 0;
}

int RunExtract(const QStringList &aoArgs)
{
    const QByteArray oContent = ExtractMember(ReadWholeFile(aoArgs[0]), aoArgs[0], aoArgs[1]);
    if (aoArgs[2] == QStringLiteral("-")) {
        if (std::fwrite(oContent.constData(), 1, size_t(oContent.size()), stdout) != size_t(oContent.size())
            || std::fflush(stdout) != 0)
            throw EPackError(QStringLiteral("Cannot write to standard output"));
    } else {
        WriteWholeFile(aoArgs[2], oContent);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList oArgs = app.arguments().mid(1);
    const QString sVerb = oArgs.isEmpty() ? QString() : oArgs.takeFirst();

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
            QTextStream(stderr) << "vuplora-pack: " << e.Message() << '\n';
            return 1;
        } catch (const std::exception &e) {
            QTextStream(stderr) << "vuplora-pack: " << e.what() << '\n';
            return 1;
        }
    }
    if (sVerb == QStringLiteral("--help") || sVerb == QStringLiteral("-h")) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    std::fputs(USAGE, stderr);
    return EXIT_USAGE;
}
