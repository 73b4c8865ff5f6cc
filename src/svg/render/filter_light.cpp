// Filter kernels that make pictures rather than change them: diffuse and specular
// lighting of the input's alpha as a height map, and turbulence (the reference Perlin
// noise of the filter effects specification, with its exact numbers).

#include "svg/render/filter_raster.h"

#include "svg/model/values/exception.h"

#include <algorithm>
#include <cmath>

namespace {

struct TVec {
    double X, Y, Z;
};

TVec Normalised(const TVec &v)
{
    const double n = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    return n > 0 ? TVec{v.X / n, v.Y / n, v.Z / n} : TVec{0, 0, 0};
}

double Dot(const TVec &a, const TVec &b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }

} // namespace

void SVGFilterLighting(const QImage &input, QImage &output, const TSVGLighting &l)
{
    const int w = input.width(), h = input.height();
    const auto alpha = [&input](int x, int y) {
        return qAlpha(reinterpret_cast<const QRgb *>(input.constScanLine(y))[x]) / 255.0;
    };
    const TVec distant{std::cos(l.Azimuth) * std::cos(l.Elevation), std::sin(l.Azimuth) * std::cos(l.Elevation),
                       std::sin(l.Elevation)};
    const TVec spotAxis = Normalised({l.PointsAt.X - l.Position.X, l.PointsAt.Y - l.Position.Y,
                                      l.PointsAt.Z - l.Position.Z});
    const double coneCos = l.HasCone ? std::cos(l.ConeAngle) : -2;
    const TSVGRgba color = SVGFilterUnpremultiply(qPremultiply(l.Color));
    for (int y = 0; y < h; ++y) {
        auto *out = reinterpret_cast<QRgb *>(output.scanLine(y));
        const int top = y > 0 ? y - 1 : y, bottom = y < h - 1 ? y + 1 : y;
        for (int x = 0; x < w; ++x) {
            const int left = x > 0 ? x - 1 : x, right = x < w - 1 ? x + 1 : x;
            // Sobel gradients; at the edges the missing row or column is the pixel's own,
            // with the factors the specification gives for edges and corners.
            const bool rowsBoth = top != y && bottom != y, colsBoth = left != x && right != x;
            const auto column = [&](int cx) {
                return rowsBoth ? alpha(cx, top) + 2 * alpha(cx, y) + alpha(cx, bottom)
                                : 2 * alpha(cx, y) + alpha(cx, top != y ? top : bottom);
            };
            const auto row = [&](int cy) {
                return colsBoth ? alpha(left, cy) + 2 * alpha(x, cy) + alpha(right, cy)
                                : 2 * alpha(x, cy) + alpha(left != x ? left : right, cy);
            };
            const double fx = (rowsBoth ? 0.25 : 1.0 / 3) * (colsBoth ? 1 : 2);
            const double fy = (colsBoth ? 0.25 : 1.0 / 3) * (rowsBoth ? 1 : 2);
            const double nx = w > 1 ? -l.SurfaceScale * fx * (column(right) - column(left)) : 0;
            const double ny = h > 1 ? -l.SurfaceScale * fy * (row(bottom) - row(top)) : 0;
            const TVec n = Normalised({nx, ny, 1});
            TVec light = distant;
            double r = color.R, g = color.G, b = color.B;
            if (l.Kind != TSVGLightKind::Distant) {
                const double z = l.SurfaceScale * alpha(x, y);
                light = Normalised({l.Position.X - x, l.Position.Y - y, l.Position.Z - z});
                if (l.Kind == TSVGLightKind::Spot) {
                    const double minusLS = -Dot(light, spotAxis);
                    const double f = minusLS < coneCos || minusLS <= 0 ? 0 : std::pow(minusLS, l.SpotExponent);
                    r *= f;
                    g *= f;
                    b *= f;
                }
            }
            double factor;
            if (l.Specular) {
                const TVec half = Normalised({light.X, light.Y, light.Z + 1});
                factor = l.Constant * std::pow(std::max(0.0, Dot(n, half)), l.Exponent);
            } else {
                factor = l.Constant * std::max(0.0, Dot(n, light));
            }
            const float fr = float(std::clamp(r * factor, 0.0, 1.0)), fg = float(std::clamp(g * factor, 0.0, 1.0)),
                        fb = float(std::clamp(b * factor, 0.0, 1.0));
            // Specular light is added onto a picture: its channels stand as they are,
            // premultiplied by an alpha of their greatest.
            out[x] = l.Specular ? qRgba(qRound(fr * 255), qRound(fg * 255), qRound(fb * 255),
                                        qRound(std::max({fr, fg, fb}) * 255))
                                : SVGFilterPremultiply(fr, fg, fb, 1.0f);
        }
    }
}

namespace {

// --- turbulence, as the reference code has it
constexpr int BSize = 0x100;
constexpr int BM = 0xff;
constexpr int PerlinN = 0x1000;
constexpr long RandM = 2147483647, RandA = 16807, RandQ = 127773, RandR = 2836;

long SetupSeed(long seed)
{
    if (seed <= 0)
        seed = -(seed % (RandM - 1)) + 1;
    if (seed > RandM - 1)
        seed = RandM - 1;
    return seed;
}

long Random(long seed)
{
    long result = RandA * (seed % RandQ) - RandR * (seed / RandQ);
    if (result <= 0)
        result += RandM;
    return result;
}

struct TNoise {
    int Lattice[BSize + BSize + 2];
    double Gradient[4][BSize + BSize + 2][2];

    explicit TNoise(long seed)
    {
        seed = SetupSeed(seed);
        int i = 0;
        for (int k = 0; k < 4; ++k) {
            for (i = 0; i < BSize; ++i) {
                Lattice[i] = i;
                for (int j = 0; j < 2; ++j)
                    Gradient[k][i][j] = double(((seed = Random(seed)) % (BSize + BSize)) - BSize) / BSize;
                const double s = std::sqrt(Gradient[k][i][0] * Gradient[k][i][0] + Gradient[k][i][1] * Gradient[k][i][1]);
                if (s > 0) {
                    Gradient[k][i][0] /= s;
                    Gradient[k][i][1] /= s;
                }
            }
        }
        while (--i) {
            const int k = Lattice[i];
            const int j = int((seed = Random(seed)) % BSize);
            Lattice[i] = Lattice[j];
            Lattice[j] = k;
        }
        for (i = 0; i < BSize + 2; ++i) {
            Lattice[BSize + i] = Lattice[i];
            for (int k = 0; k < 4; ++k)
                for (int j = 0; j < 2; ++j)
                    Gradient[k][BSize + i][j] = Gradient[k][i][j];
        }
    }
};

struct TStitch {
    int Width, Height, WrapX, WrapY;
};

double SCurve(double t) { return t * t * (3. - 2. * t); }
double Lerp(double t, double a, double b) { return a + t * (b - a); }

// The whole part of T as the reference's (int) cast gives it, in the lattice's period,
// so that no coordinate overflows the conversion.
int Whole(double t)
{
    return int(std::fmod(std::trunc(t), double(1 << 30)));
}

double Noise2(const TNoise &n, int channel, const double vec[2], const TStitch *stitch)
{
    double t = vec[0] + PerlinN;
    int bx0 = Whole(t) & BM;
    int bx1 = (bx0 + 1) & BM;
    const double rx0 = t - std::trunc(t), rx1 = rx0 - 1.0;
    t = vec[1] + PerlinN;
    int by0 = Whole(t) & BM;
    int by1 = (by0 + 1) & BM;
    const double ry0 = t - std::trunc(t), ry1 = ry0 - 1.0;
    if (stitch) {
        if (bx0 >= stitch->WrapX)
            bx0 -= stitch->Width;
        if (bx1 >= stitch->WrapX)
            bx1 -= stitch->Width;
        if (by0 >= stitch->WrapY)
            by0 -= stitch->Height;
        if (by1 >= stitch->WrapY)
            by1 -= stitch->Height;
    }
    bx0 &= BM;
    bx1 &= BM;
    by0 &= BM;
    by1 &= BM;
    const int i = n.Lattice[bx0], j = n.Lattice[bx1];
    const int b00 = n.Lattice[i + by0], b10 = n.Lattice[j + by0], b01 = n.Lattice[i + by1], b11 = n.Lattice[j + by1];
    const double sx = SCurve(rx0), sy = SCurve(ry0);
    const double *q = n.Gradient[channel][b00];
    double u = rx0 * q[0] + ry0 * q[1];
    q = n.Gradient[channel][b10];
    double v = rx1 * q[0] + ry0 * q[1];
    const double a = Lerp(sx, u, v);
    q = n.Gradient[channel][b01];
    u = rx0 * q[0] + ry1 * q[1];
    q = n.Gradient[channel][b11];
    v = rx1 * q[0] + ry1 * q[1];
    const double b = Lerp(sx, u, v);
    return Lerp(sy, a, b);
}

double Turbulence(const TNoise &n, int channel, const double point[2], double freqX, double freqY, int octaves,
                  bool fractal, bool stitching, const QRectF &tile)
{
    TStitch stitch{};
    const TStitch *ps = nullptr;
    if (stitching) {
        if (freqX != 0.0) {
            const double lo = std::floor(tile.width() * freqX) / tile.width();
            const double hi = std::ceil(tile.width() * freqX) / tile.width();
            freqX = freqX / lo < hi / freqX ? lo : hi;
        }
        if (freqY != 0.0) {
            const double lo = std::floor(tile.height() * freqY) / tile.height();
            const double hi = std::ceil(tile.height() * freqY) / tile.height();
            freqY = freqY / lo < hi / freqY ? lo : hi;
        }
        ps = &stitch;
        const auto clampInt = [](double v) { return int(std::clamp(v, -1e9, 1e9)); };
        stitch.Width = clampInt(tile.width() * freqX + 0.5);
        stitch.WrapX = clampInt(tile.x() * freqX + PerlinN + stitch.Width);
        stitch.Height = clampInt(tile.height() * freqY + 0.5);
        stitch.WrapY = clampInt(tile.y() * freqY + PerlinN + stitch.Height);
    }
    double sum = 0;
    double vec[2] = {point[0] * freqX, point[1] * freqY};
    double ratio = 1;
    for (int octave = 0; octave < octaves; ++octave) {
        const double v = Noise2(n, channel, vec, ps);
        sum += (fractal ? v : std::fabs(v)) / ratio;
        vec[0] *= 2;
        vec[1] *= 2;
        ratio *= 2;
        if (ps) {
            stitch.Width = int(std::clamp(2.0 * stitch.Width, -1e9, 1e9));
            stitch.WrapX = int(std::clamp(2.0 * stitch.WrapX - PerlinN, -1e9, 1e9));
            stitch.Height = int(std::clamp(2.0 * stitch.Height, -1e9, 1e9));
            stitch.WrapY = int(std::clamp(2.0 * stitch.WrapY - PerlinN, -1e9, 1e9));
        }
    }
    return sum;
}

} // namespace

void SVGFilterTurbulence(QImage &output, const QRect &area, const TSVGTurbulence &t)
{
    // Past ten octaves each adds less than half a step of a byte: nothing that shows.
    const int octaves = std::clamp(t.Octaves, 0, 10);
    const QRect r = area & output.rect();
    if (4.0 * octaves * r.width() * r.height() > SVGMaxTurbulenceSamples)
        throw ESVGException(QStringLiteral("Filter too costly: turbulence of %1 octaves over %2 x %3 pixels")
                                .arg(octaves).arg(r.width()).arg(r.height()));
    const TNoise noise(t.Seed);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(output.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x) {
            const QPointF user = t.ToUser.map(QPointF(x, y));
            const double point[2] = {user.x(), user.y()};
            float ch[4];
            for (int c = 0; c < 4; ++c) {
                const double v = Turbulence(noise, c, point, t.FreqX, t.FreqY, octaves, t.Fractal, t.Stitch, t.Tile);
                ch[c] = float(std::clamp(t.Fractal ? (v * 255 + 255) / 2 : v * 255, 0.0, 255.0) / 255);
            }
            line[x] = SVGFilterPremultiply(ch[0], ch[1], ch[2], ch[3]);
        }
    }
}
