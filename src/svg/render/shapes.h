#pragma once
// The outlines of the basic shapes in their own user space.

#include "svg/model/graphic_element.h"

#include <QPainterPath>

// The geometry of a circle, ellipse, rect, line, polyline, polygon or path; false for
// every other element. A shape whose geometry disables rendering (a zero radius, a
// rectangle without area, fewer than two points, empty path data) answers true with an
// empty outline.
bool SVGShapeOutline(const TSVGGraphicElement &element, QPainterPath &outline);
