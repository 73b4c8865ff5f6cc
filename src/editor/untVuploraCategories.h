#pragma once
// The twelve categories as the editor sees them: each one's tab on the toolbar
// (with its picture and glow), its layer on the canvas (with how the layer draws
// its picture and where it sits in the stack), and whether its item slides out
// and in when it changes. The toolbar, the canvas and the window build and
// connect their controls from this one table; the layer rectangles come from
// FACE_ITEM_RECTS.

#include "assets/untVuploraTypes.h"
#include "editor/untImageControl.h"

#include <QRect>

#include <array>

class QGraphicsEffect;
class TLayerCanvas;
class TLayerImage;
class TVuploraToolbar;

struct TCategory {
    TYPE_FACE_ITEM Type;
    // The tab: control name, picture of the editor's art, and the toolbar fields
    // that hold the tab and its glow.
    const char *TabName;
    const char *TabPicture;
    TImageControl *TVuploraToolbar::*Tab;
    const char *GlowName;
    QGraphicsEffect *TVuploraToolbar::*Glow;
    // The layer: control name and canvas field. The bubble image lives in its
    // frame, not directly on the canvas, and has no field here.
    const char *LayerName;
    TLayerImage *TLayerCanvas::*Layer;
    TImageWrap Wrap;
    // Place in the canvas's stack of layers, 0 at the bottom (the watermark lies
    // below all of them).
    int Stack;
    // Hair, eyes, nose, mouth, brows and glasses slide out and back in when
    // their item changes.
    bool Slides;

    QRect Rect() const { return FACE_ITEM_RECTS[Type]; }
};

// In the order of the tabs on the toolbar.
const std::array<TCategory, FACE_ITEM_TYPE_COUNT> &Categories();
const TCategory &CategoryOf(TYPE_FACE_ITEM fiType);
