#include "editor/untVuploraCanvas.h"

#include <QPainter>
#include <QtMath>

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
    const QRectF box = boundingRect();
    aoPainter->drawImage(meWrap == TImageWrap::Fit ? FitRect(moBitmap.size(), box) : box, moBitmap);
}

TPaopaoFrame::TPaopaoFrame(QGraphicsItem *aoParent) : TLayerControl(aoParent)
{
    imgPaopao = new TPaopaoImage(this);
}

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
    imgBack = AddLayer(*moScene, "imgBack", TImageWrap::Fit);
    imgHand = AddLayer(*moScene, "imgHand", TImageWrap::Fit);
    imgFace = AddLayer(*moScene, "imgFace", TImageWrap::Stretch);
    imgEyes = AddLayer(*moScene, "imgEyes", TImageWrap::Stretch);
    imgNose = AddLayer(*moScene, "imgNose", TImageWrap::Stretch);
    imgMouth = AddLayer(*moScene, "imgMouth", TImageWrap::Stretch);
    imgBrow = AddLayer(*moScene, "imgBrow", TImageWrap::Stretch);
    imgEmoji = AddLayer(*moScene, "imgEmoji", TImageWrap::Fit);
    imgGlass = AddLayer(*moScene, "imgGlass", TImageWrap::Stretch);
    imgHair = AddLayer(*moScene, "imgHair", TImageWrap::Stretch);
    imgFG = AddLayer(*moScene, "imgFG", TImageWrap::Stretch);

    slPaopao = new TPaopaoFrame;
    slPaopao->setObjectName(QStringLiteral("slPaopao"));
    slPaopao->setZValue(moScene->items().size());
    slPaopao->setPos(100, 100);
    slPaopao->SetWidth(273);
    slPaopao->SetHeight(209);
    slPaopao->imgPaopao->setObjectName(QStringLiteral("imgPaopao"));
    slPaopao->imgPaopao->SetWidth(273);
    slPaopao->imgPaopao->SetHeight(209);
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

void TLayerCanvas::ApplyGeometry()
{
    setTransform(QTransform::fromScale(mrScale, mrScale));
    setGeometry(qRound(moPosition.x()), qRound(moPosition.y()), qCeil(CANVAS_WIDTH * mrScale),
                qCeil(CANVAS_HEIGHT * mrScale));
}
