// Filter kernels over neighbourhoods: blur, morphology and offset. Each works line by
// line over premultiplied pixels with a cost per pixel that does not depend on the size
// of the neighbourhood (running sums, monotone windows), so that a hostile deviation or
// radius costs no more than a modest one.

#include "svg/render/filter_raster.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace {

// One line of pixels split into four channels (B, G, R, A in memory order).
using TLine = std::vector<std::array<int, 4>>;

void ReadLine(const QImage &image, bool column, int index, TLine &line)
{
    const int n = column ? image.height() : image.width();
    line.resize(size_t(n));
    for (int i = 0; i < n; ++i) {
        const QRgb p = column ? reinterpret_cast<const QRgb *>(image.constScanLine(i))[index]
                              : reinterpret_cast<const QRgb *>(image.constScanLine(index))[i];
        line[size_t(i)] = {int(p & 0xff), int((p >> 8) & 0xff), int((p >> 16) & 0xff), int(p >> 24)};
    }
}

void WriteLine(QImage &image, bool column, int index, const TLine &line)
{
    const int n = int(line.size());
    for (int i = 0; i < n; ++i) {
        const auto &c = line[size_t(i)];
        const QRgb p = QRgb(c[0]) | (QRgb(c[1]) << 8) | (QRgb(c[2]) << 16) | (QRgb(c[3]) << 24);
        if (column)
            reinterpret_cast<QRgb *>(image.scanLine(i))[index] = p;
        else
            reinterpret_cast<QRgb *>(image.scanLine(index))[i] = p;
    }
}

// A box of Left + 1 + Right pixels by a running sum; pixels beyond the line count as
// transparent.
void BoxPass(const TLine &in, TLine &out, int left, int right)
{
    const int n = int(in.size());
    out.assign(in.size(), {0, 0, 0, 0});
    const qint64 size = qint64(left) + right + 1;
    std::array<qint64, 4> sum{};
    // The window of out[0] is [-left, right].
    for (int i = 0; i <= std::min<qint64>(right, n - 1); ++i)
        for (int c = 0; c < 4; ++c)
            sum[c] += in[size_t(i)][c];
    for (int x = 0; x < n; ++x) {
        for (int c = 0; c < 4; ++c)
            out[size_t(x)][c] = int((sum[c] + size / 2) / size);
        const qint64 enter = qint64(x) + right + 1, leave = qint64(x) - left;
        if (enter < n)
            for (int c = 0; c < 4; ++c)
                sum[c] += in[size_t(enter)][c];
        if (leave >= 0)
            for (int c = 0; c < 4; ++c)
                sum[c] -= in[size_t(leave)][c];
    }
}

void GaussianPass(const TLine &in, TLine &out, const std::vector<double> &kernel)
{
    const int n = int(in.size());
    const int r = int(kernel.size() / 2);
    out.assign(in.size(), {0, 0, 0, 0});
    for (int x = 0; x < n; ++x) {
        std::array<double, 4> acc{};
        for (int k = -r; k <= r; ++k) {
            const int i = x + k;
            if (i < 0 || i >= n)
                continue;
            for (int c = 0; c < 4; ++c)
                acc[c] += in[size_t(i)][c] * kernel[size_t(k + r)];
        }
        for (int c = 0; c < 4; ++c)
            out[size_t(x)][c] = std::clamp(int(std::lround(acc[c])), 0, 255);
    }
}

void BlurAxis(QImage &image, bool column, double deviation)
{
    if (!(deviation > 0))
        return;
    const int lines = column ? image.width() : image.height();
    const int length = column ? image.height() : image.width();
    TLine a, b;
    if (deviation < 2.0) {
        const int r = int(std::ceil(deviation * 3));
        std::vector<double> kernel(size_t(2 * r + 1));
        double total = 0;
        for (int i = -r; i <= r; ++i)
            total += kernel[size_t(i + r)] = std::exp(-(i * i) / (2 * deviation * deviation));
        for (double &k : kernel)
            k /= total;
        for (int l = 0; l < lines; ++l) {
            ReadLine(image, column, l, a);
            GaussianPass(a, b, kernel);
            WriteLine(image, column, l, b);
        }
        return;
    }
    // Three boxes approximate the Gaussian; a box wider than twice the line reaches
    // nothing more, so its size is capped there.
    const double d0 = std::floor(deviation * 3 * std::sqrt(2 * M_PI) / 4 + 0.5);
    const int d = int(std::min<double>(d0, 2.0 * length + 3));
    for (int l = 0; l < lines; ++l) {
        ReadLine(image, column, l, a);
        if (d % 2 == 1) {
            BoxPass(a, b, d / 2, d / 2);
            BoxPass(b, a, d / 2, d / 2);
            BoxPass(a, b, d / 2, d / 2);
        } else {
            BoxPass(a, b, d / 2, d / 2 - 1);
            BoxPass(b, a, d / 2 - 1, d / 2);
            BoxPass(a, b, d / 2, d / 2);
        }
        WriteLine(image, column, l, b);
    }
}

// The least (or greatest) of each channel in a window of Radius pixels either side, by
// a monotone queue of candidates per channel.
void MorphologyPass(const TLine &in, TLine &out, int radius, bool dilate)
{
    const int n = int(in.size());
    out.assign(in.size(), {0, 0, 0, 0});
    const auto better = [dilate](int a, int b) { return dilate ? a >= b : a <= b; };
    for (int c = 0; c < 4; ++c) {
        std::deque<int> q;
        int next = 0;
        for (int x = 0; x < n; ++x) {
            const qint64 hi = std::min<qint64>(qint64(x) + radius, n - 1);
            for (; next <= hi; ++next) {
                while (!q.empty() && better(in[size_t(next)][c], in[size_t(q.back())][c]))
                    q.pop_back();
                q.push_back(next);
            }
            while (q.front() < qint64(x) - radius)
                q.pop_front();
            out[size_t(x)][c] = in[size_t(q.front())][c];
        }
    }
}

} // namespace

void SVGFilterBlur(QImage &image, double deviationX, double deviationY)
{
    BlurAxis(image, false, deviationX);
    BlurAxis(image, true, deviationY);
}

void SVGFilterMorphology(QImage &image, int radiusX, int radiusY, bool dilate)
{
    TLine a, b;
    // A window wider than the picture sees all of it; no larger one is needed.
    radiusX = std::min(radiusX, image.width());
    radiusY = std::min(radiusY, image.height());
    for (int l = 0; l < image.height(); ++l) {
        ReadLine(image, false, l, a);
        MorphologyPass(a, b, radiusX, dilate);
        WriteLine(image, false, l, b);
    }
    for (int l = 0; l < image.width(); ++l) {
        ReadLine(image, true, l, a);
        MorphologyPass(a, b, radiusY, dilate);
        WriteLine(image, true, l, b);
    }
}

QImage SVGFilterOffset(const QImage &image, int dx, int dy)
{
    QImage out = SVGNewRaster(image.size());
    const QRect target = image.rect().translated(dx, dy) & image.rect();
    for (int y = target.top(); y <= target.bottom(); ++y) {
        const auto *s = reinterpret_cast<const QRgb *>(image.constScanLine(y - dy));
        auto *d = reinterpret_cast<QRgb *>(out.scanLine(y));
        std::copy(s + target.left() - dx, s + target.right() + 1 - dx, d + target.left());
    }
    return out;
}

void SVGFilterConvolve(const QImage &input, QImage &output, const TSVGConvolution &k)
{
    const int w = input.width(), h = input.height();
    QImage source = input;
    if (k.PreserveAlpha)
        source = input.convertToFormat(QImage::Format_ARGB32);
    const auto pixel = [&source, w, h, &k](int x, int y, bool &inside) -> QRgb {
        inside = true;
        if (x < 0 || x >= w || y < 0 || y >= h) {
            switch (k.Edge) {
            case TSVGConvolution::TEdge::Duplicate:
                x = std::clamp(x, 0, w - 1);
                y = std::clamp(y, 0, h - 1);
                break;
            case TSVGConvolution::TEdge::Wrap:
                x = ((x % w) + w) % w;
                y = ((y % h) + h) % h;
                break;
            case TSVGConvolution::TEdge::None:
                inside = false;
                return 0;
            }
        }
        return reinterpret_cast<const QRgb *>(source.constScanLine(y))[x];
    };
    for (int y = 0; y < h; ++y) {
        auto *out = reinterpret_cast<QRgb *>(output.scanLine(y));
        for (int x = 0; x < w; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int oy = 0; oy < k.OrderY; ++oy)
                for (int ox = 0; ox < k.OrderX; ++ox) {
                    bool inside = true;
                    const QRgb p = pixel(x - k.TargetX + ox, y - k.TargetY + oy, inside);
                    if (!inside)
                        continue;
                    const double m = k.Kernel[size_t((k.OrderY - oy - 1) * k.OrderX + (k.OrderX - ox - 1))];
                    r += qRed(p) / 255.0 * m;
                    g += qGreen(p) / 255.0 * m;
                    b += qBlue(p) / 255.0 * m;
                    a += qAlpha(p) / 255.0 * m;
                }
            const QRgb self = reinterpret_cast<const QRgb *>(source.constScanLine(y))[x];
            const double na = k.PreserveAlpha ? qAlpha(self) / 255.0 : a / k.Divisor + k.Bias;
            const double bounded = std::clamp(na, 0.0, 1.0);
            const auto channel = [&](double v) {
                v = v / k.Divisor + k.Bias * na;
                v = k.PreserveAlpha ? std::clamp(v, 0.0, 1.0) * bounded : std::clamp(v, 0.0, bounded);
                return int(v * 255 + 0.5);
            };
            out[x] = qRgba(channel(r), channel(g), channel(b), int(bounded * 255 + 0.5));
        }
    }
}
