#include "svg/controls/svg_shape_controls.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// A closed copy of Path whose last subpath is closed too, so that an open path fills like
// a closed one.
QPainterPath ClosedForFill(const QPainterPath &Path)
{
    QPainterPath closed = Path;
    if (closed.elementCount() > 0) {
        const QPainterPath::Element last = closed.elementAt(closed.elementCount() - 1);
        if (last.type != QPainterPath::MoveToElement)
            closed.closeSubpath();
    }
    return closed;
}

// Copies of a tile along an extent: Round(Extent / Tile) + 1, and one copy when the
// tile has no length on that axis (a straight horizontal or vertical path), instead of
// a division by zero.
int PathTileCount(qreal Extent, qreal Tile)
{
    if (!(Tile > 0) || !(Extent > 0))
        return 1;
    return int(std::min<qreal>(std::round(Extent / Tile), 10000)) + 1;
}

} // namespace

// --- control

TRSSVGControl::TRSSVGControl(QGraphicsItem *aParent) : QGraphicsObject(aParent) {}

void TRSSVGControl::SetSVGMatrix(const TMatrix &Value)
{
    FSVGMatrix = Value;
    setTransform(Value.ToQTransform());
}

void TRSSVGControl::SetSize(const QSizeF &Value)
{
    const QSizeF size(std::max<qreal>(Value.width(), 0), std::max<qreal>(Value.height(), 0));
    if (size == FSize)
        return;
    prepareGeometryChange();
    FSize = size;
    update();
}

void TRSSVGControl::SetClipChildren(bool Value)
{
    FClipChildren = Value;
    setFlag(ItemClipsChildrenToShape, Value);
    update();
}

QRectF TRSSVGControl::boundingRect() const
{
    return QRectF(QPointF(0, 0), FSize);
}

// --- shape

TRSSVGShape::TRSSVGShape(QGraphicsItem *aParent) : TRSSVGControl(aParent) {}

void TRSSVGShape::SetFill(const QBrush &Value)
{
    FFill = Value;
    update();
}

void TRSSVGShape::SetStroke(const QPen &Value)
{
    prepareGeometryChange();
    FStroke = Value;
    update();
}

void TRSSVGShape::SetOutline(const QPainterPath &Value)
{
    prepareGeometryChange();
    FOutline = Value;
    update();
}

qreal TRSSVGShape::StrokeMargin() const
{
    return FStroke.style() == Qt::NoPen ? 0 : FStroke.widthF() * std::max<qreal>(FStroke.miterLimit(), 1);
}

QRectF TRSSVGShape::boundingRect() const
{
    const qreal m = StrokeMargin();
    return TRSSVGControl::boundingRect().united(FOutline.boundingRect()).adjusted(-m, -m, m, m);
}

void TRSSVGShape::PaintPath(QPainter &Painter, const QPainterPath &Path) const
{
    if (FFill.style() != Qt::NoBrush)
        Painter.fillPath(ClosedForFill(Path), FFill);
    if (FStroke.style() != Qt::NoPen)
        Painter.strokePath(Path, FStroke);
}

void TRSSVGShape::paint(QPainter *aPainter, const QStyleOptionGraphicsItem *, QWidget *)
{
    aPainter->save();
    aPainter->setRenderHint(QPainter::Antialiasing);
    if (ClipChildren())
        aPainter->setClipRect(TRSSVGControl::boundingRect(), Qt::IntersectClip);
    PaintPath(*aPainter, FOutline);
    aPainter->restore();
}

// --- path

TRSSVGPath::TRSSVGPath(QGraphicsItem *aParent) : TRSSVGShape(aParent) {}

void TRSSVGPath::SetData(const TRSPathData &Value)
{
    FData = Value;
    SetOutline(FData.ToQPainterPath());
}

void TRSSVGPath::SetWrapMode(TPathWrapMode Value)
{
    if (Value == FWrapMode)
        return;
    prepareGeometryChange();
    FWrapMode = Value;
    update();
}

QRectF TRSSVGPath::ShapeRect() const
{
    const qreal half = Stroke().style() == Qt::NoPen ? 0 : Stroke().widthF() / 2;
    const QRectF box = TRSSVGControl::boundingRect().adjusted(half, half, -half, -half);
    return box.isValid() ? box : QRectF(box.topLeft(), QSizeF(0, 0));
}

QRectF TRSSVGPath::boundingRect() const
{
    // The original mode may paint anywhere its data reaches.
    if (FWrapMode == pwOriginal)
        return TRSSVGShape::boundingRect();
    const qreal m = StrokeMargin();
    return TRSSVGControl::boundingRect().adjusted(-m, -m, m, m);
}

void TRSSVGPath::paint(QPainter *aPainter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QPainterPath &path = Outline();
    // The real extent: a straight line has no height (the path data's own bounds would
    // give it a token one).
    const QRectF bounds = path.boundingRect();
    const QRectF shape = ShapeRect();
    aPainter->save();
    aPainter->setRenderHint(QPainter::Antialiasing);
    if (ClipChildren() && (FWrapMode == pwOriginal || FWrapMode == pwTile))
        aPainter->setClipRect(TRSSVGControl::boundingRect(), Qt::IntersectClip);
    switch (FWrapMode) {
    case pwOriginal:
        PaintPath(*aPainter, path);
        break;
    case pwStretch:
    case pwFit: {
        qreal sx = bounds.width() > 0 ? shape.width() / bounds.width() : 1;
        qreal sy = bounds.height() > 0 ? shape.height() / bounds.height() : 1;
        if (FWrapMode == pwFit)
            sx = sy = std::min({sx, sy, qreal(1)});
        const QSizeF placed(bounds.width() * sx, bounds.height() * sy);
        const QPointF corner = FWrapMode == pwFit
                                   ? QPointF(shape.left() + (shape.width() - placed.width()) / 2,
                                             shape.top() + (shape.height() - placed.height()) / 2)
                                   : shape.topLeft();
        QTransform t;
        t.translate(corner.x(), corner.y());
        t.scale(sx, sy);
        t.translate(-bounds.left(), -bounds.top());
        PaintPath(*aPainter, t.map(path));
        break;
    }
    case pwTile: {
        const QPainterPath tile = path.translated(-bounds.topLeft());
        const int cols = PathTileCount(Width(), bounds.width());
        const int rows = PathTileCount(Height(), bounds.height());
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < cols; ++i)
                PaintPath(*aPainter,
                          tile.translated(shape.left() + i * (bounds.width() + 2 * shape.left()),
                                          shape.top() + j * (bounds.height() + 2 * shape.top())));
        break;
    }
    }
    aPainter->restore();
}

// --- picture

void TRSSVGPicture::SetBitmap(const QImage &Value, const QRectF &aPlace)
{
    prepareGeometryChange();
    FBitmap = Value;
    FPlace = aPlace;
    update();
}

QRectF TRSSVGPicture::boundingRect() const
{
    return TRSSVGControl::boundingRect().united(FPlace);
}

void TRSSVGPicture::paint(QPainter *aPainter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (FBitmap.isNull())
        return;
    aPainter->save();
    aPainter->setRenderHint(QPainter::SmoothPixmapTransform);
    if (ClipChildren())
        aPainter->setClipRect(TRSSVGControl::boundingRect(), Qt::IntersectClip);
    aPainter->drawImage(FPlace, FBitmap);
    aPainter->restore();
}
