#pragma once
// Pattern tiles as SVG defines them: x, y, width, height, patternUnits,
// patternContentUnits, viewBox and patternTransform, inherited along the href chain. The
// tile is rendered at device resolution, clipped to the tile, and repeated.

#include "svg/model/dom/graphic_element.h"
#include "svg/render/canvas.h"

#include <optional>

class TSVGPainter;
struct TSVGPaintTarget;

// The tile paint of Pattern on an element; nothing when the tile is empty (zero width or
// height, no content) or the pattern is already being drawn further up.
std::optional<TCanvasPaint> SVGPatternPaint(TSVGPainter &painter, const TSVGElement &pattern,
                                            const TSVGGraphicElement &user,
                                            const TSVGPaintTarget &target);

// The largest tile edge in pixels; larger tiles are drawn at a lower resolution.
inline constexpr int SVGMaxPatternTile = 4096;
