#include "svg/render/pattern.h"

#include "svg/model/custom_viewbox.h"
#include "svg/model/paint_servers.h"
#include "svg/model/transform.h"
#include "svg/model/units.h"
#include "svg/model/viewbox.h"
#include "svg/render/draw.h"
#include "svg/render/gradient.h"
#include "svg/render/paint.h"

#include <cmath>

namespace {

bool IsPattern(const TSVGElement &e) { return e.SVGType() == etPattern; }

bool HasGraphicChildren(const TSVGElement &e)
{
    for (int i = 0; i < e.Count(); ++i)
        if (dynamic_cast<const TSVGGraphicElement *>(e.Items(i)))
            return true;
    return false;
}

bool BoundingBoxUnits(const std::vector<const TSVGElement *> &chain, QStringView name, bool fallback)
{
    QString text;
    if (!SVGChainAttribute(chain, name, text))
        return fallback;
    const TSVGCoordinateSystemUnit u = ParseCoordinateSystemUnit(text.trimmed(), csuNone);
    if (u == csuNone)
        return fallback;
    return u == csuObjectBoundingBox;
}

float Length(const std::vector<const TSVGElement *> &chain, QStringView name, bool boundingBox,
             const QRectF &bbox, const TSVGGraphicElement &user, TSVGAxis axis)
{
    QString text;
    if (!SVGChainAttribute(chain, name, text))
        return 0;
    bool isPercent = false;
    float v = ParseFraction(text, isPercent, user.GetUnitFactors(), 0);
    if (!std::isfinite(v))
        return 0;
    if (boundingBox) {
        const bool horizontal = axis == TSVGAxis::Horizontal;
        const double origin = name == u"x" ? bbox.left() : name == u"y" ? bbox.top() : 0;
        return float(origin + v * (horizontal ? bbox.width() : bbox.height()));
    }
    return isPercent ? user.ResolvePercent(v, true, axis) : v;
}

} // namespace

TCanvasPaint SVGPatternPaint(TSVGPainter &painter, const TSVGElement &pattern,
                             const TSVGGraphicElement &user, const TSVGPaintTarget &target)
{
    const std::vector<const TSVGElement *> chain = SVGHRefChain(pattern, IsPattern);
    const bool tileInBox = BoundingBoxUnits(chain, u"patternUnits", true);
    const bool contentInBox = BoundingBoxUnits(chain, u"patternContentUnits", false);
    const QRectF &bbox = target.BBox;
    if ((tileInBox || contentInBox) && (!(bbox.width() > 0) || !(bbox.height() > 0)))
        return TCanvasPaint::None();
    const QRectF tile(Length(chain, u"x", tileInBox, bbox, user, TSVGAxis::Horizontal),
                      Length(chain, u"y", tileInBox, bbox, user, TSVGAxis::Vertical),
                      Length(chain, u"width", tileInBox, bbox, user, TSVGAxis::Horizontal),
                      Length(chain, u"height", tileInBox, bbox, user, TSVGAxis::Vertical));
    if (!(tile.width() > 0) || !(tile.height() > 0))
        return TCanvasPaint::None();  // SVG: a zero-sized tile paints nothing

    const TSVGElement *content = nullptr;
    for (const TSVGElement *e : chain)
        if (HasGraphicChildren(*e)) {
            content = e;
            break;
        }
    if (!content)
        return TCanvasPaint::None();

    QString text;
    TMatrix patternTransform;
    if (SVGChainAttribute(chain, u"patternTransform", text)) {
        try {
            patternTransform = ParseTransform(text);
        } catch (const std::exception &) {
            patternTransform = TMatrix();
        }
    }

    // Content space -> tile space (origin at the tile's top-left corner).
    TMatrix contentMatrix;
    QRectF viewBox;
    bool hasViewBox = false;
    if (SVGChainAttribute(chain, u"viewBox", text)) {
        ParseViewBox(text, user.GetUnitFactors(), viewBox);
        hasViewBox = !viewBox.isNull();
        if (hasViewBox && (!(viewBox.width() > 0) || !(viewBox.height() > 0)))
            return TCanvasPaint::None();
    }
    if (hasViewBox) {
        TSVGAspectRatioValue ratio;
        ratio.Align = saXMidYMid;
        if (SVGChainAttribute(chain, u"preserveAspectRatio", text))
            ParseAspectRatio(text, ratio);
        float sx = 1, sy = 1, tx = 0, ty = 0;
        ComputeAspect(viewBox, QRectF(0, 0, tile.width(), tile.height()), ratio, sx, sy, tx, ty);
        contentMatrix = TMatrix::CreateTranslation(float(-viewBox.left()), float(-viewBox.top())) *
                        TMatrix::CreateScaling(sx, sy) * TMatrix::CreateTranslation(tx, ty);
    } else if (contentInBox) {
        contentMatrix = TMatrix::CreateScaling(float(bbox.width()), float(bbox.height()));
    }

    // The tile in pixels as large as it shows on the device.
    const TMatrix toDevice = patternTransform * target.UserToDevice;
    const double sx = std::hypot(toDevice.m11, toDevice.m12);
    const double sy = std::hypot(toDevice.m21, toDevice.m22);
    const int iw = int(std::clamp(std::ceil(tile.width() * sx), 1.0, double(SVGMaxPatternTile)));
    const int ih = int(std::clamp(std::ceil(tile.height() * sy), 1.0, double(SVGMaxPatternTile)));

    if (!painter.Enter(&pattern))
        return TCanvasPaint::None();  // the pattern is used inside its own content
    QImage image(iw, ih, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    try {
        TSVGCanvas canvas(image);
        TSVGPainter inner(canvas, QRectF(0, 0, iw, ih));
        inner.ShareGuardsWith(painter);
        const TMatrix toPixels =
            contentMatrix * TMatrix::CreateScaling(float(iw / tile.width()), float(ih / tile.height()));
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
    // Pixels -> tile space -> pattern space -> user space.
    paint.PaintTransform = QTransform::fromScale(tile.width() / iw, tile.height() / ih) *
                           QTransform::fromTranslate(tile.left(), tile.top()) *
                           patternTransform.ToQTransform();
    return paint;
}
