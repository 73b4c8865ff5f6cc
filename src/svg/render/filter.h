#pragma once
// Filter effects: the `filter` property of an element (a list of references to filter
// elements and of CSS filter functions) run on the element's drawing before its clip,
// mask and opacity apply. Each filter works on the picture inside its filter region in
// device pixels: primitives take their inputs (SourceGraphic, SourceAlpha, named
// results, the previous result), work within their subregion and in their colour space
// (color-interpolation-filters, linearRGB unless stated), and the last result is what
// shows. Every raster comes through the raster limits; a hostile number costs at most
// the work of the region it touches.

#include "svg/model/values/matrix.h"

#include <QImage>
#include <QRect>
#include <memory>

class TSVGGraphicElement;
class TSVGPainter;
class TSVGFilterChain;

struct TSVGFilterUse {
    // A reference that leads to no filter: the element is not drawn at all.
    bool Hidden = false;
    // The filters to run; null when the element has none.
    std::shared_ptr<TSVGFilterChain> Chain;
};

// What the element's `filter` property asks for, M mapping its user space to the canvas.
TSVGFilterUse SVGElementFilter(TSVGPainter &painter, TSVGGraphicElement &element, const TMatrix &M);

// Runs the filters on Layer, a canvas-sized picture of the element with Drawn holding
// all it drew; answers the device pixels that hold the result (nothing outside them).
QRect SVGApplyFilter(TSVGFilterChain &chain, QImage &layer, const QRect &drawn);
