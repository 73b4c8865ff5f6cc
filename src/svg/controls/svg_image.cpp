#include "svg/controls/svg_image.h"

#include <QPainter>
#include <QPaintEvent>

// --- the graphics item

TRSSVGImage::TRSSVGImage(QGraphicsItem *aParent) : QGraphicsObject(aParent) {}

TRSSVGImage::~TRSSVGImage() = default;

void TRSSVGImage::SetSize(const QSizeF &Value)
{
    const QSizeF size(std::max<qreal>(Value.width(), 0), std::max<qreal>(Value.height(), 0));
    if (size == FSize)
        return;
    prepareGeometryChange();
    FSize = size;
    FCore.Resized();
    ImageRepaint();
}

QRectF TRSSVGImage::boundingRect() const
{
    return QRectF(QPointF(0, 0), FSize);
}

void TRSSVGImage::paint(QPainter *aPainter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // The scene has already set the item's opacity on the painter.
    const QPaintDevice *device = aPainter->device();
    FCore.Paint(*aPainter, device ? device->devicePixelRatioF() : 1.0);
}

QVariant TRSSVGImage::itemChange(GraphicsItemChange aChange, const QVariant &aValue)
{
    if (aChange == ItemOpacityHasChanged)
        FCore.OpacityChanged();
    return QGraphicsObject::itemChange(aChange, aValue);
}

void TRSSVGImage::ImageRepaint()
{
    update();
    Q_EMIT Repainted();
}

// --- the widget

TRSSVGImageWidget::TRSSVGImageWidget(QWidget *aParent) : QWidget(aParent)
{
    resize(100, 100);
}

TRSSVGImageWidget::~TRSSVGImageWidget() = default;

void TRSSVGImageWidget::resizeEvent(QResizeEvent *aEvent)
{
    QWidget::resizeEvent(aEvent);
    FCore.Resized();
    ImageRepaint();
}

void TRSSVGImageWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    FCore.Paint(painter, devicePixelRatioF());
}

void TRSSVGImageWidget::ImageRepaint()
{
    update();
    Q_EMIT Repainted();
}
