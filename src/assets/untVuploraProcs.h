#pragma once
// Pixel procedures on premultiplied ARGB32 bitmaps: the recolouring rule of a
// layer and the masked composition behind TFaceRes::GetBitmapWithMask.
//
// Every procedure accepts bitmaps of any QImage format; results, and bitmaps
// changed in place, are QImage::Format_ARGB32_Premultiplied.

#include <QImage>
#include <QtGlobal>

// A colour as 0xAARRGGBB, not premultiplied; 0 means "no colour".
using TAlphaColor = quint32;

// Recolours in place: each pixel with alpha a > 0 becomes the colour C with alpha
// floor(alpha(C) * a / 255), stored premultiplied with floored channels. Pixels
// with alpha 0 are left exactly as they are. Shape and edge softness survive;
// inner shading is replaced by the flat colour.
void ReplaceOpaqueColor(QImage &aoBitmap, TAlphaColor aiColor);

// The destination becomes a bitmap of the base's size showing the base's
// rectangle (0, 0, W, H) with the overlay's rectangle (0, 0, W, H) drawn over
// it, both unscaled; the rest is transparent. A width or height of 0 stands for
// the base's. The destination may be the base itself.
void OverlayBitmap(QImage &aoDest, const QImage &aoBase, const QImage &aoOverlay, int aiWidth,
                   int aiHeight);

// A bitmap of the source's size: where the mask's alpha is not 0, the source
// pixel made opaque with its stored (premultiplied) channels kept; elsewhere 0.
// Positions outside a smaller mask count as transparent.
QImage CreateMaskedBitmap(const QImage &aoSource, const QImage &aoMask);

// The destination receives CreateMaskedBitmap(source, mask). A failure leaves
// the destination as it was and is not reported.
void MaskBitmap(QImage &aoDest, const QImage &aoSource, const QImage &aoMask);

// MaskBitmap(destination, background, mask), then the image drawn over the
// result: OverlayBitmap(destination, destination, image, 0, 0).
void ApplyMask(QImage &aoDest, const QImage &aoImage, const QImage &aoMask,
               const QImage &aoBackground);
