#pragma once
// Antialiased solid fills of outlines, straight into a premultiplied ARGB32 picture.
//
// Qt's raster engine keeps the cells of an outline in a small pool and, when the pool
// runs out, cuts the picture into bands and walks the whole outline once per band; a
// large detailed icon is walked a dozen times or more. This filler walks it once: each
// edge adds its signed area to an accumulation buffer over the outline's bounds, and
// one sweep per row turns the running sums into coverage (exact area coverage, as Qt's
// rasterizer computes it) and blends the colour source-over.

#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QRect>
#include <QTransform>
#include <vector>

// Scales each channel of the premultiplied pixel P by M / 255, rounded to nearest.
inline uint SVGByteMul(uint p, uint m)
{
    uint rb = (p & 0x00ff00ffu) * m;
    rb = ((rb + ((rb >> 8) & 0x00ff00ffu) + 0x00800080u) >> 8) & 0x00ff00ffu;
    uint ag = ((p >> 8) & 0x00ff00ffu) * m;
    ag = (ag + ((ag >> 8) & 0x00ff00ffu) + 0x00800080u) & 0xff00ff00u;
    return rb | ag;
}

class TSVGScanlineFiller {
public:
    // Fills Path, mapped by T, into Target (which must be Format_ARGB32_Premultiplied and
    // whose pixels start at Bits), within Clip (device pixels), with the premultiplied
    // colour Color scaled by Opacity, under the path's fill rule. False, with nothing
    // drawn, when the outline cannot be taken this way (coordinates that are not
    // finite); the caller then fills it by other means.
    bool Fill(uchar *bits, qsizetype bytesPerLine, const QRect &clip, const QPainterPath &path,
              const QTransform &t, QRgb color, float opacity);

private:
    // Flattens Path into device polygons (FPoints, with FStarts marking where each one
    // begins) and their bounds. False when a coordinate is not finite.
    bool Flatten(const QPainterPath &path, const QTransform &t);
    void AddEdge(double x0, double y0, double x1, double y1);
    void AddInsideEdge(double x0, double y0, double x1, double y1);

    std::vector<QPointF> FPoints;
    std::vector<size_t> FStarts;
    double FMinX = 0, FMinY = 0, FMaxX = 0, FMaxY = 0;
    // Signed area deltas for the rows being filled: FWidth + 2 cells a row, in the
    // thread's accumulation buffer during a fill.
    float *FCells = nullptr;
    int FWidth = 0, FHeight = 0, FStride = 0;
    // The first and last cell each row of the band was touched at.
    std::vector<int> FRowMin, FRowMax;
};
