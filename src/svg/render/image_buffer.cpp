#include "svg/render/image_buffer.h"

#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/render/canvas.h"
#include "svg/render/draw.h"
#include "svg/render/raster_limits.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

bool RendersNothing(const TSVGGraphicElement &Root)
{
    const auto *doc = dynamic_cast<const TSVGDocument *>(&Root);
    return doc && !doc->Owner() && doc->ViewBoxDisablesRendering();
}

void DrawInto(TSVGCanvas &Canvas, TSVGGraphicElement &Root, const QRectF &Target)
{
    TSVGPainter painter(Canvas, Target);
    painter.Draw(Root, SVGTargetMatrix(Root, Target));
}

// Restores the canvas state on every way out.
class TCanvasStateGuard {
public:
    explicit TCanvasStateGuard(TSVGCanvas &Canvas) : FCanvas(Canvas), FState(Canvas.SaveState()) {}
    ~TCanvasStateGuard() { FCanvas.RestoreState(FState); }
    TCanvasStateGuard(const TCanvasStateGuard &) = delete;
    TCanvasStateGuard &operator=(const TCanvasStateGuard &) = delete;

private:
    TSVGCanvas &FCanvas;
    int FState;
};

QRectF RoundRect(const QRectF &r)
{
    const qreal left = std::round(r.left()), top = std::round(r.top());
    return QRectF(QPointF(left, top), QPointF(std::round(r.right()), std::round(r.bottom())));
}

// Source repeated at its own size from Dest's corner, cut to Dest.
void DrawTiled(QPainter &Painter, const QImage &Bitmap, const QRectF &Source, const QRectF &Dest,
               const QSizeF &TileSize, int Columns, int Rows)
{
    if (Source.width() <= 0 || Source.height() <= 0 || Dest.width() <= 0 || Dest.height() <= 0)
        return;
    Painter.save();
    Painter.setClipRect(Dest, Qt::IntersectClip);
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (int row = 0; row < Rows; ++row)
        for (int col = 0; col < Columns; ++col)
            Painter.drawImage(QRectF(Dest.left() + col * TileSize.width(),
                                     Dest.top() + row * TileSize.height(), TileSize.width(),
                                     TileSize.height()),
                              Bitmap, Source);
    Painter.restore();
}

void DrawPiece(QPainter &Painter, const QImage &Bitmap, const QRectF &Source, const QRectF &Dest,
               bool Tile)
{
    if (Source.width() <= 0 || Source.height() <= 0 || Dest.width() <= 0 || Dest.height() <= 0)
        return;
    if (!Tile) {
        Painter.drawImage(Dest, Bitmap, Source);
        return;
    }
    DrawTiled(Painter, Bitmap, Source, Dest, Source.size(),
              SVGTileCount(Dest.width(), Source.width(), 1),
              SVGTileCount(Dest.height(), Source.height(), 1));
}

// Nine slices: corners 1:1, edges along the sides, the centre in what is left.
void PaintNineSlice(QPainter &Painter, const QImage &Bitmap, const QSizeF &Size,
                    const TSVGBufferLayout &Layout)
{
    const qreal bw = Bitmap.width(), bh = Bitmap.height();
    const qreal w = Size.width(), h = Size.height();
    // Margins wider than the bitmap would give pieces of negative size; they are cut to
    // what the bitmap holds.
    const qreal l = std::clamp(Layout.Margins.left(), 0.0, bw);
    const qreal r = std::clamp(Layout.Margins.right(), 0.0, bw - l);
    const qreal t = std::clamp(Layout.Margins.top(), 0.0, bh);
    const qreal b = std::clamp(Layout.Margins.bottom(), 0.0, bh - t);
    const qreal sw = bw - l - r, sh = bh - t - b;   // source centre
    const qreal dw = w - l - r, dh = h - t - b;     // destination centre
    const bool tileEdges = Layout.MarginWrapMode == iwTile;
    const bool tileCentre = Layout.WrapMode == iwTile;

    DrawPiece(Painter, Bitmap, QRectF(0, 0, l, t), QRectF(0, 0, l, t), false);
    DrawPiece(Painter, Bitmap, QRectF(bw - r, 0, r, t), QRectF(w - r, 0, r, t), false);
    DrawPiece(Painter, Bitmap, QRectF(0, bh - b, l, b), QRectF(0, h - b, l, b), false);
    DrawPiece(Painter, Bitmap, QRectF(bw - r, bh - b, r, b), QRectF(w - r, h - b, r, b), false);

    DrawPiece(Painter, Bitmap, QRectF(l, 0, sw, t), QRectF(l, 0, dw, t), tileEdges);
    DrawPiece(Painter, Bitmap, QRectF(l, bh - b, sw, b), QRectF(l, h - b, dw, b), tileEdges);
    DrawPiece(Painter, Bitmap, QRectF(0, t, l, sh), QRectF(0, t, l, dh), tileEdges);
    DrawPiece(Painter, Bitmap, QRectF(bw - r, t, r, sh), QRectF(w - r, t, r, dh), tileEdges);

    DrawPiece(Painter, Bitmap, QRectF(l, t, sw, sh), QRectF(l, t, dw, dh), tileCentre);
}

} // namespace

QImage SVGNewBuffer(const QSize &Size)
{
    QImage image(Size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull() && !Size.isEmpty())
        throw ESVGException(QStringLiteral("Out of memory for a %1 x %2 picture")
                                .arg(Size.width())
                                .arg(Size.height()));
    return image;
}

TMatrix SVGTargetMatrix(const TSVGGraphicElement &Root, const QRectF &Target)
{
    if (const auto *doc = dynamic_cast<const TSVGDocument *>(&Root); doc && !doc->Owner())
        return doc->GetViewMatrix(doc->FitToRect(Target), Target);
    return Root.FitToRect(Target);
}

int SVGTileCount(qreal Extent, qreal Tile, int Extra)
{
    if (!(Tile > 0) || !(Extent > 0))
        return 1;
    const qreal n = std::trunc(Extent / Tile);
    // A tile far smaller than a pixel would ask for millions of copies.
    return int(std::min(n, qreal(100000))) + Extra;
}

QRectF SVGFitRect(const QRectF &Source, const QRectF &Box, bool Enlarge)
{
    if (Source.width() <= 0 || Source.height() <= 0)
        return QRectF(Box.center(), QSizeF(0, 0));
    qreal ratio = std::max(Source.width() / Box.width(), Source.height() / Box.height());
    if (!Enlarge && ratio < 1)
        ratio = 1;
    if (!(ratio > 0) || !std::isfinite(ratio))
        return QRectF(Box.center(), QSizeF(0, 0));
    const QSizeF size(Source.width() / ratio, Source.height() / ratio);
    return QRectF(QPointF(Box.left() + (Box.width() - size.width()) / 2,
                          Box.top() + (Box.height() - size.height()) / 2),
                  size);
}

QSizeF ComputeTargetSize(TSVGImageWrapMode WrapMode, qreal Scale, qreal SvgWidth, qreal SvgHeight,
                         qreal BoxWidth, qreal BoxHeight)
{
    if (!(SvgWidth * SvgHeight > 0))
        WrapMode = iwStretch;
    qreal w = 0, h = 0;
    switch (WrapMode) {
    case iwFit: {
        const qreal r = std::max(SvgWidth / BoxWidth, SvgHeight / BoxHeight);
        if (r > 0 && std::isfinite(r)) {
            w = SvgWidth / r;
            h = SvgHeight / r;
        }
        break;
    }
    case iwStretch:
        w = BoxWidth;
        h = BoxHeight;
        break;
    case iwOriginal:
    case iwTile:
    case iwCenter:
        w = SvgWidth * Scale;
        h = SvgHeight * Scale;
        break;
    }
    if (!(w > 0) || !(h > 0))
        return QSizeF(0, 0);
    if (w > SVGMaxBufferSide) {
        h = h - h * ((w - SVGMaxBufferSide) / w);
        w = SVGMaxBufferSide;
    }
    if (h > SVGMaxBufferSide) {
        w = w - w * ((h - SVGMaxBufferSide) / h);
        h = SVGMaxBufferSide;
    }
    // The engine's cap on one raster holds for the buffer as well (8096 x 8096 would be
    // four times it): shrunk with the aspect kept, so that whole pixels stay within it.
    if (w * h > qreal(SVGMaxRasterPixels)) {
        const qreal f = std::sqrt(qreal(SVGMaxRasterPixels) / ((w + 1) * (h + 1)));
        w *= f;
        h *= f;
    }
    return QSizeF(w, h);
}

void RenderElementToBitmap(QImage &Bitmap, TSVGGraphicElement *Root)
{
    if (!Root || Bitmap.width() == 0 || Bitmap.height() == 0)
        return;
    TSVGCanvas canvas(Bitmap);
    canvas.Clear(0);
    if (RendersNothing(*Root))
        return;
    DrawInto(canvas, *Root, QRectF(0, 0, Bitmap.width(), Bitmap.height()));
}

void PaintElementToCanvas(TSVGCanvas &Canvas, TSVGGraphicElement *Root, const QRectF &R,
                          qreal Scale, TSVGImageWrapMode WrapMode)
{
    if (!Root)
        return;
    QRectF bounds = Root->BoundsRect();
    QSizeF b = bounds.size();
    if (Scale != 1)
        b *= Scale;
    if (b.width() == 0 || b.height() == 0 || RendersNothing(*Root))
        return;
    const TCanvasStateGuard guard(Canvas);
    switch (WrapMode) {
    case iwOriginal:
        DrawInto(Canvas, *Root, QRectF(R.topLeft(), b));
        break;
    case iwFit:
        DrawInto(Canvas, *Root, RoundRect(SVGFitRect(QRectF(QPointF(0, 0), b), R, true)));
        break;
    case iwStretch:
        DrawInto(Canvas, *Root, R);
        break;
    case iwTile: {
        const int cols = SVGTileCount(R.width(), b.width(), 2);
        const int rows = SVGTileCount(R.height(), b.height(), 2);
        for (int row = 0; row < rows; ++row)
            for (int col = 0; col < cols; ++col)
                DrawInto(Canvas, *Root,
                         QRectF(QPointF(R.left() + col * b.width(), R.top() + row * b.height()), b));
        break;
    }
    case iwCenter:
        DrawInto(Canvas, *Root,
                 QRectF(QPointF(R.left() + (R.width() - b.width()) / 2,
                                R.top() + (R.height() - b.height()) / 2),
                        b));
        break;
    }
}

void PaintSVGBuffer(QPainter &Painter, const QImage &Bitmap, const QSizeF &Size,
                    qreal DeviceScale, const TSVGBufferLayout &Layout)
{
    if (Bitmap.isNull() || Size.width() <= 0 || Size.height() <= 0)
        return;
    const qreal u = DeviceScale > 0 ? DeviceScale : 1;
    const QRectF control(QPointF(0, 0), Size);
    const QRectF whole(Bitmap.rect());
    Painter.save();
    // Drawing outside its own rectangle would leave traces on a scene.
    Painter.setClipRect(control, Qt::IntersectClip);
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, !Layout.DisableInterpolation);
    if (!Layout.Margins.isNull()) {
        PaintNineSlice(Painter, Bitmap, Size, Layout);
    } else {
        switch (Layout.WrapMode) {
        case iwOriginal: {
            const QRectF source(0, 0, std::min(whole.width(), std::trunc(Size.width() * u)),
                                std::min(whole.height(), std::trunc(Size.height() * u)));
            Painter.drawImage(QRectF(0, 0, source.width() / u, source.height() / u), Bitmap,
                              source);
            break;
        }
        case iwFit:
            Painter.drawImage(RoundRect(SVGFitRect(whole, control)), Bitmap, whole);
            break;
        case iwStretch:
            Painter.drawImage(control, Bitmap, whole);
            break;
        case iwTile:
            DrawTiled(Painter, Bitmap, whole, control, whole.size() / u,
                      SVGTileCount(Size.width() * u, whole.width(), 2),
                      SVGTileCount(Size.height() * u, whole.height(), 2));
            break;
        case iwCenter:
            Painter.drawImage(QRectF(QPointF((Size.width() - whole.width()) / 2,
                                             (Size.height() - whole.height()) / 2),
                                     whole.size()),
                              Bitmap, whole);
            break;
        }
    }
    Painter.restore();
}
