// QtSvg over a batch list, the way vuplora-svg batch runs it:
//   qtsvg_batch LIST OUTDIR WIDTH
// LIST lines are "in.svg<TAB>out.png"; each document is drawn WIDTH pixels wide (height
// from its aspect ratio, rounded up as resvg does) onto a transparent picture. Prints
// "render_seconds S" (wall time of loading, drawing and letting go of the document, not
// PNG encoding) and "render_cpu_seconds S" (the processor time this thread spent on the
// same), both timed as vuplora-svg batch times them. Pictures are written the way
// vuplora-svg writes them.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <time.h>

static qint64 ThreadCpuNanos()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // QtSvg's complaints about unsupported features would drown the output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: qtsvg_batch LIST OUTDIR WIDTH\n", stderr);
        return 2;
    }
    QFile list(QString::fromLocal8Bit(argv[1]));
    if (!list.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: cannot read\n", argv[1]);
        return 1;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[2]));
    const int width = QByteArray(argv[3]).toInt();
    qint64 nanos = 0, cpuNanos = 0;
    QTextStream lines(&list);
    while (!lines.atEnd()) {
        const QStringList parts = lines.readLine().split(QLatin1Char('\t'));
        if (parts.size() != 2)
            continue;
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuStart = ThreadCpuNanos();
        QImage image;
        {
            // The document is let go inside the timed part, as vuplora-svg lets go of its own.
            QSvgRenderer renderer(parts[0]);
            if (renderer.isValid()) {
                const QSizeF size = renderer.viewBoxF().isEmpty() ? QSizeF(renderer.defaultSize())
                                                                   : renderer.viewBoxF().size();
                const int height = std::max(1, int(std::ceil(width * size.height() / size.width())));
                image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::transparent);
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing);
                renderer.render(&painter);
            }
        }
        nanos += timer.nsecsElapsed();
        cpuNanos += ThreadCpuNanos() - cpuStart;
        if (image.isNull()) {
            std::fprintf(stderr, "%s: QtSvg cannot read it\n", qPrintable(parts[0]));
            continue;
        }
        // Written as vuplora-svg writes its pictures: whole, synced to disk and then
        // renamed. The disk work a sync starts goes on while the next document is drawn
        // and slows it down on a small machine, so both programs must do the same.
        QSaveFile file(outDir.filePath(parts[1]));
        QImageWriter writer(&file, "PNG");
        if (!file.open(QIODevice::WriteOnly) || !writer.write(image) || !file.commit())
            std::fprintf(stderr, "%s: cannot write the picture\n", qPrintable(file.fileName()));
    }
    std::printf("render_seconds %.4f\nrender_cpu_seconds %.4f\n", double(nanos) / 1e9, double(cpuNanos) / 1e9);
    return 0;
}
