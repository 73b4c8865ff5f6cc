#include "editor/untVuploraCanvas.h"

#include "editor/untVuploraCategories.h"
#include "platform_ui/errorreport.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QPainter>
#include <QtMath>

namespace {

TLayerImage *AddLayer(QGraphicsScene &aoScene, const char *asName, TImageWrap aeWrap)
{
    auto *layer = new TLayerImage(aeWrap);
    layer->setObjectName(QLatin1String(asName));
    // Stacking follows the order of creation.
    layer->setZValue(aoScene.items().size());
    layer->SetHitTest(false);
    aoScene.addItem(layer);
    return layer;
}

// The view over the surround: it draws and hands on to the scene what lies
// there (the bubble's frame and grips); a press on nothing goes on to the
// window as before, and the wheel never scrolls it.
class TSurroundView : public QGraphicsView {
public:
    TSurroundView(QGraphicsScene *aoScene, QWidget *aoParent) : QGraphicsView(aoScene, aoParent)
    {
        setObjectName(QStringLiteral("slSurround"));
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        setFocusPolicy(Qt::NoFocus);
        setBackgroundBrush(Qt::NoBrush);
        setAutoFillBackground(false);
        viewport()->setAutoFillBackground(false);
        setStyleSheet(QStringLiteral("QGraphicsView { background: transparent; }"));
    }

protected:
    void wheelEvent(QWheelEvent *aoEvent) override { aoEvent->ignore(); }
};

} // namespace

TLayerCanvas::TLayerCanvas(QWidget *aoParent)
    : QGraphicsView(aoParent), moScene(new QGraphicsScene(this))
{
    setObjectName(QStringLiteral("slCanvas"));
    moScene->setSceneRect(0, 0, CANVAS_WIDTH, CANVAS_HEIGHT);
    moScene->setItemIndexMethod(QGraphicsScene::NoIndex);
    setScene(moScene);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    // No background of its own: where no layer covers the canvas the window shows.
    setBackgroundBrush(Qt::NoBrush);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QGraphicsView { background: transparent; }"));

    imgIcon = AddLayer(*moScene, "imgIcon", TImageWrap::Fit);
    // The category layers in their stacking order; the bubble frame tops them.
    std::array<const TCategory *, FACE_ITEM_TYPE_COUNT> stack{};
    for (const TCategory &category : Categories())
        stack[size_t(category.Rules().Stack)] = &category;
    for (const TCategory *category : stack)
        if (category->Layer)
            this->*category->Layer = AddLayer(*moScene, category->LayerName, category->Rules().Wrap);

    slPaopao = new TPaopaoFrame;
    slPaopao->setObjectName(QStringLiteral("slPaopao"));
    slPaopao->setZValue(moScene->items().size());
    slPaopao->setPos(100, 100);
    slPaopao->SetSize(QSizeF(273, 209));
    slPaopao->imgPaopao->setObjectName(QLatin1String(CategoryOf(fiPaopao).LayerName));
    slPaopao->setVisible(false);
    moScene->addItem(slPaopao);

    // The watermark: hidden, below the background, draggable (it takes input).
    imgIcon->setPos(384, 1000);
    imgIcon->SetWidth(258);
    imgIcon->SetHeight(142);
    imgIcon->SetHitTest(true);
    imgIcon->setVisible(false);

    ApplyGeometry();
}

void TLayerCanvas::SetCanvasScale(qreal arScale)
{
    mrScale = arScale;
    ApplyGeometry();
}

void TLayerCanvas::SetPosition(const QPointF &aoPosition)
{
    moPosition = aoPosition;
    ApplyGeometry();
}

void TLayerCanvas::SetSurround(const QRect &aoArea)
{
    moSurroundArea = aoArea;
    if (!moSurround && parentWidget()) {
        moSurround = new TSurroundView(moScene, parentWidget());
        moSurround->stackUnder(this);
        moSurround->show();
    }
    ApplyGeometry();
}

QRectF TLayerCanvas::Reach() const
{
    const QRectF canvas(0, 0, CANVAS_WIDTH, CANVAS_HEIGHT);
    if (!moSurround)
        return canvas;
    return canvas.united(moSurround->sceneRect());
}

void TLayerCanvas::ApplyGeometry()
{
    setTransform(QTransform::fromScale(mrScale, mrScale));
    const QPoint at(qRound(moPosition.x()), qRound(moPosition.y()));
    setGeometry(at.x(), at.y(), qCeil(CANVAS_WIDTH * mrScale), qCeil(CANVAS_HEIGHT * mrScale));
    if (moSurround) {
        // The surround shows the scene where this view would show it if it
        // were larger: canvas 0,0 on the same whole pixel, so a bubble across
        // the edge shows no seam.
        moSurround->setTransform(QTransform::fromScale(mrScale, mrScale));
        moSurround->setGeometry(moSurroundArea);
        const QPointF offset = QPointF(moSurroundArea.topLeft() - at) / mrScale;
        moSurround->setSceneRect(QRectF(offset, QSizeF(moSurroundArea.size()) / mrScale));
        // Painted only where this view does not paint.
        moSurround->setMask(QRegion(moSurround->rect()) - QRegion(geometry().translated(-moSurroundArea.topLeft())));
    }
    slPaopao->SetReach(Reach());
}

QGraphicsObject *TLayerCanvas::Layer(TYPE_FACE_ITEM fiType) const
{
    TLayerImage *TLayerCanvas::*layer = CategoryOf(fiType).Layer;
    if (layer)
        return this->*layer;
    return slPaopao->imgPaopao;
}

TFaceItemHolder *TLayerCanvas::FaceItemHolder(TYPE_FACE_ITEM fiType) const
{
    TLayerImage *TLayerCanvas::*layer = CategoryOf(fiType).Layer;
    if (layer)
        return this->*layer;
    return slPaopao->imgPaopao;
}

QImage TLayerCanvas::MakeScreenshot(qreal arDisplayScale) const
{
    QImage bitmap(qRound(CANVAS_WIDTH * arDisplayScale), qRound(CANVAS_HEIGHT * arDisplayScale),
                  QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull())
        return bitmap;
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    moScene->render(&painter, QRectF(bitmap.rect()), QRectF(0, 0, CANVAS_WIDTH, CANVAS_HEIGHT),
                    Qt::IgnoreAspectRatio);
    return bitmap;
}

QPointF TLayerCanvas::CanvasPoint(const QMouseEvent *aoEvent) const
{
    // Exact canvas units: mapToScene works on whole viewport pixels.
    return viewportTransform().inverted().map(aoEvent->position());
}

void TLayerCanvas::mousePressEvent(QMouseEvent *aoEvent)
{
    QGraphicsView::mousePressEvent(aoEvent);
    // A child that takes input (the watermark, the bubble frame) grabs the
    // pointer; everything else is the canvas's own.
    mbCanvasPress = moScene->mouseGrabberItem() == nullptr;
    if (!mbCanvasPress)
        return;
    aoEvent->accept();
    const QPointF pos = CanvasPoint(aoEvent);
    RunReportingErrors([&] { Q_EMIT MouseDown(aoEvent->button(), pos); });
}

void TLayerCanvas::mouseDoubleClickEvent(QMouseEvent *aoEvent)
{
    // The second press of a double click is a press like any other here.
    mousePressEvent(aoEvent);
}

void TLayerCanvas::mouseReleaseEvent(QMouseEvent *aoEvent)
{
    QGraphicsView::mouseReleaseEvent(aoEvent);
    if (!mbCanvasPress)
        return;
    if (aoEvent->buttons() == Qt::NoButton)
        mbCanvasPress = false;
    aoEvent->accept();
    const QPointF pos = CanvasPoint(aoEvent);
    const bool bClick = aoEvent->button() == Qt::LeftButton
                        && QRectF(0, 0, CANVAS_WIDTH, CANVAS_HEIGHT).contains(pos);
    RunReportingErrors([&] {
        Q_EMIT MouseUp(aoEvent->button(), pos);
        if (bClick)
            Q_EMIT Click();
    });
}
