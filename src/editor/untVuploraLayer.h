#pragma once
// The layers of the portrait canvas: controls placed in canvas units (the
// 640 x 1136 canvas, whatever its scale on screen), each layer carrying the
// TFaceItem that records its default rectangle, item and colour.

#include "assets/untVuplora.h"
#include "editor/untImageControl.h"

#include <QGraphicsObject>
#include <QImage>

#include <memory>

// Holds a layer's TFaceItem; the holder owns it until it is freed.
class TFaceItemHolder {
public:
    virtual ~TFaceItemHolder() = default;
    TFaceItem *FaceItem() const { return moFaceItem.get(); }
    void AttachFaceItem(std::unique_ptr<TFaceItem> aoItem) { moFaceItem = std::move(aoItem); }
    void FreeFaceItem() { moFaceItem.reset(); }

private:
    std::unique_ptr<TFaceItem> moFaceItem;
};

// A child of the canvas with a box of its own and, for the layers, the
// TFaceItem that records the layer's default rectangle, item and colour.
class TLayerControl : public QGraphicsObject, public TFaceItemHolder {
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

