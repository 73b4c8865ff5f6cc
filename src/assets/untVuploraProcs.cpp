#include "assets/untVuploraProcs.h"

#include "assets/untVuplora.h"

#include <QPainter>
#include <QRectF>
#include <array>
#include <new>

namespace {

constexpr QImage::Format kPremultiplied = QImage::Format_ARGB32_Premultiplied;

// Where an item and its mask sit on a background for the masked composition, and
// the part of the background that the result shows.
constexpr QPoint kItemOrigin(130, 216);
constexpr QRect kCropRect(130, 216, 380, 360);

QImage NewTransparent(QSize aoSize)
{
    if (aoSize.isEmpty())
        return QImage();
    QImage loImage(aoSize, kPremultiplied);
    if (loImage.isNull())
        throw std::bad_alloc();
    loImage.fill(Qt::transparent);
    return loImage;
}

// aoImage at aoOrigin, unscaled, on a transparent bitmap of the given size.
QImage Placed(QSize aoSize, const QImage &aoImage, QPoint aoOrigin)
{
    QImage loResult = NewTransparent(aoSize);
    if (!loResult.isNull() && !aoImage.isNull()) {
        QPainter loPainter(&loResult);
        loPainter.drawImage(aoOrigin, aoImage);
    }
    return loResult;
}

QImage AsPremultiplied(const QImage &aoImage)
{
    if (aoImage.isNull() || aoImage.format() == kPremultiplied)
        return aoImage;
    QImage loResult = aoImage.convertToFormat(kPremultiplied);
    if (loResult.isNull())
        throw std::bad_alloc();
    return loResult;
}

} // namespace

void ReplaceOpaqueColor(QImage &aoBitmap, TAlphaColor aiColor)
{
    if (aoBitmap.isNull())
        return;
    if (aoBitmap.format() != kPremultiplied)
        aoBitmap = AsPremultiplied(aoBitmap);

    // The new pixel depends on nothing but the old alpha, so the 255 possible
    // results are worked out once.
    const quint32 liColorAlpha = aiColor >> 24;
    const quint32 liRed = (aiColor >> 16) & 0xFF;
    const quint32 liGreen = (aiColor >> 8) & 0xFF;
    const quint32 liBlue = aiColor & 0xFF;
    std::array<quint32, 256> loResult{};
    for (quint32 a = 1; a < 256; ++a) {
        const quint32 liAlpha = liColorAlpha * a / 255;
        if (liAlpha == 0)
            loResult[a] = 0;
        else if (liAlpha == 255)
            loResult[a] = 0xFF000000u | (aiColor & 0x00FFFFFFu);
        else
            loResult[a] = (liAlpha << 24) | ((liRed * liAlpha / 255) << 16) |
                          ((liGreen * liAlpha / 255) << 8) | (liBlue * liAlpha / 255);
    }

    const int liWidth = aoBitmap.width();
    for (int y = 0; y < aoBitmap.height(); ++y) {
        auto *lpLine = reinterpret_cast<quint32 *>(aoBitmap.scanLine(y));
        for (int x = 0; x < liWidth; ++x) {
            const quint32 a = lpLine[x] >> 24;
            if (a != 0)
                lpLine[x] = loResult[a];
        }
    }
}

void OverlayBitmap(QImage &aoDest, const QImage &aoBase, const QImage &aoOverlay, int aiWidth,
                   int aiHeight)
{
    const int liWidth = aiWidth == 0 ? aoBase.width() : aiWidth;
    const int liHeight = aiHeight == 0 ? aoBase.height() : aiHeight;

    QImage loWork;
    if (!aoBase.isNull()) {
        loWork = QImage(aoBase.size(), kPremultiplied);
        if (loWork.isNull())
            throw std::bad_alloc();
        loWork.fill(Qt::transparent);
    }

    QPainter loPainter;
    // No scene can be begun on an empty bitmap; the destination still becomes
    // the (empty) work bitmap.
    if (!loWork.isNull() && loPainter.begin(&loWork)) {
        // QPainter reads a source rectangle of width 0 as "the whole image", and a
        // negative one mirrors; neither is what the caller asked for.
        if (liWidth > 0 && liHeight > 0) {
            // Parts of the rectangle outside a bitmap are left out, not stretched.
            const QRectF loRect(0, 0, liWidth, liHeight);
            loPainter.drawImage(loRect, aoBase, loRect);
            if (!aoOverlay.isNull())
                loPainter.drawImage(loRect, aoOverlay, loRect);
        }
        loPainter.end();
    }
    aoDest = loWork;
}

QImage CreateMaskedBitmap(const QImage &aoSource, const QImage &aoMask)
{
    const QImage loSource = AsPremultiplied(aoSource);
    if (loSource.isNull())
        return QImage();
    const QImage loMask = AsPremultiplied(aoMask);

    QImage loResult(loSource.size(), kPremultiplied);
    if (loResult.isNull())
        throw std::bad_alloc();
    const int liWidth = loSource.width();
    const int liMaskWidth = qMin(liWidth, loMask.width());
    for (int y = 0; y < loSource.height(); ++y) {
        const auto *lpSource = reinterpret_cast<const quint32 *>(loSource.constScanLine(y));
        const quint32 *lpMask = y < loMask.height()
                                    ? reinterpret_cast<const quint32 *>(loMask.constScanLine(y))
                                    : nullptr;
        auto *lpResult = reinterpret_cast<quint32 *>(loResult.scanLine(y));
        int x = 0;
        if (lpMask) {
            // Branch-free, so that the compiler can vectorise it.
            for (; x < liMaskWidth; ++x)
                lpResult[x] = (lpMask[x] >> 24) != 0 ? (lpSource[x] | 0xFF000000u) : 0u;
        }
        for (; x < liWidth; ++x)
            lpResult[x] = 0u;
    }
    return loResult;
}

void MaskBitmap(QImage &aoDest, const QImage &aoSource, const QImage &aoMask)
{
    try {
        QImage loMasked = CreateMaskedBitmap(aoSource, aoMask);
        aoDest = loMasked;
    } catch (...) {
        // By contract the destination simply keeps its content.
    }
}

void ApplyMask(QImage &aoDest, const QImage &aoImage, const QImage &aoMask,
               const QImage &aoBackground)
{
    MaskBitmap(aoDest, aoBackground, aoMask);
    OverlayBitmap(aoDest, aoDest, aoImage, 0, 0);
}

void TFaceRes::GetBitmapWithMask(QImage &aoBitmap, const QImage &aoBKG, TYPE_FACE_ITEM fiType,
                                 qint32 aiIndex, TYPE_IMAGE_FILE /*ifType*/, quint32 aiColor)
{
    QImage loImage;
    GetBitmap(loImage, fiType, aiIndex, ifFile, false);
    if (aiColor != 0)
        ReplaceOpaqueColor(loImage, aiColor);
    QImage loMask;
    GetBitmap(loMask, fiType, aiIndex, ifMask, false);

    // Image and mask placed where the item goes on the background.
    loImage = Placed(aoBKG.size(), loImage, kItemOrigin);
    loMask = Placed(aoBKG.size(), loMask, kItemOrigin);

    QImage loWork = NewTransparent(aoBKG.size());
    ApplyMask(loWork, loImage, loMask, aoBKG);

    QImage loCrop = NewTransparent(kCropRect.size());
    if (!loWork.isNull()) {
        QPainter loPainter(&loCrop);
        loPainter.drawImage(QPoint(0, 0), loWork, kCropRect);
    }
    aoBitmap = loCrop;
}
