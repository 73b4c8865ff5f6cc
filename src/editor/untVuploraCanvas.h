#pragma once
// The portrait canvas: a scene of 640 x 1136 canvas units shown at a scale, and
// its layers. Every position and size here is in canvas units, whatever the
// on-screen scale.

#include "assets/untVuplora.h"
#include "editor/untImageControl.h"

#include <QGraphicsObject>
#include <QGraphicsView>
#include <QImage>

#include <memory>

inline constexpr int CANVAS_WIDTH = 640;
inline constexpr int CANVAS_HEIGHT = 1136;

// A child of the canvas with a box of its own and, for the layers, the
// TFaceItem that records the layer's default rectangle, item and colour.
class TLayerControl : public QGraphicsObject {
    Q_OBJECT
    Q_PROPERTY(qreal width READ Width WRITE SetWidth)
    Q_PROPERTY(qreal height READ Height WRITE SetHeight)
public:
    explicit TLayerControl(QGraphicsItem *aoParent = nullptr);
    ~TLayerControl() override;

    qreal Width() const { return mrWidth; }
    qreal Height() const { return mrHeight; }
    void SetWidth(qreal arWidth);
    void SetHeight(qreal arHeight);

    // Off: the control takes no pointer input, which reaches the canvas instead.
    void SetHitTest(bool abHitTest);

    // The attached descriptor; the layer owns it until it is detached.
    TFaceItem *FaceItem() const { return moFaceItem.get(); }
    void AttachFaceItem(std::unique_ptr<TFaceItem> aoItem) { moFaceItem = std::move(aoItem); }
    void FreeFaceItem() { moFaceItem.reset(); }

    QRectF boundingRect() const override;

private:
    qreal mrWidth = 0;
    qreal mrHeight = 0;
    std::unique_ptr<TFaceItem> moFaceItem;
};

// A bitmap layer of the portrait.
class TLayerImage : public TLayerControl {
    Q_OBJECT
public:
    TLayerImage(TImageWrap aeWrap, QGraphicsItem *aoParent = nullptr);

    const QImage &Bitmap() const { return moBitmap; }
    void SetBitmap(const QImage &aoBitmap);
    TImageWrap WrapMode() const { return meWrap; }

    void paint(QPainter *aoPainter, const QStyleOptionGraphicsItem *aoOption,
               QWidget *aoWidget) override;

private:
    QImage moBitmap;
    TImageWrap meWrap;
};

// The bubble image; until the SVG engine lands it draws nothing.
class TPaopaoImage : public TLayerControl {
    Q_OBJECT
public:
    using TLayerControl::TLayerControl;
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}
};

// The frame of the speech bubble, holding the bubble image.
class TPaopaoFrame : public TLayerControl {
    Q_OBJECT
public:
    explicit TPaopaoFrame(QGraphicsItem *aoParent = nullptr);
    TPaopaoImage *imgPaopao;
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}
};

// slCanvas: the view of the canvas scene. The view's own size follows the scale,
// so the canvas always shows its whole 640 x 1136 units.
class TLayerCanvas : public QGraphicsView {
    Q_OBJECT
public:
    explicit TLayerCanvas(QWidget *aoParent = nullptr);

    // Scale of the canvas on screen, the same on both axes.
    qreal CanvasScale() const { return mrScale; }
    void SetCanvasScale(qreal arScale);
    // Top-left corner in the window's client area, in window pixels; may lie
    // outside the window. Kept exactly; the widget itself sits on whole pixels.
    QPointF Position() const { return moPosition; }
    void SetPosition(const QPointF &aoPosition);

    // Children from bottom to top.
    TLayerImage *imgIcon;
    TLayerImage *imgBack;
    TLayerImage *imgHand;
    TLayerImage *imgFace;
    TLayerImage *imgEyes;
    TLayerImage *imgNose;
    TLayerImage *imgMouth;
    TLayerImage *imgBrow;
    TLayerImage *imgEmoji;
    TLayerImage *imgGlass;
    TLayerImage *imgHair;
    TLayerImage *imgFG;
    TPaopaoFrame *slPaopao;

private:
    void ApplyGeometry();
    QGraphicsScene *moScene;
    qreal mrScale = 1.0;
    QPointF moPosition;
};
