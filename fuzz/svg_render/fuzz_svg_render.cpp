// Loads arbitrary bytes as an SVG document and draws it into a small picture, as the
// command-line renderer does with a file it did not write. Load and size errors are
// fine; crashes, leaks, and work or memory beyond libFuzzer's limits are not.

#include "errors/errors.h"
#include "svg/render/rasterize.h"
#include "svg/render/raster_limits.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Text needs a running application; drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // Kept to the end of the process: libFuzzer leaves through exit(), and an
    // application torn down there leaves Qt's font caches to the leak checker.
    static QGuiApplication *const app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TSVGRasterOptions options;
    options.Width = 64;
    try {
        const QImage image = SVGRenderBytes(bytes, options);
        if (image.width() != 64)
            __builtin_trap();
    } catch (const EVuploraError &) {
    }
    // Every layer and tile is given back, whatever happened while drawing.
    if (TSVGRasterReservation::Live() != 0)
        __builtin_trap();
    return 0;
}
