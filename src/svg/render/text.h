#pragma once
// Text: fonts resolved along the tree, SVG's single-line layout (baseline at the text
// position, x/y/dx/dy lists, tspan runs continuing where the previous text ended, white
// space collapsed unless xml:space="preserve", text-anchor per text chunk), and the
// speech bubbles' box mode: a text element with width and height lays its string out
// word-wrapped and centred in that box.

#include "svg/model/text.h"
#include "svg/render/canvas.h"

class TSVGPainter;

// The most characters one text element lays out, its spans and referenced text
// included: 1,048,576. Measuring shapes every character, so a longer text would take
// seconds whatever part of it shows; drawing or outlining it raises ESVGException
// "Text too long: more than 1048576 characters in one text element".
inline constexpr qsizetype SVGMaxTextChars = 1 << 20;

// GetFont: family, size, weight, style and decoration, each from the nearest element that
// does not inherit it. An unset family gives the canvas default.
TCanvasFont SVGResolveFont(const TSVGGraphicElement &element);

// Whether the element lays out in box mode (width and height both above 0).
bool SVGTextIsBox(const TSVGText &text);

// DrawShape of a text element (the element's own transform is already in M).
void SVGDrawText(TSVGPainter &painter, TSVGText &text, const TMatrix &M);
// DoDraw of a tref standing on its own: the referenced text drawn at the tref's position.
void SVGDrawTextRef(TSVGPainter &painter, TSVGTextRef &ref, const TMatrix &M);

// The estimated bounds of a text element in its user space: the union of its runs'
// line boxes (advance by ascent plus descent), as paint servers span them; in box mode
// the laid-out outline's bounds.
QRectF SVGTextBounds(const TSVGText &text);

// The laid-out outline of a text element and its tspans, in its user space (for bounds).
QPainterPath SVGTextOutline(const TSVGText &text);
