// The filter primitives: each reads its attributes and inputs and hands them to the
// kernels of its family (filter_blur.cpp, filter_color.cpp, filter_light.cpp).

#include "errors/errors.h"
#include "svg/model/values/color.h"
#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/model/dom/filter.h"
#include "svg/model/values/lists.h"
#include "svg/model/values/numbers.h"
#include "svg/render/canvas.h"
#include "svg/render/draw.h"
#include "svg/render/filter_context.h"
#include "svg/render/image.h"
#include "svg/render/scanline.h"

#include <algorithm>
#include <cmath>

namespace {

TSVGFilterImage Blank(const TSVGFilterContext &c, TSVGFilterSpace space)
{
    return {SVGNewRaster(c.Size()), space};
}

double Number(const TSVGFilterPrimitive &p, QStringView name, double byDefault)
{
    double v = 0;
    const QString text = SVGFilterAttribute(p, name);
    return !text.isEmpty() && TrySVGStrToFloat(text, v) ? v : byDefault;
}

TSVGFilterImage In(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, QStringView name,
                   TSVGFilterSpace space)
{
    return c.Input(SVGFilterAttribute(p, name), space);
}

// A colour property of a primitive (flood-color, lighting-color) with its opacity, in Space.
QRgb ColorProperty(const TSVGFilterPrimitive &p, QStringView name, QRgb byDefault, float opacity,
                   TSVGFilterSpace space)
{
    QRgb color = byDefault;
    const QString text = SVGFilterAttribute(p, name);
    if (!text.isEmpty()) {
        bool none = false, inherited = false, current = false;
        try {
            const TAlphaColor c = ParseColor(text, byDefault, none, inherited, &current);
            color = current ? p.CurrentColor() : none ? 0u : c;
        } catch (const EConvertError &) {
            color = byDefault;  // an unreadable colour is no colour given
        }
    }
    color = ApplyOpacity(color, std::clamp(opacity, 0.0f, 1.0f));
    if (space == TSVGFilterSpace::LinearRGB) {
        QImage one = SVGNewRaster(QSize(1, 1));
        one.setPixel(0, 0, qPremultiply(color));
        one = SVGFilterToSpace({one, TSVGFilterSpace::SRGB}, space).Image;
        color = qUnpremultiply(one.pixel(0, 0));
    }
    return color;
}

float Opacity(const TSVGFilterPrimitive &p, QStringView name)
{
    const QString text = SVGFilterAttribute(p, name);
    if (text.isEmpty())
        return 1;
    double v = 1;
    if (text.endsWith(QLatin1Char('%')) && TrySVGStrToFloat(QStringView(text).chopped(1), v))
        return float(v / 100);
    return TrySVGStrToFloat(text, v) ? float(v) : 1.0f;
}

void Fill(QImage &image, const QRect &area, QRgb color)
{
    const QRgb p = qPremultiply(color);
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::fill(line + r.left(), line + r.right() + 1, p);
    }
}

TSVGFilterImage Flood(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, const QRect &sub, TSVGFilterSpace space)
{
    TSVGFilterImage out = Blank(c, space);
    Fill(out.Image, sub, ColorProperty(p, u"flood-color", 0xFF000000u, Opacity(p, u"flood-opacity"), space));
    return out;
}

// Two numbers of an attribute ("2" is "2 2"); false for a wrong count or text.
bool NumberPair(const TSVGFilterPrimitive &p, QStringView name, double byDefault, double &x, double &y)
{
    const QString text = SVGFilterAttribute(p, name);
    x = y = byDefault;
    if (text.isEmpty())
        return true;
    const std::vector<double> v = SVGFilterNumbers(text);
    if (v.empty() || v.size() > 2)
        return false;
    x = v[0];
    y = v.size() == 2 ? v[1] : v[0];
    return true;
}

TSVGFilterImage Blur(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    TSVGFilterImage in = In(c, p, u"in", space);
    double sx = 0, sy = 0;
    // A negative deviation is an error that leaves the input as it is, like zero.
    if (!NumberPair(p, u"stdDeviation", 0, sx, sy) || sx < 0 || sy < 0 || (sx == 0 && sy == 0))
        return in;
    in.Image = in.Image.copy();
    SVGFilterBlur(in.Image, c.DeviceX(sx), c.DeviceY(sy));
    return in;
}

int WholePixels(double v)
{
    return int(std::clamp(std::round(v), -1e7, 1e7));
}

TSVGFilterImage Offset(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    TSVGFilterImage in = In(c, p, u"in", space);
    // Whole pixels towards zero, as resvg moves them (a tile's period shows the difference).
    const int dx = WholePixels(std::trunc(c.DeviceX(Number(p, u"dx", 0))));
    const int dy = WholePixels(std::trunc(c.DeviceY(Number(p, u"dy", 0))));
    if (dx == 0 && dy == 0)
        return in;
    return {SVGFilterOffset(in.Image, dx, dy), space};
}

TSVGFilterImage Merge(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    TSVGFilterImage out = Blank(c, space);
    for (int i = 0; i < p.Count(); ++i) {
        const TSVGElement *node = p.Items(i);
        if (node->TagName() != QLatin1String("feMergeNode") || node->SVGType() != etFilterPrimitive)
            continue;
        const TSVGFilterImage in = In(c, static_cast<const TSVGFilterPrimitive &>(*node), u"in", space);
        SVGFilterComposite(out.Image, in.Image, TSVGCompositeOp::Over);
    }
    return out;
}

TSVGFilterImage Blend(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    const TSVGFilterImage source = In(c, p, u"in", space);
    TSVGFilterImage out = In(c, p, u"in2", space);
    out.Image = out.Image.copy();
    const QString modeText = SVGFilterAttribute(p, u"mode");
    const int mode = SVGBlendMode(modeText.isEmpty() ? QStringLiteral("normal") : modeText);
    SVGFilterBlend(out.Image, source.Image, mode < 0 ? 0 : mode);
    return out;
}

TSVGFilterImage Composite(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    const TSVGFilterImage source = In(c, p, u"in", space);
    TSVGFilterImage out = In(c, p, u"in2", space);
    out.Image = out.Image.copy();
    static const struct {
        const char *Name;
        TSVGCompositeOp Op;
    } ops[] = {{"over", TSVGCompositeOp::Over}, {"in", TSVGCompositeOp::In},     {"out", TSVGCompositeOp::Out},
               {"atop", TSVGCompositeOp::Atop}, {"xor", TSVGCompositeOp::Xor}, {"arithmetic", TSVGCompositeOp::Arithmetic}};
    TSVGCompositeOp op = TSVGCompositeOp::Over;
    const QString text = SVGFilterAttribute(p, u"operator");
    for (const auto &o : ops)
        if (text == QLatin1String(o.Name))
            op = o.Op;
    const std::array<float, 4> k = {float(Number(p, u"k1", 0)), float(Number(p, u"k2", 0)), float(Number(p, u"k3", 0)),
                                     float(Number(p, u"k4", 0))};
    SVGFilterComposite(out.Image, source.Image, op, k);
    return out;
}

TSVGFilterImage ColorMatrix(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    TSVGFilterImage in = In(c, p, u"in", space);
    const QString type = SVGFilterAttribute(p, u"type");
    const QString valuesText = SVGFilterAttribute(p, u"values");
    const std::vector<double> values = SVGFilterNumbers(valuesText);
    TSVGColorMatrix m{};
    if (type == QLatin1String("saturate")) {
        if (!valuesText.isEmpty() && values.size() != 1)
            return in;
        m = SVGSaturateMatrix(values.empty() ? 1.0f : float(std::max(0.0, values[0])));
    } else if (type == QLatin1String("hueRotate")) {
        if (!valuesText.isEmpty() && values.size() != 1)
            return in;
        m = SVGHueRotateMatrix(values.empty() ? 0.0f : float(values[0]));
    } else if (type == QLatin1String("luminanceToAlpha")) {
        m = SVGLuminanceToAlphaMatrix();
    } else {
        if (values.size() != 20)
            return in;  // the identity
        for (size_t i = 0; i < 20; ++i)
            m[i] = float(values[i]);
    }
    in.Image = in.Image.copy();
    SVGFilterColorMatrix(in.Image, m);
    return in;
}

// The table of one feFuncX child.
void TransferTable(const TSVGFilterPrimitive &f, std::array<quint8, 256> &table)
{
    const QString type = SVGFilterAttribute(f, u"type");
    const std::vector<double> values = SVGFilterNumbers(SVGFilterAttribute(f, u"tableValues"));
    const double slope = Number(f, u"slope", 1), intercept = Number(f, u"intercept", 0);
    const double amplitude = Number(f, u"amplitude", 1), exponent = Number(f, u"exponent", 1),
                 offset = Number(f, u"offset", 0);
    for (int i = 0; i < 256; ++i) {
        const double v = i / 255.0;
        double o = v;
        if (type == QLatin1String("table") && !values.empty()) {
            const size_t n = values.size() - 1;
            const size_t k = std::min(n, size_t(v * double(n)));
            o = k == n ? values[n] : values[k] + (v - double(k) / double(n)) * double(n) * (values[k + 1] - values[k]);
        } else if (type == QLatin1String("discrete") && !values.empty()) {
            const size_t n = values.size();
            o = values[std::min(n - 1, size_t(v * double(n)))];
        } else if (type == QLatin1String("linear")) {
            o = slope * v + intercept;
        } else if (type == QLatin1String("gamma")) {
            o = amplitude * std::pow(v, exponent) + offset;
        }
        table[size_t(i)] = quint8(std::lround(std::clamp(std::isfinite(o) ? o : 0.0, 0.0, 1.0) * 255));
    }
}

TSVGFilterImage ComponentTransfer(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    TSVGFilterImage in = In(c, p, u"in", space);
    TSVGChannelTables tables;
    for (auto &t : tables)
        for (int i = 0; i < 256; ++i)
            t[size_t(i)] = quint8(i);
    static const char16_t *names[] = {u"feFuncR", u"feFuncG", u"feFuncB", u"feFuncA"};
    for (int i = 0; i < p.Count(); ++i) {
        const TSVGElement *f = p.Items(i);
        for (size_t ch = 0; ch < 4; ++ch)
            if (f->TagName() == QStringView(names[ch]) && f->SVGType() == etFilterPrimitive)
                TransferTable(static_cast<const TSVGFilterPrimitive &>(*f), tables[ch]);
    }
    in.Image = in.Image.copy();
    SVGFilterTransfer(in.Image, tables);
    return in;
}

TSVGFilterImage DropShadow(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    const TSVGFilterImage in = In(c, p, u"in", space);
    double sx = 2, sy = 2;
    if (!NumberPair(p, u"stdDeviation", 2, sx, sy) || sx < 0 || sy < 0)
        return Blank(c, space);
    const QRgb color = ColorProperty(p, u"flood-color", 0xFF000000u, Opacity(p, u"flood-opacity"), space);
    return {SVGFilterDropShadow(in.Image, c.DeviceX(Number(p, u"dx", 2)), c.DeviceY(Number(p, u"dy", 2)),
                                c.DeviceX(sx), c.DeviceY(sy), color),
            space};
}

TSVGFilterImage Tile(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, const QRect &sub, TSVGFilterSpace space)
{
    const TSVGFilterImage in = In(c, p, u"in", space);
    const QRect tile = c.InputSubregion(SVGFilterAttribute(p, u"in")) & in.Image.rect();
    TSVGFilterImage out = Blank(c, space);
    if (tile.isEmpty())
        return out;
    const auto wrap = [](int v, int origin, int size) { return origin + ((v - origin) % size + size) % size; };
    for (int y = sub.top(); y <= sub.bottom(); ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(in.Image.constScanLine(wrap(y, tile.top(), tile.height())));
        auto *d = reinterpret_cast<QRgb *>(out.Image.scanLine(y));
        for (int x = sub.left(); x <= sub.right(); ++x)
            d[x] = s[wrap(x, tile.left(), tile.width())];
    }
    return out;
}

TSVGFilterImage Morphology(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    TSVGFilterImage in = In(c, p, u"in", space);
    double rx = 0, ry = 0;
    // A radius that is not positive leaves the input as it is.
    if (!NumberPair(p, u"radius", 0, rx, ry) || !(rx > 0) || !(ry > 0))
        return in;
    const double dx = std::min(c.DeviceX(rx), 1e7), dy = std::min(c.DeviceY(ry), 1e7);
    in.Image = in.Image.copy();
    SVGFilterMorphology(in.Image, int(std::round(dx)), int(std::round(dy)),
                        SVGFilterAttribute(p, u"operator") == QLatin1String("dilate"));
    return in;
}

// A point of a light source in the region's pixels. Its numbers are user units even
// under primitiveUnits objectBoundingBox, as resvg reads them.
TSVGLightPoint LightPoint(const TSVGFilterContext &c, const TSVGFilterPrimitive &light, QStringView x, QStringView y,
                          QStringView z)
{
    const double ux = Number(light, x, 0), uy = Number(light, y, 0), uz = Number(light, z, 0);
    const QPointF d = c.M.ToQTransform().map(QPointF(ux, uy)) - QPointF(c.Region.topLeft());
    return {d.x(), d.y(), uz * (c.ScaleX + c.ScaleY) / 2};
}

TSVGFilterImage Lighting(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, bool specular, TSVGFilterSpace space)
{
    const TSVGFilterPrimitive *light = nullptr;
    for (int i = 0; i < p.Count() && !light; ++i) {
        const TSVGElement *e = p.Items(i);
        const QString tag = e->TagName();
        if (e->SVGType() == etFilterPrimitive &&
            (tag == QLatin1String("feDistantLight") || tag == QLatin1String("fePointLight") ||
             tag == QLatin1String("feSpotLight")))
            light = static_cast<const TSVGFilterPrimitive *>(e);
    }
    if (!light)
        return Blank(c, space);
    TSVGLighting l;
    l.Specular = specular;
    l.SurfaceScale = Number(p, u"surfaceScale", 1);
    l.Constant = Number(p, specular ? u"specularConstant" : u"diffuseConstant", 1);
    l.Exponent = Number(p, u"specularExponent", 1);
    if (specular && !(l.Exponent >= 1 && l.Exponent <= 128))
        return Blank(c, space);
    l.Color = ColorProperty(p, u"lighting-color", 0xFFFFFFFFu, 1, space);
    const QString tag = light->TagName();
    constexpr double kRadians = M_PI / 180;
    if (tag == QLatin1String("feDistantLight")) {
        l.Kind = TSVGLightKind::Distant;
        l.Azimuth = Number(*light, u"azimuth", 0) * kRadians;
        l.Elevation = Number(*light, u"elevation", 0) * kRadians;
    } else {
        l.Kind = tag == QLatin1String("fePointLight") ? TSVGLightKind::Point : TSVGLightKind::Spot;
        l.Position = LightPoint(c, *light, u"x", u"y", u"z");
        l.PointsAt = LightPoint(c, *light, u"pointsAtX", u"pointsAtY", u"pointsAtZ");
        l.SpotExponent = Number(*light, u"specularExponent", 1);
        if (!(l.SpotExponent > 0))
            l.SpotExponent = 1;  // a focus that is not positive is none
        if (const QString cone = SVGFilterAttribute(*light, u"limitingConeAngle"); !cone.isEmpty()) {
            l.HasCone = true;
            l.ConeAngle = std::abs(Number(*light, u"limitingConeAngle", 90)) * kRadians;
        }
    }
    const TSVGFilterImage in = In(c, p, u"in", space);
    TSVGFilterImage out = Blank(c, space);
    SVGFilterLighting(in.Image, out.Image, l);
    return out;
}

TSVGFilterImage Turbulence(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, const QRect &sub,
                           TSVGFilterSpace space)
{
    TSVGFilterImage out = Blank(c, space);
    double fx = 0, fy = 0;
    if (!NumberPair(p, u"baseFrequency", 0, fx, fy) || fx < 0 || fy < 0)
        return out;
    TSVGTurbulence t;
    t.FreqX = fx;
    t.FreqY = fy;
    t.Octaves = int(std::clamp(Number(p, u"numOctaves", 1), -1.0, 1e6));
    t.Seed = long(std::clamp(std::trunc(Number(p, u"seed", 0)), -2147483647.0, 2147483647.0));
    t.Fractal = SVGFilterAttribute(p, u"type") == QLatin1String("fractalNoise");
    t.Stitch = SVGFilterAttribute(p, u"stitchTiles") == QLatin1String("stitch");
    const QTransform toUser = c.M.Inverse().ToQTransform();
    t.ToUser = QTransform::fromTranslate(c.Region.left(), c.Region.top()) * toUser;
    t.Tile = toUser.mapRect(QRectF(sub.translated(c.Region.topLeft())));
    SVGFilterTurbulence(out.Image, sub, t);
    return out;
}

// A whole positive number of an attribute ("3" but not "3.5" or "-1").
bool WholeNumber(const QString &text, int &value)
{
    double v = 0;
    if (!TrySVGStrToFloat(text, v) || v != std::trunc(v) || v < 1 || v > 1e6)
        return false;
    value = int(v);
    return true;
}

// A convolution costs its kernel's size for every pixel of the region; past this many
// products it is refused rather than run for minutes.
constexpr double kMaxConvolutionWork = 4e8;

TSVGFilterImage ConvolveMatrix(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, TSVGFilterSpace space)
{
    TSVGFilterImage out = Blank(c, space);
    TSVGConvolution k;
    if (const QString order = SVGFilterAttribute(p, u"order"); !order.isEmpty()) {
        const QStringList parts = SplitNumbers(order);
        if (parts.isEmpty() || parts.size() > 2 || !WholeNumber(parts[0], k.OrderX) ||
            !WholeNumber(parts.size() == 2 ? parts[1] : parts[0], k.OrderY))
            return out;
    }
    k.Kernel = SVGFilterNumbers(SVGFilterAttribute(p, u"kernelMatrix"));
    if (qint64(k.Kernel.size()) != qint64(k.OrderX) * k.OrderY)
        return out;
    if (double(k.Kernel.size()) * c.Size().width() * c.Size().height() > kMaxConvolutionWork)
        throw ESVGException(QStringLiteral("Filter too costly: a %1 x %2 convolution over %3 x %4 pixels")
                                .arg(k.OrderX).arg(k.OrderY).arg(c.Size().width()).arg(c.Size().height()));
    double sum = 0;
    for (double v : k.Kernel)
        sum += v;
    k.Divisor = sum == 0 ? 1 : sum;
    if (const QString d = SVGFilterAttribute(p, u"divisor"); !d.isEmpty()) {
        const double v = Number(p, u"divisor", 0);
        if (v == 0)
            return out;
        k.Divisor = v;
    }
    k.Bias = Number(p, u"bias", 0);
    k.TargetX = int(Number(p, u"targetX", k.OrderX / 2));
    k.TargetY = int(Number(p, u"targetY", k.OrderY / 2));
    if (k.TargetX < 0 || k.TargetX >= k.OrderX || k.TargetY < 0 || k.TargetY >= k.OrderY)
        return out;
    const QString edge = SVGFilterAttribute(p, u"edgeMode");
    if (edge == QLatin1String("wrap"))
        k.Edge = TSVGConvolution::TEdge::Wrap;
    else if (edge == QLatin1String("none"))
        k.Edge = TSVGConvolution::TEdge::None;
    k.PreserveAlpha = SVGFilterAttribute(p, u"preserveAlpha") == QLatin1String("true");
    const TSVGFilterImage in = In(c, p, u"in", space);
    SVGFilterConvolve(in.Image, out.Image, k);
    return out;
}

TSVGFilterImage Image(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, const QRect &sub)
{
    TSVGFilterImage out{SVGNewRaster(c.Size()), TSVGFilterSpace::SRGB};
    QString href;
    const TSVGDocument *doc = p.Document();
    if (!p.XMLAttribute(u"href", href) || !doc)
        return out;
    href = href.trimmed();
    if (href.startsWith(QLatin1Char('#'))) {
        TSVGElement *target = doc->FindElement(href.mid(1));
        if (!target || !target->AsGraphic())
            return out;
        // The filtered element itself shows as it is drawn, unfiltered (resvg agrees);
        // an ancestor being drawn would draw it again without end.
        if (target == c.Element)
            return c.Input(QStringLiteral("SourceGraphic"), TSVGFilterSpace::SRGB);
        if (c.Painter->Active(target))
            return out;
        // The subregion's corner moves the element, as a use's x and y would.
        const QPointF corner = (c.M.ToQTransform() * QTransform::fromTranslate(-c.Region.left(), -c.Region.top()))
                                   .inverted()
                                   .map(QPointF(sub.topLeft()));
        const double tx = corner.x(), ty = corner.y();
        TSVGCanvas canvas(out.Image);
        TSVGPainter painter(canvas, c.Painter->Rect());
        painter.ShareGuardsWith(*c.Painter, out.Image.size());
        const TMatrix m = TMatrix::CreateTranslation(float(tx), float(ty)) * c.M *
                          TMatrix::CreateTranslation(float(-c.Region.left()), float(-c.Region.top()));
        painter.Draw(*target, m);
        return out;
    }
    const QImage picture = SVGLoadRasterPicture(*doc, href, c.Painter->PictureCache());
    if (picture.isNull())
        return out;
    // The picture fills the subregion, centred with its proportions kept unless
    // preserveAspectRatio is none.
    const QTransform toDevice = c.M.ToQTransform() * QTransform::fromTranslate(-c.Region.left(), -c.Region.top());
    const QRectF user = toDevice.inverted().mapRect(QRectF(sub));
    QRectF target = user;
    if (SVGFilterAttribute(p, u"preserveAspectRatio") != QLatin1String("none")) {
        const QSizeF fitted = QSizeF(picture.size()).scaled(user.size(), Qt::KeepAspectRatio);
        target = QRectF(user.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
    }
    QPainter painter(&out.Image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, SVGSmoothPictures(p));
    painter.setTransform(toDevice);
    painter.drawImage(target, picture);
    return out;
}

} // namespace

QString SVGFilterAttribute(const TSVGFilterPrimitive &primitive, QStringView name)
{
    QString v;
    if (primitive.XMLAttribute(name, v) && !v.trimmed().isEmpty())
        v = v.trimmed();
    const QString styled = primitive.Style().Value(name).trimmed();
    return styled.isEmpty() ? v : styled;
}

std::vector<double> SVGFilterNumbers(const QString &text)
{
    std::vector<double> out;
    for (const QString &item : SplitNumbers(text)) {
        double v = 0;
        if (!TrySVGStrToFloat(item, v))
            return {};
        out.push_back(v);
    }
    return out;
}

QImage SVGFilterDropShadow(const QImage &image, double dx, double dy, double deviationX, double deviationY, QRgb color)
{
    QImage shadow = image.copy();
    const QRgb pm = qPremultiply(color);
    for (int y = 0; y < shadow.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(shadow.scanLine(y));
        for (int x = 0; x < shadow.width(); ++x)
            line[x] = SVGByteMul(pm, qAlpha(line[x]));
    }
    SVGFilterBlur(shadow, deviationX, deviationY);
    shadow = SVGFilterOffset(shadow, WholePixels(dx), WholePixels(dy));
    SVGFilterComposite(shadow, image, TSVGCompositeOp::Over);
    return shadow;
}

TSVGFilterImage SVGRunFilterPrimitive(const TSVGFilterContext &c, const TSVGFilterPrimitive &p, const QRect &sub,
                                      TSVGFilterSpace space)
{
    if (sub.isEmpty())
        return Blank(c, space);
    const QString tag = p.TagName();
    TSVGFilterImage out;
    if (tag == QLatin1String("feFlood"))
        out = Flood(c, p, sub, space);
    else if (tag == QLatin1String("feGaussianBlur"))
        out = Blur(c, p, space);
    else if (tag == QLatin1String("feOffset"))
        out = Offset(c, p, space);
    else if (tag == QLatin1String("feMerge"))
        out = Merge(c, p, space);
    else if (tag == QLatin1String("feBlend"))
        out = Blend(c, p, space);
    else if (tag == QLatin1String("feComposite"))
        out = Composite(c, p, space);
    else if (tag == QLatin1String("feColorMatrix"))
        out = ColorMatrix(c, p, space);
    else if (tag == QLatin1String("feComponentTransfer"))
        out = ComponentTransfer(c, p, space);
    else if (tag == QLatin1String("feDropShadow"))
        out = DropShadow(c, p, space);
    else if (tag == QLatin1String("feTile"))
        out = Tile(c, p, sub, space);
    else if (tag == QLatin1String("feMorphology"))
        out = Morphology(c, p, space);
    else if (tag == QLatin1String("feDiffuseLighting") || tag == QLatin1String("feSpecularLighting"))
        out = Lighting(c, p, tag == QLatin1String("feSpecularLighting"), space);
    else if (tag == QLatin1String("feConvolveMatrix"))
        out = ConvolveMatrix(c, p, space);
    else if (tag == QLatin1String("feImage"))
        out = Image(c, p, sub);
    else if (tag == QLatin1String("feTurbulence"))
        out = Turbulence(c, p, sub, space);
    else
        out = Blank(c, space);
    if (out.Image.isNull())
        return Blank(c, space);
    if (sub != out.Image.rect())
        SVGFilterKeepArea(out.Image, sub);
    return out;
}
