#pragma once
// The `use` element: another element of the document drawn again in the place of the use,
// inheriting from the use as if it were its child. A symbol is drawn as a viewport of the
// use's size.

#include "svg/model/values/matrix.h"

class TSVGPainter;
class TSVGUse;

// Draws what the use refers to; M maps the use's user space (its transform applied) to
// the canvas. A reference that is missing, of the wrong kind or leads back to the use
// draws nothing.
void SVGDrawUse(TSVGPainter &painter, TSVGUse &use, const TMatrix &M);
