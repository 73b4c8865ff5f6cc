#pragma once
// Every raster the engine allocates comes through here: the picture, pattern tiles and
// group layers. A document or an option can then ask for no more memory than a few
// pictures of a fixed size, whatever its numbers say, and learns so from a message
// instead of from the allocator.

#include <QImage>
#include <QSize>

// The most pixels of one raster: 16,777,216 (4096 x 4096, 64 MiB). More raises
// ESVGException "Picture too large: %1 x %2 pixels (at most 16777216)".
inline constexpr qint64 SVGMaxRasterPixels = 16'777'216;
// The most pixels of group layers and pattern tiles that one thread holds at once while
// drawing, four such rasters. More raises ESVGException "Drawing too large: its layers
// and tiles need more than 67108864 pixels at once".
inline constexpr qint64 SVGMaxDrawingPixels = 4 * SVGMaxRasterPixels;

// Raises as above for a size of more than SVGMaxRasterPixels pixels.
void SVGCheckRasterSize(const QSize &size);
// A transparent premultiplied raster of that size, checked as above, its memory from
// the thread's raster pool (raster_pool.h). When the memory is not there after all:
// ESVGException "Out of memory for a %1 x %2 picture".
QImage SVGNewRaster(const QSize &size);

// Counts a layer's or tile's pixels against SVGMaxDrawingPixels while it lives.
class TSVGRasterReservation {
public:
    TSVGRasterReservation() = default;
    explicit TSVGRasterReservation(const QSize &size);
    ~TSVGRasterReservation();
    TSVGRasterReservation(TSVGRasterReservation &&other) noexcept;
    TSVGRasterReservation &operator=(TSVGRasterReservation &&other) noexcept;
    TSVGRasterReservation(const TSVGRasterReservation &) = delete;
    TSVGRasterReservation &operator=(const TSVGRasterReservation &) = delete;

    // Pixels reserved on this thread now.
    static qint64 Live();

private:
    qint64 FPixels = 0;
};
