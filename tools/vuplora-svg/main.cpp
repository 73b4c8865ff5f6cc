// vuplora-svg: renders SVG documents with the engine.
//
//   vuplora-svg [OPTIONS] render IN.svg OUT.png [--width W | --height H | --zoom Z]
//                                               [--background COLOR]
//   vuplora-svg [OPTIONS] batch LIST OUTDIR WIDTH
//
// OPTIONS: --fonts DIR (font files to use, repeatable), --default-family NAME (the family
// of text that names none or only missing ones), --family GENERIC=NAME (the family for
// serif, sans-serif or monospace), --language LANGS (the languages systemLanguage is
// tested against, "en,de"; default: the user's).
//
// A batch LIST holds lines "in.svg<TAB>out.png" (out relative to OUTDIR, which it may not
// leave); each document is rendered WIDTH pixels wide. A document that fails prints its
// message on stderr and the batch goes on; the last two lines printed are
// "render_seconds S", the wall time spent loading and drawing the documents (not encoding
// PNGs, nor waiting for the writers), and "render_cpu_seconds S", the processor time the
// drawing thread spent on them. Pictures are encoded and written on worker threads while
// the next document draws; messages keep the list's order.
//
// "-" stands for standard input (IN.svg, LIST) or standard output (OUT.png). A picture
// is written under its name only once it is whole. Exit codes: 0 done, 1 a document
// could not be rendered or written, 2 usage.

#include "errors/errors.h"
#include "imageio/picture_writer.h"
#include "platform/safewrite.h"
#include "svg/model/values/color.h"
#include "svg/render/rasterize.h"
#include "svg/render/raster_limits.h"
#include "svg/render/text_metrics.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <future>
#include <memory>
#include <exception>
#include <optional>
#include <time.h>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char *const kUsageText =
    "usage: vuplora-svg [OPTIONS] render IN.svg OUT.png [--width W | --height H | --zoom Z] "
    "[--background COLOR]\n"
    "       vuplora-svg [OPTIONS] batch LIST OUTDIR WIDTH\n"
    "       vuplora-svg --help | --version\n"
    "options: --fonts DIR  --default-family NAME  --family GENERIC=NAME  --language LANGS\n"
    "IN.svg and LIST '-' read standard input, OUT.png '-' writes standard output.\n"
    "Documents are read up to 32 MiB, pictures hold at most 16777216 pixels.\n"
    "exit codes: 0 done, 1 a document could not be rendered or written, 2 usage\n";

void Err(const QString &text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

struct TArgs {
    QStringList Positional;
    QStringList Fonts;
    QString DefaultFamily;
    QStringList Families;
    QString Languages;
    std::optional<QString> Width, Height, Zoom, Background;
    bool Help = false, Version = false;
};

// Options may stand anywhere; every one of them but --help and --version takes a value.
bool ParseArgs(const QStringList &args, TArgs &out, QString &error)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (!a.startsWith(QLatin1String("--")) || a == QLatin1String("--")) {
            if (a == QLatin1String("-h"))
                out.Help = true;
            else
                out.Positional << a;
            continue;
        }
        if (a == QLatin1String("--help")) {
            out.Help = true;
            continue;
        }
        if (a == QLatin1String("--version")) {
            out.Version = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("Option %1 needs a value").arg(a);
            return false;
        }
        const QString v = args[++i];
        if (a == QLatin1String("--fonts"))
            out.Fonts << v;
        else if (a == QLatin1String("--default-family"))
            out.DefaultFamily = v;
        else if (a == QLatin1String("--family"))
            out.Families << v;
        else if (a == QLatin1String("--language"))
            out.Languages = v;
        else if (a == QLatin1String("--width"))
            out.Width = v;
        else if (a == QLatin1String("--height"))
            out.Height = v;
        else if (a == QLatin1String("--zoom"))
            out.Zoom = v;
        else if (a == QLatin1String("--background"))
            out.Background = v;
        else {
            error = QStringLiteral("Unknown option %1").arg(a);
            return false;
        }
    }
    return true;
}

// The encoders share the processors with the drawing thread, so the wall time of a
// drawing also counts the encoders' turns; the thread's own processor time does not.
qint64 ThreadCpuNanos()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool IsStdio(const QString &name)
{
    return name == QLatin1String("-");
}

QByteArray ReadDocument(const QString &name)
{
    if (!IsStdio(name))
        return SVGReadDocumentFile(name);
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        throw EVuploraError(QStringLiteral("Cannot read standard input: %1").arg(in.errorString()));
    return SVGReadDocumentStream(in);
}

// Writes the picture whole or not at all (see platform/safewrite.h).
bool WritePicture(const QImage &image, const QString &name, QString &error)
{
    try {
        if (IsStdio(name))
            SafeWriteStandardOutput(PictureWriter(image, "PNG"));
        else
            SafeWriteFile(name, PictureWriter(image, "PNG"));
        return true;
    } catch (const ESafeWriteError &e) {
        error = e.Message();
        return false;
    }
}

// A batch output name stays inside the output folder, also where a folder on its way
// is a link.
bool StaysInside(const QDir &folder, const QString &name)
{
    if (QDir::isAbsolutePath(name))
        return false;
    for (const QString &part : name.split(QLatin1Char('/')))
        if (part == QLatin1String(".."))
            return false;
    const QString root = folder.canonicalPath();
    const QString parent = QFileInfo(folder.filePath(name)).absoluteDir().canonicalPath();
    return parent.isEmpty() || parent == root || parent.startsWith(root + QLatin1Char('/'));
}

bool PositiveInt(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value > 0;
}

bool SetUpFonts(const TArgs &args)
{
    for (const QString &dir : args.Fonts) {
        if (!QFileInfo(dir).isDir()) {
            Err(QStringLiteral("Font folder not found: %1").arg(dir));
            return false;
        }
        TTextMetrics::AddFontFolder(dir);
    }
    if (!args.DefaultFamily.isEmpty())
        TTextMetrics::SetDefaultFamily(args.DefaultFamily);
    for (const QString &pair : args.Families) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            Err(QStringLiteral("--family wants GENERIC=NAME, not %1").arg(pair));
            return false;
        }
        TTextMetrics::SetGenericFamily(pair.left(eq).trimmed(), pair.mid(eq + 1).trimmed());
    }
    return true;
}

int Render(const TArgs &args)
{
    if (args.Positional.size() != 3) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    TSVGRasterOptions options;
    options.Languages = args.Languages;
    const int given = int(args.Width.has_value()) + int(args.Height.has_value()) + int(args.Zoom.has_value());
    if (given > 1) {
        Err(QStringLiteral("Give only one of --width, --height and --zoom"));
        return kUsage;
    }
    if (args.Width && !PositiveInt(*args.Width, options.Width)) {
        Err(QStringLiteral("Invalid width: %1").arg(*args.Width));
        return kUsage;
    }
    if (args.Height && !PositiveInt(*args.Height, options.Height)) {
        Err(QStringLiteral("Invalid height: %1").arg(*args.Height));
        return kUsage;
    }
    if (args.Zoom) {
        bool ok = false;
        options.Zoom = args.Zoom->toFloat(&ok);
        if (!ok || !(options.Zoom > 0) || !std::isfinite(options.Zoom)) {
            Err(QStringLiteral("Invalid zoom: %1").arg(*args.Zoom));
            return kUsage;
        }
    }
    if (args.Background) {
        // An unknown colour comes back as the default, whichever default is given.
        // The engine reads a hexadecimal colour of any length, as its colour rules say; a
        // command line has no reason to accept more than the CSS forms.
        static const QRegularExpression hexForm(QStringLiteral("^\\s*#([0-9A-Fa-f]{3,4}|[0-9A-Fa-f]{6}|[0-9A-Fa-f]{8})\\s*$"));
        const bool badHex = args.Background->trimmed().startsWith(QLatin1Char('#')) &&
                            !hexForm.match(*args.Background).hasMatch();
        bool isNone = false, inherited = false;
        TAlphaColor a = 0, b = 1;
        try {
            a = ParseColor(*args.Background, 0x00000001u, isNone, inherited);
            b = ParseColor(*args.Background, 0x00000002u, isNone, inherited);
        } catch (const EConvertError &) {
            // Malformed forms such as "#12345" raise instead of falling back.
        }
        if (a != b || badHex) {
            Err(QStringLiteral("Invalid colour: %1").arg(*args.Background));
            return kUsage;
        }
        options.Background = isNone ? 0 : a;
    }
    const QString in = args.Positional[1], out = args.Positional[2];
    QImage image;
    try {
        // A file's relative references (images) resolve against the file's folder.
        image = IsStdio(in) ? SVGRenderBytes(ReadDocument(in), options) : SVGRenderFile(in, options);
    } catch (const std::exception &e) {
        Err(QStringLiteral("%1: %2").arg(in, QString::fromUtf8(e.what())));
        return kFailed;
    }
    QString error;
    if (!WritePicture(image, out, error)) {
        Err(QStringLiteral("%1: cannot write the picture: %2").arg(out, error));
        return kFailed;
    }
    return 0;
}

// Pictures of a batch are encoded and written on worker threads while the next
// document is drawn: encoding and writing take longer than drawing for most documents.
// What the batch prints keeps the list's order, and a name the list gives twice ends up
// with the later picture, as when the batch ran one line after the other.
class TBatchOutput {
public:
    TBatchOutput() { FPool.setMaxThreadCount(qMax(1, QThread::idealThreadCount())); }

    // A line that failed before it had a picture.
    void Fail(const QString &asMessage)
    {
        std::promise<QString> done;
        done.set_value(asMessage);
        FPending.push_back({done.get_future(), QString()});
        Drain(false);
    }

    void Write(QImage aoImage, const QString &asPath)
    {
        const QString key = OutputKey(asPath);
        // The earlier picture under the same name goes first.
        while (std::any_of(FPending.begin(), FPending.end(), [&](const TPending &p) { return p.Key == key; }))
            Pop();
        auto task = std::make_shared<std::packaged_task<QString()>>([image = std::move(aoImage), asPath]() {
            QString error;
            if (!WritePicture(image, asPath, error))
                return QStringLiteral("%1: cannot write the picture: %2").arg(asPath, error);
            return QString();
        });
        FPending.push_back({task->get_future(), key});
        FPool.start([task]() { (*task)(); });
        Drain(false);
    }

    // Waits for every picture; 1 when a line failed, else 0.
    int Finish()
    {
        Drain(true);
        return FStatus;
    }

private:
    struct TPending {
        std::future<QString> Message;
        QString Key;
    };

    // Two spellings of one file (a "./" or a link to a folder on the way) are one name.
    static QString OutputKey(const QString &asPath)
    {
        const QFileInfo info(asPath);
        const QString folder = info.absoluteDir().canonicalPath();
        return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
    }

    void Pop()
    {
        const QString message = FPending.front().Message.get();
        FPending.pop_front();
        if (!message.isEmpty()) {
            Err(message);
            FStatus = kFailed;
        }
    }

    // Prints what the lines at the front have to say. Pictures waiting to be written
    // hold memory: past a few per worker, drawing waits for the oldest.
    void Drain(bool abAll)
    {
        const size_t most = size_t(2 * FPool.maxThreadCount());
        while (!FPending.empty() &&
               (abAll || FPending.size() > most ||
                FPending.front().Message.wait_for(std::chrono::seconds(0)) == std::future_status::ready))
            Pop();
    }

    QThreadPool FPool;
    std::deque<TPending> FPending;
    int FStatus = 0;
};

int Batch(const TArgs &args)
{
    if (args.Positional.size() != 4 || args.Width || args.Height || args.Zoom) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    const QString listName = args.Positional[1];
    const QDir outDir(args.Positional[2]);
    TSVGRasterOptions options;
    options.Languages = args.Languages;
    if (!PositiveInt(args.Positional[3], options.Width)) {
        Err(QStringLiteral("Invalid width: %1").arg(args.Positional[3]));
        return kUsage;
    }
    QByteArray listBytes;
    try {
        listBytes = ReadDocument(listName);
    } catch (const EVuploraError &e) {
        Err(QStringLiteral("%1: %2").arg(listName, e.Message()));
        return kFailed;
    }
    if (!outDir.exists() && !QDir().mkpath(outDir.path())) {
        Err(QStringLiteral("%1: cannot create the folder").arg(outDir.path()));
        return kFailed;
    }
    qint64 nanos = 0, cpuNanos = 0;
    TBatchOutput output;
    QTextStream lines(listBytes);
    while (!lines.atEnd()) {
        const QString line = lines.readLine();
        if (line.trimmed().isEmpty())
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() != 2 || parts[0].isEmpty() || parts[1].isEmpty()) {
            output.Fail(QStringLiteral("%1: not \"in.svg<TAB>out.png\": %2").arg(listName, line));
            continue;
        }
        if (!StaysInside(outDir, parts[1])) {
            output.Fail(QStringLiteral("%1: the output name leaves the output folder; skipped").arg(parts[1]));
            continue;
        }
        const QString in = parts[0], out = outDir.filePath(parts[1]);
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuStart = ThreadCpuNanos();
        QImage image;
        try {
            image = SVGRenderFile(in, options);
        } catch (const std::exception &e) {
            nanos += timer.nsecsElapsed();
            cpuNanos += ThreadCpuNanos() - cpuStart;
            output.Fail(QStringLiteral("%1: %2").arg(in, QString::fromUtf8(e.what())));
            continue;
        }
        nanos += timer.nsecsElapsed();
        cpuNanos += ThreadCpuNanos() - cpuStart;
        output.Write(std::move(image), out);
    }
    const int status = output.Finish();
    std::printf("render_seconds %s\nrender_cpu_seconds %s\n", qPrintable(QString::number(double(nanos) / 1e9, 'f', 4)),
                qPrintable(QString::number(double(cpuNanos) / 1e9, 'f', 4)));
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's remarks (a missing runtime folder at start-up, a font without OpenType
    // tables for a script) concern the desktop session, not the picture, and would fill
    // every run's error output; what goes wrong with a document is reported by the
    // tool's own messages.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            Err(text);
    });
    QGuiApplication app(argc, argv);
    QStringList raw = QCoreApplication::arguments();
    raw.removeFirst();
    TArgs args;
    QString error;
    if (!ParseArgs(raw, args, error)) {
        Err(error);
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    if (args.Help) {
        std::fputs(kUsageText, stdout);
        return 0;
    }
    if (args.Version) {
        std::printf("vuplora-svg %s\n", VUPLORA_VERSION);
        return 0;
    }
    if (args.Positional.isEmpty()) {
        std::fputs(kUsageText, stderr);
        return kUsage;
    }
    if (!SetUpFonts(args))
        return kUsage;
    const QString verb = args.Positional.front();
    if (verb == QLatin1String("render"))
        return Render(args);
    if (verb == QLatin1String("batch"))
        return Batch(args);
    Err(QStringLiteral("Unknown command %1").arg(verb));
    std::fputs(kUsageText, stderr);
    return kUsage;
}
