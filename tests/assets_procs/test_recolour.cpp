// The recolouring rule: the new alpha and channels are exact integer floors, for
// every combination of pixel alpha and colour alpha.

#include "assets/untVuploraProcs.h"

#include <gtest/gtest.h>

namespace {

// The rule as stated for one pixel, written out independently of the
// implementation: floors taken by integer division of the exact products.
quint32 ExpectedPixel(quint32 aiPixel, TAlphaColor aiColor)
{
    const unsigned a = aiPixel >> 24;
    if (a == 0)
        return aiPixel;
    const unsigned newAlpha = (aiColor >> 24) * a / 255;
    if (newAlpha == 0)
        return 0;
    if (newAlpha == 255)
        return 0xFF000000u | (aiColor & 0xFFFFFFu);
    auto channel = [&](int shift) { return (((aiColor >> shift) & 0xFFu) * newAlpha / 255) << shift; };
    return (newAlpha << 24) | channel(16) | channel(8) | channel(0);
}

// One row per pixel alpha 0..255, with shading that differs from pixel to pixel
// (premultiplied: every channel at most the alpha).
QImage AllAlphas()
{
    QImage image(256, 1, QImage::Format_ARGB32_Premultiplied);
    auto *line = reinterpret_cast<quint32 *>(image.scanLine(0));
    for (quint32 a = 0; a < 256; ++a)
        line[a] = (a << 24) | ((a / 2) << 16) | ((a / 3) << 8) | (a * 7 % (a + 1));
    return image;
}

quint32 Pixel(const QImage &image, int x, int y = 0)
{
    return reinterpret_cast<const quint32 *>(image.constScanLine(y))[x];
}

TEST(ReplaceOpaqueColor, EveryPixelAlphaAgainstEveryColourAlpha)
{
    const QImage original = AllAlphas();
    int failures = 0;
    for (quint32 colourAlpha = 0; colourAlpha < 256; ++colourAlpha) {
        // Channels that are odd, extreme and varying, so a rounding or order slip shows.
        const TAlphaColor colour = (colourAlpha << 24) | (0xFFu << 16) | ((colourAlpha ^ 0x5Au) << 8) | 0x11u;
        QImage image = original;
        ReplaceOpaqueColor(image, colour);
        ASSERT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
        for (int a = 0; a < 256 && failures < 10; ++a) {
            const quint32 expected = ExpectedPixel(Pixel(original, a), colour);
            if (Pixel(image, a) != expected) {
                ++failures;
                ADD_FAILURE() << "pixel alpha " << a << ", colour " << std::hex << colour << ": got "
                              << Pixel(image, a) << ", expected " << expected;
            }
        }
    }
}

TEST(ReplaceOpaqueColor, StatedExamples)
{
    struct Case {
        const char *what;
        quint32 pixel;
        TAlphaColor colour;
        quint32 expected;
    };
    const Case cases[] = {
        {"half-covered pixel, opaque red", 0x80402010u, 0xFFFF0000u, 0x80800000u},
        {"opaque pixel, opaque colour: the colour exactly", 0xFF123456u, 0xFF89ABCDu, 0xFF89ABCDu},
        {"colour alpha 0 clears a covered pixel", 0xFF123456u, 0x00FFFFFFu, 0u},
        {"transparent pixel untouched", 0x00000000u, 0xFF89ABCDu, 0u},
        {"stray channels of a transparent pixel untouched", 0x00ABCDEFu, 0xFF000000u, 0x00ABCDEFu},
        {"alpha 1 under a half colour floors to 0", 0x01010101u, 0x80FFFFFFu, 0u},
    };
    for (const Case &c : cases) {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        *reinterpret_cast<quint32 *>(image.scanLine(0)) = c.pixel;
        ReplaceOpaqueColor(image, c.colour);
        EXPECT_EQ(Pixel(image, 0), c.expected) << c.what;
    }
}

TEST(ReplaceOpaqueColor, StraightAlphaBitmapIsRecolouredAsPremultiplied)
{
    // A decoded PNG often arrives with straight alpha; the result must still
    // follow the premultiplied rule and keep the shape.
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, 0x80FFFFFFu);
    image.setPixel(1, 0, 0x00000000u);
    ReplaceOpaqueColor(image, 0xFF00FF00u);
    ASSERT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(Pixel(image, 0), 0x80008000u);
    EXPECT_EQ(Pixel(image, 1), 0u);
}

TEST(ReplaceOpaqueColor, LeavesSharedCopiesAlone)
{
    QImage original = AllAlphas();
    const QImage copy = original;
    ReplaceOpaqueColor(original, 0xFF000000u);
    EXPECT_EQ(copy, AllAlphas());
    EXPECT_NE(original, copy);
}

} // namespace
