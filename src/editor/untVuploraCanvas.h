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

    // On: after a press on the control, the moves and the release reach it
    // wherever the pointer goes until the button is let go. Off: moves outside
    // the control's box are not reported.
    void SetAutoCapture(bool abAutoCapture) { mbAutoCapture = abAutoCapture; }
    bool AutoCapture() const { return mbAutoCapture; }

    QRectF boundingRect() const override;

Q_SIGNALS:
    // Pointer input of a control that takes it (SetHitTest), in the control's
    // own coordinates. A handler's error is reported, not passed to the toolkit.
    void MouseDown(Qt::MouseButton aeButton, const QPointF &aoPos);
    void MouseMove(const QPointF &aoPos);
    void MouseUp(Qt::MouseButton aeButton, const QPointF &aoPos);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *aoEvent) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *aoEvent) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *aoEvent) override;

private:
    qreal mrWidth = 0;
    qreal mrHeight = 0;
    bool mbAutoCapture = false;
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
    // The selection: outline, grips and the close and edit buttons.
    bool SelectionShown() const { return mbSelectionShown; }
    void SetSelectionShown(bool abShown);

private:
    bool mbSelectionShown = false;
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

    // The layer of a category (for the bubble, the image inside its frame).
    TLayerControl *Layer(TYPE_FACE_ITEM fiType) const;

    // The canvas with every visible child painted into a new transparent bitmap
    // of 640 x 1136 canvas units times arDisplayScale pixels, whatever the
    // canvas's scale on screen. What lies outside the canvas is cut off.
    QImage MakeScreenshot(qreal arDisplayScale = 1.0) const;

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

Q_SIGNALS:
    // Pointer input that no child of the canvas took, in canvas units. Click
    // follows the release of a left press when the pointer is still on the
    // canvas. A handler's error is reported, not passed to the toolkit.
    void MouseDown(Qt::MouseButton aeButton, const QPointF &aoPos);
    void MouseUp(Qt::MouseButton aeButton, const QPointF &aoPos);
    void Click();

protected:
    void mousePressEvent(QMouseEvent *aoEvent) override;
    void mouseDoubleClickEvent(QMouseEvent *aoEvent) override;
    void mouseReleaseEvent(QMouseEvent *aoEvent) override;

private:
    void ApplyGeometry();
    QPointF CanvasPoint(const QMouseEvent *aoEvent) const;
    QGraphicsScene *moScene;
    // The press in progress went to the canvas itself, not to a child.
    bool mbCanvasPress = false;
    qreal mrScale = 1.0;
    QPointF moPosition;
};
