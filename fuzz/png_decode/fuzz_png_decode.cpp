// Arbitrary bytes through the PNG reader (the signature is put in front, so that the
// fuzzer starts past it). A picture it reads must come back unchanged through the
// writer and the reader again; anything else must be refused with EImageIOError.

#include "imageio/png_codec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
    QImage picture;
    try {
        picture = PngDecode(bytes);
    } catch (const EImageIOError &) {
        return 0;
    }
    if (picture.isNull())
        __builtin_trap();
    // The writer stores 8 bits a channel; a 16-bit picture is compared at that depth.
    const QImage stored = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_RGBA8888
                                                                            : QImage::Format_RGBX8888);
    const QImage back = PngDecode(PngEncode(stored));
    if (back.size() != stored.size() || back.hasAlphaChannel() != stored.hasAlphaChannel())
        __builtin_trap();
    for (int y = 0; y < stored.height(); ++y)
        if (memcmp(back.constScanLine(y), stored.constScanLine(y), size_t(stored.width()) * 4) != 0)
            __builtin_trap();
    return 0;
}
