#include "svg/render/raster_limits.h"

#include "svg/model/values/exception.h"
#include "svg/render/raster_pool.h"

#include <utility>

namespace {

thread_local qint64 LivePixels = 0;

} // namespace

void SVGCheckRasterSize(const QSize &size)
{
    if (qint64(size.width()) * qint64(size.height()) > SVGMaxRasterPixels)
        throw ESVGException(QStringLiteral("Picture too large: %1 x %2 pixels (at most %3)")
                                .arg(size.width())
                                .arg(size.height())
                                .arg(SVGMaxRasterPixels));
}

QImage SVGNewRaster(const QSize &size)
{
    SVGCheckRasterSize(size);
    QImage image = SVGPooledRaster(size);
    if (image.isNull() && !size.isEmpty())
        throw ESVGException(
            QStringLiteral("Out of memory for a %1 x %2 picture").arg(size.width()).arg(size.height()));
    return image;
}

TSVGRasterReservation::TSVGRasterReservation(const QSize &size)
{
    SVGCheckRasterSize(size);
    const qint64 pixels = qint64(size.width()) * qint64(size.height());
    if (LivePixels + pixels > SVGMaxDrawingPixels)
        throw ESVGException(QStringLiteral("Drawing too large: its layers and tiles need more than %1 pixels at once")
                                .arg(SVGMaxDrawingPixels));
    LivePixels += pixels;
    FPixels = pixels;
}

TSVGRasterReservation::~TSVGRasterReservation()
{
    LivePixels -= FPixels;
}

TSVGRasterReservation::TSVGRasterReservation(TSVGRasterReservation &&other) noexcept
    : FPixels(std::exchange(other.FPixels, 0))
{
}

TSVGRasterReservation &TSVGRasterReservation::operator=(TSVGRasterReservation &&other) noexcept
{
    if (this != &other) {
        LivePixels -= FPixels;
        FPixels = std::exchange(other.FPixels, 0);
    }
    return *this;
}

qint64 TSVGRasterReservation::Live()
{
    return LivePixels;
}
