#include "compose/untVuploraCompose.h"

#include "assets/untVuploraProcs.h"
#include "svg/model/dom/document.h"
#include "svg/render/image_buffer.h"

#include <QBuffer>
#include <QPainter>

#include <algorithm>
#include <cmath>

QRectF FitRect(const QSizeF &aoPicture, const QRectF &aoBox)
{
    if (aoPicture.isEmpty())
        return QRectF(aoBox.center(), QSizeF(0, 0));
    const QSizeF size = aoPicture.scaled(aoBox.size(), Qt::KeepAspectRatio);
    return QRectF(aoBox.x() + (aoBox.width() - size.width()) / 2,
                  aoBox.y() + (aoBox.height() - size.height()) / 2, size.width(), size.height());
}

void GetItemPicture(TFaceRes &aoRes, QImage &aoBitmap, TYPE_FACE_ITEM fiType, qint32 aiIndex, quint32 aiColor)
{
    aoRes.GetBitmap(aoBitmap, fiType, aiIndex, ifFile, false);
    if (aiColor != 0 && !CategoryRules(fiType).OwnColours)
        ReplaceOpaqueColor(aoBitmap, aiColor);
}

void DrawLayerPicture(QPainter &aoPainter, const QImage &aoPicture, const QRectF &aoBox, TImageWrap aeWrap)
{
    aoPainter.drawImage(aeWrap == TImageWrap::Fit ? FitRect(aoPicture.size(), aoBox) : aoBox, aoPicture);
}

QImage BubblePicture(const QByteArray &aoDocument, const QSizeF &aoFrame, qreal arScale)
{
    if (aoDocument.isEmpty() || aoFrame.isEmpty() || !(arScale > 0))
        return QImage();
    QBuffer data;
    data.setData(aoDocument);
    data.open(QIODevice::ReadOnly);
    TSVGDocument document;
    document.LoadFromStream(data);
    const QRectF bounds = document.GetBoundsRect(TMatrix::Identity());
    const QSizeF target = ComputeTargetSize(iwFit, 1, bounds.width(), bounds.height(),
                                            aoFrame.width() * arScale, aoFrame.height() * arScale);
    const QSize pixels(int(std::lround(target.width())), int(std::lround(target.height())));
    if (bounds.isEmpty() || pixels.isEmpty())
        return QImage();
    QImage picture = SVGNewBuffer(pixels);
    RenderElementToBitmap(picture, &document);
    return picture;
}

void DrawBubblePicture(QPainter &aoPainter, const QImage &aoPicture, const QSizeF &aoFrame, qreal arScale)
{
    if (aoPicture.isNull() || !(arScale > 0))
        return;
    // Whole pixels of the scale the picture was made at: drawn 1:1 wherever
    // the frame stands on whole pixels.
    const auto pixel = [arScale](qreal arUnits) { return std::round(arUnits * arScale) / arScale; };
    const QSizeF shown = QSizeF(aoPicture.size()) / arScale;
    const qreal left = pixel((aoFrame.width() - shown.width()) / 2);
    const qreal top = pixel((aoFrame.height() - shown.height()) / 2);
    aoPainter.save();
    aoPainter.setRenderHint(QPainter::SmoothPixmapTransform);
    aoPainter.drawImage(QRectF(left, top, shown.width(), shown.height()), aoPicture);
    aoPainter.restore();
}

TLayerPictures ItemPictures(TFaceRes &aoRes, const TPortrait &aoPortrait)
{
    TLayerPictures pictures;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
        const TYPE_FACE_ITEM type = TYPE_FACE_ITEM(t);
        const TPortraitLayer &layer = aoPortrait.Layers[type];
        const TFaceItemDataList *items = aoRes.GetFaceItem(type);
        if (type != fiPaopao && layer.Present && layer.Visible && items && layer.Index < qint32(items->size()))
            GetItemPicture(aoRes, pictures[type], type, layer.Index, layer.Color);
    }
    return pictures;
}

QImage RenderPortrait(const TPortrait &aoPortrait, const TLayerPictures &aoPictures, qreal arScale)
{
    std::vector<TYPE_FACE_ITEM> stack;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
        if (t != fiPaopao)
            stack.push_back(TYPE_FACE_ITEM(t));
    std::sort(stack.begin(), stack.end(),
              [](TYPE_FACE_ITEM a, TYPE_FACE_ITEM b) { return CategoryRules(a).Stack < CategoryRules(b).Stack; });

    QImage out(qRound(CANVAS_WIDTH * arScale), qRound(CANVAS_HEIGHT * arScale), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(arScale, arScale);
    for (TYPE_FACE_ITEM type : stack) {
        const TPortraitLayer &layer = aoPortrait.Layers[type];
        if (!layer.Present || !layer.Visible || aoPictures[type].isNull())
            continue;
        DrawLayerPicture(painter, aoPictures[type], QRectF(layer.Pos, QSizeF(FACE_ITEM_RECTS[type].size())),
                         CategoryRules(type).Wrap);
    }
    // The bubble's frame tops every layer.
    const TPortraitBubble &bubble = aoPortrait.Bubble;
    if (bubble.Shown) {
        painter.translate(bubble.Frame.topLeft());
        DrawBubblePicture(painter, BubblePicture(bubble.Document, bubble.Frame.size(), arScale),
                          bubble.Frame.size(), arScale);
    }
    return out;
}

QImage RenderPortrait(TFaceRes &aoRes, const TPortrait &aoPortrait, qreal arScale)
{
    return RenderPortrait(aoPortrait, ItemPictures(aoRes, aoPortrait), arScale);
}

namespace {

// Room around the head, as a share of its larger side.
constexpr qreal MARGIN = 0.12;

// The portrait with only the given layers shown.
TPortrait OnlyLayers(const TPortrait &aoPortrait, std::initializer_list<TYPE_FACE_ITEM> aoShown)
{
    TPortrait out = aoPortrait;
    out.Bubble.Shown = false;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
        out.Layers[t].Visible =
            out.Layers[t].Visible && std::find(aoShown.begin(), aoShown.end(), TYPE_FACE_ITEM(t)) != aoShown.end();
    return out;
}

// The smallest rectangle holding every pixel that is not fully transparent.
QRect DrawnBounds(const QImage &aoImage)
{
    int left = aoImage.width(), right = -1, top = aoImage.height(), bottom = -1;
    for (int y = 0; y < aoImage.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(aoImage.constScanLine(y));
        int first = -1, last = -1;
        for (int x = 0; x < aoImage.width(); ++x)
            if (qAlpha(line[x]) != 0) {
                if (first < 0)
                    first = x;
                last = x;
            }
        if (first < 0)
            continue;
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

bool IsAvatarSize(int aiSize)
{
    return std::find(AVATAR_SIZES.begin(), AVATAR_SIZES.end(), aiSize) != AVATAR_SIZES.end();
}

TAvatarParts ComposeAvatarParts(TFaceRes &aoRes, const TPortrait &aoPortrait)
{
    TAvatarParts parts;
    parts.Head = RenderPortrait(aoRes, OnlyLayers(aoPortrait, {fiFace, fiHair, fiBrow, fiEye, fiNose, fiMouth,
                                                               fiGlasses, fiEmoji}));
    parts.Backdrop = RenderPortrait(aoRes, OnlyLayers(aoPortrait, {fiBG}));
    const QRect drawn = DrawnBounds(parts.Head);
    // Without a head the square is the top of the canvas, where one would be.
    if (drawn.isEmpty()) {
        parts.Square = QRectF(0, 0, CANVAS_WIDTH, CANVAS_WIDTH);
        return parts;
    }
    // The square shows what the canvas shows: it stays on the canvas, where the
    // backdrop is, and a head too large for that fills the canvas's width.
    const qreal side = std::min<qreal>(std::max(drawn.width(), drawn.height()) * (1 + 2 * MARGIN), CANVAS_WIDTH);
    parts.Square = QRectF(0, 0, side, side);
    parts.Square.moveCenter(QRectF(drawn).center());
    parts.Square.moveLeft(std::clamp<qreal>(parts.Square.left(), 0, CANVAS_WIDTH - side));
    parts.Square.moveTop(std::clamp<qreal>(parts.Square.top(), 0, CANVAS_HEIGHT - side));
    return parts;
}

QImage RenderAvatar(const TAvatarParts &aoParts, int aiSize, bool abBackdrop)
{
    QImage out(aiSize, aiSize, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const qreal scale = aiSize / aoParts.Square.width();
    painter.scale(scale, scale);
    painter.translate(-aoParts.Square.topLeft());
    if (abBackdrop)
        painter.drawImage(QPointF(0, 0), aoParts.Backdrop);
    painter.drawImage(QPointF(0, 0), aoParts.Head);
    return out;
}

QImage RenderAvatar(TFaceRes &aoRes, const TPortrait &aoPortrait, int aiSize, bool abBackdrop)
{
    return RenderAvatar(ComposeAvatarParts(aoRes, aoPortrait), aiSize, abBackdrop);
}

