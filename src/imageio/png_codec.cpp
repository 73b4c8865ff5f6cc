#include "imageio/png_codec.h"

#include <QIODevice>
#include <spng.h>
#include <zlib.h>

#include <algorithm>
#include <climits>

#include <memory>

namespace {

// Chosen on the batch tool's corpus (flat-coloured drawings, mostly transparent):
// unfiltered rows at zlib level 4 come out at 0.88 times the size of Qt's default
// writer (level 6, the filter chosen per row among all five) in a third of its time.
// A row filter costs more here than it saves: the Up filter on every row came out 1.07
// times Qt's size, and libspng filters byte by byte, a quarter of its encoding time.
// Levels 1 to 3 (zlib's fast matcher) come out 1.13 to 1.3 times larger.
constexpr int kCompressionLevel = 4;
constexpr int kFilters = SPNG_DISABLE_FILTERING;
// Ancillary chunks (text, colour profiles) are skipped past these sizes rather than
// held in memory.
constexpr size_t kChunkSizeLimit = 8 * 1024 * 1024;
constexpr size_t kChunkCacheLimit = 32 * 1024 * 1024;
// Rows are converted to the stored layout in bands of about this many bytes, small
// enough that Qt converts them on the calling thread and they stay in its cache.
constexpr int kBandBytes = 32 * 1024;

struct TContextFree {
    void operator()(spng_ctx *ctx) const { spng_ctx_free(ctx); }
};
using TContext = std::unique_ptr<spng_ctx, TContextFree>;

QString Reason(int code)
{
    return QString::fromUtf8(spng_strerror(code));
}

struct TSink {
    QIODevice *Device = nullptr;
    QByteArray *Bytes = nullptr;
    QString DeviceError;
};

int WriteToSink(spng_ctx *, void *user, void *data, size_t length)
{
    auto *sink = static_cast<TSink *>(user);
    if (sink->Bytes) {
        sink->Bytes->append(static_cast<const char *>(data), qsizetype(length));
        return 0;
    }
    if (sink->Device->write(static_cast<const char *>(data), qint64(length)) != qint64(length)) {
        sink->DeviceError = sink->Device->errorString();
        return SPNG_IO_ERROR;
    }
    return 0;
}

void Encode(const QImage &image, TSink &sink)
{
    if (image.isNull())
        throw EImageIOError(QStringLiteral("Cannot write a PNG picture: the picture is empty"));
    const bool alpha = image.hasAlphaChannel();
    const QImage::Format stored = alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    const auto fail = [&](int code) {
        throw EImageIOError(QStringLiteral("Cannot write a PNG picture: %1")
                                .arg(sink.DeviceError.isEmpty() ? Reason(code) : sink.DeviceError));
    };
    TContext ctx(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx)
        fail(SPNG_EMEM);
    int rc = spng_set_png_stream(ctx.get(), WriteToSink, &sink);
    spng_ihdr ihdr{};
    ihdr.width = uint32_t(image.width());
    ihdr.height = uint32_t(image.height());
    ihdr.bit_depth = 8;
    ihdr.color_type = alpha ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR;
    if (!rc)
        rc = spng_set_ihdr(ctx.get(), &ihdr);
    if (!rc)
        rc = spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, kCompressionLevel);
    if (!rc)
        rc = spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, kFilters);
    // libspng's default strategy is meant for filtered rows.
    if (!rc)
        rc = spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_STRATEGY, Z_DEFAULT_STRATEGY);
    if (!rc && image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        spng_phys phys{uint32_t(image.dotsPerMeterX()), uint32_t(image.dotsPerMeterY()), 1};
        rc = spng_set_phys(ctx.get(), &phys);
    }
    if (!rc)
        rc = spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    if (rc)
        fail(rc);
    // Row by row: a QImage row may be longer than the pixels it holds.
    const size_t rowBytes = size_t(image.width()) * (alpha ? 4 : 3);
    // Qt's own conversion un-premultiplies, so the stored colours are those Qt's writer
    // stores. It converts a band of rows at a time, on this thread: a whole large
    // picture Qt converts on its thread pool, work that neither the caller's time nor
    // the other threads of a batch see, into a copy as large as the picture. A picture
    // already in the stored layout is not copied.
    const int bandRows = std::max(1, kBandBytes / std::max(1, int(image.bytesPerLine())));
    for (int top = 0; top < image.height(); top += bandRows) {
        const int count = std::min(bandRows, image.height() - top);
        QImage band = image.format() == stored
                          ? image
                          : QImage(image.constScanLine(top), image.width(), count, image.bytesPerLine(),
                                   image.format());
        if (image.format() != stored) {
            band.setColorTable(image.colorTable());
            band = band.convertToFormat(stored);
            if (band.isNull())
                throw EImageIOError(
                    QStringLiteral("Out of memory for a %1 x %2 picture").arg(image.width()).arg(image.height()));
        }
        const int first = image.format() == stored ? top : 0;
        for (int y = first; y < first + count; ++y) {
            rc = spng_encode_row(ctx.get(), band.constScanLine(y), rowBytes);
            if (rc && rc != SPNG_EOI)
                fail(rc);
        }
    }
    if (rc != SPNG_EOI)
        fail(rc);
}

} // namespace

bool PngSignature(QByteArrayView data)
{
    return data.startsWith(QByteArrayView("\x89PNG\r\n\x1a\n", 8));
}

QByteArray PngEncode(const QImage &image)
{
    QByteArray bytes;
    // Compressed pictures mostly land well under a byte a pixel.
    bytes.reserve(qsizetype(qMin<qint64>(qint64(image.width()) * image.height() + 1024, 64 * 1024 * 1024)));
    TSink sink;
    sink.Bytes = &bytes;
    Encode(image, sink);
    return bytes;
}

void PngWrite(QIODevice &device, const QImage &image)
{
    TSink sink;
    sink.Device = &device;
    Encode(image, sink);
}

QImage PngDecode(QByteArrayView data)
{
    if (!PngSignature(data))
        throw EImageIOError(QStringLiteral("Not a PNG picture"));
    const auto fail = [](int code) { throw EImageIOError(QStringLiteral("Unreadable PNG picture: %1").arg(Reason(code))); };
    TContext ctx(spng_ctx_new(0));
    if (!ctx)
        fail(SPNG_EMEM);
    int rc = spng_set_chunk_limits(ctx.get(), kChunkSizeLimit, kChunkCacheLimit);
    if (!rc)
        rc = spng_set_png_buffer(ctx.get(), data.data(), size_t(data.size()));
    spng_ihdr ihdr{};
    if (!rc)
        rc = spng_get_ihdr(ctx.get(), &ihdr);
    if (rc)
        fail(rc);
    spng_trns trns{};
    const bool alpha = ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ||
                       ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA || spng_get_trns(ctx.get(), &trns) == 0;
    const bool deep = ihdr.bit_depth == 16;
    const int bytesPerPixel = deep ? 8 : 4;
    // Divided, not multiplied: two header sizes near 2^31 overflow any product.
    if (ihdr.height == 0 || qint64(ihdr.width) > PngMaxDecodedBytes / bytesPerPixel / qint64(ihdr.height))
        throw EImageIOError(QStringLiteral("PNG picture too large: %1 x %2 pixels").arg(ihdr.width).arg(ihdr.height));
    const QImage::Format format = deep ? (alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64)
                                       : (alpha ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    QImage image(int(ihdr.width), int(ihdr.height), format);
    if (image.isNull())
        throw EImageIOError(QStringLiteral("Out of memory for a %1 x %2 picture").arg(ihdr.width).arg(ihdr.height));
    const int fmt = deep ? SPNG_FMT_RGBA16 : SPNG_FMT_RGBA8;
    size_t size = 0;
    rc = spng_decoded_image_size(ctx.get(), fmt, &size);
    // Rows of these formats have no padding, so the picture's memory is the decoder's
    // output as it stands.
    if (!rc && size != size_t(image.sizeInBytes()))
        rc = SPNG_EINTERNAL;
    if (!rc)
        rc = spng_decode_image(ctx.get(), image.bits(), size, fmt, SPNG_DECODE_TRNS);
    if (rc)
        fail(rc);
    spng_phys phys{};
    if (spng_get_phys(ctx.get(), &phys) == 0 && phys.unit_specifier == 1 && phys.ppu_x > 0 && phys.ppu_y > 0 &&
        phys.ppu_x <= uint32_t(INT_MAX) && phys.ppu_y <= uint32_t(INT_MAX)) {
        image.setDotsPerMeterX(int(phys.ppu_x));
        image.setDotsPerMeterY(int(phys.ppu_y));
    }
    return image;
}

QImage PngDecodePremultiplied(QByteArrayView data)
{
    QImage image = PngDecode(data);
    const QSize size = image.size();
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        throw EImageIOError(QStringLiteral("Out of memory for a %1 x %2 picture").arg(size.width()).arg(size.height()));
    return image;
}
