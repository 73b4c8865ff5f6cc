#include "svg/render/coverage.h"

#include "svg/model/dom/clip_path.h"
#include "svg/model/dom/structure.h"
#include "svg/render/bounds.h"
#include "svg/render/clip_path.h"
#include "svg/render/draw.h"
#include "svg/render/mask.h"

TSVGEntered::~TSVGEntered()
{
    FPainter.Leave(FElement);
}

std::unique_ptr<TSVGCoverage> SVGNewCoverage(TSVGPainter &painter)
{
    const QSize size(painter.Canvas().Width(), painter.Canvas().Height());
    auto coverage = std::make_unique<TSVGCoverage>();
    coverage->Reserved = TSVGRasterReservation(size);
    coverage->Image = SVGNewRaster(size);
    coverage->Area = QRect(QPoint(0, 0), size);
    return coverage;
}

void SVGMultiplyCoverage(QImage &target, const QImage &other, const QRect &area)
{
    SVGMultiplyAlpha(target, other, area);
}

void SVGMultiplyCoverage(TSVGCoverage &target, const TSVGCoverage &other)
{
    target.Area &= other.Area;
    SVGMultiplyCoverage(target.Image, other.Image, target.Area);
}

const QRectF &TSVGObjectBox::Get()
{
    if (!FKnown) {
        FBox = SVGObjectBounds(FElement);
        if (FElement.SVGType() == etUse) {
            const auto &use = static_cast<const TSVGUse &>(FElement);
            FBox.translate(-use.X(), -use.Y());
        }
        FKnown = true;
    }
    return FBox;
}

TMatrix SVGEffectSpace(const TSVGGraphicElement &element, const TMatrix &M)
{
    if (element.SVGType() != etUse)
        return M;
    const auto &use = static_cast<const TSVGUse &>(element);
    return TMatrix::CreateTranslation(use.X(), use.Y()) * M;
}

TSVGEffects SVGElementEffects(TSVGPainter &painter, const TSVGGraphicElement &element, const TMatrix &M)
{
    TSVGEffects effects;
    if (!painter.ClipMode() && SVGMaskNamesNoMask(element)) {
        effects.Hidden = true;
        return effects;
    }
    TSVGClipPath *clip = element.Inherits().Contains(ipClipPath) ? nullptr : element.ClipURIElement();
    TSVGMask *mask = painter.ClipMode() ? nullptr : SVGMaskOf(element);
    if (!clip && !mask)
        return effects;
    TSVGObjectBox box(element);
    const TMatrix space = SVGEffectSpace(element, M);
    // Clips and masks that come down to whole-pixel rectangles clip the canvas directly.
    const QSize canvas(painter.Canvas().Width(), painter.Canvas().Height());
    const std::optional<QRect> clipRect =
        clip && !painter.Active(clip) ? SVGClipPixelRect(*clip, box, space, canvas) : std::nullopt;
    const std::optional<QRect> maskRect =
        mask && !painter.Active(mask) ? SVGMaskPixelRect(*mask, box, space, canvas) : std::nullopt;
    if ((!clip || clipRect) && (!mask || maskRect)) {
        effects.PixelClip = clipRect && maskRect ? clipRect->intersected(*maskRect) : clipRect ? clipRect : maskRect;
        effects.Hidden = effects.PixelClip->isEmpty();
        return effects;
    }
    if (clip) {
        effects.Coverage = SVGClipCoverage(painter, *clip, box, space);
        if (effects.Coverage && (effects.Coverage->Image.isNull() || effects.Coverage->Area.isEmpty())) {
            effects.Hidden = true;
            return effects;
        }
    }
    if (mask) {
        std::unique_ptr<TSVGCoverage> masked = SVGMaskCoverage(painter, *mask, box, space);
        if (masked && (masked->Image.isNull() || masked->Area.isEmpty())) {
            effects.Hidden = true;
            return effects;
        }
        if (masked && effects.Coverage)
            SVGMultiplyCoverage(*effects.Coverage, *masked);
        else if (masked)
            effects.Coverage = std::move(masked);
    }
    return effects;
}

bool SVGUserSpaceUnits(const TSVGElement &element, QStringView attribute, bool byDefault)
{
    QString text;
    if (!element.XMLAttribute(attribute, text))
        return byDefault;
    text = text.trimmed();
    if (text == QLatin1String("userSpaceOnUse"))
        return true;
    if (text == QLatin1String("objectBoundingBox"))
        return false;
    return byDefault;
}

namespace {

// One edge or side of a region in user space. SVG's defaults (-10%, 120%) hold for a
// missing attribute in either unit system.
float RegionLength(const TSVGGraphicElement &element, QStringView name, const TSVGLength &stored,
                   float byDefault, bool boundingBox, double origin, double extent, TSVGAxis axis)
{
    QString text;
    const bool given = element.XMLAttribute(name, text);
    if (boundingBox)
        return float(origin + (given ? stored.Value : byDefault) * extent);
    return given ? element.ResolvePercent(stored, axis) : element.ResolvePercent(byDefault, true, axis);
}

} // namespace

QRectF SVGEffectRegion(const TSVGGraphicElement &element, bool inBox, const QRectF &b)
{
    return QRectF(
        RegionLength(element, u"x", element.StoredXLength(), -0.1f, inBox, b.left(), b.width(), TSVGAxis::Horizontal),
        RegionLength(element, u"y", element.StoredYLength(), -0.1f, inBox, b.top(), b.height(), TSVGAxis::Vertical),
        RegionLength(element, u"width", element.StoredWidthLength(), 1.2f, inBox, 0, b.width(), TSVGAxis::Horizontal),
        RegionLength(element, u"height", element.StoredHeightLength(), 1.2f, inBox, 0, b.height(), TSVGAxis::Vertical));
}
