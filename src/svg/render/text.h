#pragma once
// Text: fonts resolved along the tree, SVG text laid out glyph by glyph (text_layout.h)
// and drawn piece by piece with its decorations, and the speech bubbles' box mode: a text
// element with width and height lays its string out word-wrapped and centred in that box.

#include "svg/model/dom/text.h"
#include "svg/render/canvas.h"
#include "svg/render/text_layout.h"

class TSVGPainter;

// GetFont: family, size, weight, style and decoration, each from the nearest element that
// does not inherit it. An unset family gives the canvas default.
TCanvasFont SVGResolveFont(const TSVGGraphicElement &element);

// The declaration of an inherited text property (attribute or style, "inherit" passed
// over) that reaches the element from itself or its nearest ancestor; "" if none does.
QString SVGInheritedValue(const TSVGGraphicElement &element, QStringView name);

// Whether the element lays out in box mode (width and height both above 0).
bool SVGTextIsBox(const TSVGText &text);

// DrawShape of a text element (the element's own transform is already in M).
void SVGDrawText(TSVGPainter &painter, TSVGText &text, const TMatrix &M);
// DoDraw of a tref standing on its own: the referenced text drawn at the tref's position.
void SVGDrawTextRef(TSVGPainter &painter, TSVGTextRef &ref, const TMatrix &M);

// The estimated bounds of a text element in its user space: the union of its pieces'
// line boxes (advance by ascent plus descent), as paint servers span them; in box mode
// the laid-out outline's bounds.
QRectF SVGTextBounds(const TSVGText &text);

// The laid-out outline of a text element and its tspans, in its user space (for bounds).
QPainterPath SVGTextOutline(const TSVGText &text);
