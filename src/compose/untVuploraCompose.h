#pragma once
// A portrait's value as a picture, without a window: the item pictures as the
// layers show them (coloured by the category's rule) and the layers drawn in
// their stacking order into the 640 x 1136 canvas.

#include "assets/untVuplora.h"
#include "assets/untVuploraPortrait.h"

#include <QImage>
#include <QRectF>

class QPainter;

// Where a picture of the given size lands when fitted into a box: the largest
// uniformly scaled size that fits, centred.
QRectF FitRect(const QSizeF &aoPicture, const QRectF &aoBox);

// An item's picture as its layer shows it: the item's full image, recoloured
// with aiColor unless that is 0 or the category keeps its own colours (the
// face stores a colour but never shows it). Fills aoBitmap as GetBitmap does
// and fails as it does.
void GetItemPicture(TFaceRes &aoRes, QImage &aoBitmap, TYPE_FACE_ITEM fiType, qint32 aiIndex, quint32 aiColor);

// A layer's picture drawn into its box, fitted or stretched.
void DrawLayerPicture(QPainter &aoPainter, const QImage &aoPicture, const QRectF &aoBox, TImageWrap aeWrap);

// The portrait's bitmap layers drawn as the canvas draws them, into a
// transparent 640 x 1136 picture; the bubble and the watermark are not drawn.
// Layers whose items the pack lacks are left out.
QImage RenderPortrait(TFaceRes &aoRes, const TPortrait &aoPortrait);
