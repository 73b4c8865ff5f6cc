#pragma once
// rgtToolbar: the white bar across the top of the editor with the command
// images, the twelve category tabs and their glows. Its children sit at fixed
// places from the left edge; what lies beyond the window's width is cut off.

#include "assets/untVuploraTypes.h"
#include "editor/untImageControl.h"

#include <QGraphicsEffect>
#include <QWidget>

class TVuploraToolbar : public QWidget {
    Q_OBJECT
public:
    explicit TVuploraToolbar(QWidget *aoParent = nullptr);

    static constexpr int HEIGHT = 50;

    TImageControl *imgTabBack;
    TImageControl *imgTabSave;
    TImageControl *imgTabRandom;
    TImageControl *img1;
    TImageControl *imgTabEmoji;
    TImageControl *imgTabFace;
    TImageControl *imgTabHair;
    TImageControl *imgTabBrow;
    TImageControl *imgTabEyes;
    TImageControl *imgTabNose;
    TImageControl *imgTabMouth;
    TImageControl *imgTabGlass;
    TImageControl *imgTabHand;
    TImageControl *imgTabBKG;
    TImageControl *imgTabPaopao;
    TImageControl *imgTabFG;
    TImageControl *img2;
    TImageControl *imgTabWeb;

    QGraphicsEffect *geEmoji;
    QGraphicsEffect *geFace;
    QGraphicsEffect *geHair;
    QGraphicsEffect *geBrow;
    QGraphicsEffect *geEye;
    QGraphicsEffect *geNose;
    QGraphicsEffect *geMouth;
    QGraphicsEffect *geGlass;
    QGraphicsEffect *geHand;
    QGraphicsEffect *geBKG;
    QGraphicsEffect *gePaopao;
    QGraphicsEffect *geFG;
    QGraphicsEffect *geWeb;

    // The tab and glow of a category.
    TImageControl *Tab(TYPE_FACE_ITEM fiType) const;
    QGraphicsEffect *Glow(TYPE_FACE_ITEM fiType) const;

    // The children in their order from the left.
    QList<TImageControl *> Controls() const { return moControls; }

protected:
    void paintEvent(QPaintEvent *aoEvent) override;

private:
    TImageControl *Add(const char *asName, int aiWidth, const QString &asPicture);
    QList<TImageControl *> moControls;
};
