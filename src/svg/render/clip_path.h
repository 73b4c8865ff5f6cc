#pragma once
// Clip paths: the union of a clipPath's children (shapes, text, and uses of those),
// each filled under its clip-rule and clipped by its own clip-path, intersected with the
// clipPath's own clip-path. The children are drawn in clip mode (opaque, no stroke,
// opacity and paint ignored) into a coverage raster at device resolution, so that
// edges are antialiased as the references expect.

#include "svg/model/dom/clip_path.h"
#include "svg/render/coverage.h"

#include <optional>

// The coverage of Clip for an element whose user space M maps to the canvas and whose
// bounding box is Box. Null when the clip path is already being drawn (a clip path that
// clips itself, directly or through others: that reference is ignored). A coverage
// with a null image when nothing shows (objectBoundingBox units on an element without
// area).
std::unique_ptr<TSVGCoverage> SVGClipCoverage(TSVGPainter &painter, TSVGClipPath &clip,
                                              TSVGObjectBox &box, const TMatrix &M);

// When Clip comes down to one rectangle whose edges fall on whole device pixels within a
// canvas of size Canvas (a flag clipped to its field, a picture to its frame), that
// rectangle in device pixels, cut to the canvas: clipping by it is exact without a
// coverage raster. Null otherwise.
std::optional<QRect> SVGClipPixelRect(const TSVGClipPath &clip, TSVGObjectBox &box, const TMatrix &M,
                                    const QSize &canvas);
// Outline mapped by T, when that is an axis-aligned rectangle whose edges fall on whole
// device pixels or beyond the canvas: that rectangle cut to the canvas (empty when it
// lies wholly outside). Null otherwise.
std::optional<QRect> SVGWholePixelRect(const QPainterPath &outline, const QTransform &t, const QSize &canvas);

// Whether a use inside a clip path contributes: only a use of a shape or text does.
bool SVGClipAcceptsUse(const TSVGGraphicElement &use);

// The clip outline as a vector path, for callers that ask what clips an element (hit
// tests, exports); painting uses SVGClipCoverage. SVGGetClipPath answers the outline of
// the clip path that applies to Element (its own, else the nearest ancestor's that sets
// one), in Element's user space with curves flattened (tolerance 0.25): every child's
// outline mapped through its own and the clip path's transform, children of children
// included; the fill mode is the last outline's clip-rule. Empty when no clip path
// applies. objectBoundingBox units and clipped clip paths are not reflected here.
TRSPathData SVGGetClipPath(const TSVGGraphicElement &element);
// Appends Element's outline (with its clip-rule as fill mode) mapped through its
// transform and then M, and those of its visible graphic children.
void SVGCollectClipPath(const TSVGGraphicElement &element, TRSPathData &target, const TMatrix &M);
