#pragma once
// A portrait's value as a picture, without a window: the item pictures as the
// layers show them (coloured by the category's rule), the layers drawn in
// their stacking order into the 640 x 1136 canvas and the speech bubble over
// them. The editor's canvas draws its layers and its bubble with these same
// functions, so what it shows and what is saved are one drawing.

#include "assets/untVuplora.h"
#include "assets/untVuploraPortrait.h"

#include <QByteArray>
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

// The speech bubble's picture: its document (the text in it included) drawn
// fitted into a frame of aoFrame canvas units, uniformly scaled, at arScale
// pixels per unit. Null without a document or when it has nothing to draw.
// Raises the engine's error for a document it cannot read or draw.
QImage BubblePicture(const QByteArray &aoDocument, const QSizeF &aoFrame, qreal arScale);
// Lays a bubble picture made at arScale into the frame (0, 0, aoFrame) of the
// painter's canvas units: centred, its edges on whole pixels of that scale.
void DrawBubblePicture(QPainter &aoPainter, const QImage &aoPicture, const QSizeF &aoFrame, qreal arScale);

// Each bitmap layer's picture, by category: null where the layer holds none.
using TLayerPictures = std::array<QImage, FACE_ITEM_TYPE_COUNT>;

// The pictures the pack gives the portrait's layers (GetItemPicture); null
// for hidden layers, layers without one and items the pack lacks.
TLayerPictures ItemPictures(TFaceRes &aoRes, const TPortrait &aoPortrait);

// The portrait as the canvas shows it, into a transparent picture of 640 x 1136
// canvas units at arScale pixels per unit: the layers' pictures in their
// stacking order at the value's places, then the bubble when it is shown,
// without its selection and buttons. The watermark stays hidden, as on the
// canvas.
QImage RenderPortrait(const TPortrait &aoPortrait, const TLayerPictures &aoPictures, qreal arScale = 1.0);
// The same with the pack's pictures of the portrait's items.
QImage RenderPortrait(TFaceRes &aoRes, const TPortrait &aoPortrait, qreal arScale = 1.0);

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
