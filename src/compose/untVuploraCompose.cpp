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
