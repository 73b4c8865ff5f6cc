#pragma once
// A picture control of the windows: draws its picture fitted (uniform scale,
// centred) into its box, reports clicks, can let the pointer pass
// through to what lies beneath, and can carry an effect that is on only while
// the pointer is over it.

#include "compose/untVuploraCompose.h"

#include <QGraphicsEffect>
#include <QImage>
#include <QWidget>

class TImageControl : public QWidget {
    Q_OBJECT
public:
    explicit TImageControl(QWidget *aoParent = nullptr);

    void SetPicture(const QImage &aoPicture);
    const QImage &Picture() const { return moPicture; }

    // A number the window gives the control to tell it apart from its siblings
    // (the colour swatches share one click handler).
    int Tag() const { return miTag; }
    void SetTag(int aiTag) { miTag = aiTag; }

    // Off: pointer input passes through to the control beneath.
    void SetHitTest(bool abHitTest);
    bool HitTest() const;

    // The effect (owned by the control from now on) is switched on while the
    // pointer is over the control and off otherwise.
    void SetMouseOverEffect(QGraphicsEffect *aoEffect);
    // The effect is on or off as the caller says; the pointer does not switch it.
    void SetEffect(QGraphicsEffect *aoEffect, bool abEnabled);

Q_SIGNALS:
    // A left press and release inside the control.
    void Click();

protected:
    void paintEvent(QPaintEvent *aoEvent) override;
    void mousePressEvent(QMouseEvent *aoEvent) override;
    void mouseReleaseEvent(QMouseEvent *aoEvent) override;
    void enterEvent(QEnterEvent *aoEvent) override;
    void leaveEvent(QEvent *aoEvent) override;

private:
    QImage moPicture;
    int miTag = 0;
    bool mbMouseOverEffect = false;
    bool mbPressed = false;
};

// Builds the framework's shadow effect from the layout's terms: direction in
// degrees (0 to the right, 90 downwards), softness 0..1, opacity 0..1.
QGraphicsEffect *MakeShadowEffect(qreal arDistance, qreal arDirection, qreal arSoftness,
                                  qreal arOpacity, const QColor &aoColor = Qt::black);
// A glow around the picture: a shadow without offset.
QGraphicsEffect *MakeGlowEffect(const QColor &aoColor, qreal arSoftness, qreal arOpacity);

// A picture of the editor's own art, by its file name (see the art folder).
QImage LayoutPicture(const QString &asName);
