// The path-data parser on arbitrary text. It must never raise, must only store finite
// coordinates, must read 8-bit and UTF-16 text alike, and its textual form must read
// back to the same points.

#include "svg/model/path/path_data.h"
#include "svg/model/path/path_parser.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    TRSPathData path;
    path.SetData(QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));

    TPathData narrow;
    ParsePathData(narrow, bytes);
    if (narrow.Points() != path.Points())
        std::abort();

    // The rectangle keeps its left and top exactly; right and bottom come back through
    // a width, which may round when coordinates of very different sizes meet.
    const QRectF bounds = path.GetBounds();
    auto beyond = [](double v, double edge, double extent) {
        return v > edge + 1e-6 * (std::abs(edge) + extent) + 1e-6;
    };
    for (const TPathPoint &p : path.Points()) {
        if (!std::isfinite(p.Point.X) || !std::isfinite(p.Point.Y))
            std::abort();
        if (p.Kind != TPathPointKind::Close &&
            (p.Point.X < bounds.left() || beyond(p.Point.X, bounds.right(), bounds.width()) ||
             p.Point.Y < bounds.top() || beyond(p.Point.Y, bounds.bottom(), bounds.height())))
            std::abort();
    }

    const TRSPathData again(path.Data());
    if (again.Points() != path.Points())
        std::abort();

    (void)path.ToQPainterPath();
    TRSPathData flat(path);
    flat.Flatten(0.25f);
    return 0;
}
