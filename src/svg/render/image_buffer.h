#pragma once
// What every image control shares, and whoever draws a document into a box without a
// control (the windowless composing of portraits): how large a buffer a document gets for
// a box, how an element is rendered into that buffer or straight onto a canvas, and how a
// finished buffer is laid onto a control by its wrap mode and nine-slice margins. These
// need Qt Gui only, so they live with the engine rather than with the controls. Control
// sizes are in the control's own units (scene units for a graphics item, logical pixels
// for a widget); a control's buffer has one pixel per unit, and the device scale says how
// many device pixels a unit covers. Nothing here owns the element or the images it is
// handed. Drawing errors of the engine pass through unchanged.

#include "svg/model/dom/graphic_element.h"

#include <QImage>
#include <QMarginsF>
#include <QRectF>
#include <QSizeF>

class QPainter;
class TSVGCanvas;

enum TSVGImageWrapMode { iwOriginal, iwFit, iwStretch, iwTile, iwCenter };

// The largest buffer side. A larger request is shrunk with its aspect kept.
inline constexpr qreal SVGMaxBufferSide = 8096;

// The buffer size for content of SvgWidth x SvgHeight in a box of BoxWidth x BoxHeight:
// fitted (iwFit), the box (iwStretch, and any mode for content without area), else the
// content times Scale; then capped at SVGMaxBufferSide, and to at most SVGMaxRasterPixels
// whole pixels, both with the aspect kept. Never negative.
QSizeF ComputeTargetSize(TSVGImageWrapMode WrapMode, qreal Scale, qreal SvgWidth, qreal SvgHeight,
                         qreal BoxWidth, qreal BoxHeight);

// A premultiplied buffer of that size. Raises ESVGException "Out of memory for a <w> x
// <h> picture" when the memory is not there, rather than leaving an empty picture.
QImage SVGNewBuffer(const QSize &Size);

// Clears Bitmap (Format_ARGB32_Premultiplied) to transparent and draws Root filling it: a
// document through its viewBox mapping, any other element stretched over its bounds.
// Nothing happens without a root or for an empty bitmap.
void RenderElementToBitmap(QImage &Bitmap, TSVGGraphicElement *Root);

// The matrix that draws Root filling Target: a document through its viewBox mapping, any
// other element stretched over its bounds.
TMatrix SVGTargetMatrix(const TSVGGraphicElement &Root, const QRectF &Target);

// Draws Root onto Canvas into R by WrapMode, without a buffer: its bounds times Scale
// placed 1:1 at R's corner (iwOriginal), fitted into R with whole-unit edges (iwFit),
// over R (iwStretch), repeated from R's corner (iwTile) or centred (iwCenter). Nothing is
// drawn for a root whose scaled bounds have no area.
void PaintElementToCanvas(TSVGCanvas &Canvas, TSVGGraphicElement *Root, const QRectF &R,
                          qreal Scale, TSVGImageWrapMode WrapMode);

// How a buffer is laid onto a control.
struct TSVGBufferLayout {
    TSVGImageWrapMode WrapMode = iwFit;
    // Nine-slice margins in buffer pixels; all zero: no slicing.
    QMarginsF Margins;
    // How the four edge strips are filled: iwTile repeats them, anything else stretches.
    TSVGImageWrapMode MarginWrapMode = iwStretch;
    // Nearest-pixel sampling instead of smoothing.
    bool DisableInterpolation = false;
};

// Paints Bitmap into (0, 0, Size) with the painter's opacity, cut to that rectangle.
// DeviceScale is the device pixels per unit that iwOriginal and iwTile count in.
void PaintSVGBuffer(QPainter &Painter, const QImage &Bitmap, const QSizeF &Size,
                    qreal DeviceScale, const TSVGBufferLayout &Layout);

// The copies needed along an extent: Trunc(Extent / Tile) + Extra, and one copy when the
// tile has no length on that axis (a straight line), so nothing divides by zero.
int SVGTileCount(qreal Extent, qreal Tile, int Extra);

// Source fitted into Box: shrunk by the larger of the two ratios when it is too large
// (never enlarged unless Enlarge is set), then centred.
QRectF SVGFitRect(const QRectF &Source, const QRectF &Box, bool Enlarge = false);
