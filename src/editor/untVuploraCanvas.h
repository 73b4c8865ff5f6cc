#pragma once
// The portrait canvas: a scene of 640 x 1136 canvas units shown at a scale, and
// its layers. Every position and size here is in canvas units, whatever the
// on-screen scale.

#include "editor/untVuploraPaopaoFrame.h"
#include "editor/untVuploraLayer.h"

#include <QGraphicsView>

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

    // The layer of a category (for the bubble, the image inside its frame) and
    // the holder of its TFaceItem.
    QGraphicsObject *Layer(TYPE_FACE_ITEM fiType) const;
    TFaceItemHolder *FaceItemHolder(TYPE_FACE_ITEM fiType) const;

    // The free part of the window around the canvas (window pixels, beside
    // the toolbar, the panel and the colour bar): what lies beyond the canvas
    // edge there, a bubble dragged partly off, is drawn over it and can be
    // taken by its grips. It is the bubble's reach: a drag keeps part of the
    // frame inside the canvas and this area.
    void SetSurround(const QRect &aoArea);
    // The canvas and its surround in canvas units.
    QRectF Reach() const;

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
    // The second view of the scene, under this one, over the surround.
    QGraphicsView *moSurround = nullptr;
    QRect moSurroundArea;
    // The press in progress went to the canvas itself, not to a child.
    bool mbCanvasPress = false;
    qreal mrScale = 1.0;
    QPointF moPosition;
};
