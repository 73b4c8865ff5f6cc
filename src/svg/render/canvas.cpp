#include "svg/render/canvas.h"

#include "svg/render/filter_raster.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <optional>

// The rectangle Path outlines when it is one axis-aligned rectangle (flags and
// backgrounds are mostly such paths).
static std::optional<QRectF> AxisAlignedRect(const QPainterPath &path)
{
    const int n = path.elementCount();
    if (n < 4 || n > 6 || !path.elementAt(0).isMoveTo())
        return std::nullopt;
    QPointF p[6];
    int count = 0;
    for (int i = 0; i < n; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (i > 0 && !e.isLineTo())
            return std::nullopt;
        const QPointF q(e.x, e.y);
        // A return to the start closes the outline; nothing may follow it but that return again.
        if (count > 0 && q == p[count - 1])
            continue;
        if (count == 4 && q == p[0])
            continue;
        if (count == 4)
            return std::nullopt;
        p[count++] = q;
    }
    if (count != 4)
        return std::nullopt;
    // Each side runs along x or along y, taking turns.
    const bool xFirst = p[0].y() == p[1].y();
    for (int i = 0; i < 4; ++i) {
        const QPointF &a = p[i], &b = p[(i + 1) % 4];
        const bool alongX = (i % 2 == 0) == xFirst;
        if (alongX ? a.y() != b.y() || a.x() == b.x() : a.x() != b.x() || a.y() == b.y())
            return std::nullopt;
    }
    return QRectF(p[0], p[2]).normalized();
}

TSVGCanvas::TSVGCanvas(QImage &image)
    : FImage(image)
{
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    FRoot = std::make_unique<QPainter>(&FImage);
    // Smooth sampling is switched on only while a bitmap is drawn: with it on, Qt
    // composites even untransformed images (layers, coverages) by its slow general path.
    FRoot->setRenderHints(QPainter::Antialiasing);
    FPainter = FRoot.get();
    FClip = FImage.rect();
}

TSVGCanvas::~TSVGCanvas()
{
    while (!FLayers.empty())
        EndLayer(1);
    FRoot->end();
}

int TSVGCanvas::Width() const { return FImage.width(); }
int TSVGCanvas::Height() const { return FImage.height(); }

int TSVGCanvas::SaveState()
{
    FStates.push_back({FMatrix, FFill, FStroke, FFont, int(FLayers.size()), FClip, FShapedClip});
    FPainter->save();
    return int(FStates.size()) - 1;
}

void TSVGCanvas::RestoreState(int state)
{
    if (state < 0)
        return;
    while (int(FStates.size()) > state) {
        TState s = FStates.back();
        FStates.pop_back();
        // A layer begun after this state was saved is closed with it.
        while (int(FLayers.size()) > s.Layer)
            EndLayer(1);
        FPainter->restore();
        FMatrix = s.Matrix;
        FFill = s.Fill;
        FStroke = s.Stroke;
        FFont = s.Font;
        FClip = s.Clip;
        FShapedClip = s.ShapedClip;
    }
}

void TSVGCanvas::SetMatrix(const TMatrix &m)
{
    FMatrix = m;
}

void TSVGCanvas::ApplyTransform()
{
    FPainter->setTransform(FMatrix.ToQTransform());
}

bool TSVGCanvas::Degenerate() const
{
    // A singular matrix flattens everything to a line or a point: nothing to paint.
    const float det = FMatrix.m11 * FMatrix.m22 - FMatrix.m12 * FMatrix.m21;
    return !std::isfinite(det) || std::fabs(det) < 1e-12f;
}

float TSVGCanvas::DeviceScale() const
{
    const float sx = std::hypot(FMatrix.m11, FMatrix.m12);
    const float sy = std::hypot(FMatrix.m21, FMatrix.m22);
    return std::max(sx, sy);
}

QRect TSVGCanvas::DeviceArea(const QRectF &device) const
{
    const QRectF canvas(0, 0, Width(), Height());
    if (!std::isfinite(device.left()) || !std::isfinite(device.top()) || !std::isfinite(device.right()) ||
        !std::isfinite(device.bottom()))
        return canvas.toRect();
    return (device.adjusted(-1, -1, 1, 1) & canvas).toAlignedRect();
}

void TSVGCanvas::MarkDrawn(const QRectF &device)
{
    if (!FLayers.empty())
        FLayers.back().Drawn |= DeviceArea(device);
}

void TSVGCanvas::ClipPath(const QPainterPath &path)
{
    ApplyTransform();
    FPainter->setClipPath(path, Qt::IntersectClip);
    // A rectangle on whole device pixels clips exactly as a pixel rectangle does.
    const QTransform &t = FPainter->transform();
    const std::optional<QRectF> rect = t.type() <= QTransform::TxScale ? AxisAlignedRect(path) : std::nullopt;
    if (!rect) {
        FShapedClip = true;
        return;
    }
    const QRectF device = t.mapRect(*rect);
    const auto whole = [](double v) { return std::fabs(v - std::round(v)) < 1e-6; };
    if (!whole(device.left()) || !whole(device.top()) || !whole(device.right()) || !whole(device.bottom()) ||
        !(std::fabs(device.left()) < 1e9 && std::fabs(device.top()) < 1e9 && std::fabs(device.right()) < 1e9 &&
          std::fabs(device.bottom()) < 1e9)) {
        FShapedClip = true;
        return;
    }
    FClip &= QRect(QPoint(int(std::lround(device.left())), int(std::lround(device.top()))),
                   QPoint(int(std::lround(device.right())) - 1, int(std::lround(device.bottom())) - 1));
}

QBrush TSVGCanvas::MakeBrush(const TCanvasPaint &paint, float opacity) const
{
    Q_UNUSED(opacity);
    switch (paint.Kind) {
    case TCanvasPaint::TKind::None:
        return QBrush(Qt::NoBrush);
    case TCanvasPaint::TKind::Solid:
        return QBrush(QColor::fromRgba(paint.Color));
    case TCanvasPaint::TKind::Gradient: {
        if (!paint.Gradient)
            return QBrush(Qt::NoBrush);
        QBrush b(*paint.Gradient);
        b.setTransform(paint.PaintTransform);
        return b;
    }
    case TCanvasPaint::TKind::Bitmap: {
        if (paint.Bitmap.isNull())
            return QBrush(Qt::NoBrush);
        QBrush b(paint.Bitmap);
        b.setTransform(paint.PaintTransform);
        return b;
    }
    }
    return QBrush(Qt::NoBrush);
}

static QVector<qreal> NormaliseDashes(const QVector<qreal> &dashes, qreal width)
{
    // An odd list repeats to become even; a negative entry or an all-zero list means solid.
    QVector<qreal> d = dashes;
    qreal sum = 0;
    for (qreal v : d) {
        if (v < 0 || !std::isfinite(v))
            return {};
        sum += v;
    }
    if (d.isEmpty() || sum <= 0)
        return {};
    if (d.size() % 2)
        d += dashes;
    for (qreal &v : d) {
        v /= width;
        // A zero-length dash still shows its caps; the stroker needs some length for it.
        if (v == 0)
            v = 1e-4;
    }
    return d;
}

QPen TSVGCanvas::MakePen(float opacity) const
{
    QPen pen(MakeBrush(FStroke.Paint, opacity), FStroke.Thickness);
    pen.setCosmetic(false);
    switch (FStroke.Cap) {
    case TCanvasCap::Butt: pen.setCapStyle(Qt::FlatCap); break;
    case TCanvasCap::Round: pen.setCapStyle(Qt::RoundCap); break;
    case TCanvasCap::Square: pen.setCapStyle(Qt::SquareCap); break;
    }
    switch (FStroke.Join) {
    case TCanvasJoin::Miter: pen.setJoinStyle(Qt::SvgMiterJoin); break;
    case TCanvasJoin::Round: pen.setJoinStyle(Qt::RoundJoin); break;
    case TCanvasJoin::Bevel: pen.setJoinStyle(Qt::BevelJoin); break;
    }
    // Qt's SvgMiterJoin takes the limit as SVG defines it; below 1 is not a valid limit.
    pen.setMiterLimit(std::max(1.0f, FStroke.MiterLimit));
    const QVector<qreal> dashes = NormaliseDashes(FStroke.Dashes, FStroke.Thickness);
    if (!dashes.isEmpty()) {
        pen.setDashPattern(dashes);
        pen.setDashOffset(FStroke.DashOffset / FStroke.Thickness);
    }
    return pen;
}

void TSVGCanvas::FillPath(const QPainterPath &path, float opacity)
{
    if (FFill.IsNone() || path.isEmpty() || opacity <= 0 || Degenerate())
        return;
    const QBrush brush = MakeBrush(FFill, opacity);
    if (brush.style() == Qt::NoBrush)
        return;
    ApplyTransform();
    FPainter->setOpacity(std::min(1.0f, opacity));
    const bool smooth = FFill.Kind == TCanvasPaint::TKind::Bitmap && FFill.Smooth;
    if (smooth)
        FPainter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Qt fills a rectangle that stays one on the device by its edges alone, several times
    // faster than a general outline, with the same coverage.
    const std::optional<QRectF> rect =
        FMatrix.m12 == 0 && FMatrix.m21 == 0 && FMatrix.m13 == 0 && FMatrix.m23 == 0 ? AxisAlignedRect(path)
                                                                                 : std::nullopt;
    if (rect)
        FPainter->fillRect(*rect, brush);
    else if (!FillSolid(path, opacity))
        FPainter->fillPath(path, brush);
    if (!FLayers.empty())
        MarkDrawn(FPainter->transform().mapRect(path.controlPointRect()));
    if (smooth)
        FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    FPainter->setOpacity(1);
}

bool TSVGCanvas::FillSolid(const QPainterPath &path, float opacity)
{
    if (FFill.Kind != TCanvasPaint::TKind::Solid || FShapedClip)
        return false;
    const QTransform &t = FPainter->transform();
    if (t.type() > QTransform::TxShear)
        return false;
    const QImage &target = FLayers.empty() ? FImage : *FLayers.back().Image;
    // Qt never shares a picture a painter is active on (a copy taken meanwhile is deep),
    // so these are the pixels the painter draws on; bits() would only detach needlessly.
    uchar *bits = const_cast<uchar *>(target.constBits());
    return FFiller.Fill(bits, target.bytesPerLine(), FClip & target.rect(), path, t, qPremultiply(FFill.Color),
                        opacity);
}

void TSVGCanvas::DrawPath(const QPainterPath &path, float opacity)
{
    if (FStroke.Paint.IsNone() || !(FStroke.Thickness > 0) || path.isEmpty() || opacity <= 0 ||
        Degenerate())
        return;
    const QPen pen = MakePen(opacity);
    if (pen.brush().style() == Qt::NoBrush)
        return;
    ApplyTransform();
    FPainter->setOpacity(std::min(1.0f, opacity));
    const bool smooth = FStroke.Paint.Kind == TCanvasPaint::TKind::Bitmap && FStroke.Paint.Smooth;
    if (smooth)
        FPainter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    FPainter->strokePath(path, pen);
    if (smooth)
        FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!FLayers.empty()) {
        // Joins reach out by at most half the width times the miter limit; caps by half
        // the width times the square root of two.
        const qreal reach = FStroke.Thickness / 2 * std::max<qreal>(FStroke.MiterLimit, 1.4143);
        MarkDrawn(FPainter->transform().mapRect(path.controlPointRect().adjusted(-reach, -reach, reach, reach)));
    }
    FPainter->setOpacity(1);
}

static QPainterPath RoundedRectPath(const QRectF &rect, float rx, float ry)
{
    QPainterPath p;
    rx = std::clamp<float>(rx, 0, rect.width() / 2);
    ry = std::clamp<float>(ry, 0, rect.height() / 2);
    if (rx > 0 && ry > 0)
        p.addRoundedRect(rect, rx, ry, Qt::AbsoluteSize);
    else
        p.addRect(rect);
    return p;
}

void TSVGCanvas::FillRect(const QRectF &rect, float rx, float ry, float opacity)
{
    FillPath(RoundedRectPath(rect, rx, ry), opacity);
}

void TSVGCanvas::DrawRect(const QRectF &rect, float rx, float ry, float opacity)
{
    DrawPath(RoundedRectPath(rect, rx, ry), opacity);
}

void TSVGCanvas::DrawLine(const QPointF &p1, const QPointF &p2, float opacity)
{
    QPainterPath p(p1);
    p.lineTo(p2);
    DrawPath(p, opacity);
}

float TSVGCanvas::TextWidth(const QString &text) const
{
    return TTextMetrics::Advance(FFont, text);
}

float TSVGCanvas::TextHeight(const QString &text) const
{
    Q_UNUSED(text);
    return TTextMetrics::Ascent(FFont) + TTextMetrics::Descent(FFont);
}

float TSVGCanvas::Ascent() const { return TTextMetrics::Ascent(FFont); }
float TSVGCanvas::Descent() const { return TTextMetrics::Descent(FFont); }

QPainterPath TSVGCanvas::TextLayoutPath(const QRectF &rect, const QString &text, bool wordWrap,
                                     TCanvasAlign hAlign, TCanvasAlign vAlign) const
{
    QPainterPath out;
    if (text.isEmpty())
        return out;
    const std::vector<TTextLine> lines = TTextMetrics::Lines(FFont, text, wordWrap ? rect.width() : -1);
    const float ascent = Ascent(), lineHeight = ascent + Descent();
    const float total = lineHeight * float(lines.size());
    float top = rect.top();
    if (vAlign == TCanvasAlign::Center)
        top = rect.top() + (rect.height() - total) / 2;
    else if (vAlign == TCanvasAlign::Trailing)
        top = rect.bottom() - total;
    for (const TTextLine &line : lines) {
        float x = rect.left();
        if (hAlign == TCanvasAlign::Center)
            x = rect.left() + (rect.width() - line.Width) / 2;
        else if (hAlign == TCanvasAlign::Trailing)
            x = rect.right() - line.Width;
        out.addPath(TTextMetrics::Outline(FFont, line.Text, QPointF(x, top + ascent)));
        top += lineHeight;
    }
    return out;
}

void TSVGCanvas::FillText(const QRectF &rect, const QString &text, bool wordWrap, float opacity,
                       TCanvasAlign hAlign, TCanvasAlign vAlign)
{
    QPainterPath p = TextLayoutPath(rect, text, wordWrap, hAlign, vAlign);
    p.setFillRule(Qt::WindingFill);
    FillPath(p, opacity);
}

void TSVGCanvas::DrawBitmap(const QImage &bitmap, const QRectF &source, const QRectF &dest,
                         float opacity, bool smooth)
{
    if (bitmap.isNull() || dest.isEmpty() || opacity <= 0 || Degenerate())
        return;
    ApplyTransform();
    FPainter->setOpacity(std::min(1.0f, opacity));
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    FPainter->drawImage(dest, bitmap, source);
    if (!FLayers.empty())
        MarkDrawn(FPainter->transform().mapRect(dest));
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    FPainter->setOpacity(1);
}

void TSVGCanvas::Clear(QRgb color)
{
    FPainter->save();
    FPainter->resetTransform();
    FPainter->setClipping(false);
    FPainter->setCompositionMode(QPainter::CompositionMode_Source);
    FPainter->fillRect(QRect(0, 0, Width(), Height()), QColor::fromRgba(color));
    MarkDrawn(QRectF(0, 0, Width(), Height()));
    FPainter->restore();
}

void TSVGCanvas::BeginLayer()
{
    TLayer layer;
    layer.Reserved = TSVGRasterReservation(FImage.size());
    layer.Image = std::make_unique<QImage>(SVGNewRaster(FImage.size()));
    layer.Painter = std::make_unique<QPainter>(layer.Image.get());
    layer.Painter->setRenderHints(QPainter::Antialiasing);
    // A layer's painter starts unclipped; the clip below applies when it is blended.
    layer.ParentClip = FClip;
    layer.ParentShapedClip = FShapedClip;
    FClip = layer.Image->rect();
    FShapedClip = false;
    FLayers.push_back(std::move(layer));
    FPainter = FLayers.back().Painter.get();
}

void SVGMultiplyAlpha(QImage &target, const QImage &alpha, const QRect &area)
{
    const QRect r = area & target.rect() & alpha.rect();
    if (r.isEmpty())
        return;
    if (target.format() != QImage::Format_ARGB32_Premultiplied ||
        alpha.format() != QImage::Format_ARGB32_Premultiplied) {
        QPainter p(&target);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(r.topLeft(), alpha, r);
        return;
    }
    // Qt composites destination-in by its general per-pixel path, handed to its thread
    // pool; a coverage is mostly 0 or 255, which need no arithmetic at all.
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb *t = reinterpret_cast<QRgb *>(target.scanLine(y)) + r.left();
        const QRgb *a = reinterpret_cast<const QRgb *>(alpha.constScanLine(y)) + r.left();
        for (int x = 0; x < r.width(); ++x) {
            const uint m = qAlpha(a[x]);
            if (m == 255)
                continue;
            if (m == 0) {
                t[x] = 0;
                continue;
            }
            t[x] = SVGByteMul(t[x], m);
        }
    }
}

void TSVGCanvas::EndLayer(float opacity)
{
    EndLayer(opacity, QImage());
}

void TSVGCanvas::EndLayer(float opacity, const QImage &alphaMask)
{
    EndLayer(opacity, alphaMask, QRect(0, 0, Width(), Height()));
}

void TSVGCanvas::EndLayer(float opacity, const QImage &alphaMask, const QRect &area)
{
    FinishLayer(opacity, alphaMask, area, nullptr);
}

void TSVGCanvas::EndLayer(float opacity, const TLayerEffect &effect)
{
    FinishLayer(opacity, QImage(), QRect(0, 0, Width(), Height()), &effect);
}

void TSVGCanvas::FinishLayer(float opacity, const QImage &alphaMask, const QRect &area,
                             const TLayerEffect *effect)
{
    if (FLayers.empty())
        return;
    // States saved inside the layer end with it.
    while (!FStates.empty() && FStates.back().Layer >= int(FLayers.size())) {
        const TState s = FStates.back();
        FStates.pop_back();
        FPainter->restore();
        FMatrix = s.Matrix;
        FFill = s.Fill;
        FStroke = s.Stroke;
        FFont = s.Font;
    }
    TLayer layer = std::move(FLayers.back());
    FLayers.pop_back();
    FClip = layer.ParentClip;
    FShapedClip = layer.ParentShapedClip;
    layer.Painter->end();
    // The painter below takes over before the effect runs, which may raise.
    FPainter = FLayers.empty() ? FRoot.get() : FLayers.back().Painter.get();
    if (effect)
        layer.Drawn = (*effect)(*layer.Image, layer.Drawn) & layer.Image->rect();
    // Only what was drawn, and of that only what the mask lets through, is blended.
    const QRect blended = area & layer.Drawn;
    if (blended.isEmpty())
        opacity = 0;
    else if (!alphaMask.isNull())
        SVGMultiplyAlpha(*layer.Image, alphaMask, blended);
    if (opacity <= 0)
        return;
    if (layer.BlendMode != 0 && !FShapedClip) {
        // Blend modes need both pictures' pixels; the clip below is whole pixels here.
        const QRect area = blended & FClip;
        if (opacity < 1)
            SVGMultiplyOpacity(*layer.Image, area, opacity);
        SVGBlendArea(FLayers.empty() ? FImage : *FLayers.back().Image, *layer.Image, area, layer.BlendMode);
        MarkDrawn(QRectF(area));
        return;
    }
    FPainter->save();
    FPainter->resetTransform();
    FPainter->setOpacity(std::min(1.0f, opacity));
    FPainter->drawImage(blended.topLeft(), *layer.Image, blended);
    FPainter->restore();
    MarkDrawn(QRectF(blended));
}
