#include "svg/render/filter.h"

#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/model/dom/filter.h"
#include "svg/model/values/lists.h"
#include "svg/model/values/numbers.h"
#include "svg/render/coverage.h"
#include "svg/render/draw.h"
#include "svg/render/filter_context.h"
#include "svg/render/filter_functions.h"

#include <algorithm>
#include <cmath>
#include <map>

class TSVGFilterChain {
public:
    TSVGPainter *Painter = nullptr;
    TSVGGraphicElement *Element = nullptr;
    TMatrix M;
    std::vector<TSVGFilterFunction> Items;
    std::vector<TSVGFilter *> Filters;  // per item: the filter element of a url()
};

namespace {

// A filter chain longer than this is refused rather than run.
constexpr int kMaxPrimitives = 1000;

QString FilterProperty(const TSVGGraphicElement &element)
{
    const QString &cascaded = element.CascadedFilter();
    return cascaded.isEmpty() ? element.Style().Value(u"filter") : cascaded;
}

// color-interpolation-filters of a primitive: its own, else the nearest ancestor's.
TSVGFilterSpace PrimitiveSpace(const TSVGElement &primitive)
{
    for (const TSVGElement *e = &primitive; e; e = e->TreeParent()) {
        const TSVGGraphicElement *g = e->AsGraphic();
        if (!g)
            continue;
        const QString v = g->Style().Value(u"color-interpolation-filters").trimmed();
        if (v == QLatin1String("sRGB"))
            return TSVGFilterSpace::SRGB;
        if (v == QLatin1String("linearRGB") || v == QLatin1String("auto"))
            return TSVGFilterSpace::LinearRGB;
    }
    return TSVGFilterSpace::LinearRGB;
}

QRect DeviceRect(const TMatrix &M, const QRectF &user)
{
    const QRectF d = M.ToQTransform().mapRect(user);
    if (!std::isfinite(d.left()) || !std::isfinite(d.top()) || !std::isfinite(d.right()) ||
        !std::isfinite(d.bottom()))
        return QRect();
    // Far beyond any canvas is as good as the canvas's own edge.
    static constexpr double kFar = 1 << 24;
    const auto clampD = [](double v) { return std::clamp(v, -kFar, kFar); };
    const int l = int(std::floor(clampD(d.left()))), t = int(std::floor(clampD(d.top())));
    const int r = int(std::ceil(clampD(d.right()))), b = int(std::ceil(clampD(d.bottom())));
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

// One result kept for later primitives.
struct TResult {
    TSVGFilterImage Image;
    QRect Subregion;
    TSVGRasterReservation Reserved;
};

class TFilterRun {
public:
    TFilterRun(TSVGFilterContext &context, const QImage &source) : FContext(context), FSource(source) {}

    // Runs the primitives of Filter; the result in sRGB, the size of the region.
    QImage Run(const TSVGFilter &filter)
    {
        std::vector<const TSVGFilterPrimitive *> primitives;
        for (int i = 0; i < filter.Count(); ++i)
            if (filter.Items(i)->SVGType() == etFilterPrimitive)
                primitives.push_back(static_cast<const TSVGFilterPrimitive *>(filter.Items(i)));
        if (primitives.empty())
            return QImage();  // transparent black: the element vanishes
        if (int(primitives.size()) > kMaxPrimitives)
            throw ESVGException(QStringLiteral("Filter too long: %1 primitives (at most %2)")
                                    .arg(primitives.size())
                                    .arg(kMaxPrimitives));
        // How often each result is still to be read, so that none is kept past its last use.
        std::map<QString, int> reads;
        for (const TSVGFilterPrimitive *p : primitives)
            CountReads(*p, reads);
        FContext.Input = [this](const QString &in, TSVGFilterSpace space) { return Input(in, space); };
        FContext.InputSubregion = [this](const QString &in) { return InputSubregion(in); };
        for (const TSVGFilterPrimitive *p : primitives) {
            const QRect sub = Subregion(*p);
            TSVGFilterImage out = SVGRunFilterPrimitive(FContext, *p, sub, PrimitiveSpace(*p));
            if (out.Image.isNull())
                out.Image = SVGNewRaster(FContext.Size());
            for (auto &[name, count] : reads)
                if (ReadsName(*p, name))
                    --count;
            FPrevious = std::make_shared<TResult>();
            FPrevious->Reserved = TSVGRasterReservation(out.Image.size());
            FPrevious->Image = std::move(out);
            FPrevious->Subregion = sub;
            std::erase_if(FNamed, [&reads](const auto &entry) { return reads[entry.first] <= 0; });
            const QString name = SVGFilterAttribute(*p, u"result");
            if (!name.isEmpty() && reads[name] > 0)
                FNamed[name] = FPrevious;
        }
        return SVGFilterToSpace(FPrevious->Image, TSVGFilterSpace::SRGB).Image;
    }

private:
    static void ForEachIn(const TSVGElement &p, const std::function<void(const QString &)> &f)
    {
        for (QStringView a : {u"in", u"in2"})
            if (QString v; p.XMLAttribute(a, v))
                f(v.trimmed());
        for (int i = 0; i < p.Count(); ++i)
            ForEachIn(*p.Items(i), f);
    }
    static void CountReads(const TSVGFilterPrimitive &p, std::map<QString, int> &reads)
    {
        ForEachIn(p, [&reads](const QString &in) { ++reads[in]; });
    }
    static bool ReadsName(const TSVGFilterPrimitive &p, const QString &name)
    {
        bool found = false;
        ForEachIn(p, [&](const QString &in) { found |= in == name; });
        return found;
    }

    TSVGFilterImage Input(const QString &in, TSVGFilterSpace space)
    {
        // The background and the paints are not kept apart from the drawing; like resvg,
        // the drawing stands in for them.
        if (in == QLatin1String("SourceGraphic") || in == QLatin1String("BackgroundImage") ||
            in == QLatin1String("BackgroundAlpha") || in == QLatin1String("FillPaint") ||
            in == QLatin1String("StrokePaint"))
            return SVGFilterToSpace({FSource, TSVGFilterSpace::SRGB}, space);
        if (in == QLatin1String("SourceAlpha")) {
            QImage alpha = FSource.copy();
            for (int y = 0; y < alpha.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(alpha.scanLine(y));
                for (int x = 0; x < alpha.width(); ++x)
                    line[x] &= 0xff000000u;
            }
            return {alpha, space};
        }
        if (!in.isEmpty())
            if (const auto it = FNamed.find(in); it != FNamed.end())
                return SVGFilterToSpace(it->second->Image, space);
        // No input, or one that names no earlier result: the previous result, and for
        // the first primitive the source.
        if (FPrevious)
            return SVGFilterToSpace(FPrevious->Image, space);
        return SVGFilterToSpace({FSource, TSVGFilterSpace::SRGB}, space);
    }

    QRect InputSubregion(const QString &in)
    {
        if (const auto it = FNamed.find(in); !in.isEmpty() && it != FNamed.end())
            return it->second->Subregion;
        const bool standard = in == QLatin1String("SourceGraphic") || in == QLatin1String("SourceAlpha");
        if (!standard && FPrevious)
            return FPrevious->Subregion;
        return QRect(QPoint(0, 0), FContext.Size());
    }

    // One side of a primitive subregion in user space; Given false when not written.
    double SubregionLength(const TSVGFilterPrimitive &p, QStringView name, double origin, double extent,
                           TSVGAxis axis, bool &given) const
    {
        const QString text = SVGFilterAttribute(p, name);
        given = false;
        if (text.isEmpty())
            return 0;
        bool isPercent = false;
        const float v = ParseFraction(text, isPercent, SVGDefaultUnitFactors(), NAN);
        if (!std::isfinite(v))
            return 0;
        given = true;
        if (FContext.PrimitiveBox)
            return origin + double(v) * extent;
        return p.ResolvePercent(v, isPercent, axis);
    }

    QRect Subregion(const TSVGFilterPrimitive &p) const
    {
        const QRect whole(QPoint(0, 0), FContext.Size());
        const QRectF box = FContext.Box;
        bool gx = false, gy = false, gw = false, gh = false;
        const double x = SubregionLength(p, u"x", box.left(), box.width(), TSVGAxis::Horizontal, gx);
        const double y = SubregionLength(p, u"y", box.top(), box.height(), TSVGAxis::Vertical, gy);
        const double w = SubregionLength(p, u"width", 0, box.width(), TSVGAxis::Horizontal, gw);
        const double h = SubregionLength(p, u"height", 0, box.height(), TSVGAxis::Vertical, gh);
        if (!gx && !gy && !gw && !gh) {
            // feOffset and feTile keep to what their input covers.
            const QString tag = p.TagName();
            if (tag == QLatin1String("feOffset"))
                return const_cast<TFilterRun *>(this)->InputSubregion(SVGFilterAttribute(p, u"in"));
            return whole;
        }
        if ((gw && !(w > 0)) || (gh && !(h > 0)))
            return QRect();
        // Sides not written are the filter region's, in user space.
        const QRectF region = FContext.M.Inverse().ToQTransform().mapRect(QRectF(FContext.Region));
        const QRectF user(gx ? x : region.left(), gy ? y : region.top(), gw ? w : region.width(),
                          gh ? h : region.height());
        return DeviceRect(FContext.M, user).translated(-FContext.Region.topLeft()) & whole;
    }

    TSVGFilterContext &FContext;
    const QImage &FSource;
    std::shared_ptr<TResult> FPrevious;
    std::map<QString, std::shared_ptr<TResult>> FNamed;
};

} // namespace

TSVGFilterUse SVGElementFilter(TSVGPainter &painter, TSVGGraphicElement &element, const TMatrix &M)
{
    TSVGFilterUse use;
    const std::optional<std::vector<TSVGFilterFunction>> items = SVGParseFilterValue(FilterProperty(element));
    if (!items || items->empty())
        return use;
    auto chain = std::make_shared<TSVGFilterChain>();
    chain->Painter = &painter;
    chain->Element = &element;
    chain->M = M;
    chain->Items = *items;
    const TSVGDocument *doc = element.Document();
    for (const TSVGFilterFunction &f : chain->Items) {
        TSVGFilter *filter = nullptr;
        if (f.Kind == TSVGFilterFunctionKind::Url) {
            TSVGElement *target = doc && !f.Id.isEmpty() ? doc->FindElement(f.Id) : nullptr;
            if (!target || target->SVGType() != etFilter) {
                // Alone it hides the element; within a list, resvg draws the element
                // unfiltered, and so do the references.
                use.Hidden = chain->Items.size() == 1;
                return use;
            }
            filter = static_cast<TSVGFilter *>(target);
        }
        chain->Filters.push_back(filter);
    }
    use.Chain = std::move(chain);
    return use;
}

namespace {

// Layer holds nothing but Result at Region afterwards (Drawn held all it had before).
void PutResult(QImage &layer, const QRect &drawn, const QRect &region, const QImage &result)
{
    const QRect clear = drawn & layer.rect();
    for (int y = clear.top(); y <= clear.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(layer.scanLine(y));
        std::fill(line + clear.left(), line + clear.right() + 1, 0u);
    }
    if (result.isNull())
        return;
    for (int y = 0; y < result.height(); ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(result.constScanLine(y));
        std::copy(s, s + result.width(), reinterpret_cast<QRgb *>(layer.scanLine(y + region.top())) + region.left());
    }
}

// Runs one filter element over Layer; answers the region it covers.
QRect RunFilterElement(TSVGFilterChain &chain, TSVGFilter &filter, QImage &layer, const QRect &drawn)
{
    const std::vector<const TSVGFilter *> filters = filter.Chain();
    const auto stating = [&filters](QStringView attribute) -> const TSVGFilter & {
        QString unused;
        for (const TSVGFilter *f : filters)
            if (f->XMLAttribute(attribute, unused))
                return *f;
        return *filters.front();
    };
    TSVGObjectBox box(*chain.Element);
    const bool regionInBox = !SVGUserSpaceUnits(stating(u"filterUnits"), u"filterUnits", false);
    const bool primitiveBox = !SVGUserSpaceUnits(stating(u"primitiveUnits"), u"primitiveUnits", true);
    if ((regionInBox || primitiveBox) && !box.Usable())
        return QRect();
    const QRectF b = regionInBox || primitiveBox ? box.Get() : QRectF();
    // Each side of the region depends on its own attribute alone.
    const QRectF region(SVGEffectRegion(stating(u"x"), regionInBox, b).left(),
                        SVGEffectRegion(stating(u"y"), regionInBox, b).top(),
                        SVGEffectRegion(stating(u"width"), regionInBox, b).width(),
                        SVGEffectRegion(stating(u"height"), regionInBox, b).height());
    const auto hasPrimitives = [](const TSVGFilter *f) {
        for (int i = 0; i < f->Count(); ++i)
            if (f->Items(i)->SVGType() == etFilterPrimitive)
                return true;
        return false;
    };
    const auto withPrimitives = std::find_if(filters.begin(), filters.end(), hasPrimitives);
    if (!(region.width() > 0) || !(region.height() > 0))
        return QRect();
    TSVGFilterContext context;
    context.Painter = chain.Painter;
    context.Element = chain.Element;
    context.M = chain.M;
    context.Region = DeviceRect(chain.M, region) & layer.rect();
    context.Box = b;
    context.PrimitiveBox = primitiveBox;
    const QTransform t = chain.M.ToQTransform();
    context.ScaleX = std::hypot(t.m11(), t.m12());
    context.ScaleY = std::hypot(t.m21(), t.m22());
    if (context.Region.isEmpty())
        return QRect();
    const TSVGRasterReservation reserved(context.Size());
    const QImage source = layer.copy(context.Region);
    TFilterRun run(context, source);
    PutResult(layer, drawn, context.Region,
              withPrimitives == filters.end() ? QImage() : run.Run(**withPrimitives));
    return context.Region;
}

// A CSS filter function over what the layer holds, grown by how far the function reaches.
QRect RunFilterFunction(TSVGFilterChain &chain, const TSVGFilterFunction &f, QImage &layer, const QRect &drawn)
{
    using TKind = TSVGFilterFunctionKind;
    const QTransform t = chain.M.ToQTransform();
    const double sx = std::hypot(t.m11(), t.m12()), sy = std::hypot(t.m21(), t.m22());
    QRect region = drawn;
    if (f.Kind == TKind::Blur || f.Kind == TKind::DropShadow) {
        const double dx = f.Dx * sx, dy = f.Dy * sy;
        const int gx = int(std::min(1e6, std::ceil(f.Amount * sx * 3 + std::abs(dx))));
        const int gy = int(std::min(1e6, std::ceil(f.Amount * sy * 3 + std::abs(dy))));
        region = drawn.adjusted(-gx, -gy, gx, gy);
    }
    region &= layer.rect();
    if (region.isEmpty())
        return region;
    const TSVGRasterReservation reserved(region.size());
    QImage image = layer.copy(region);
    switch (f.Kind) {
    case TKind::Url:
        break;
    case TKind::Blur:
        SVGFilterBlur(image, f.Amount * sx, f.Amount * sy);
        break;
    case TKind::DropShadow: {
        const QRgb color = f.CurrentColor ? chain.Element->CurrentColor() : f.Color;
        image = SVGFilterDropShadow(image, f.Dx * sx, f.Dy * sy, f.Amount * sx, f.Amount * sy, color);
        break;
    }
    case TKind::Brightness:
    case TKind::Contrast:
    case TKind::Invert:
    case TKind::Opacity: {
        TSVGChannelTables tables;
        for (int c = 0; c < 4; ++c)
            for (int i = 0; i < 256; ++i) {
                const double v = i / 255.0;
                double o = v;
                if (c == 3)
                    o = f.Kind == TKind::Opacity ? v * f.Amount : v;
                else if (f.Kind == TKind::Brightness)
                    o = v * f.Amount;
                else if (f.Kind == TKind::Contrast)
                    o = (v - 0.5) * f.Amount + 0.5;
                else if (f.Kind == TKind::Invert)
                    o = f.Amount + v * (1 - 2 * f.Amount);
                tables[size_t(c)][size_t(i)] = quint8(std::lround(std::clamp(o, 0.0, 1.0) * 255));
            }
        SVGFilterTransfer(image, tables);
        break;
    }
    case TKind::Grayscale: {
        const float a = float(1 - f.Amount);
        SVGFilterColorMatrix(image, {0.2126f + 0.7874f * a, 0.7152f - 0.7152f * a, 0.0722f - 0.0722f * a, 0, 0,
                                     0.2126f - 0.2126f * a, 0.7152f + 0.2848f * a, 0.0722f - 0.0722f * a, 0, 0,
                                     0.2126f - 0.2126f * a, 0.7152f - 0.7152f * a, 0.0722f + 0.9278f * a, 0, 0,
                                     0, 0, 0, 1, 0});
        break;
    }
    case TKind::HueRotate:
        SVGFilterColorMatrix(image, SVGHueRotateMatrix(float(f.Amount)));
        break;
    case TKind::Saturate:
        SVGFilterColorMatrix(image, SVGSaturateMatrix(float(f.Amount)));
        break;
    case TKind::Sepia: {
        const float a = float(1 - f.Amount);
        SVGFilterColorMatrix(image, {0.393f + 0.607f * a, 0.769f - 0.769f * a, 0.189f - 0.189f * a, 0, 0,
                                     0.349f - 0.349f * a, 0.686f + 0.314f * a, 0.168f - 0.168f * a, 0, 0,
                                     0.272f - 0.272f * a, 0.534f - 0.534f * a, 0.131f + 0.869f * a, 0, 0,
                                     0, 0, 0, 1, 0});
        break;
    }
    }
    PutResult(layer, drawn, region, image);
    return region;
}

} // namespace

QRect SVGApplyFilter(TSVGFilterChain &chain, QImage &layer, const QRect &drawn)
{
    QRect area = drawn;
    for (size_t i = 0; i < chain.Items.size(); ++i) {
        if (chain.Filters[i])
            area = RunFilterElement(chain, *chain.Filters[i], layer, area);
        else
            area = RunFilterFunction(chain, chain.Items[i], layer, area);
        if (area.isEmpty())
            return area;
    }
    return area;
}
