#pragma once
// The outlines of the basic shapes in their own user space.

#include "svg/model/dom/graphic_element.h"

class TSVGRectangle;

#include <QPainterPath>

// The geometry of a circle, ellipse, rect, line, polyline, polygon or path; false for
// every other element. A shape whose geometry disables rendering (a zero radius, a
// rectangle without area, fewer than two points, empty path data) answers true with an
// empty outline.
bool SVGShapeOutline(const TSVGGraphicElement &element, QPainterPath &outline);

// A circle's or ellipse's centre and radii (an ellipse's missing or invalid radius takes
// the other's value); false for other elements and where a radius is not positive.
bool SVGEllipseGeometry(const TSVGGraphicElement &element, QPointF &center, QSizeF &radii);
// A rect's box and corner radii (each clamped to half its side); false without area.
bool SVGRectGeometry(const TSVGRectangle &rect, QRectF &box, QSizeF &radii);
