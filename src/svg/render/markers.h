#pragma once
// Markers at the vertices of paths, lines, polylines, polygons and (as SVG 2 has it) of
// rects, circles and ellipses. Vertices follow the path's commands (a basic shape's
// equivalent path): every move, line and curve end and the return of each closed subpath
// is one, so a polygon gets a marker where it closes. The start marker goes on the first
// vertex, the end marker on the last, mid markers on every other.

#include "svg/model/dom/graphic_element.h"
#include "svg/model/values/matrix.h"

#include <QPointF>
#include <optional>
#include <vector>

class TSVGPainter;

struct TSVGMarkerVertex {
    QPointF Point;
    std::optional<QPointF> In;   // direction of the segment arriving here
    std::optional<QPointF> Out;  // direction of the segment leaving here
};

// The vertices of a path, line, polyline, polygon, rect, circle or ellipse in its user
// space; empty for any other element. A zero-length segment has no direction of its
// own: its vertices take the direction of the neighbouring segment.
std::vector<TSVGMarkerVertex> SVGMarkerVertices(const TSVGGraphicElement &element);

// The direction a marker at V turns to (radians from the x axis towards the y axis) when
// it is oriented automatically: the bisector of the two directions, or the one there is.
float SVGMarkerAngle(const TSVGMarkerVertex &v);

// Whether the element names any marker that exists in its document.
bool SVGHasMarkers(const TSVGGraphicElement &element);

// Draws the element's start, mid and end markers; M maps its user space to the canvas.
void SVGDrawMarkers(TSVGPainter &painter, TSVGGraphicElement &element, const TMatrix &M);
