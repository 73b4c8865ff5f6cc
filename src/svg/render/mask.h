#pragma once
// Masks: the mask's children drawn as ever into a coverage raster, cut to the mask
// region, and turned into alpha by their luminance (mask-type alpha: their alpha),
// times the coverage of the mask's own mask.

#include "svg/model/dom/mask.h"
#include "svg/render/coverage.h"

#include <optional>

// The mask element the element's own `mask` property names, or null (none, or a
// missing element: such a reference is ignored and the element drawn unmasked, which is
// what the conformance references show for a shape and resvg does for groups too).
TSVGMask *SVGMaskOf(const TSVGGraphicElement &element);
// Whether the `mask` property names an element that exists but is no mask. Such a mask
// counts as a layer of transparent black, as CSS masking has it: the element is not
// drawn at all (resvg agrees).
bool SVGMaskNamesNoMask(const TSVGGraphicElement &element);

// When Mask lets through exactly one rectangle in full, with its edges on whole device
// pixels or beyond a canvas of size Canvas (one opaque white rectangle as content, as
// generated avatars frame their pictures), that rectangle in device pixels, cut to the
// canvas: masking by it is a clip, without a coverage raster. Null otherwise.
std::optional<QRect> SVGMaskPixelRect(const TSVGMask &mask, TSVGObjectBox &box, const TMatrix &M,
                                    const QSize &canvas);

// The coverage of Mask for an element whose user space M maps to the canvas and whose
// bounding box is Box. Null when the mask is already being drawn (the reference is
// ignored). A coverage with a null image when nothing shows: an empty mask region, or
// objectBoundingBox units on an element without area.
std::unique_ptr<TSVGCoverage> SVGMaskCoverage(TSVGPainter &painter, TSVGMask &mask,
                                              TSVGObjectBox &box, const TMatrix &M);
