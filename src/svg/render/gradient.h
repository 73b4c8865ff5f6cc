#pragma once
// Linear and radial gradients as SVG defines them: attributes and stops inherited along
// the href chain, objectBoundingBox and userSpaceOnUse units, gradientTransform in both,
// spread methods, the focal point kept inside the circle, and stop offsets clamped and
// made non-decreasing.

#include "svg/model/dom/graphic_element.h"
#include "svg/render/canvas.h"

#include <optional>
#include <vector>

bool SVGIsGradient(const TSVGElement &element);

struct TSVGStopValue {
    float Offset = 0;
    QRgb Color = 0;  // non-premultiplied, stop-opacity applied
};

// The stops of a gradient after following its href chain, with SVG's offset rules
// applied (clamped to 0..1, never below the previous offset).
std::vector<TSVGStopValue> SVGGradientStops(const TSVGElement &gradient);

// The paint of Gradient on an element whose object bounding box is BBox (in the user
// space the paint is used in); one stop paints its colour. Nothing when the gradient
// cannot paint here: no stops, or bounding-box units on a box without area.
std::optional<TCanvasPaint> SVGGradientPaint(const TSVGElement &gradient,
                                             const TSVGGraphicElement &user, const QRectF &bbox);
