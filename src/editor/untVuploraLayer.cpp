#include "editor/untVuploraLayer.h"

#include "platform_ui/errorreport.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

TLayerControl::TLayerControl(QGraphicsItem *aoParent) : QGraphicsObject(aoParent) {}

TLayerControl::~TLayerControl() = default;

void TLayerControl::SetWidth(qreal arWidth)
{
    prepareGeometryChange();
    mrWidth = arWidth;
}

void TLayerControl::SetHeight(qreal arHeight)
{
    prepareGeometryChange();
    mrHeight = arHeight;
}

void TLayerControl::SetHitTest(bool abHitTest)
{
    setAcceptedMouseButtons(abHitTest ? Qt::AllButtons : Qt::NoButton);
    setAcceptHoverEvents(abHitTest);
}

void TLayerControl::mousePressEvent(QGraphicsSceneMouseEvent *aoEvent)
{
    // Accepting makes this control the scene's grabber until the release.
    aoEvent->accept();
    RunReportingErrors([&] { Q_EMIT MouseDown(aoEvent->button(), aoEvent->pos()); });
}

void TLayerControl::mouseMoveEvent(QGraphicsSceneMouseEvent *aoEvent)
{
    if (!mbAutoCapture && !boundingRect().contains(aoEvent->pos()))
        return;
    RunReportingErrors([&] { Q_EMIT MouseMove(aoEvent->pos()); });
}

void TLayerControl::mouseReleaseEvent(QGraphicsSceneMouseEvent *aoEvent)
{
    RunReportingErrors([&] { Q_EMIT MouseUp(aoEvent->button(), aoEvent->pos()); });
}

QRectF TLayerControl::boundingRect() const
{
    return QRectF(0, 0, mrWidth, mrHeight);
}

TLayerImage::TLayerImage(TImageWrap aeWrap, QGraphicsItem *aoParent)
    : TLayerControl(aoParent), meWrap(aeWrap)
{
}

void TLayerImage::SetBitmap(const QImage &aoBitmap)
{
    moBitmap = aoBitmap;
    update();
}

void TLayerImage::paint(QPainter *aoPainter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (moBitmap.isNull())
        return;
    aoPainter->setRenderHint(QPainter::SmoothPixmapTransform);
    DrawLayerPicture(*aoPainter, moBitmap, boundingRect(), meWrap);
}
