#pragma once
// Coverage rasters for clip paths and masks. A coverage is a device-sized premultiplied
// raster whose alpha scales what an element paints (its RGB is ignored); an element
// with a `clip-path` or a `mask` is drawn into a layer, and the layer is blended through
// the product of its coverages. Every coverage comes through SVGNewRaster and counts
// against the live layer budget while it lives.

#include "svg/model/dom/graphic_element.h"
#include "svg/render/raster_limits.h"

#include <QImage>
#include <QRectF>
#include <memory>
#include <optional>

class TSVGPainter;

struct TSVGCoverage {
    TSVGRasterReservation Reserved;
    QImage Image;
    // The device pixels where the coverage may be above zero; pixels outside count as
    // zero whatever the image holds there.
    QRect Area;
};

// Leaves the painter's guard of an element (entered before) however drawing ends.
class TSVGEntered {
public:
    TSVGEntered(TSVGPainter &painter, const TSVGElement *element) : FPainter(painter), FElement(element) {}
    ~TSVGEntered();
    TSVGEntered(const TSVGEntered &) = delete;
    TSVGEntered &operator=(const TSVGEntered &) = delete;

private:
    TSVGPainter &FPainter;
    const TSVGElement *FElement;
};

// A transparent coverage as large as the painter's canvas.
std::unique_ptr<TSVGCoverage> SVGNewCoverage(TSVGPainter &painter);

// Target's alpha multiplied by Other's, pixel by pixel, within Area.
void SVGMultiplyCoverage(QImage &target, const QImage &other, const QRect &area);
// The product of two coverages (its area the intersection) left in Target.
void SVGMultiplyCoverage(TSVGCoverage &target, const TSVGCoverage &other);

// Whether an element's units attribute (maskUnits, filterUnits, ...) says userSpaceOnUse;
// objectBoundingBox says no, and anything else ByDefault.
bool SVGUserSpaceUnits(const TSVGElement &element, QStringView attribute, bool byDefault);
// The region a mask or filter element states with x, y, width and height (SVG's
// defaults -10%, -10%, 120%, 120% for missing ones), in user space: in InBox, fractions
// of Box; else user units with percentages of the viewport.
QRectF SVGEffectRegion(const TSVGGraphicElement &element, bool inBox, const QRectF &box);

// The referencing element's bounding box, measured once when first asked.
class TSVGObjectBox {
public:
    explicit TSVGObjectBox(const TSVGGraphicElement &element) : FElement(element) {}
    const QRectF &Get();
    // Whether the box can carry objectBoundingBox units (positive width and height).
    bool Usable() { const QRectF &b = Get(); return b.width() > 0 && b.height() > 0; }

private:
    const TSVGGraphicElement &FElement;
    QRectF FBox;
    bool FKnown = false;
};

// The user space an element's clip path and mask live in, and its bounding box there:
// the element's own, except that a use's x and y move both (it stands for a group with
// that translation).
TMatrix SVGEffectSpace(const TSVGGraphicElement &element, const TMatrix &M);

// What the element's own clip-path and mask do to its drawing (M maps the element's user
// space to the canvas). References that lead nowhere or back into themselves are
// ignored, as in resvg; a mask naming an element that is no mask hides the element.
struct TSVGEffects {
    bool Hidden = false;  // nothing of the element may show
    // The product of clip and mask coverage, null when neither applies.
    std::unique_ptr<TSVGCoverage> Coverage;
    // A clip that is one whole-pixel rectangle, applied directly instead of a coverage.
    std::optional<QRect> PixelClip;
};
TSVGEffects SVGElementEffects(TSVGPainter &painter, const TSVGGraphicElement &element, const TMatrix &M);
