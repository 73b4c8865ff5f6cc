#include "editor/untVuploraPaopaoFrame.h"

#include "compose/untVuploraCompose.h"
#include "platform_ui/errorreport.h"

#include <QBuffer>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal BUTTON_SIZE = 50;
// The buttons hang over the frame's left corners.
constexpr qreal BUTTON_X = -24;
constexpr qreal CLOSE_Y = -24;
constexpr qreal EDIT_FROM_BOTTOM = 26;

} // namespace

TLayerButton::TLayerButton(const QImage &aoPicture, QGraphicsItem *aoParent)
    : TLayerControl(aoParent), moPicture(aoPicture)
{
    SetWidth(BUTTON_SIZE);
    SetHeight(BUTTON_SIZE);
    SetHitTest(true);
    setCursor(Qt::PointingHandCursor);
}

void TLayerButton::paint(QPainter *aoPainter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (moPicture.isNull())
        return;
    aoPainter->setRenderHint(QPainter::SmoothPixmapTransform);
    aoPainter->drawImage(FitRect(moPicture.size(), boundingRect()), moPicture);
}

void TLayerButton::mousePressEvent(QGraphicsSceneMouseEvent *aoEvent)
{
    aoEvent->setAccepted(aoEvent->button() == Qt::LeftButton);
}

void TLayerButton::mouseMoveEvent(QGraphicsSceneMouseEvent *) {}

void TLayerButton::mouseReleaseEvent(QGraphicsSceneMouseEvent *aoEvent)
{
    if (aoEvent->button() == Qt::LeftButton && boundingRect().contains(aoEvent->pos()))
        RunReportingErrors([this] { Q_EMIT Click(); });
}

TPaopaoImage::TPaopaoImage(QGraphicsItem *aoParent) : TRSSVGImage(aoParent)
{
    setAcceptedMouseButtons(Qt::NoButton);
    setAcceptHoverEvents(false);
    // The picture is drawn here; a buffer of the control would be a second
    // drawing of the same document, kept at its largest size.
    SetBuffered(false);
}

void TPaopaoImage::paint(QPainter *aoPainter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // Device pixels per canvas unit: the canvas's scale on screen times the
    // screen's pixel ratio, or the scale of a picture the scene is drawn into.
    const qreal scale = std::sqrt(std::abs(aoPainter->deviceTransform().determinant()));
    const QByteArray document = goPaopaoStream ? goPaopaoStream->data() : QByteArray();
    const QSizeF size(Width(), Height());
    if (document != moDocument || size != moSize || scale != mrScale) {
        moDocument = document;
        moSize = size;
        mrScale = scale;
        moPicture = QImage();
        try {
            moPicture = BubblePicture(document, size, scale);
        } catch (const std::exception &e) {
            // Not from inside a paint: the report may open a window. The
            // picture stays empty until the document or the size changes.
            const QString message = QString::fromUtf8(e.what());
            QMetaObject::invokeMethod(
                qApp, [message] { TVuploraApplication::ReportError(message); }, Qt::QueuedConnection);
        }
    }
    DrawBubblePicture(*aoPainter, moPicture, size, scale);
}

TPaopaoFrame::TPaopaoFrame(QGraphicsItem *aoParent) : TLayerControl(aoParent)
{
    SetHitTest(true);
    imgPaopao = new TPaopaoImage(this);
    imgPaopaoClose = new TLayerButton(LayoutPicture(QStringLiteral("paopao_close.png")), this);
    imgPaopaoClose->setObjectName(QStringLiteral("imgPaopaoClose"));
    imgPaopaoClose->setPos(BUTTON_X, CLOSE_Y);
    imgPaopaoClose->setVisible(false);
    imgPaopaoEdit = new TLayerButton(LayoutPicture(QStringLiteral("paopao_edit.png")), this);
    imgPaopaoEdit->setObjectName(QStringLiteral("imgPaopaoEdit"));
    imgPaopaoEdit->setVisible(false);
    SetSize(QSizeF(273, 209));
}

void TPaopaoFrame::SetSelectionShown(bool abShown)
{
    mbSelectionShown = abShown;
    update();
}

void TPaopaoFrame::SetSize(const QSizeF &aoSize)
{
    SetWidth(aoSize.width());
    SetHeight(aoSize.height());
    imgPaopao->SetSize(aoSize);
    imgPaopaoEdit->setPos(BUTTON_X, aoSize.height() - EDIT_FROM_BOTTOM);
}

QRectF TPaopaoFrame::boundingRect() const
{
    // The grips reach half their size beyond the frame.
    return QRectF(0, 0, Width(), Height()).adjusted(-GRIP_SIZE, -GRIP_SIZE, GRIP_SIZE, GRIP_SIZE);
}

QPainterPath TPaopaoFrame::shape() const
{
    QPainterPath path;
    path.addRect(boundingRect());
    return path;
}

void TPaopaoFrame::paint(QPainter *aoPainter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!mbSelectionShown)
        return;
    aoPainter->setRenderHint(QPainter::Antialiasing);
    QPen dash(QColor(0x40, 0x40, 0x40), 1, Qt::DashLine);
    dash.setCosmetic(true);
    aoPainter->setPen(dash);
    aoPainter->setBrush(Qt::NoBrush);
    const QRectF frame(0, 0, Width(), Height());
    aoPainter->drawRect(frame);
    aoPainter->setPen(QPen(QColor(0x30, 0x60, 0xC0), 1));
    aoPainter->setBrush(Qt::white);
    for (const QPointF &corner : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()})
        aoPainter->drawEllipse(corner, GRIP_SIZE, GRIP_SIZE);
}

QPointF TPaopaoFrame::KeptInReach(const QRectF &aoFrame, const QPointF &aoMove) const
{
    if (moReach.isEmpty())
        return aoMove;
    // The moved frame overlaps the reach by a grip's width on both axes.
    const qreal keep = KEEP_IN_REACH;
    const auto axis = [keep](qreal arMove, qreal arLow, qreal arHigh, qreal arReachLow, qreal arReachHigh) {
        const qreal least = arReachLow + keep - arHigh;
        const qreal most = arReachHigh - keep - arLow;
        return least <= most ? std::clamp(arMove, least, most) : arMove;
    };
    return QPointF(axis(aoMove.x(), aoFrame.left(), aoFrame.right(), moReach.left(), moReach.right()),
                   axis(aoMove.y(), aoFrame.top(), aoFrame.bottom(), moReach.top(), moReach.bottom()));
}

TPaopaoFrame::TDrag TPaopaoFrame::GripAt(const QPointF &aoPos) const
{
    const QRectF frame(0, 0, Width(), Height());
    const struct {
        QPointF Corner;
        TDrag Drag;
    } grips[] = {{frame.topLeft(), TDrag::TopLeft},
                 {frame.topRight(), TDrag::TopRight},
                 {frame.bottomLeft(), TDrag::BottomLeft},
                 {frame.bottomRight(), TDrag::BottomRight}};
    for (const auto &grip : grips)
        if (QLineF(grip.Corner, aoPos).length() <= GRIP_SIZE)
            return grip.Drag;
    return TDrag::Move;
}

void TPaopaoFrame::mousePressEvent(QGraphicsSceneMouseEvent *aoEvent)
{
    if (aoEvent->button() != Qt::LeftButton) {
        aoEvent->ignore();
        return;
    }
    aoEvent->accept();
    meDrag = GripAt(aoEvent->pos());
    moPressScene = aoEvent->scenePos();
    moPressRect = QRectF(pos(), QSizeF(Width(), Height()));
}

void TPaopaoFrame::mouseMoveEvent(QGraphicsSceneMouseEvent *aoEvent)
{
    if (meDrag == TDrag::None)
        return;
    // Canvas units: the frame sits directly on the canvas.
    const QPointF d = aoEvent->scenePos() - moPressScene;
    QRectF r = moPressRect;
    switch (meDrag) {
    case TDrag::None: return;
    case TDrag::Move: r.translate(KeptInReach(r, d)); break;
    case TDrag::TopLeft: r.setTopLeft(r.topLeft() + d); break;
    case TDrag::TopRight: r.setTopRight(r.topRight() + d); break;
    case TDrag::BottomLeft: r.setBottomLeft(r.bottomLeft() + d); break;
    case TDrag::BottomRight: r.setBottomRight(r.bottomRight() + d); break;
    }
    // A grip's edge stops where the frame would leave the reach: the far
    // edges still overlap it by a grip's width.
    if (!moReach.isEmpty() && meDrag != TDrag::Move) {
        const qreal keep = KEEP_IN_REACH;
        if (meDrag == TDrag::TopLeft || meDrag == TDrag::BottomLeft)
            r.setLeft(std::min(r.left(), moReach.right() - keep));
        else
            r.setRight(std::max(r.right(), moReach.left() + keep));
        if (meDrag == TDrag::TopLeft || meDrag == TDrag::TopRight)
            r.setTop(std::min(r.top(), moReach.bottom() - keep));
        else
            r.setBottom(std::max(r.bottom(), moReach.top() + keep));
    }
    // A grip dragged past the opposite corner stops at the smallest size there.
    if (r.width() < MIN_SIZE) {
        if (meDrag == TDrag::TopLeft || meDrag == TDrag::BottomLeft)
            r.setLeft(r.right() - MIN_SIZE);
        else
            r.setWidth(MIN_SIZE);
    }
    if (r.height() < MIN_SIZE) {
        if (meDrag == TDrag::TopLeft || meDrag == TDrag::TopRight)
            r.setTop(r.bottom() - MIN_SIZE);
        else
            r.setHeight(MIN_SIZE);
    }
    prepareGeometryChange();
    setPos(r.topLeft());
    SetSize(r.size());
}

void TPaopaoFrame::mouseReleaseEvent(QGraphicsSceneMouseEvent *aoEvent)
{
    const bool bDragged = meDrag != TDrag::None;
    meDrag = TDrag::None;
    if (aoEvent->button() == Qt::LeftButton && bDragged)
        RunReportingErrors([this] { Q_EMIT Click(); });
}
