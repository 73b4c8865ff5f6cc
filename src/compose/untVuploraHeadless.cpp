#include "compose/untVuploraHeadless.h"

#include "errors/errors.h"
#include "imageio/picture_writer.h"
#include "platform/safewrite.h"

#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>

namespace {

constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;
constexpr qint64 MAX_COUNT = 100000;

const char USAGE[] =
    "usage: vuplora portrait --pack N --seed S [--count K] [--avatar SIZE [--transparent]] OUT.png\n"
    "       vuplora portrait --help\n"
    "Composes a random portrait from pack N (1 or 2) without a window and writes it\n"
    "as a 640 x 1136 PNG with transparency. The same pack and seed S (0 to\n"
    "18446744073709551615) give the same picture on every run and machine.\n"
    "OUT.png \"-\" is the standard output (one portrait only).\n"
    "--count K (1 to 100000) writes K portraits, OUT-1.png to OUT-K.png beside OUT.png;\n"
    "portrait k is the one of seed S+k-1.\n"
    "--avatar SIZE (256, 512 or 1024) writes the portrait's head as a SIZE x SIZE\n"
    "square avatar instead, on its backdrop or, with --transparent, without it.\n"
    "exit codes: 0 done, 1 a portrait could not be made or written, 2 usage\n";

void Err(const QString &asText)
{
    std::fprintf(stderr, "vuplora portrait: %s\n", qPrintable(asText));
}

struct TArgs {
    qint32 Pack = 0;
    quint64 Seed = 0;
    bool HasSeed = false;
    qint64 Count = 1;
    qint32 Avatar = 0;
    bool Transparent = false;
    QString Out;
    bool Help = false;
};

// Fills aoArgs; returns the usage error, empty when the arguments are sound.
QString ParseArgs(const QStringList &aoArgs, TArgs &aoOut)
{
    bool hasPack = false;
    for (qsizetype i = 0; i < aoArgs.size(); ++i) {
        const QString &a = aoArgs[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            aoOut.Help = true;
            return {};
        }
        if (a == QLatin1String("--transparent")) {
            aoOut.Transparent = true;
            continue;
        }
        if (a == QLatin1String("--avatar")) {
            if (i + 1 >= aoArgs.size())
                return a + QStringLiteral(" needs a value");
            const QString v = aoArgs[++i];
            bool ok = false;
            aoOut.Avatar = v.toInt(&ok);
            if (!ok || !IsAvatarSize(aoOut.Avatar))
                return QStringLiteral("--avatar must be 256, 512 or 1024, not '%1'").arg(v);
            continue;
        }
        if (a == QLatin1String("--pack") || a == QLatin1String("--seed") || a == QLatin1String("--count")) {
            if (i + 1 >= aoArgs.size())
                return a + QStringLiteral(" needs a value");
            const QString v = aoArgs[++i];
            // One rule for every number: decimal digits only, no sign, no spaces,
            // no "0x" (toULongLong and toInt take some of those).
            const bool digits = !v.isEmpty() && std::all_of(v.begin(), v.end(), [](QChar c) {
                return c >= QLatin1Char('0') && c <= QLatin1Char('9');
            });
            bool ok = false;
            if (a == QLatin1String("--pack")) {
                aoOut.Pack = v.toInt(&ok);
                if (!digits || !ok || aoOut.Pack < TPackIndexFiles::Low || aoOut.Pack > TPackIndexFiles::High)
                    return QStringLiteral("--pack must be 1 or 2, not '%1'").arg(v);
                hasPack = true;
            } else if (a == QLatin1String("--seed")) {
                aoOut.Seed = v.toULongLong(&ok, 10);
                if (!digits || !ok)
                    return QStringLiteral("--seed must be a whole number from 0 to 18446744073709551615, not '%1'")
                        .arg(v);
                aoOut.HasSeed = true;
            } else {
                aoOut.Count = v.toLongLong(&ok);
                if (!digits || !ok || aoOut.Count < 1 || aoOut.Count > MAX_COUNT)
                    return QStringLiteral("--count must be from 1 to %1, not '%2'").arg(MAX_COUNT).arg(v);
            }
            continue;
        }
        if (a.startsWith(QLatin1String("--")))
            return QStringLiteral("unknown option '%1'").arg(a);
        if (!aoOut.Out.isEmpty())
            return QStringLiteral("one output file, not '%1' and '%2'").arg(aoOut.Out, a);
        aoOut.Out = a;
    }
    if (!hasPack)
        return QStringLiteral("--pack is missing");
    if (!aoOut.HasSeed)
        return QStringLiteral("--seed is missing");
    if (aoOut.Out.isEmpty())
        return QStringLiteral("the output file is missing");
    if (aoOut.Out == QLatin1String("-") && aoOut.Count > 1)
        return QStringLiteral("--count writes several files and needs a file name, not '-'");
    if (aoOut.Transparent && aoOut.Avatar == 0)
        return QStringLiteral("--transparent goes with --avatar");
    return {};
}

// OUT.png for one portrait; OUT-k.png for the k-th of several.
QString OutputName(const QString &asOut, qint64 aiCount, qint64 k)
{
    if (aiCount == 1)
        return asOut;
    const QFileInfo info(asOut);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem = suffix.isEmpty() ? asOut : asOut.left(asOut.size() - suffix.size());
    return stem + QLatin1Char('-') + QString::number(k) + suffix;
}

// "-" is the standard output, as in the other tools; a file takes its name only
// once it is written whole, and a device or a pipe under the name is left alone.
void WritePicture(const QImage &aoPicture, const QString &asFileName)
{
    try {
        if (asFileName == QLatin1String("-"))
            SafeWriteStandardOutput(PictureWriter(aoPicture, "png"));
        else
            SafeWriteFile(asFileName, PictureWriter(aoPicture, "png"));
    } catch (const ESafeWriteError &e) {
        throw EVuploraError(QStringLiteral("cannot write '%1': %2").arg(asFileName, e.Message()));
    }
}

} // namespace

qint32 TSeededPicks::Pick(qint32 aiCount)
{
    if (aiCount <= 0)
        return 0;
    // Values below 2^64 mod n would make the low results likelier; they are
    // drawn again.
    const quint64 n = quint64(aiCount);
    const quint64 reject = (std::numeric_limits<quint64>::max() - n + 1) % n;
    quint64 v;
    do
        v = moEngine();
    while (v < reject);
    return qint32(v % n);
}

quint64 FreshSeed()
{
    return quint64(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

TPortrait SeededPortrait(const TFaceRes &aoRes, quint64 aiSeed)
{
    TPortrait portrait;
    portrait.Pack = giPackIndex;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
        portrait.Layers[t].Pos = FACE_ITEM_RECTS[t].topLeft();
    portrait.Bubble.Frame = QRectF(100, 100, 273, 209);
    portrait.Watermark = QPointF(384, 1000);
    TSeededPicks picks(aiSeed);
    for (TYPE_FACE_ITEM type : RandomPicks()) {
        const TFaceItemDataList *items = aoRes.GetFaceItem(type);
        TPortraitLayer &layer = portrait.Layers[type];
        layer.Present = true;
        layer.Index = picks.Pick(items ? qint32(items->size()) : 0);
    }
    return portrait;
}

int RunPortraitCommand(int argc, char **argv)
{
    QStringList args;
    for (int i = 2; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    TArgs parsed;
    const QString usageError = ParseArgs(args, parsed);
    if (parsed.Help) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (!usageError.isEmpty()) {
        Err(usageError);
        std::fputs(USAGE, stderr);
        return EXIT_USAGE;
    }

    // No window is ever made: the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    try {
        giPackIndex = parsed.Pack;
        TFaceRes res;
        res.LoadRes(QStringLiteral("res_girl"));
        for (qint64 k = 1; k <= parsed.Count; ++k) {
            // The seed of portrait k wraps around past the largest one.
            const quint64 seed = parsed.Seed + quint64(k - 1);
            const TPortrait portrait = SeededPortrait(res, seed);
            WritePicture(parsed.Avatar ? RenderAvatar(res, portrait, parsed.Avatar, !parsed.Transparent)
                                       : RenderPortrait(res, portrait),
                         OutputName(parsed.Out, parsed.Count, k));
        }
    } catch (const std::exception &e) {
        Err(QString::fromUtf8(e.what()));
        return EXIT_FAILED;
    }
    return 0;
}
