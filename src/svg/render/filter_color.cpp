// Filter kernels that work pixel by pixel: colour spaces, colour matrices, transfer
// tables, blend modes and Porter-Duff compositing.

#include "svg/render/filter_raster.h"

#include "svg/render/scanline.h"

#include <QStringView>
#include <algorithm>
#include <cmath>

namespace {

struct TSpaceTables {
    std::array<quint8, 256> ToLinear, ToSRGB;
    TSpaceTables()
    {
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            const double lin = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            const double srgb = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
            ToLinear[i] = quint8(std::lround(lin * 255));
            ToSRGB[i] = quint8(std::lround(srgb * 255));
        }
    }
};

const TSpaceTables &SpaceTables()
{
    static const TSpaceTables tables;
    return tables;
}

template <typename F>
void ForEachPixel(QImage &image, F f)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = f(line[x]);
    }
}

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

// --- blend modes (W3C compositing), on unpremultiplied channels

enum TMode {
    bmNormal, bmMultiply, bmScreen, bmOverlay, bmDarken, bmLighten, bmColorDodge, bmColorBurn,
    bmHardLight, bmSoftLight, bmDifference, bmExclusion, bmHue, bmSaturation, bmColor, bmLuminosity,
};

constexpr std::array<const char16_t *, 16> ModeNames = {
    u"normal",     u"multiply",   u"screen",     u"overlay",    u"darken",     u"lighten",
    u"color-dodge", u"color-burn", u"hard-light", u"soft-light", u"difference", u"exclusion",
    u"hue",        u"saturation", u"color",      u"luminosity",
};

float HardLight(float b, float s)
{
    return s <= 0.5f ? b * 2 * s : b + (2 * s - 1) - b * (2 * s - 1);
}

float Separable(int mode, float b, float s)
{
    switch (mode) {
    case bmMultiply: return b * s;
    case bmScreen: return b + s - b * s;
    case bmOverlay: return HardLight(s, b);
    case bmDarken: return std::min(b, s);
    case bmLighten: return std::max(b, s);
    case bmColorDodge:
        if (b <= 0) return 0;
        return s >= 1 ? 1 : std::min(1.0f, b / (1 - s));
    case bmColorBurn:
        if (b >= 1) return 1;
        return s <= 0 ? 0 : 1 - std::min(1.0f, (1 - b) / s);
    case bmHardLight: return HardLight(b, s);
    case bmSoftLight: {
        if (s <= 0.5f)
            return b - (1 - 2 * s) * b * (1 - b);
        const float d = b <= 0.25f ? ((16 * b - 12) * b + 4) * b : std::sqrt(b);
        return b + (2 * s - 1) * (d - b);
    }
    case bmDifference: return std::abs(b - s);
    case bmExclusion: return b + s - 2 * b * s;
    default: return s;
    }
}

struct TRgb {
    float R, G, B;
};

float Lum(const TRgb &c) { return 0.3f * c.R + 0.59f * c.G + 0.11f * c.B; }

TRgb ClipColor(TRgb c)
{
    const float l = Lum(c);
    const float n = std::min({c.R, c.G, c.B});
    const float x = std::max({c.R, c.G, c.B});
    if (n < 0 && l - n > 0) {
        c.R = l + (c.R - l) * l / (l - n);
        c.G = l + (c.G - l) * l / (l - n);
        c.B = l + (c.B - l) * l / (l - n);
    }
    if (x > 1 && x - l > 0) {
        c.R = l + (c.R - l) * (1 - l) / (x - l);
        c.G = l + (c.G - l) * (1 - l) / (x - l);
        c.B = l + (c.B - l) * (1 - l) / (x - l);
    }
    return c;
}

TRgb SetLum(TRgb c, float l)
{
    const float d = l - Lum(c);
    return ClipColor({c.R + d, c.G + d, c.B + d});
}

float Sat(const TRgb &c) { return std::max({c.R, c.G, c.B}) - std::min({c.R, c.G, c.B}); }

TRgb SetSat(TRgb c, float s)
{
    float *ch[3] = {&c.R, &c.G, &c.B};
    std::sort(ch, ch + 3, [](const float *a, const float *b) { return *a < *b; });
    float &mn = *ch[0], &mid = *ch[1], &mx = *ch[2];
    if (mx > mn) {
        mid = (mid - mn) * s / (mx - mn);
        mx = s;
    } else {
        mid = mx = 0;
    }
    mn = 0;
    return c;
}

TRgb NonSeparable(int mode, const TRgb &b, const TRgb &s)
{
    switch (mode) {
    case bmHue: return SetLum(SetSat(s, Sat(b)), Lum(b));
    case bmSaturation: return SetLum(SetSat(b, Sat(s)), Lum(b));
    case bmColor: return SetLum(s, Lum(b));
    default: return SetLum(b, Lum(s));
    }
}

} // namespace

QRgb SVGFilterSourceOver(QRgb source, QRgb backdrop)
{
    return source + SVGByteMul(backdrop, 255 - qAlpha(source));
}

TSVGRgba SVGFilterUnpremultiply(QRgb p)
{
    const int a = qAlpha(p);
    if (a == 0)
        return {0, 0, 0, 0};
    const float fa = a / 255.0f;
    return {std::min(1.0f, qRed(p) / 255.0f / fa), std::min(1.0f, qGreen(p) / 255.0f / fa),
            std::min(1.0f, qBlue(p) / 255.0f / fa), fa};
}

QRgb SVGFilterPremultiply(float r, float g, float b, float a)
{
    a = Clamp01(a);
    if (!(a > 0))
        return 0;
    const auto ch = [a](float v) { return int(std::lround(Clamp01(v) * a * 255)); };
    return qRgba(ch(r), ch(g), ch(b), int(std::lround(a * 255)));
}

TSVGFilterImage SVGFilterToSpace(const TSVGFilterImage &image, TSVGFilterSpace space)
{
    if (image.Space == space || image.Image.isNull())
        return {image.Image, space};
    const std::array<quint8, 256> &table =
        space == TSVGFilterSpace::LinearRGB ? SpaceTables().ToLinear : SpaceTables().ToSRGB;
    TSVGFilterImage out{image.Image.copy(), space};
    ForEachPixel(out.Image, [&table](QRgb p) -> QRgb {
        const int a = qAlpha(p);
        if (a == 0)
            return 0;
        const QRgb u = qUnpremultiply(p);
        return qPremultiply(qRgba(table[qRed(u)], table[qGreen(u)], table[qBlue(u)], a));
    });
    return out;
}

void SVGFilterKeepArea(QImage &image, const QRect &area)
{
    const QRect keep = area & image.rect();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        if (y < keep.top() || y > keep.bottom() || keep.isEmpty()) {
            std::fill(line, line + image.width(), 0u);
            continue;
        }
        std::fill(line, line + keep.left(), 0u);
        std::fill(line + keep.right() + 1, line + image.width(), 0u);
    }
}

void SVGFilterColorMatrix(QImage &image, const TSVGColorMatrix &m)
{
    ForEachPixel(image, [&m](QRgb p) -> QRgb {
        const TSVGRgba c = SVGFilterUnpremultiply(p);
        const auto row = [&](int i) {
            return m[i * 5] * c.R + m[i * 5 + 1] * c.G + m[i * 5 + 2] * c.B + m[i * 5 + 3] * c.A + m[i * 5 + 4];
        };
        return SVGFilterPremultiply(row(0), row(1), row(2), row(3));
    });
}

TSVGColorMatrix SVGSaturateMatrix(float s)
{
    return {0.213f + 0.787f * s, 0.715f - 0.715f * s, 0.072f - 0.072f * s, 0, 0,
            0.213f - 0.213f * s, 0.715f + 0.285f * s, 0.072f - 0.072f * s, 0, 0,
            0.213f - 0.213f * s, 0.715f - 0.715f * s, 0.072f + 0.928f * s, 0, 0,
            0, 0, 0, 1, 0};
}

TSVGColorMatrix SVGHueRotateMatrix(float degrees)
{
    const double a = degrees * M_PI / 180;
    const float c = float(std::cos(a)), s = float(std::sin(a));
    return {0.213f + c * 0.787f - s * 0.213f, 0.715f - c * 0.715f - s * 0.715f, 0.072f - c * 0.072f + s * 0.928f, 0, 0,
            0.213f - c * 0.213f + s * 0.143f, 0.715f + c * 0.285f + s * 0.140f, 0.072f - c * 0.072f - s * 0.283f, 0, 0,
            0.213f - c * 0.213f - s * 0.787f, 0.715f - c * 0.715f + s * 0.715f, 0.072f + c * 0.928f + s * 0.072f, 0, 0,
            0, 0, 0, 1, 0};
}

TSVGColorMatrix SVGLuminanceToAlphaMatrix()
{
    return {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.2125f, 0.7154f, 0.0721f, 0, 0};
}

void SVGFilterTransfer(QImage &image, const TSVGChannelTables &t)
{
    ForEachPixel(image, [&t](QRgb p) -> QRgb {
        const QRgb u = qAlpha(p) ? qUnpremultiply(p) : 0u;
        return qPremultiply(qRgba(t[0][qRed(u)], t[1][qGreen(u)], t[2][qBlue(u)], t[3][qAlpha(u)]));
    });
}

int SVGBlendMode(QStringView name)
{
    for (size_t i = 0; i < ModeNames.size(); ++i)
        if (name == QStringView(ModeNames[i]))
            return int(i);
    return -1;
}

void SVGFilterBlend(QImage &backdrop, const QImage &source, int mode)
{
    SVGBlendArea(backdrop, source, backdrop.rect(), mode);
}

void SVGMultiplyOpacity(QImage &image, const QRect &area, float opacity)
{
    const QRect r = area & image.rect();
    const uint m = uint(std::lround(std::clamp(opacity, 0.0f, 1.0f) * 255));
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            line[x] = SVGByteMul(line[x], m);
    }
}

void SVGBlendArea(QImage &backdrop, const QImage &source, const QRect &area, int mode)
{
    const QRect r = area & backdrop.rect() & source.rect();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto *b = reinterpret_cast<QRgb *>(backdrop.scanLine(y));
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb sp = s[x], bp = b[x];
            if (qAlpha(sp) == 0)
                continue;
            if (qAlpha(bp) == 0 || mode == bmNormal) {
                b[x] = SVGFilterSourceOver(sp, bp);
                continue;
            }
            const TSVGRgba cs = SVGFilterUnpremultiply(sp), cb = SVGFilterUnpremultiply(bp);
            TRgb mixed;
            if (mode >= bmHue) {
                mixed = NonSeparable(mode, {cb.R, cb.G, cb.B}, {cs.R, cs.G, cs.B});
            } else {
                mixed = {Separable(mode, cb.R, cs.R), Separable(mode, cb.G, cs.G), Separable(mode, cb.B, cs.B)};
            }
            const float as = cs.A, ab = cb.A;
            const float ao = as + ab - as * ab;
            // Premultiplied result divided by the result's alpha.
            const auto ch = [&](float s, float bc, float m) {
                return (s * as * (1 - ab) + bc * ab * (1 - as) + as * ab * Clamp01(m)) / ao;
            };
            b[x] = SVGFilterPremultiply(ch(cs.R, cb.R, mixed.R), ch(cs.G, cb.G, mixed.G), ch(cs.B, cb.B, mixed.B), ao);
        }
    }
}

void SVGFilterComposite(QImage &destination, const QImage &source, TSVGCompositeOp op,
                        const std::array<float, 4> &k)
{
    for (int y = 0; y < destination.height(); ++y) {
        auto *d = reinterpret_cast<QRgb *>(destination.scanLine(y));
        const auto *s = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < destination.width(); ++x) {
            const QRgb sp = s[x], dp = d[x];
            const float as = qAlpha(sp) / 255.0f, ad = qAlpha(dp) / 255.0f;
            float fs = 0, fd = 0;
            switch (op) {
            case TSVGCompositeOp::Over: fs = 1; fd = 1 - as; break;
            case TSVGCompositeOp::In: fs = ad; fd = 0; break;
            case TSVGCompositeOp::Out: fs = 1 - ad; fd = 0; break;
            case TSVGCompositeOp::Atop: fs = ad; fd = 1 - as; break;
            case TSVGCompositeOp::Xor: fs = 1 - ad; fd = 1 - as; break;
            case TSVGCompositeOp::Arithmetic: {
                // On premultiplied channels, each clamped to its alpha.
                const auto ch = [&](int shift) {
                    const float i1 = ((sp >> shift) & 0xff) / 255.0f, i2 = ((dp >> shift) & 0xff) / 255.0f;
                    return Clamp01(k[0] * i1 * i2 + k[1] * i1 + k[2] * i2 + k[3]);
                };
                const float a = ch(24);
                const auto c = [&](int shift) { return uint(std::lround(std::min(a, ch(shift)) * 255)); };
                d[x] = (uint(std::lround(a * 255)) << 24) | (c(16) << 16) | (c(8) << 8) | c(0);
                continue;
            }
            }
            const auto ch = [&](int shift) {
                const float v = ((sp >> shift) & 0xff) * fs + ((dp >> shift) & 0xff) * fd;
                return uint(std::clamp(std::lround(v), 0L, 255L)) << shift;
            };
            d[x] = ch(24) | ch(16) | ch(8) | ch(0);
        }
    }
}
