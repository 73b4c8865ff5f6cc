#pragma once
// Object bounding boxes: the extent of an element's geometry in its own user space
// (after its transform has been applied to its parent's, before it maps to the parent),
// without stroke, markers or clipping. Clip paths, masks and paint servers in
// objectBoundingBox units are laid out on it.

#include "svg/model/dom/graphic_element.h"

#include <QRectF>

// A shape's outline bounds; a group's (g, svg, switch, a, use target) union of its
// drawable children's boxes, each mapped through the child's transform; a text element's
// line boxes (SVGTextBounds); an image's box. A null rectangle when the element has no
// geometry. A line or a flat shape gives a rectangle of zero width or height.
QRectF SVGObjectBounds(const TSVGGraphicElement &element);
