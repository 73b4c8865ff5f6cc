// The masked composition over the test pack compiled in as "RES_GIRL": the first
// face of pack 1 has a mask, the second has none. Expected pixels are worked out
// here from the drawn source members.

#include "TestPackPaths.h"
#include "assets/untVuplora.h"
#include "assets/untVuploraProcs.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

constexpr int kOriginX = 130, kOriginY = 216, kCropWidth = 380, kCropHeight = 360;

QImage SourceMember(const QString &asMember)
{
    QImage image(QDir(TestPackMembersDir()).filePath(asMember));
    EXPECT_FALSE(image.isNull()) << asMember.toStdString();
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

quint32 At(const QImage &image, int x, int y)
{
    if (x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return 0;
    return reinterpret_cast<const quint32 *>(image.constScanLine(y))[x];
}

// A background whose every pixel differs, half of it semi-transparent, so that
// a shifted crop or a background not made opaque shows.
QImage Background()
{
    QImage image(640, 1136, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const quint32 a = (x + y) % 2 ? 0xFFu : 0x80u;
            const quint32 r = (x * a / 640), g = (y * a / 1136), b = ((x ^ y) & 0xFF) * a / 255;
            reinterpret_cast<quint32 *>(image.scanLine(y))[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    return image;
}

// Source over destination on premultiplied pixels, per channel.
quint32 Over(quint32 src, quint32 dst)
{
    const quint32 inverse = 255 - (src >> 24);
    quint32 result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const quint32 s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
        result |= qMin<quint32>(255, s + (d * inverse + 127) / 255) << shift;
    }
    return result;
}

bool Near(quint32 a, quint32 b)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (qAbs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1)
            return false;
    return true;
}

class BitmapWithMask : public ::testing::Test {
protected:
    void SetUp() override
    {
        giPackIndex = 1;
        moRes.LoadRes(QStringLiteral("res_girl"));
    }

    // Compares the crop with the rule pixel by pixel; exact where the item is
    // opaque or absent, within 1 where it blends.
    void ExpectComposition(const QImage &crop, const QImage &item, const QImage &mask,
                           const QImage &background)
    {
        ASSERT_EQ(crop.size(), QSize(kCropWidth, kCropHeight));
        int failures = 0;
        for (int y = 0; y < kCropHeight && failures < 10; ++y)
            for (int x = 0; x < kCropWidth && failures < 10; ++x) {
                const quint32 base = (At(mask, x, y) >> 24) != 0
                                         ? At(background, kOriginX + x, kOriginY + y) | 0xFF000000u
                                         : 0u;
                const quint32 image = At(item, x, y);
                const quint32 got = At(crop, x, y);
                const quint32 alpha = image >> 24;
                const bool ok = alpha == 255 ? got == image
                                : alpha == 0 ? got == base
                                             : Near(got, Over(image, base));
                if (!ok) {
                    ++failures;
                    ADD_FAILURE() << "at " << x << "," << y << std::hex << ": got " << got
                                  << ", image " << image << ", base " << base;
                }
            }
    }

    TFaceRes moRes;
};

TEST_F(BitmapWithMask, BackgroundUnderTheMaskWithTheRecolouredItemOnTop)
{
    const QImage background = Background();
    QImage item = SourceMember(moRes.GetItemResName(fiFace, 0, ifFile));
    const QImage mask = SourceMember(moRes.GetItemResName(fiFace, 0, ifMask));
    // The mask lies inside the opaque face; a half-transparent colour lets the
    // background under it show through the item.
    const TAlphaColor colour = 0x803080C0u;
    ReplaceOpaqueColor(item, colour);

    QImage result;
    moRes.GetBitmapWithMask(result, background, fiFace, 0, ifThumb, colour);
    ExpectComposition(result, item, mask, background);

    // The fixture is only telling if the crop holds background seen through the
    // item and plain transparency.
    int throughItem = 0, empty = 0;
    for (int y = 0; y < kCropHeight; ++y)
        for (int x = 0; x < kCropWidth; ++x) {
            throughItem += (At(mask, x, y) >> 24) != 0 && (At(item, x, y) >> 24) != 0;
            empty += At(result, x, y) == 0;
        }
    EXPECT_GT(throughItem, 1000);
    EXPECT_GT(empty, 100);
}

TEST_F(BitmapWithMask, ItemWithoutMaskShowsOnlyTheItemOverTransparency)
{
    ASSERT_TRUE(moRes.GetItemResName(fiFace, 1, ifMask).isEmpty());
    const QImage item = SourceMember(moRes.GetItemResName(fiFace, 1, ifFile));
    QImage result;
    // Colour 0: the item keeps its own colours.
    moRes.GetBitmapWithMask(result, Background(), fiFace, 1, ifFile, 0);
    ExpectComposition(result, item, QImage(), Background());
}

TEST_F(BitmapWithMask, FailedFetchPropagatesAndLeavesTheTargetAlone)
{
    QImage result(3, 3, QImage::Format_ARGB32_Premultiplied);
    result.fill(0xFF00FF00u);
    const QImage before = result;
    try {
        moRes.GetBitmapWithMask(result, Background(), fiFace, 9999, ifFile, 0);
        ADD_FAILURE() << "no error";
    } catch (const EVuploraError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Argument out of range"));
    }
    EXPECT_EQ(result, before);
}

} // namespace
