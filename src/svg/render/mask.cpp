#include "svg/render/mask.h"

#include "svg/model/dom/document.h"
#include "svg/model/values/uri.h"
#include "svg/render/clip_path.h"
#include "svg/render/draw.h"
#include "svg/render/paint.h"
#include "svg/render/shapes.h"

#include <algorithm>
#include <cmath>

namespace {

// A masking property as the cascade left it, style sheets included; the element's own
// style where styles were never applied.
QString MaskProperty(const TSVGGraphicElement &element, QStringView name)
{
    const QString &cascaded = name == u"mask" ? element.CascadedMask() : element.CascadedMaskType();
    return cascaded.isEmpty() ? element.Style().Value(name) : cascaded;
}

// How far a chain of masks on masks is followed when looking for a cycle.
constexpr int kMaxMaskChain = 64;

// A mask whose own mask leads back to it through masks on masks ignores its own mask,
// as resvg does; every other mask in such a chain keeps its.
bool MaskChainReturns(const TSVGMask &start)
{
    const TSVGMask *m = SVGMaskOf(start);
    for (int i = 0; m && i < kMaxMaskChain; ++i) {
        if (m == &start)
            return true;
        m = SVGMaskOf(*m);
    }
    return m != nullptr;
}

void LuminanceToAlpha(QImage &image, const QRect &area, bool alphaOnly)
{
    if (alphaOnly)
        return;
    // Premultiplied channels: luminance times alpha directly (coefficients of
    // sRGB as written, which is what the references use for either colour-interpolation).
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = line[x];
            if (!qAlpha(p))
                continue;
            // In 16-bit fixed point (the weights sum to 65536), rounded: a per-pixel
            // lround was a third of the time of drawing a masked picture.
            const unsigned a =
                (13926u * qRed(p) + 46885u * qGreen(p) + 4725u * qBlue(p) + 32768u) >> 16;
            line[x] = qRgba(int(a), int(a), int(a), int(a));
        }
    }
}

void KeepRegion(QImage &image, const QRectF &region, const TMatrix &M, const QRect &area)
{
    const QTransform t = M.ToQTransform();
    if (t.type() <= QTransform::TxScale && t.mapRect(region).contains(QRectF(area)))
        return;  // the region covers all that can show
    const TSVGRasterReservation reserved(image.size());
    QImage inside = SVGNewRaster(image.size());
    {
        QPainter p(&inside);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(t);
        p.fillRect(region, Qt::black);
    }
    SVGMultiplyCoverage(image, inside, area);
}

} // namespace

namespace {

// The element the mask property names, of whatever kind; null for none or a missing one.
TSVGElement *MaskTarget(const TSVGGraphicElement &element)
{
    const QString text = MaskProperty(element, u"mask");
    if (text.isEmpty())
        return nullptr;
    const QString id = ParseURI(text.trimmed());
    const TSVGDocument *doc = element.Document();
    if (id.isEmpty() || !doc)
        return nullptr;
    return doc->FindElement(id);
}

} // namespace

TSVGMask *SVGMaskOf(const TSVGGraphicElement &element)
{
    TSVGElement *target = MaskTarget(element);
    return target && target->SVGType() == etMask ? static_cast<TSVGMask *>(target) : nullptr;
}

bool SVGMaskNamesNoMask(const TSVGGraphicElement &element)
{
    const TSVGElement *target = MaskTarget(element);
    return target && target->SVGType() != etMask;
}

namespace {

// Where a mask applies and how its content is placed, for an element whose user space M
// maps to the canvas and whose bounding box is Box. Null when the units need a box the
// element lacks.
struct TMaskSpace {
    bool RegionInBox = false;
    QRectF Box;       // the bounding box, when either unit system uses it
    QRectF Region;    // in user space; may be empty
    TMatrix Content;  // maps the mask's children to the canvas
};

std::optional<TMaskSpace> MaskSpace(const TSVGMask &mask, TSVGObjectBox &box, const TMatrix &M)
{
    TMaskSpace space;
    space.RegionInBox = !SVGUserSpaceUnits(mask, u"maskUnits", false);
    const bool contentInBox = !SVGUserSpaceUnits(mask, u"maskContentUnits", true);
    if ((space.RegionInBox || contentInBox) && !box.Usable())
        return std::nullopt;
    const QRectF b = space.RegionInBox || contentInBox ? box.Get() : QRectF();
    space.Box = b;
    space.Region = SVGEffectRegion(mask, space.RegionInBox, b);
    space.Content = M;
    if (contentInBox)
        space.Content = TMatrix::CreateScaling(float(b.width()), float(b.height())) *
                        TMatrix::CreateTranslation(float(b.left()), float(b.top())) * M;
    return space;
}

// The one child a mask draws, when it has exactly one.
const TSVGGraphicElement *OnlyDrawnChild(const TSVGMask &mask)
{
    const TSVGGraphicElement *only = nullptr;
    for (int i = 0; i < mask.Count(); ++i) {
        const TSVGGraphicElement *child = mask.Items(i)->AsGraphic();
        if (!child || !TSVGPainter::CanDraw(*child))
            continue;
        if (only)
            return nullptr;
        only = child;
    }
    return only;
}

// Whether Shape lets a mask through in full wherever it covers: filled opaque (white,
// under luminance), nothing else drawn with it.
bool PassesInFull(const TSVGGraphicElement &shape, bool alphaOnly)
{
    if (shape.SVGType() != etRectangle || shape.Count() > 0 || !shape.Visible() || shape.Opacity() < 1)
        return false;
    if ((!shape.Inherits().Contains(ipClipPath) && shape.ClipURIElement()) || SVGMaskOf(shape) ||
        SVGMaskNamesNoMask(shape))
        return false;
    if (!shape.MarkerStartURI().isEmpty() || !shape.MarkerMidURI().isEmpty() || !shape.MarkerEndURI().isEmpty())
        return false;
    // A mask's content is drawn by a painter of its own, outside any context element.
    TSVGFillState fill = SVGEffectiveFill(shape);
    SVGResolveContextPaint(fill, nullptr);
    if (!fill.URI.isEmpty() || fill.Kind != TBrushKind::Solid || fill.Opacity < 1 || qAlpha(fill.Color) != 255)
        return false;
    if (!alphaOnly && (fill.Color & 0xffffffu) != 0xffffffu)
        return false;
    TSVGStrokeState stroke = SVGEffectiveStroke(shape);
    SVGResolveContextPaint(stroke, nullptr);
    return stroke.Kind == TBrushKind::None && stroke.URI.isEmpty();
}

} // namespace

std::optional<QRect> SVGMaskPixelRect(const TSVGMask &mask, TSVGObjectBox &box, const TMatrix &M,
                                    const QSize &canvas)
{
    if (SVGMaskOf(mask) || SVGMaskNamesNoMask(mask))
        return std::nullopt;
    const bool alphaOnly = MaskProperty(mask, u"mask-type").trimmed() == QLatin1String("alpha");
    const TSVGGraphicElement *shape = OnlyDrawnChild(mask);
    if (!shape || !PassesInFull(*shape, alphaOnly))
        return std::nullopt;
    QPainterPath outline;
    if (!SVGShapeOutline(*shape, outline) || outline.isEmpty())
        return std::nullopt;
    const std::optional<TMaskSpace> space = MaskSpace(mask, box, M);
    if (!space)
        return std::nullopt;
    const std::optional<QRect> shown = SVGWholePixelRect(outline, (SVGAboutTransformOrigin(*shape, shape->Matrix()) * space->Content).ToQTransform(), canvas);
    if (!shown)
        return std::nullopt;
    const QRectF &region = space->Region;
    const QRectF &b = space->Box;
    if (!(region.width() > 0) || !(region.height() > 0))
        return std::nullopt;
    QPainterPath regionOutline;
    regionOutline.addRect(region);
    const QTransform t = M.ToQTransform();
    if (const std::optional<QRect> inside = SVGWholePixelRect(regionOutline, t, canvas))
        return inside->intersected(*shown);
    if (t.type() > QTransform::TxScale)
        return std::nullopt;
    // A region with edges between pixels changes nothing where it holds the rectangle;
    // and a region that is the bounding box grown on every side (the default) holds all
    // the element draws but for strokes or markers reaching beyond the growth, so
    // its edge pixels are kept whole.
    const QRectF device = t.mapRect(region);
    if (device.contains(QRectF(*shown)))
        return shown;
    const bool growsTheBox = space->RegionInBox && region.left() < b.left() && region.top() < b.top() &&
                             region.right() > b.right() && region.bottom() > b.bottom();
    if (growsTheBox && std::fabs(device.left()) < (1 << 24) && std::fabs(device.top()) < (1 << 24) &&
        std::fabs(device.right()) < (1 << 24) && std::fabs(device.bottom()) < (1 << 24))
        return device.toAlignedRect().intersected(*shown);
    return std::nullopt;
}

std::unique_ptr<TSVGCoverage> SVGMaskCoverage(TSVGPainter &painter, TSVGMask &mask,
                                              TSVGObjectBox &box, const TMatrix &M)
{
    if (!painter.Enter(&mask))
        return nullptr;
    const TSVGEntered entered(painter, &mask);

    auto coverage = std::make_unique<TSVGCoverage>();
    if (SVGMaskNamesNoMask(mask))
        return coverage;  // its own mask lets nothing through, so neither does it
    const std::optional<TMaskSpace> space = MaskSpace(mask, box, M);
    if (!space)
        return coverage;
    const QRectF &region = space->Region;
    if (!(region.width() > 0) || !(region.height() > 0))
        return coverage;
    const TMatrix &content = space->Content;
    const QRect area = painter.Canvas().DeviceArea(M.ToQTransform().mapRect(region));
    if (area.isEmpty())
        return coverage;
    coverage = SVGNewCoverage(painter);
    coverage->Area = area;
    {
        TSVGCanvas canvas(coverage->Image);
        // Nothing outside the region counts: the content is drawn only as far as it.
        QPainterPath inside;
        inside.addRect(QRectF(area));
        canvas.ClipPath(inside);
        TSVGPainter inner(canvas, painter.Rect());
        inner.ShareGuardsWith(painter, coverage->Image.size());
        for (int i = 0; i < mask.Count(); ++i)
            inner.Draw(*mask.Items(i), content);
    }
    KeepRegion(coverage->Image, region, M, coverage->Area);
    const bool alphaOnly = MaskProperty(mask, u"mask-type").trimmed() == QLatin1String("alpha");
    // Opaque white content has its alpha for luminance already.
    const TSVGGraphicElement *only = OnlyDrawnChild(mask);
    if (!only || !PassesInFull(*only, false))
        LuminanceToAlpha(coverage->Image, coverage->Area, alphaOnly);

    if (TSVGMask *outer = SVGMaskOf(mask); outer && !MaskChainReturns(mask)) {
        std::unique_ptr<TSVGCoverage> second = SVGMaskCoverage(painter, *outer, box, M);
        if (second && second->Image.isNull())
            return second;
        if (second)
            SVGMultiplyCoverage(*coverage, *second);
    }
    return coverage;
}
