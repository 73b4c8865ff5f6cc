#pragma once
// The speech bubble on the canvas: slPaopao, a selection frame that the user
// drags to move and drags by its corner grips to resize (neither confined to
// the canvas), holding the bubble image imgPaopao and the close and edit
// buttons. Sizes and positions are in canvas units.

#include "editor/untVuploraLayer.h"
#include "svg/controls/svg_image.h"

class TPaopaoImage;

// A picture button on the canvas: a click is a left press and release inside.
class TLayerButton : public TLayerControl {
    Q_OBJECT
public:
    explicit TLayerButton(const QImage &aoPicture, QGraphicsItem *aoParent = nullptr);
    void paint(QPainter *aoPainter, const QStyleOptionGraphicsItem *, QWidget *) override;

Q_SIGNALS:
    void Click();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *aoEvent) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *aoEvent) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *aoEvent) override;

private:
    QImage moPicture;
};

class TPaopaoFrame : public TLayerControl {
    Q_OBJECT
public:
    explicit TPaopaoFrame(QGraphicsItem *aoParent = nullptr);

    static constexpr qreal GRIP_SIZE = 5;
    // Smallest size a grip drag leaves the frame.
    static constexpr qreal MIN_SIZE = 20;
    // A grip's width.
    static constexpr qreal KEEP_IN_REACH = 2 * GRIP_SIZE;

    TPaopaoImage *imgPaopao;
    TLayerButton *imgPaopaoClose;
    TLayerButton *imgPaopaoEdit;

    // The selection: the dashed outline and the grips. The buttons are shown and
    // hidden by the window.
    bool SelectionShown() const { return mbSelectionShown; }
    void SetSelectionShown(bool abShown);

    // Where the frame can be reached, in canvas units: a drag (a move or a
    // grip) keeps at least KEEP_IN_REACH of the frame inside it on both axes,
    // so the frame never leaves the user's reach. The frame may still be
    // placed beyond it otherwise (a file, undo). Empty: anywhere.
    void SetReach(const QRectF &aoReach) { moReach = aoReach; }
    QRectF Reach() const { return moReach; }

    // Resizes the frame; the image fills it and the edit button stays over its
    // bottom-left corner.
    void SetSize(const QSizeF &aoSize);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *aoPainter, const QStyleOptionGraphicsItem *, QWidget *) override;

Q_SIGNALS:
    // A left press and release on the frame, after a drag as well.
    void Click();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *aoEvent) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *aoEvent) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *aoEvent) override;

private:
    enum class TDrag { None, Move, TopLeft, TopRight, BottomLeft, BottomRight };
    TDrag GripAt(const QPointF &aoPos) const;
    // The part of aoMove the frame aoFrame may make and stay in reach.
    QPointF KeptInReach(const QRectF &aoFrame, const QPointF &aoMove) const;

    bool mbSelectionShown = false;
    TDrag meDrag = TDrag::None;
    QPointF moPressScene;
    QRectF moPressRect; // the frame in its parent's coordinates at the press
    QRectF moReach;
};

// The bubble image: the SVG image control with the TFaceItem of the bubble
// layer. It fills its frame and takes no pointer input, so presses reach the
// frame. It shows the bubble's picture as the windowless composing makes it
// from the bubble's document (goPaopaoStream) and the frame's size, at the
// resolution it is painted at: what it shows depends on nothing else, so the
// saved picture is the same drawing. The control's own buffer is not kept.
class TPaopaoImage : public TRSSVGImage, public TFaceItemHolder {
    Q_OBJECT
public:
    explicit TPaopaoImage(QGraphicsItem *aoParent = nullptr);

    // The picture last painted, null before the first paint or without a
    // document.
    const QImage &Picture() const { return moPicture; }

    void paint(QPainter *aoPainter, const QStyleOptionGraphicsItem *aoOption, QWidget *aoWidget) override;

private:
    // What the picture was made of.
    QByteArray moDocument;
    QSizeF moSize;
    qreal mrScale = 0;
    QImage moPicture;
};
