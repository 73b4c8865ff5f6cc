// Masked composition: the mask picks background pixels and makes them opaque,
// the overlay is drawn over the base without scaling.

#include "assets/untVuploraProcs.h"

#include <QColor>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Pixels = std::vector<quint32>;

QImage Make(int width, int height, const Pixels &pixels,
            QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<quint32 *>(image.scanLine(y))[x] = pixels[size_t(y * width + x)];
    return image;
}

Pixels Read(const QImage &image)
{
    const QImage premultiplied = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Pixels result;
    for (int y = 0; y < premultiplied.height(); ++y)
        for (int x = 0; x < premultiplied.width(); ++x)
            result.push_back(reinterpret_cast<const quint32 *>(premultiplied.constScanLine(y))[x]);
    return result;
}

TEST(CreateMaskedBitmap, MaskAlphaDecidesAndCoveredPixelsBecomeOpaque)
{
    // Columns: opaque source under mask alpha 0; a half-covered source pixel under
    // mask alpha 1; an opaque source under an opaque mask; a transparent source
    // under an opaque mask.
    const QImage source = Make(4, 1, {0xFF102030u, 0x80402010u, 0xFFA0B0C0u, 0x00000000u});
    const QImage mask = Make(4, 1, {0x00000000u, 0x01010101u, 0xFF000000u, 0xFFFFFFFFu});
    const QImage result = CreateMaskedBitmap(source, mask);
    ASSERT_EQ(result.size(), source.size());
    EXPECT_EQ(result.format(), QImage::Format_ARGB32_Premultiplied);
    // The half-covered pixel keeps its darker premultiplied channels.
    EXPECT_EQ(Read(result), (Pixels{0u, 0xFF402010u, 0xFFA0B0C0u, 0xFF000000u}));
}

TEST(CreateMaskedBitmap, SmallerMaskCountsAsTransparentOutside)
{
    const QImage source = Make(3, 2, {0xFF111111u, 0xFF222222u, 0xFF333333u,
                                      0xFF444444u, 0xFF555555u, 0xFF666666u});
    const QImage mask = Make(2, 1, {0xFF000000u, 0xFF000000u});
    EXPECT_EQ(Read(CreateMaskedBitmap(source, mask)),
              (Pixels{0xFF111111u, 0xFF222222u, 0, 0, 0, 0}));
    // No mask at all masks everything out.
    EXPECT_EQ(Read(CreateMaskedBitmap(source, QImage())), Pixels(6, 0u));
}

TEST(MaskBitmap, DestinationReceivesTheMaskedSource)
{
    QImage destination = Make(1, 1, {0xFFFFFFFFu});
    MaskBitmap(destination, Make(2, 1, {0x80402010u, 0xFF00FF00u}), Make(2, 1, {0xFF000000u, 0}));
    EXPECT_EQ(destination.size(), QSize(2, 1));
    EXPECT_EQ(Read(destination), (Pixels{0xFF402010u, 0u}));
}

TEST(OverlayBitmap, WholeBitmapsAtTheBaseSize)
{
    const QImage base = Make(3, 1, {0xFF0000FFu, 0xFF0000FFu, 0x00000000u});
    // The overlay is larger than the base: it is cut, not scaled down.
    const QImage overlay = Make(4, 1, {0x00000000u, 0xFFFF0000u, 0xFF00FF00u, 0xFFFFFFFFu});
    QImage destination;
    OverlayBitmap(destination, base, overlay, 0, 0);
    ASSERT_EQ(destination.size(), base.size());
    EXPECT_EQ(Read(destination), (Pixels{0xFF0000FFu, 0xFFFF0000u, 0xFF00FF00u}));
}

TEST(OverlayBitmap, SemiTransparentOverlayBlendsOverTheBase)
{
    const QImage base = Make(1, 1, {0xFF0000FFu});
    const QImage overlay = Make(1, 1, {0x80800000u}); // half-covered red
    QImage destination;
    OverlayBitmap(destination, base, overlay, 0, 0);
    const QColor c = QColor::fromRgba(destination.pixel(0, 0));
    EXPECT_EQ(c.alpha(), 255);
    EXPECT_NEAR(c.red(), 128, 1);
    EXPECT_EQ(c.green(), 0);
    EXPECT_NEAR(c.blue(), 127, 1);
}

TEST(OverlayBitmap, GivenRectangleLimitsWhatIsDrawn)
{
    const QImage base = Make(3, 2, Pixels(6, 0xFF0000FFu));
    const QImage overlay = Make(3, 2, Pixels(6, 0xFFFF0000u));
    QImage destination;
    // Width 2, height 0 (the base's height): the third column stays transparent.
    OverlayBitmap(destination, base, overlay, 2, 0);
    EXPECT_EQ(destination.size(), QSize(3, 2));
    EXPECT_EQ(Read(destination), (Pixels{0xFFFF0000u, 0xFFFF0000u, 0, 0xFFFF0000u, 0xFFFF0000u, 0}));
}

TEST(OverlayBitmap, EmptyBaseEmptiesTheDestination)
{
    QImage destination = Make(2, 2, Pixels(4, 0xFFFFFFFFu));
    OverlayBitmap(destination, QImage(), Make(1, 1, {0xFFFF0000u}), 0, 0);
    EXPECT_TRUE(destination.isNull());
}

TEST(ApplyMask, BackgroundUnderTheMaskWithTheImageOnTop)
{
    // Background, mask and image side by side in four columns:
    //   col 0: masked out, image empty           -> transparent
    //   col 1: masked in, image empty            -> background, opaque
    //   col 2: masked in, image opaque green     -> green
    //   col 3: masked out, image opaque red      -> red (the image is not masked)
    const QImage background = Make(4, 1, {0xFF0000FFu, 0x80000080u, 0xFF0000FFu, 0xFF0000FFu});
    const QImage mask = Make(4, 1, {0, 0xFF000000u, 0xFF000000u, 0});
    const QImage image = Make(4, 1, {0, 0, 0xFF00FF00u, 0xFFFF0000u});
    QImage destination = Make(1, 1, {0xFFFFFFFFu});
    ApplyMask(destination, image, mask, background);
    EXPECT_EQ(Read(destination), (Pixels{0u, 0xFF000080u, 0xFF00FF00u, 0xFFFF0000u}));
}

} // namespace
