// The PNG codec against Qt's own PNG plugin: what one writes, the other reads with the
// same pixels, colour type and resolution; what Qt writes in any of its formats, the
// codec reads as Qt does.

#include "imageio/png_codec.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

namespace {

// Every pixel of a few shades in each alpha, so that un-premultiplying is tested on
// every alpha and on channels near it.
QImage Sweep(QImage::Format format)
{
    QImage image(256, 64, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba((x * 7 + y * 13) & 255, (y * 4 + x) & 255, (x ^ (y * 3)) & 255, x));
    image.setDotsPerMeterX(5906);
    image.setDotsPerMeterY(2953);
    return image.convertToFormat(format);
}

QByteArray QtPng(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "PNG"));
    return bytes;
}

QImage QtRead(const QByteArray &png)
{
    QImage image;
    EXPECT_TRUE(image.loadFromData(png, "PNG"));
    return image;
}

// The colour type byte of the IHDR chunk.
int ColourType(const QByteArray &png)
{
    return png.size() > 25 ? uchar(png[25]) : -1;
}

void ExpectSamePixels(const QImage &a, const QImage &b)
{
    ASSERT_EQ(a.size(), b.size());
    const QImage x = a.convertToFormat(QImage::Format_ARGB32), y = b.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            ASSERT_EQ(x.pixel(col, row), y.pixel(col, row)) << "at " << col << "," << row;
}

// A chunk with its length and checksum.
QByteArray Chunk(const char *type, const QByteArray &data)
{
    QByteArray body = QByteArray(type, 4) + data;
    QByteArray out(4, '\0');
    qToBigEndian(quint32(data.size()), out.data());
    out += body;
    QByteArray crc(4, '\0');
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size()))), crc.data());
    return out + crc;
}

QByteArray Header(quint32 width, quint32 height, char colourType = 6)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian(width, ihdr.data());
    qToBigEndian(height, ihdr.data() + 4);
    ihdr[8] = 8;  // bit depth
    ihdr[9] = colourType;  // 6 RGBA, 2 RGB
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr);
}

} // namespace

TEST(PngCodec, WritesWhatQtWritesForEveryKindOfPictureTheToolsStore)
{
    const struct {
        const char *Name;
        QImage::Format Format;
        int ColourType;
    } cases[] = {
        {"premultiplied, translucent", QImage::Format_ARGB32_Premultiplied, 6},
        {"straight alpha", QImage::Format_ARGB32, 6},
        {"premultiplied RGBA bytes", QImage::Format_RGBA8888_Premultiplied, 6},
        {"no alpha channel", QImage::Format_RGB32, 2},
        {"odd row length without alpha", QImage::Format_RGB888, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const QImage picture = Sweep(c.Format);
        const QByteArray ours = PngEncode(picture), theirs = QtPng(picture);
        EXPECT_EQ(ColourType(ours), c.ColourType);
        const QImage read = QtRead(ours), reference = QtRead(theirs);
        EXPECT_EQ(read.format(), reference.format());
        EXPECT_EQ(read.dotsPerMeterX(), 5906);
        EXPECT_EQ(read.dotsPerMeterY(), 2953);
        ExpectSamePixels(read, reference);
        // Back through our own reader, as the pack's items come back.
        const QImage back = PngDecodePremultiplied(ours);
        EXPECT_EQ(back.format(), QImage::Format_ARGB32_Premultiplied);
        ExpectSamePixels(back, reference.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        EXPECT_EQ(back.dotsPerMeterX(), 5906);
    }
    // An opaque picture in a format with alpha keeps its alpha channel, as with Qt.
    QImage opaque(40, 30, QImage::Format_ARGB32_Premultiplied);
    opaque.fill(qRgb(10, 200, 30));
    EXPECT_EQ(ColourType(PngEncode(opaque)), 6);
    ExpectSamePixels(PngDecode(PngEncode(opaque)), opaque);
    // A palette picture tall enough to be converted in several bands keeps its colours
    // and the order of its rows.
    QImage palette(50, 1500, QImage::Format_Indexed8);
    palette.setColorTable({qRgba(0, 0, 0, 0), qRgba(255, 0, 0, 255), qRgba(0, 128, 255, 128), qRgba(9, 9, 9, 9)});
    for (int y = 0; y < palette.height(); ++y)
        for (int x = 0; x < palette.width(); ++x)
            palette.setPixel(x, y, uint((x + y / 7) % 4));
    ExpectSamePixels(PngDecode(PngEncode(palette)), palette);
}

TEST(PngCodec, ReadsEveryFormatQtWritesAsQtReadsIt)
{
    const QImage sweep = Sweep(QImage::Format_ARGB32);
    QImage palette = sweep.convertToFormat(QImage::Format_Indexed8);
    QImage mono = sweep.convertToFormat(QImage::Format_Mono);
    const struct {
        const char *Name;
        QImage Picture;
        bool Alpha;
    } cases[] = {
        {"RGBA", sweep, true},
        {"RGB", sweep.convertToFormat(QImage::Format_RGB32), false},
        {"grey", sweep.convertToFormat(QImage::Format_Grayscale8), false},
        {"16-bit grey", sweep.convertToFormat(QImage::Format_Grayscale16), false},
        {"16-bit RGBA", sweep.convertToFormat(QImage::Format_RGBA64), true},
        {"palette with transparency", palette, palette.hasAlphaChannel()},
        {"one bit", mono, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const QByteArray png = QtPng(c.Picture);
        const QImage ours = PngDecode(png);
        EXPECT_EQ(ours.hasAlphaChannel(), c.Alpha);
        ExpectSamePixels(ours, QtRead(png));
        ExpectSamePixels(PngDecodePremultiplied(png), QtRead(png).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

TEST(PngCodec, RefusesWhatItCannotReadOrWriteWithItsMessage)
{
    const QByteArray good = PngEncode(Sweep(QImage::Format_ARGB32));
    QByteArray badChecksum = good;
    badChecksum[good.size() / 2] = char(badChecksum[good.size() / 2] ^ 0x55);
    const struct {
        const char *Name;
        QByteArray Bytes;
        const char *Message;
    } reads[] = {
        {"empty", QByteArray(), "Not a PNG picture"},
        {"JPEG", QByteArray("\xFF\xD8\xFF\xE0", 4), "Not a PNG picture"},
        {"signature only", good.left(8), "Unreadable PNG picture: "},
        {"cut in the image data", good.left(good.size() / 2), "Unreadable PNG picture: "},
        {"damaged image data", badChecksum, "Unreadable PNG picture: "},
        // 20000 x 20000 RGBA is 1.6 GB: refused from the header, before any allocation.
        {"too large", Header(20000, 20000) + Chunk("IEND", {}), "PNG picture too large: 20000 x 20000 pixels"},
        // RGB rows the decoder can count, but width x height x 4 bytes overflows 64 bits.
        {"too large to multiply", Header(1229209940, 2023489541, 2) + Chunk("IEND", {}),
         "PNG picture too large: 1229209940 x 2023489541 pixels"},
    };
    for (const auto &c : reads) {
        SCOPED_TRACE(c.Name);
        try {
            PngDecode(c.Bytes);
            ADD_FAILURE() << "read";
        } catch (const EImageIOError &e) {
            EXPECT_TRUE(e.Message().startsWith(QLatin1String(c.Message))) << e.what();
        }
    }

    try {
        PngEncode(QImage());
        ADD_FAILURE() << "wrote an empty picture";
    } catch (const EImageIOError &e) {
        EXPECT_STREQ(e.what(), "Cannot write a PNG picture: the picture is empty");
    }
    // A device that takes nothing: the failure is the device's.
    QBuffer closed;
    closed.open(QIODevice::ReadOnly);
    try {
        PngWrite(closed, Sweep(QImage::Format_ARGB32));
        ADD_FAILURE() << "wrote to a read-only device";
    } catch (const EImageIOError &e) {
        EXPECT_TRUE(e.Message().startsWith(QLatin1String("Cannot write a PNG picture: "))) << e.what();
    }
}
