#include "svg/render/scanline.h"

#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// How far a flattened curve may stray from the true one, in device pixels.
constexpr double kTolerance = 0.02;
// Curves never split into more pieces than this, however large.
constexpr int kMaxPieces = 1000;
// The accumulation buffer holds at most this many cells; taller fills go in bands.
constexpr qsizetype kMaxCells = qsizetype(1) << 21;

// The accumulation buffer, zero between fills (the sweep clears what it reads). Every
// filler of a thread shares one, kept from drawing to drawing: no fill runs inside
// another, and a buffer of its size taken afresh for each canvas was faulted in and
// zeroed again for every document and pattern tile.
std::vector<float> &ThreadCells()
{
    thread_local std::vector<float> cells;
    return cells;
}

// The first cell in [From, Stop) that holds a delta, or Stop. Between an outline's edges
// a row is all zeros, and walking them cell by cell took most of the sweep over large
// shapes; eight at a time it costs a fraction. A cell counts as empty exactly when it
// compares equal to zero, either way.
int NextDelta(const float *row, int from, int stop)
{
#if defined(__SSE2__)
    const __m128 zero = _mm_setzero_ps();
    for (; from + 8 <= stop; from += 8) {
        const int low = _mm_movemask_ps(_mm_cmpneq_ps(_mm_loadu_ps(row + from), zero));
        const int high = _mm_movemask_ps(_mm_cmpneq_ps(_mm_loadu_ps(row + from + 4), zero));
        if (low | high)
            return from + __builtin_ctz(unsigned(low | high << 4));
    }
#endif
    while (from < stop && row[from] == 0)
        ++from;
    return from;
}

// Blends the premultiplied Src over pixels [From, To) of Dst, whose share Keep (of 255)
// stays: Dst = Src + Dst * Keep / 255 for each channel, rounded as SVGByteMul rounds.
// Every product fits sixteen bits, so four pixels go at once, two channels to a lane.
void BlendSpan(QRgb *dst, int from, int to, uint src, uint keep)
{
#if defined(__SSE2__)
    const __m128i source = _mm_set1_epi32(int(src));
    const __m128i factor = _mm_set1_epi16(short(keep));
    const __m128i half = _mm_set1_epi16(0x80);
    const __m128i low = _mm_set1_epi32(0x00ff00ff);
    for (; from + 4 <= to; from += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(dst + from));
        __m128i rb = _mm_mullo_epi16(_mm_and_si128(p, low), factor);
        __m128i ag = _mm_mullo_epi16(_mm_srli_epi16(p, 8), factor);
        rb = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(rb, _mm_srli_epi16(rb, 8)), half), 8);
        ag = _mm_andnot_si128(low, _mm_add_epi16(_mm_add_epi16(ag, _mm_srli_epi16(ag, 8)), half));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + from), _mm_add_epi32(_mm_or_si128(rb, ag), source));
    }
#endif
    for (; from < to; ++from)
        dst[from] = src + SVGByteMul(dst[from], keep);
}

} // namespace

bool TSVGScanlineFiller::Flatten(const QPainterPath &path, const QTransform &t)
{
    FPoints.clear();
    FStarts.clear();
    const int n = path.elementCount();
    FPoints.reserve(size_t(n) + 16);
    QPointF last;
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::CurveToElement && i + 2 < n) {
            const QPointF p0 = last;
            const QPointF p1 = t.map(QPointF(e.x, e.y));
            const QPointF p2 = t.map(QPointF(path.elementAt(i + 1).x, path.elementAt(i + 1).y));
            const QPointF p3 = t.map(QPointF(path.elementAt(i + 2).x, path.elementAt(i + 2).y));
            i += 2;
            // The pieces Wang's bound asks for to stay within the tolerance.
            const QPointF d1 = p0 - 2 * p1 + p2, d2 = p1 - 2 * p2 + p3;
            const double m = std::sqrt(std::max(QPointF::dotProduct(d1, d1), QPointF::dotProduct(d2, d2)));
            if (!std::isfinite(m))
                return false;
            // Clamped before the conversion: a huge curve asks for more pieces than an int holds.
            const int pieces = int(std::clamp(std::ceil(std::sqrt(0.75 * m / kTolerance)), 1.0, double(kMaxPieces)));
            // The cubic as a polynomial in t.
            const QPointF c = 3 * (p1 - p0), b = 3 * (p2 - p1) - c, a = p3 - p0 - c - b;
            for (int k = 1; k < pieces; ++k) {
                const double u = double(k) / pieces;
                FPoints.push_back(((a * u + b) * u + c) * u + p0);
            }
            FPoints.push_back(p3);
            last = p3;
            continue;
        }
        const QPointF p = t.map(QPointF(e.x, e.y));
        if (e.type == QPainterPath::MoveToElement)
            FStarts.push_back(FPoints.size());
        else if (FStarts.empty())
            FStarts.push_back(FPoints.size());
        FPoints.push_back(p);
        last = p;
    }
    if (FPoints.empty())
        return true;
    FMinX = FMaxX = FPoints[0].x();
    FMinY = FMaxY = FPoints[0].y();
    for (const QPointF &p : FPoints) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            return false;
        FMinX = std::min(FMinX, p.x());
        FMaxX = std::max(FMaxX, p.x());
        FMinY = std::min(FMinY, p.y());
        FMaxY = std::max(FMaxY, p.y());
    }
    return true;
}

void TSVGScanlineFiller::AddEdge(double x0, double y0, double x1, double y1)
{
    if (y0 == y1 || std::max(y0, y1) <= 0 || std::min(y0, y1) >= FHeight)
        return;
    const double w = FWidth;
    // An edge crossing the left or right side is cut there. What lies left of the area
    // still turns the coverage on or off for the whole row, so it runs down the left
    // side; what lies right of it touches no pixel.
    if ((x0 < 0 && x1 > 0) || (x0 > 0 && x1 < 0)) {
        const double y = y0 + (0 - x0) * (y1 - y0) / (x1 - x0);
        AddEdge(x0, y0, 0, y);
        AddEdge(0, y, x1, y1);
        return;
    }
    if ((x0 < w && x1 > w) || (x0 > w && x1 < w)) {
        const double y = y0 + (w - x0) * (y1 - y0) / (x1 - x0);
        AddEdge(x0, y0, w, y);
        AddEdge(w, y, x1, y1);
        return;
    }
    if (x0 >= w && x1 >= w)
        return;
    AddInsideEdge(std::clamp(x0, 0.0, w), y0, std::clamp(x1, 0.0, w), y1);
}

void TSVGScanlineFiller::AddInsideEdge(double x0, double y0, double x1, double y1)
{
    float dir = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1;
    }
    const double dxdy = (x1 - x0) / (y1 - y0);
    const double w = FWidth;
    double x = x0;
    if (y0 < 0) {
        x = std::clamp(x0 - y0 * dxdy, 0.0, w);
        y0 = 0;
    }
    y1 = std::min(y1, double(FHeight));
    const int last = std::min(FHeight, int(std::ceil(y1)));
    for (int y = int(std::floor(y0)); y < last; ++y) {
        const double dy = std::min(y + 1.0, y1) - std::max(double(y), y0);
        const double xnext = std::clamp(x + dxdy * dy, 0.0, w);
        const float d = float(dy) * dir;
        float *row = FCells + qsizetype(y) * FStride;
        const double lo = std::min(x, xnext), hi = std::max(x, xnext);
        const int lo_i = int(lo);  // both are at least 0
        const int hi_i = int(std::ceil(hi));
        FRowMin[y] = std::min(FRowMin[y], lo_i);
        FRowMax[y] = std::max(FRowMax[y], std::max(hi_i, lo_i + 1));
        if (hi_i <= lo_i + 1) {
            // Within one column: the area right of the edge's mean x there.
            const float mid = float(0.5 * (x + xnext) - lo_i);
            row[lo_i] += d * (1 - mid);
            row[lo_i + 1] += d * mid;
        } else {
            // Across several columns: a triangle in the first, trapezoids after it, a
            // triangle's complement in the last.
            const double s = 1 / (hi - lo);
            const double lof = lo - lo_i;
            const double a0 = 0.5 * s * (1 - lof) * (1 - lof);
            const double hif = hi - hi_i + 1;
            const double am = 0.5 * s * hif * hif;
            row[lo_i] += d * float(a0);
            if (hi_i == lo_i + 2) {
                row[lo_i + 1] += d * float(1 - a0 - am);
            } else {
                const double a1 = s * (1.5 - lof);
                row[lo_i + 1] += d * float(a1 - a0);
                const float step = d * float(s);
                for (int xi = lo_i + 2; xi < hi_i - 1; ++xi)
                    row[xi] += step;
                const double a2 = a1 + (hi_i - lo_i - 3) * s;
                row[hi_i - 1] += d * float(1 - a2 - am);
            }
            row[hi_i] += d * float(am);
        }
        x = xnext;
    }
}

bool TSVGScanlineFiller::Fill(uchar *bits, qsizetype bytesPerLine, const QRect &clip, const QPainterPath &path,
                              const QTransform &t, QRgb color, float opacity)
{
    if (!Flatten(path, t))
        return false;
    if (FPoints.empty() || clip.isEmpty() || !(opacity > 0))
        return true;
    // Only rows the outline reaches, and columns from its left end: coverage right of
    // its right end is what the row's sum leaves there, which is nothing.
    const auto within = [](double v, int lo, int hi) { return std::clamp(v, double(lo), double(hi)); };
    const QRect area = QRect(QPoint(int(std::floor(within(FMinX, clip.left(), clip.right() + 1))),
                                    int(std::floor(within(FMinY, clip.top(), clip.bottom() + 1)))),
                             QPoint(int(std::ceil(within(FMaxX, clip.left(), clip.right() + 1))) - 1,
                                    int(std::ceil(within(FMaxY, clip.top(), clip.bottom() + 1))) - 1)) &
                       clip;
    if (area.isEmpty())
        return true;
    FWidth = area.width();
    FStride = FWidth + 2;
    const int bandRows = int(std::max<qsizetype>(1, kMaxCells / FStride));
    const bool evenOdd = path.fillRule() == Qt::OddEvenFill;
    const float scale = 255 * std::min(1.0f, opacity);
    const bool opaque = qAlpha(color) == 255 && opacity >= 1;
    // Blends the colour over pixels [From, To) of a row at the coverage a running sum
    // of signed areas gives under the fill rule.
    const auto blend = [&](QRgb *dst, int from, int to, float sum) {
        if (from >= to)
            return;
        float c = std::fabs(sum);
        if (evenOdd) {
            c -= 2 * float(int(c * 0.5f));
            if (c > 1)
                c = 2 - c;
        } else if (c > 1) {
            c = 1;
        }
        const uint m = std::min(uint(c * scale + 0.5f), 255u);
        if (m == 0)
            return;
        if (m == 255 && opaque) {
            std::fill(dst + from, dst + to, color);
            return;
        }
        const uint src = SVGByteMul(color, m);
        BlendSpan(dst, from, to, src, 255 - qAlpha(src));
    };
    for (int top = area.top(); top <= area.bottom(); top += bandRows) {
        FHeight = std::min(bandRows, area.bottom() + 1 - top);
        const size_t cells = size_t(FStride) * size_t(FHeight);
        std::vector<float> &buffer = ThreadCells();
        if (buffer.size() < cells)
            buffer.resize(cells, 0.0f);
        FCells = buffer.data();
        FRowMin.assign(size_t(FHeight), FWidth + 2);
        FRowMax.assign(size_t(FHeight), -1);
        for (size_t s = 0; s < FStarts.size(); ++s) {
            const size_t begin = FStarts[s];
            const size_t end = s + 1 < FStarts.size() ? FStarts[s + 1] : FPoints.size();
            for (size_t i = begin; i < end; ++i) {
                // The last point joins the first: a fill closes every subpath.
                const QPointF &p = FPoints[i];
                const QPointF &q = FPoints[i + 1 < end ? i + 1 : begin];
                AddEdge(p.x() - area.left(), p.y() - top, q.x() - area.left(), q.y() - top);
            }
        }
        for (int r = 0; r < FHeight; ++r) {
            const int lo = FRowMin[r], hi = FRowMax[r];
            if (lo > hi)
                continue;  // no edge in this row: nothing covers it
            float *row = FCells + qsizetype(r) * FStride;
            QRgb *dst = reinterpret_cast<QRgb *>(bits + qsizetype(top + r) * bytesPerLine) + area.left();
            const int stop = std::min(hi + 1, FWidth);
            float sum = 0;
            int x = lo;
            while (x < stop) {
                if (row[x] != 0) {
                    sum += row[x];
                    row[x] = 0;
                    blend(dst, x, x + 1, sum);
                    ++x;
                    continue;
                }
                // Between edges the coverage stays as it is.
                const int next = NextDelta(row, x + 1, stop);
                blend(dst, x, next, sum);
                x = next;
            }
            // Past the last edge the row keeps its coverage: nothing, unless the outline
            // goes on beyond the right side.
            blend(dst, x, FWidth, sum);
            row[FWidth] = 0;
            row[FWidth + 1] = 0;
        }
    }
    return true;
}
