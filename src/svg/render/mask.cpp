#include "svg/render/mask.h"

#include "svg/model/document.h"
#include "svg/model/uri.h"
#include "svg/render/draw.h"

#include <algorithm>
#include <cmath>

namespace {

// How far a chain of masks on masks is followed when looking for a cycle.
constexpr int kMaxMaskChain = 64;

bool UserSpaceUnits(const TSVGElement &element, QStringView attribute, bool byDefault)
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

// One edge or side of the mask region in user space. SVG's defaults (-10%, 120%) hold
// for a missing attribute in either unit system.
float RegionLength(const TSVGMask &mask, QStringView name, const TSVGLength &stored, float byDefault,
                   bool boundingBox, double origin, double extent, TSVGAxis axis)
{
    QString text;
    const bool given = mask.XMLAttribute(name, text);
    if (boundingBox)
        return float(origin + (given ? stored.Value : byDefault) * extent);
    return given ? mask.ResolvePercent(stored, axis) : mask.ResolvePercent(byDefault, true, axis);
}

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
            const int a = std::clamp(
                int(std::lround(0.2125 * qRed(p) + 0.7154 * qGreen(p) + 0.0721 * qBlue(p))), 0, 255);
            line[x] = qRgba(a, a, a, a);
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

TSVGMask *SVGMaskOf(const TSVGGraphicElement &element)
{
    const QString text = element.Style().Value(u"mask");
    if (text.isEmpty())
        return nullptr;
    const QString id = ParseURI(text.trimmed());
    const TSVGDocument *doc = element.Document();
    if (id.isEmpty() || !doc)
        return nullptr;
    return dynamic_cast<TSVGMask *>(doc->FindElement(id));
}

std::unique_ptr<TSVGCoverage> SVGMaskCoverage(TSVGPainter &painter, TSVGMask &mask,
                                              TSVGObjectBox &box, const TMatrix &M)
{
    if (!painter.Enter(&mask))
        return nullptr;
    const TSVGEntered entered(painter, &mask);

    auto coverage = std::make_unique<TSVGCoverage>();
    const bool regionInBox = !UserSpaceUnits(mask, u"maskUnits", false);
    const bool contentInBox = !UserSpaceUnits(mask, u"maskContentUnits", true);
    if ((regionInBox || contentInBox) && !box.Usable())
        return coverage;
    const QRectF b = regionInBox || contentInBox ? box.Get() : QRectF();
    const QRectF region(
        RegionLength(mask, u"x", mask.StoredXLength(), -0.1f, regionInBox, b.left(), b.width(), TSVGAxis::Horizontal),
        RegionLength(mask, u"y", mask.StoredYLength(), -0.1f, regionInBox, b.top(), b.height(), TSVGAxis::Vertical),
        RegionLength(mask, u"width", mask.StoredWidthLength(), 1.2f, regionInBox, 0, b.width(), TSVGAxis::Horizontal),
        RegionLength(mask, u"height", mask.StoredHeightLength(), 1.2f, regionInBox, 0, b.height(), TSVGAxis::Vertical));
    if (!(region.width() > 0) || !(region.height() > 0))
        return coverage;

    TMatrix content = M;
    if (contentInBox)
        content = TMatrix::CreateScaling(float(b.width()), float(b.height())) *
                  TMatrix::CreateTranslation(float(b.left()), float(b.top())) * M;
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
        inner.ShareGuardsWith(painter);
        for (int i = 0; i < mask.Count(); ++i)
            inner.Draw(*mask.Items(i), content);
    }
    KeepRegion(coverage->Image, region, M, coverage->Area);
    const QString type = mask.Style().Value(u"mask-type").trimmed();
    LuminanceToAlpha(coverage->Image, coverage->Area, type == QLatin1String("alpha"));

    if (TSVGMask *outer = SVGMaskOf(mask); outer && !MaskChainReturns(mask)) {
        std::unique_ptr<TSVGCoverage> second = SVGMaskCoverage(painter, *outer, box, M);
        if (second && second->Image.isNull())
            return second;
        if (second)
            SVGMultiplyCoverage(*coverage, *second);
    }
    return coverage;
}
