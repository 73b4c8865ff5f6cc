#include "svg/render/clip_path.h"

#include "svg/model/dom/structure.h"
#include "svg/model/dom/text.h"
#include "svg/render/draw.h"
#include "svg/render/shapes.h"
#include "svg/render/text.h"

#include <cmath>

namespace {

bool ObjectBoundingBoxUnits(const TSVGElement &element, QStringView attribute)
{
    QString text;
    return element.XMLAttribute(attribute, text) && text.trimmed() == QLatin1String("objectBoundingBox");
}

} // namespace

bool SVGClipAcceptsUse(const TSVGGraphicElement &use)
{
    // A use of a use shows nothing either.
    const TSVGElement *target = static_cast<const TSVGUse &>(use).ReferencedElement();
    return target && target->SVGType() != etUse && TSVGClipPath::IsClipChildType(target->SVGType());
}

namespace {

TMatrix ContentMatrix(const TSVGClipPath &clip, TSVGObjectBox &box, const TMatrix &M, bool &usable)
{
    usable = true;
    TMatrix content = SVGAboutTransformOrigin(clip, clip.Matrix()) * M;
    if (ObjectBoundingBoxUnits(clip, u"clipPathUnits")) {
        usable = box.Usable();
        if (!usable)
            return content;
        const QRectF &b = box.Get();
        content = TMatrix::CreateScaling(float(b.width()), float(b.height())) *
                  TMatrix::CreateTranslation(float(b.left()), float(b.top())) * content;
    }
    return content;
}

bool OnPixel(double v)
{
    return std::isfinite(v) && std::fabs(v - std::round(v)) < 1e-3;
}

} // namespace

std::optional<QRect> SVGClipPixelRect(const TSVGClipPath &clip, TSVGObjectBox &box, const TMatrix &M,
                                    const QSize &canvas)
{
    if (!clip.Inherits().Contains(ipClipPath) && clip.ClipURIElement())
        return std::nullopt;
    const TSVGGraphicElement *shape = nullptr;
    for (int i = 0; i < clip.Count(); ++i) {
        const auto *child = dynamic_cast<const TSVGGraphicElement *>(clip.Items(i));
        if (!child || !TSVGPainter::CanDraw(*child))
            continue;
        if (shape)
            return std::nullopt;  // a union of several
        shape = child;
    }
    if (!shape || (!shape->Inherits().Contains(ipClipPath) && shape->ClipURIElement()))
        return std::nullopt;
    QPainterPath outline;
    if (!SVGShapeOutline(*shape, outline) || outline.isEmpty())
        return std::nullopt;
    bool usable = true;
    const TMatrix content = ContentMatrix(clip, box, M, usable);
    if (!usable)
        return std::nullopt;
    return SVGWholePixelRect(outline, (SVGAboutTransformOrigin(*shape, shape->Matrix()) * content).ToQTransform(), canvas);
}

std::optional<QRect> SVGWholePixelRect(const QPainterPath &outline, const QTransform &t, const QSize &canvas)
{
    if (t.type() > QTransform::TxScale)
        return std::nullopt;
    const QPainterPath device = t.map(outline);
    const QRectF r = device.boundingRect();
    for (int i = 0; i < device.elementCount(); ++i) {
        const QPainterPath::Element e = device.elementAt(i);
        if (e.type == QPainterPath::CurveToElement || e.type == QPainterPath::CurveToDataElement)
            return std::nullopt;
        // Single-precision path data puts a corner a little off its edge.
        const auto near = [](double a, double b) { return std::fabs(a - b) < 1e-3; };
        if ((!near(e.x, r.left()) && !near(e.x, r.right())) || (!near(e.y, r.top()) && !near(e.y, r.bottom())))
            return std::nullopt;
    }
    // Nothing is drawn beyond the canvas, so an edge out there clips as the canvas edge
    // does (a flag's clip a hair wider than the flag).
    const double left = std::max(r.left(), 0.0), top = std::max(r.top(), 0.0);
    const double right = std::min(r.right(), double(canvas.width()));
    const double bottom = std::min(r.bottom(), double(canvas.height()));
    // A rectangle with an edge between pixels needs the antialiased coverage.
    if (!OnPixel(left) || !OnPixel(top) || !OnPixel(right) || !OnPixel(bottom))
        return std::nullopt;
    constexpr double kFar = 1 << 24;  // beyond any raster; whole pixels as integers below
    if (!(std::fabs(left) < kFar && std::fabs(top) < kFar && std::fabs(right) < kFar && std::fabs(bottom) < kFar))
        return std::nullopt;
    const QPoint topLeft(int(std::lround(left)), int(std::lround(top)));
    const QPoint bottomRight(int(std::lround(right)), int(std::lround(bottom)));
    if (bottomRight.x() <= topLeft.x() || bottomRight.y() <= topLeft.y())
        return QRect();  // wholly outside the canvas
    return QRect(topLeft, QSize(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

std::unique_ptr<TSVGCoverage> SVGClipCoverage(TSVGPainter &painter, TSVGClipPath &clip,
                                              TSVGObjectBox &box, const TMatrix &M)
{
    if (!painter.Enter(&clip))
        return nullptr;
    const TSVGEntered entered(painter, &clip);
    auto coverage = std::make_unique<TSVGCoverage>();
    bool usable = true;
    const TMatrix content = ContentMatrix(clip, box, M, usable);
    if (!usable)
        return coverage;
    coverage = SVGNewCoverage(painter);
    {
        TSVGCanvas canvas(coverage->Image);
        TSVGPainter inner(canvas, painter.Rect());
        inner.ShareGuardsWith(painter, coverage->Image.size());
        inner.SetClipMode(true);
        for (int i = 0; i < clip.Count(); ++i)
            inner.Draw(*clip.Items(i), content);
        coverage->Area = inner.ClipArea();
    }
    // The clip path's own clip-path works in the referencing element's space, as its
    // children do.
    if (!clip.Inherits().Contains(ipClipPath))
        if (TSVGClipPath *outer = clip.ClipURIElement()) {
            std::unique_ptr<TSVGCoverage> second = SVGClipCoverage(painter, *outer, box, M);
            if (second && second->Image.isNull())
                return second;
            if (second)
                SVGMultiplyCoverage(*coverage, *second);
        }
    return coverage;
}

namespace {

void AppendMapped(TRSPathData &target, const QPainterPath &outline, const TMatrix &M)
{
    const QPainterPath mapped = M.ToQTransform().map(outline);
    const auto at = [&mapped](int i) {
        const QPainterPath::Element e = mapped.elementAt(i);
        return TPointF{float(e.x), float(e.y)};
    };
    TRSPathData part;
    for (int i = 0; i < mapped.elementCount(); ++i) {
        switch (mapped.elementAt(i).type) {
        case QPainterPath::MoveToElement:
            part.MoveTo(at(i));
            break;
        case QPainterPath::LineToElement:
            part.LineTo(at(i));
            break;
        case QPainterPath::CurveToElement:
            if (i + 2 < mapped.elementCount()) {
                part.CurveTo(at(i), at(i + 1), at(i + 2));
                i += 2;
            }
            break;
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    part.Flatten(0.25f);
    target.Append(part);
}

} // namespace

void SVGCollectClipPath(const TSVGGraphicElement &element, TRSPathData &target, const TMatrix &M)
{
    const TMatrix own = SVGAboutTransformOrigin(element, element.Matrix()) * M;
    QPainterPath outline;
    if (SVGShapeOutline(element, outline) && !outline.isEmpty()) {
        AppendMapped(target, outline, own);
        target.SetFillMode(element.ClipRule() == frEvenOdd ? fmEvenOdd : fmNonZero);
    } else if (element.SVGType() == etText) {
        const QPainterPath text = SVGTextOutline(static_cast<const TSVGText &>(element));
        if (!text.isEmpty()) {
            AppendMapped(target, text, own);
            target.SetFillMode(element.ClipRule() == frEvenOdd ? fmEvenOdd : fmNonZero);
        }
    }
    for (int i = 0; i < element.Count(); ++i) {
        const auto *child = dynamic_cast<const TSVGGraphicElement *>(element.Items(i));
        if (child && child->Visible() && element.SVGType() != etText)
            SVGCollectClipPath(*child, target, own);
    }
}

TRSPathData SVGGetClipPath(const TSVGGraphicElement &element)
{
    TRSPathData result;
    const TSVGClipPath *clip = element.ClipURIElement();
    if (!clip)
        return result;
    for (int i = 0; i < clip->Count(); ++i)
        if (const auto *child = dynamic_cast<const TSVGGraphicElement *>(clip->Items(i)); child && child->Visible())
            SVGCollectClipPath(*child, result, SVGAboutTransformOrigin(*clip, clip->Matrix()));
    return result;
}
