#include "svg/render/pattern.h"

#include "svg/model/dom/custom_viewbox.h"
#include "svg/model/dom/paint_servers.h"
#include "svg/model/values/transform.h"
#include "svg/model/values/units.h"
#include "svg/model/values/viewbox.h"
#include "svg/render/draw.h"
#include "svg/render/gradient.h"
#include "svg/render/paint.h"
#include "svg/render/raster_limits.h"

#include <cmath>

namespace {

bool HasGraphicChildren(const TSVGElement &e)
{
    for (int i = 0; i < e.Count(); ++i)
        if (dynamic_cast<const TSVGGraphicElement *>(e.Items(i)))
            return true;
    return false;
}

// A side or corner of the tile: a fraction of the bounding box, or user units with a
// percentage taken of the user's viewport.
float TileLength(TSVGLength length, bool boundingBox, const QRectF &bbox,
                 const TSVGGraphicElement &user, TSVGAxis axis, double origin)
{
    if (!std::isfinite(length.Value))
        return 0;
    if (boundingBox) {
        const bool horizontal = axis == TSVGAxis::Horizontal;
        return float(origin + length.Value * (horizontal ? bbox.width() : bbox.height()));
    }
    return user.ResolvePercent(length, axis);
}

} // namespace

std::optional<TCanvasPaint> SVGPatternPaint(TSVGPainter &painter, const TSVGElement &pattern,
                                            const TSVGGraphicElement &user,
                                            const TSVGPaintTarget &target)
{
    const auto &server = static_cast<const TSVGPattern &>(pattern);
    using A = TSVGPattern::TAttribute;
    const bool tileInBox = server.Source(A::Units)->Units() != csuUserSpaceOnUse;
    const bool contentInBox = server.Source(A::ContentUnits)->ContentUnits() == csuObjectBoundingBox;
    const QRectF &bbox = target.BBox;
    if ((tileInBox || contentInBox) && (!(bbox.width() > 0) || !(bbox.height() > 0)))
        return std::nullopt;
    const TSVGPattern *x = server.Source(A::X), *y = server.Source(A::Y);
    const TSVGPattern *w = server.Source(A::Width), *h = server.Source(A::Height);
    const QRectF tile(
        TileLength(x->StoredXLength(), tileInBox, bbox, user, TSVGAxis::Horizontal, bbox.left()),
        TileLength(y->StoredYLength(), tileInBox, bbox, user, TSVGAxis::Vertical, bbox.top()),
        TileLength(w->StoredWidthLength(), tileInBox, bbox, user, TSVGAxis::Horizontal, 0),
        TileLength(h->StoredHeightLength(), tileInBox, bbox, user, TSVGAxis::Vertical, 0));
    if (!(tile.width() > 0) || !(tile.height() > 0))
        return std::nullopt;  // SVG: a zero-sized tile paints nothing

    const TSVGElement *content = nullptr;
    for (const TSVGPattern *e : server.Chain())
        if (HasGraphicChildren(*e)) {
            content = e;
            break;
        }
    if (!content)
        return std::nullopt;

    const TSVGPattern &transformed = *server.Source(A::Transform);
    const TMatrix patternTransform = SVGAboutTransformOrigin(transformed, transformed.Matrix());

    // Content space -> tile space (origin at the tile's top-left corner).
    TMatrix contentMatrix;
    const TSVGPattern *boxSource = server.Source(A::ViewBox);
    const bool hasViewBox = boxSource->ViewBoxSpecified();
    if (hasViewBox) {
        const QRectF &viewBox = boxSource->ViewBox();
        if (!(viewBox.width() > 0) || !(viewBox.height() > 0))
            return std::nullopt;
        const TSVGAspectRatioValue ratio = server.Source(A::AspectRatio)->AspectRatio().Value();
        float sx = 1, sy = 1, tx = 0, ty = 0;
        ComputeAspect(viewBox, QRectF(0, 0, tile.width(), tile.height()), ratio, sx, sy, tx, ty);
        contentMatrix = TMatrix::CreateTranslation(float(-viewBox.left()), float(-viewBox.top())) *
                        TMatrix::CreateScaling(sx, sy) * TMatrix::CreateTranslation(tx, ty);
    } else if (contentInBox) {
        contentMatrix = TMatrix::CreateScaling(float(bbox.width()), float(bbox.height()));
    }

    // The tile in whole pixels as large as it shows on the device. Its content is drawn
    // at the exact device scale and the period snaps to the whole pixel, so no tile is
    // resampled and the edges stay sharp.
    const TMatrix toDevice = patternTransform * target.UserToDevice;
    double sx = std::hypot(toDevice.m11, toDevice.m12);
    double sy = std::hypot(toDevice.m21, toDevice.m22);
    if (!(sx > 0) || !(sy > 0) || !std::isfinite(sx) || !std::isfinite(sy))
        return std::nullopt;
    const double limit = SVGMaxPatternTile;
    if (tile.width() * sx > limit)
        sx = limit / tile.width();
    if (tile.height() * sy > limit)
        sy = limit / tile.height();
    const int iw = std::max(1, int(std::lround(tile.width() * sx)));
    const int ih = std::max(1, int(std::lround(tile.height() * sy)));

    const TSVGRasterReservation reserved(QSize(iw, ih));
    QImage image = SVGNewRaster(QSize(iw, ih));
    if (!painter.Enter(&pattern))
        return std::nullopt;  // the pattern is used inside its own content
    try {
        TSVGCanvas canvas(image);
        TSVGPainter inner(canvas, QRectF(0, 0, iw, ih));
        inner.ShareGuardsWith(painter, image.size());
        const TMatrix toPixels = contentMatrix * TMatrix::CreateScaling(float(sx), float(sy));
        auto &host = const_cast<TSVGGraphicElement &>(static_cast<const TSVGGraphicElement &>(*content));
        for (int i = 0; i < host.Count(); ++i)
            inner.Draw(*host.Items(i), toPixels);
    } catch (...) {
        painter.Leave(&pattern);
        throw;
    }
    painter.Leave(&pattern);

    TCanvasPaint paint;
    paint.Kind = TCanvasPaint::TKind::Bitmap;
    paint.Bitmap = image;
    // The tile already has device resolution: unless it is turned or skewed, or its
    // corner falls between device pixels, sampling it by nearest pixel keeps its edges as
    // sharp as the rest of the picture. A corner between pixels is filtered, so that the
    // tile edges land where they belong instead of snapping to the pixel grid (Qt still
    // places a tile that is only moved at whole pixels, as other renderers do).
    const auto tiny = [](float v, double scale) { return std::fabs(v) <= 1e-5 * scale; };
    const QPointF corner = toDevice.ToQTransform().map(QPointF(tile.left(), tile.top()));
    const auto offGrid = [](double v) { return std::fabs(v - std::round(v)) > 0.05; };
    paint.Smooth = !(tiny(toDevice.m12, sx) && tiny(toDevice.m21, sy)) || offGrid(corner.x()) ||
                   offGrid(corner.y());
    // Pixels -> tile space -> pattern space -> user space.
    // A hair of device offset keeps pixel centres on exact tile edges from rounding
    // down into the previous tile.
    const double nudgeX = sx > 0 ? 1e-3 / sx : 0, nudgeY = sy > 0 ? 1e-3 / sy : 0;
    paint.PaintTransform = QTransform::fromScale(1 / sx, 1 / sy) *
                           QTransform::fromTranslate(tile.left() - nudgeX, tile.top() - nudgeY) *
                           patternTransform.ToQTransform();
    return paint;
}
