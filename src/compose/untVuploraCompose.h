#pragma once
// A portrait's value as a picture, without a window: the item pictures as the
// layers show them (coloured by the category's rule) and the layers drawn in
// their stacking order into the 640 x 1136 canvas.

#include "assets/untVuplora.h"
#include "assets/untVuploraPortrait.h"

#include <QImage>
#include <QRectF>

#include <array>

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

// Avatars: a square picture of the portrait's head for profile images. The
// head is what the face, hair, brows, eyes, nose, mouth, glasses and emoji
// layers draw on the canvas; the square is centred on their drawn pixels with a
// margin around them, moved only as far as it takes to stay on the canvas (a
// head too large for a margin fills the canvas's width), and shows the backdrop
// under them or stays transparent. The avatar is made from the portrait value
// and the pack alone, so the editor's export and `vuplora portrait --avatar`
// give the same square for the same portrait.

// The sizes offered, in pixels.
inline constexpr std::array<int, 3> AVATAR_SIZES = {256, 512, 1024};
bool IsAvatarSize(int aiSize);

// The head and the backdrop of a portrait, each drawn once at canvas size; an
// avatar of any size and either backdrop choice is cut from them.
struct TAvatarParts {
    QImage Head;
    QImage Backdrop;
    // The square of the canvas the avatar shows, in canvas units.
    QRectF Square;
};

TAvatarParts ComposeAvatarParts(TFaceRes &aoRes, const TPortrait &aoPortrait);
QImage RenderAvatar(const TAvatarParts &aoParts, int aiSize, bool abBackdrop);
QImage RenderAvatar(TFaceRes &aoRes, const TPortrait &aoPortrait, int aiSize, bool abBackdrop);
