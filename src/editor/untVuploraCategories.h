#pragma once
// The twelve categories as the editor sees them: each one's tab on the toolbar
// (with its picture and glow) and its layer on the canvas. The toolbar, the
// canvas and the window build and connect their controls from this one table;
// the layer rectangles (FACE_ITEM_RECTS) and every per-category rule
// (CATEGORY_RULES: stacking, wrap, slides, nudges, random rolls and locks, own
// colours) sit beside each other in assets/untVuploraTypes.h, where the
// windowless composing reads them too.

#include "assets/untVuploraTypes.h"

#include <QRect>

#include <array>

class QGraphicsEffect;
class TImageControl;
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

    QRect Rect() const { return FACE_ITEM_RECTS[Type]; }
    const TCategoryRules &Rules() const { return CategoryRules(Type); }
};

// In the order of the tabs on the toolbar.
const std::array<TCategory, FACE_ITEM_TYPE_COUNT> &Categories();
const TCategory &CategoryOf(TYPE_FACE_ITEM fiType);
