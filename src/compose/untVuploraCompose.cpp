#include "compose/untVuploraCompose.h"

#include "assets/untVuploraProcs.h"

#include <QPainter>

#include <algorithm>

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

QImage RenderPortrait(TFaceRes &aoRes, const TPortrait &aoPortrait)
{
    std::vector<TYPE_FACE_ITEM> stack;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
        if (t != fiPaopao)
            stack.push_back(TYPE_FACE_ITEM(t));
    std::sort(stack.begin(), stack.end(),
              [](TYPE_FACE_ITEM a, TYPE_FACE_ITEM b) { return CategoryRules(a).Stack < CategoryRules(b).Stack; });

    QImage out(CANVAS_WIDTH, CANVAS_HEIGHT, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    for (TYPE_FACE_ITEM type : stack) {
        const TPortraitLayer &layer = aoPortrait.Layers[type];
        const TFaceItemDataList *items = aoRes.GetFaceItem(type);
        if (!layer.Present || !layer.Visible || !items || layer.Index >= qint32(items->size()))
            continue;
        QImage bitmap;
        GetItemPicture(aoRes, bitmap, type, layer.Index, layer.Color);
        if (bitmap.isNull())
            continue;
        DrawLayerPicture(painter, bitmap, QRectF(layer.Pos, QSizeF(FACE_ITEM_RECTS[type].size())),
                         CategoryRules(type).Wrap);
    }
    return out;
}

namespace {

// Room around the head, as a share of its larger side.
constexpr qreal MARGIN = 0.12;

// The portrait with only the given layers shown.
TPortrait OnlyLayers(const TPortrait &aoPortrait, std::initializer_list<TYPE_FACE_ITEM> aoShown)
{
    TPortrait out = aoPortrait;
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

