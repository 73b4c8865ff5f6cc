#pragma once
// Raster memory kept between drawings. Every drawing needs a picture and often layers,
// coverages and tiles of the same few sizes; allocated afresh, each is faulted in and
// zeroed page by page again, and once the allocator hands such blocks back to the
// system (its threshold for that moves with use) a long run of documents gets slower
// and slower. Here each thread keeps the blocks it let go of and hands them out again,
// cleared.
//
// A raster's memory returns to the pool of the thread that took it when the last
// QImage sharing it goes, on whatever thread that happens. The pool keeps at most
// SVGRasterPoolBytes of free blocks per thread and lets go of the rest; a block is
// never handed out for a raster of less than half its size, so a small raster does not
// pin a large block.

#include <QImage>
#include <QSize>

inline constexpr qint64 SVGRasterPoolBytes = 96 * 1024 * 1024;

// A transparent premultiplied ARGB32 raster of that size (not empty) from this
// thread's pool; a null image when the memory is not there.
QImage SVGPooledRaster(const QSize &size);

// Bytes of free blocks this thread's pool holds.
qint64 SVGRasterPoolFreeBytes();
