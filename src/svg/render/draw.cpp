#include "svg/render/draw.h"

#include "svg/model/dom/custom_viewbox.h"
#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/model/dom/group.h"
#include "svg/model/dom/paint_servers.h"
#include "svg/model/dom/shapes.h"
#include "svg/model/dom/structure.h"
#include "svg/model/dom/text.h"
#include "svg/model/dom/image.h"
#include "svg/model/values/units.h"
#include "svg/render/clip_path.h"
#include "svg/render/filter.h"
#include "svg/render/filter_raster.h"
#include "svg/render/image.h"
#include "svg/render/markers.h"
#include "svg/render/paint.h"
#include "svg/render/shapes.h"
#include "svg/render/text.h"
#include "svg/render/use.h"

#include <cmath>
#include <optional>
#include <vector>

namespace {

// Deeper nesting than the model allows can only come from references (patterns inside
// patterns); it ends here rather than on the stack's end.
constexpr int kMaxDrawDepth = SVGMaxElementDepth + 64;

bool IsNeverDrawn(const TSVGElement &e)
{
    switch (e.SVGType()) {
    case etDefs:
    case etClipPath:
    case etLinearGradient:
    case etRadialGradient:
    case etGradientStop:
    case etPattern:
    case etMarker:
    case etSymbol:
    case etMask:
    case etFilter:
    case etFilterPrimitive:
        return true;
    default:
        return false;
    }
}

bool IsNestedViewport(const TSVGElement &e)
{
    return e.SVGType() == etDoc && e.Owner() != nullptr;
}

bool IsContainer(const TSVGElement &e)
{
    return dynamic_cast<const TSVGCustomGroup *>(&e) != nullptr;
}

// transform-origin: the point the element's transform turns and scales about, in user
// units (keywords and percentages of the viewport, the view box being SVG's reference
// box), or in a unit box where keywords and percentages are fractions of one. Null when
// the element states none.
std::optional<QPointF> TransformOrigin(const TSVGGraphicElement &element, bool unitBox)
{
    const QString text = element.Style().Value(u"transform-origin").trimmed();
    if (text.isEmpty())
        return std::nullopt;
    QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.size() > 3)
        return std::nullopt;
    // A vertical keyword first ("top left") swaps the pair.
    if (words.size() >= 2 && (words[0] == QLatin1String("top") || words[0] == QLatin1String("bottom")))
        std::swap(words[0], words[1]);
    if (words.size() == 1 && (words[0] == QLatin1String("top") || words[0] == QLatin1String("bottom")))
        words.prepend(QStringLiteral("center"));
    if (words.size() == 1)
        words << QStringLiteral("center");
    const auto fraction = [&element, unitBox](float v, TSVGAxis axis) {
        return unitBox ? v : element.ResolvePercent(v, true, axis);
    };
    const auto side = [&](const QString &w, TSVGAxis axis) -> std::optional<float> {
        const bool horizontal = axis == TSVGAxis::Horizontal;
        if (w == QLatin1String("center"))
            return fraction(0.5f, axis);
        if (w == QLatin1String(horizontal ? "left" : "top"))
            return 0.0f;
        if (w == QLatin1String(horizontal ? "right" : "bottom"))
            return fraction(1, axis);
        bool isPercent = false;
        const float v = ParseFraction(w, isPercent, SVGDefaultUnitFactors(), NAN);
        if (!std::isfinite(v))
            return std::nullopt;
        return isPercent ? fraction(v, axis) : v;
    };
    const std::optional<float> x = side(words[0], TSVGAxis::Horizontal), y = side(words[1], TSVGAxis::Vertical);
    if (!x || !y)
        return std::nullopt;
    return QPointF(*x, *y);
}

// The element's mix-blend-mode (0 for normal). A CSS property only: a presentation
// attribute of that name says nothing (the references agree).
int BlendModeOf(const TSVGGraphicElement &element)
{
    return std::max(0, SVGBlendMode(element.InlineStyle().Value(u"mix-blend-mode").trimmed()));
}

} // namespace

TMatrix SVGAboutTransformOrigin(const TSVGGraphicElement &element, const TMatrix &transform, bool unitBox)
{
    if (transform == TMatrix::Identity())
        return transform;
    const std::optional<QPointF> origin = TransformOrigin(element, unitBox);
    if (!origin)
        return transform;
    const float ox = float(origin->x()), oy = float(origin->y());
    return TMatrix::CreateTranslation(-ox, -oy) * transform * TMatrix::CreateTranslation(ox, oy);
}

TSVGPainter::TSVGPainter(TSVGCanvas &canvas, const QRectF &aRect)
    : FCanvas(canvas), FRect(aRect),
      FActive(std::make_shared<std::unordered_set<const TSVGElement *>>()),
      FDepth(std::make_shared<int>(0)),
      FReferenceBudget(std::make_shared<qint64>(SVGMaxReferencedElements)),
      FPictures(SVGNewPictureCache())
{
}

void TSVGPainter::SpendReferenceBudget(qint64 elements)
{
    if (*FReferenceBudget < elements)
        throw ESVGException(QString::fromLatin1(SVG_TOO_MUCH_REDRAWN));
    *FReferenceBudget -= elements;
}

void TSVGPainter::ShareGuardsWith(TSVGPainter &outer, QSize raster)
{
    // Every raster of its own is allocated, cleared, drawn into and composited: a
    // fixed cost, and once drawn through a reference one in proportion to its pixels,
    // which is what fan-out through masks and clip paths multiplies (a mask raster is
    // as large as the canvas).
    qint64 work = SVGReferenceLayerWork;
    const qint64 pixels = raster.isEmpty() ? 0 : qint64(raster.width()) * raster.height();
    if (outer.FRasters > 0)
        work += pixels / SVGNestedRasterPixelsPerElement;
    else if (outer.FReferenced > 0)
        work += pixels / SVGReferencedRasterPixelsPerElement;
    outer.SpendReferenceBudget(work);
    FActive = outer.FActive;
    FDepth = outer.FDepth;
    FReferenceBudget = outer.FReferenceBudget;
    FPictures = outer.FPictures;
    FReferenced = outer.FReferenced + 1;
    FRasters = outer.FRasters + (pixels > 0 ? 1 : 0);
}

bool TSVGPainter::Enter(const TSVGElement *element)
{
    if (*FDepth >= kMaxDrawDepth || !FActive->insert(element).second)
        return false;
    ++*FDepth;
    return true;
}

void TSVGPainter::Leave(const TSVGElement *element)
{
    if (FActive->erase(element))
        --*FDepth;
}

bool TSVGPainter::CanDraw(const TSVGElement &element)
{
    if (IsNeverDrawn(element))
        return false;
    const TSVGGraphicElement *g = element.AsGraphic();
    if (!g)
        return false;
    if (element.SVGType() != etSwitch && element.SVGType() != etUse && !g->Visible())
        return false;
    return element.HasFeatures() && element.HasExtensions() && element.HasLanguages();
}

void TSVGPainter::Draw(TSVGElement &element)
{
    if (const auto *vb = dynamic_cast<const TSVGCustomViewBox *>(&element))
        Draw(element, SVGViewBoxMatrix(*vb, FRect));
    else
        Draw(element, element.GetViewMatrix(FRect));
}

void TSVGPainter::Draw(TSVGElement &element, const TMatrix &aMatrix)
{
    TSVGGraphicElement *g = element.AsGraphic();
    if (!g || !CanDraw(element))
        return;
    if (IsNestedViewport(element))
        DrawViewport(*g, aMatrix);
    else
        DoDraw(*g, aMatrix);
}

bool TSVGPainter::NeedsLayer(const TSVGGraphicElement &element) const
{
    if (IsContainer(element)) {
        // One drawn child takes the group's opacity as its own factor: there is nothing
        // for it to overlap. A switch draws at most one.
        if (element.SVGType() == etSwitch)
            return false;
        // Nor can a child that blends: group opacity isolates it from the backdrop.
        int drawn = 0;
        for (int i = 0; i < element.Count() && drawn < 2; ++i) {
            const TSVGElement &child = *element.Items(i);
            if (!CanDraw(child))
                continue;
            ++drawn;
            if (BlendModeOf(*child.AsGraphic()) > 0)
                return true;
        }
        return drawn > 1;
    }
    if (element.SVGType() == etUse || element.SVGType() == etTRef)
        return true;
    if (element.SVGType() == etText)
        return true;  // several runs may overlap
    if (SVGHasMarkers(element))
        return true;  // markers overlap their shape and each other
    // A shape whose fill and stroke overlap must blend as one.
    const TSVGFillState fill = EffectiveFill(element);
    const TSVGStrokeState stroke = EffectiveStroke(element);
    const bool hasFill = fill.Kind != TBrushKind::None || !fill.URI.isEmpty();
    const bool hasStroke = (stroke.Kind != TBrushKind::None || !stroke.URI.isEmpty()) &&
                           SVGStrokeWidth(element, stroke) > 0;
    return hasFill && hasStroke;
}

TSVGPainter::TBracket TSVGPainter::BeginDraw(TSVGGraphicElement &element, const TMatrix &M,
                                             TSVGEffects effects, bool filtered)
{
    TBracket b;
    b.State = FCanvas.SaveState();
    b.SavedOpacity = FOpacity;
    // The factor from a parent drawn without a layer of its own applies here as well.
    const float opacity = FOpacity * (FClipMode ? 1.0f : std::clamp(element.Opacity(), 0.0f, 1.0f));
    b.Opacity = opacity;
    b.Coverage = std::move(effects.Coverage);
    // Isolation is a CSS property only, as mix-blend-mode.
    const int blend = FClipMode ? 0 : BlendModeOf(element);
    const bool isolated =
        !FClipMode && element.InlineStyle().Value(u"isolation").trimmed() == QLatin1String("isolate");
    if (b.Coverage || blend > 0 || isolated || (opacity < 1 && (filtered || NeedsLayer(element)))) {
        FCanvas.BeginLayer();
        FCanvas.SetLayerBlend(blend);
        b.Layer = true;
        FOpacity = 1;
    } else {
        FOpacity = opacity;
    }
    if (effects.PixelClip) {
        FCanvas.SetMatrix(TMatrix::Identity());
        QPainterPath clip;
        clip.addRect(QRectF(*effects.PixelClip));
        FCanvas.ClipPath(clip);
    }
    FCanvas.SetMatrix(M);
    if (TSVGDocument *doc = element.Document(); doc && doc->OnDrawing())
        doc->OnDrawing()(&element, M, &FCanvas, FRect);
    return b;
}

void TSVGPainter::EndDraw(TSVGGraphicElement &element, const TMatrix &M, const TBracket &bracket)
{
    if (TSVGDocument *doc = element.Document(); doc && doc->OnDrawn())
        doc->OnDrawn()(&element, M, &FCanvas, FRect);
    if (bracket.Layer && bracket.Coverage)
        FCanvas.EndLayer(bracket.Opacity, bracket.Coverage->Image, bracket.Coverage->Area);
    else if (bracket.Layer)
        FCanvas.EndLayer(bracket.Opacity);
    FCanvas.RestoreState(bracket.State);
    FOpacity = bracket.SavedOpacity;
}

void TSVGPainter::DoDraw(TSVGGraphicElement &element, const TMatrix &aMatrix)
{
    if (!FClipMode && !(element.Opacity() > 0))
        return;  // fully transparent: neither the element nor its content shows
    if (FReferenced > 0)
        SpendReferenceBudget();
    if (!Enter(&element))
        return;
    const TMatrix M = SVGAboutTransformOrigin(element, element.Matrix()) * aMatrix;
    TBracket bracket;
    TSVGFilterUse filter;
    try {
        TSVGEffects effects = SVGElementEffects(*this, element, M);
        if (!FClipMode)
            filter = SVGElementFilter(*this, element, M);
        if (effects.Hidden || filter.Hidden) {
            Leave(&element);
            return;  // clipped or masked away entirely, or filtered through nothing
        }
        bracket = BeginDraw(element, M, std::move(effects), filter.Chain != nullptr);
    } catch (...) {
        Leave(&element);
        throw;
    }
    try {
        // The filter works on the element's own drawing; clip, mask and opacity follow.
        if (filter.Chain)
            FCanvas.BeginLayer();
        DrawShape(element, M);
        DrawChildren(element, M);
        if (filter.Chain) {
            const std::shared_ptr<TSVGFilterChain> chain = std::move(filter.Chain);  // the layer ends whatever it does
            FCanvas.EndLayer(1, [&chain](QImage &layer, const QRect &drawn) {
                return SVGApplyFilter(*chain, layer, drawn);
            });
        }
    } catch (...) {
        if (filter.Chain)
            FCanvas.EndLayer(0);
        EndDraw(element, M, bracket);
        Leave(&element);
        throw;
    }
    EndDraw(element, M, bracket);
    Leave(&element);
}

void TSVGPainter::DrawChildren(TSVGGraphicElement &element, const TMatrix &M)
{
    if (element.SVGType() == etSwitch) {
        // Only the first graphic child that passes the tests; its own Draw still checks
        // its visibility.
        for (int i = 0; i < element.Count(); ++i) {
            TSVGElement *child = element.Items(i);
            if (!child->AsGraphic())
                continue;
            if (child->HasFeatures() && child->HasExtensions() && child->HasLanguages()) {
                Draw(*child, M);
                break;
            }
        }
        return;
    }
    if (element.SVGType() == etText)
        return;  // text lays out its own children
    for (int i = 0; i < element.Count(); ++i)
        Draw(*element.Items(i), M);
}

bool TSVGPainter::DrawShape(TSVGGraphicElement &element, const TMatrix &M)
{
    if (element.SVGType() == etText) {
        SVGDrawText(*this, static_cast<TSVGText &>(element), M);
        return true;
    }
    if (element.SVGType() == etTRef) {
        SVGDrawTextRef(*this, static_cast<TSVGTextRef &>(element), M);
        return true;
    }
    if (element.SVGType() == etUse) {
        if (!FClipMode || SVGClipAcceptsUse(element))
            SVGDrawUse(*this, static_cast<TSVGUse &>(element), M);
        return true;
    }
    if (element.SVGType() == etImage) {
        if (!FClipMode)
            SVGDrawImage(*this, static_cast<TSVGImage &>(element), M);
        return true;
    }
    QPainterPath outline;
    if (!SVGShapeOutline(element, outline))
        return false;
    if (FClipMode) {
        FillAndStrokePath(element, outline, M);
        return true;
    }
    for (const TPaintPart part : PaintOrder(element)) {
        if (part == TPaintPart::Markers)
            SVGDrawMarkers(*this, element, M);
        else
            FillAndStrokePath(element, outline, M, nullptr, part);
    }
    return true;
}

float TSVGPainter::ApplyFill(const TSVGGraphicElement &element, const QRectF &bbox, const TMatrix &M)
{
    if (FClipMode) {
        FCanvas.SetFill(TCanvasPaint::Solid(0xFF000000u));
        AddClipArea(bbox, M);
        return 1;
    }
    const TSVGFillState fill = EffectiveFill(element);
    FCanvas.SetFill(SVGCanvasPaint(*this, element, fill.Kind, fill.Color, fill.URI, fill.HasFallback, {bbox, M}));
    return FOpacity * fill.Opacity;
}

TSVGFillState TSVGPainter::EffectiveFill(const TSVGGraphicElement &element) const
{
    TSVGFillState fill = SVGEffectiveFill(element);
    SVGResolveContextPaint(fill, FContext.get());
    return fill;
}

TSVGStrokeState TSVGPainter::EffectiveStroke(const TSVGGraphicElement &element) const
{
    TSVGStrokeState stroke = SVGEffectiveStroke(element);
    SVGResolveContextPaint(stroke, FContext.get());
    return stroke;
}

TSVGPainter::TContextScope::TContextScope(TSVGPainter &painter, const TSVGGraphicElement &context)
    : FPainter(painter), FSaved(painter.FContext)
{
    FPainter.FContext = std::make_shared<TSVGContextPaints>(TSVGContextPaints{painter.EffectiveFill(context), painter.EffectiveStroke(context)});
}

void TSVGPainter::ApplyPen(const TSVGGraphicElement &element, const QRectF &bbox, const TMatrix &M)
{
    FCanvas.SetStroke(SVGCanvasStroke(*this, element, EffectiveStroke(element), {bbox, M}));
}

void TSVGPainter::AddClipArea(const QRectF &bounds, const TMatrix &M)
{
    FClipArea |= FCanvas.DeviceArea(M.ToQTransform().mapRect(bounds));
}

void TSVGPainter::FillAndStrokePath(const TSVGGraphicElement &element, const QPainterPath &path,
                                    const TMatrix &M, const QRectF *spanned, int parts)
{
    if (path.isEmpty())
        return;
    // Setting the rule the path already has would copy it.
    const auto withRule = [&path](TSVGFillRule rule) {
        const Qt::FillRule qt = rule == frEvenOdd ? Qt::OddEvenFill : Qt::WindingFill;
        if (path.fillRule() == qt)
            return path;
        QPainterPath p = path;
        p.setFillRule(qt);
        return p;
    };
    if (FClipMode) {
        const QPainterPath p = withRule(element.ClipRule());
        FCanvas.SetMatrix(M);
        FCanvas.SetFill(TCanvasPaint::Solid(0xFF000000u));
        FCanvas.FillPath(p, 1);
        // A bound is all the area needs; the control points give one without solving
        // the curves for their extremes.
        AddClipArea(p.controlPointRect(), M);
        return;
    }
    const QPainterPath p = spanned ? path : withRule(element.FillRule());
    const TSVGFillState fill = EffectiveFill(element);
    const TSVGStrokeState stroke = EffectiveStroke(element);
    const bool stroked = stroke.Kind != TBrushKind::None || !stroke.URI.isEmpty();
    // Only paint servers are laid out on the bounding box; working out the exact box of
    // a curved outline is not free.
    const QRectF bbox = spanned                                         ? *spanned
                        : !fill.URI.isEmpty() || (stroked && !stroke.URI.isEmpty()) ? p.boundingRect()
                                                                        : QRectF();
    const auto paintFill = [&] {
        FCanvas.SetMatrix(M);
        FCanvas.SetFill(SVGCanvasPaint(*this, element, fill.Kind, fill.Color, fill.URI, fill.HasFallback, {bbox, M}));
        FCanvas.FillPath(p, FOpacity * fill.Opacity);
    };
    const auto paintStroke = [&] {
        if (!stroked)
            return;
        FCanvas.SetStroke(SVGCanvasStroke(*this, element, stroke, {bbox, M}));
        FCanvas.SetMatrix(M);
        FCanvas.DrawPath(p, FOpacity * stroke.Opacity);
    };
    for (const TPaintPart part : PaintOrder(element)) {
        if (part == TPaintPart::Fill && (parts & TPaintPart::Fill))
            paintFill();
        else if (part == TPaintPart::Stroke && (parts & TPaintPart::Stroke))
            paintStroke();
    }
}

std::array<TSVGPainter::TPaintPart, 3> TSVGPainter::PaintOrder(const TSVGGraphicElement &element)
{
    std::array<TPaintPart, 3> order = {TPaintPart::Fill, TPaintPart::Stroke, TPaintPart::Markers};
    // An inherited property: the nearest element that states it.
    QString text;
    for (const TSVGElement *e = &element; e && text.isEmpty(); e = e->Parent())
        if (const TSVGGraphicElement *g = e->AsGraphic())
            text = g->Style().Value(u"paint-order").trimmed();
    if (text.isEmpty() || text == QLatin1String("normal"))
        return order;
    // The named parts first, in their order; the others after them in the usual one.
    std::array<TPaintPart, 3> named{};
    size_t count = 0;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const TPaintPart part = word == QLatin1String("fill")      ? TPaintPart::Fill
                                : word == QLatin1String("stroke")  ? TPaintPart::Stroke
                                : word == QLatin1String("markers") ? TPaintPart::Markers
                                                                   : TPaintPart::None;
        if (part == TPaintPart::None || count == 3 || std::find(named.begin(), named.begin() + count, part) != named.begin() + count)
            return order;  // an invalid value is no value
        named[count++] = part;
    }
    for (const TPaintPart part : order)
        if (std::find(named.begin(), named.begin() + count, part) == named.begin() + count)
            named[count++] = part;
    return named;
}

void TSVGPainter::DrawViewport(TSVGGraphicElement &element, const TMatrix &aMatrix)
{
    auto &vb = static_cast<TSVGCustomViewBox &>(element);
    if (vb.ViewBoxDisablesRendering())
        return;
    // The viewport in the parent's user space; a missing width or height is 100%.
    QString text;
    const float w = vb.XMLAttribute(u"width", text) ? vb.Width() : vb.ResolvePercent(1, true, TSVGAxis::Horizontal);
    const float h = vb.XMLAttribute(u"height", text) ? vb.Height() : vb.ResolvePercent(1, true, TSVGAxis::Vertical);
    if (!(w > 0) || !(h > 0))
        return;
    const QRectF viewport(vb.X(), vb.Y(), w, h);
    const TMatrix inner = SVGViewBoxMatrix(vb, viewport);
    const int state = FCanvas.SaveState();
    try {
        if (SVGClipsToViewport(vb)) {
            // A nested viewport clips its content unless overflow is visible.
            FCanvas.SetMatrix(vb.Matrix() * aMatrix);
            QPainterPath clip;
            clip.addRect(viewport);
            FCanvas.ClipPath(clip);
        }
        DoDraw(element, inner * aMatrix);
    } catch (...) {
        FCanvas.RestoreState(state);
        throw;
    }
    FCanvas.RestoreState(state);
}

TMatrix SVGViewBoxMatrix(const TSVGCustomViewBox &element, const QRectF &viewport)
{
    if (!element.ViewBoxSpecified())
        return TMatrix::CreateTranslation(float(viewport.left()), float(viewport.top()));
    TSVGAspectRatioValue ratio = element.AspectRatio().Value();
    QString text;
    if (!element.XMLAttribute(u"preserveAspectRatio", text)) {
        ratio.Align = saXMidYMid;
        ratio.Slice = false;
    }
    const QRectF box = element.ViewBox();
    float sx = 1, sy = 1, tx = float(viewport.left()), ty = float(viewport.top());
    ComputeAspect(box, viewport, ratio, sx, sy, tx, ty);
    return TMatrix::CreateTranslation(float(-box.left()), float(-box.top())) *
           TMatrix::CreateScaling(sx, sy) * TMatrix::CreateTranslation(tx, ty);
}

bool SVGClipsToViewport(const TSVGGraphicElement &element)
{
    const QString own = element.OverflowText();
    if (own == QLatin1String("inherit")) {
        for (const TSVGElement *e = element.Parent(); e; e = e->Parent()) {
            const auto *g = dynamic_cast<const TSVGGraphicElement *>(e);
            const QString text = g ? g->OverflowText() : QString();
            if (!text.isEmpty() && text != QLatin1String("inherit"))
                return text == QLatin1String("hidden") || text == QLatin1String("scroll");
        }
        return false;
    }
    if (own == QLatin1String("auto"))
        return false;
    return !element.Overflow();
}

void SVGDrawDocument(TSVGDocument &document, TSVGCanvas &canvas, const QRectF &aRect)
{
    TSVGPainter painter(canvas, aRect);
    if (document.ViewBoxDisablesRendering())
        return;
    painter.Draw(document);
}
