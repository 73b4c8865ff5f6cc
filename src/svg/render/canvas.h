#pragma once
// The engine's drawing surface: a thin layer over QPainter on a premultiplied QImage.
// Every drawing of a document's content goes through here. Four helpers paint with a
// QPainter of their own on rasters they own, never on a canvas: the mask's region cut
// (mask.cpp), the picture of an feImage primitive in its filter raster
// (filter_primitives.cpp), the document background under a whole-document
// rasterisation (rasterize.cpp) and the laying of finished buffers onto their
// controls (image_buffer.cpp). Geometry is handed over in the current user space; the canvas matrix
// maps it to pixels, and strokes are widened in user space before that mapping, so a
// stroke scales, rotates and skews exactly as its geometry does.

#include "svg/model/values/matrix.h"
#include "svg/render/text_metrics.h"

#include <QBrush>
#include <QFont>
#include "svg/render/raster_limits.h"
#include "svg/render/scanline.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QVector>
#include <functional>
#include <memory>
#include <vector>

// What the canvas fills with. A gradient or bitmap paint lives in the user space that is
// current when it is used; PaintTransform maps the paint's own space into that user space.
struct TCanvasPaint {
    enum class TKind { None, Solid, Gradient, Bitmap };
    TKind Kind = TKind::Solid;
    QRgb Color = 0xFF000000u;         // non-premultiplied ARGB
    std::shared_ptr<QGradient> Gradient;  // coordinates in paint space
    QImage Bitmap;                    // one tile, repeated
    QTransform PaintTransform;        // paint space -> user space
    bool Smooth = true;               // a bitmap is sampled smoothly (else nearest pixel)

    static TCanvasPaint None() { TCanvasPaint p; p.Kind = TKind::None; return p; }
    static TCanvasPaint Solid(QRgb color) { TCanvasPaint p; p.Color = color; return p; }
    bool IsNone() const { return Kind == TKind::None; }
};

enum class TCanvasCap { Butt, Round, Square };
enum class TCanvasJoin { Miter, Round, Bevel };

struct TCanvasStroke {
    TCanvasPaint Paint = TCanvasPaint::None();
    float Thickness = 1;              // user units
    TCanvasCap Cap = TCanvasCap::Butt;
    TCanvasJoin Join = TCanvasJoin::Miter;
    float MiterLimit = 4;
    QVector<qreal> Dashes;            // user units; empty = solid
    float DashOffset = 0;             // user units
};

enum class TCanvasAlign { Center, Leading, Trailing };

// Scales every pixel of Target within Area by the alpha of the same pixel of Alpha (both
// premultiplied): destination-in compositing. Pixels the alpha lets through in full are
// left as they are.
void SVGMultiplyAlpha(QImage &target, const QImage &alpha, const QRect &area);

class TSVGCanvas {
public:
    // Draws into Image, which must be Format_ARGB32_Premultiplied and outlive the canvas.
    explicit TSVGCanvas(QImage &image);
    ~TSVGCanvas();
    TSVGCanvas(const TSVGCanvas &) = delete;
    TSVGCanvas &operator=(const TSVGCanvas &) = delete;

    int Width() const;
    int Height() const;

    // States nest: RestoreState(n) returns to the state SaveState answered n for and drops
    // every state saved after it.
    int SaveState();
    void RestoreState(int state);

    TMatrix Matrix() const { return FMatrix; }
    void SetMatrix(const TMatrix &m);

    const TCanvasPaint &Fill() const { return FFill; }
    void SetFill(const TCanvasPaint &fill) { FFill = fill; }
    const TCanvasStroke &Stroke() const { return FStroke; }
    void SetStroke(const TCanvasStroke &stroke) { FStroke = stroke; }

    const TCanvasFont &Font() const { return FFont; }
    void SetFont(const TCanvasFont &font) { FFont = font; }

    // Clips all further drawing (until RestoreState) to Path in the current user space,
    // intersected with any clip already in force.
    void ClipPath(const QPainterPath &path);

    void FillPath(const QPainterPath &path, float opacity);
    void DrawPath(const QPainterPath &path, float opacity);
    void FillRect(const QRectF &rect, float rx, float ry, float opacity);
    void DrawRect(const QRectF &rect, float rx, float ry, float opacity);
    void DrawLine(const QPointF &p1, const QPointF &p2, float opacity);

    // Text with the canvas font in the current user space.
    float TextWidth(const QString &text) const;
    float TextHeight(const QString &text) const;
    float Ascent() const;
    float Descent() const;
    // Lays Text out in Rect (lines broken at word boundaries when WordWrap is set), aligned
    // as asked, and fills it with the canvas fill.
    void FillText(const QRectF &rect, const QString &text, bool wordWrap, float opacity,
                  TCanvasAlign hAlign, TCanvasAlign vAlign);
    QPainterPath TextLayoutPath(const QRectF &rect, const QString &text, bool wordWrap,
                                TCanvasAlign hAlign, TCanvasAlign vAlign) const;

    void DrawBitmap(const QImage &bitmap, const QRectF &source, const QRectF &dest,
                    float opacity, bool smooth = true);

    void Clear(QRgb color);

    // Off-screen group: everything drawn until the matching EndLayer goes into a fresh
    // transparent layer, which is then blended once with Opacity (and, when given, a mask
    // whose luminance-free alpha multiplies it).
    void BeginLayer();
    void EndLayer(float opacity);
    void EndLayer(float opacity, const QImage &alphaMask);
    // ... where the mask is known to be transparent outside Area (device pixels), only
    // Area of the layer is blended.
    void EndLayer(float opacity, const QImage &alphaMask, const QRect &area);
    // ... after Effect has turned the layer's picture into another (a filter): it gets the
    // picture and the device pixels drawn on, and answers the pixels that hold something
    // now; nothing outside them is blended.
    using TLayerEffect = std::function<QRect(QImage &layer, const QRect &drawn)>;
    void EndLayer(float opacity, const TLayerEffect &effect);
    int LayerDepth() const { return int(FLayers.size()); }
    // The current layer is blended with one of the sixteen modes of SVGBlendMode (0 is
    // source-over) onto what lies below it when it ends.
    void SetLayerBlend(int mode)
    {
        if (!FLayers.empty())
            FLayers.back().BlendMode = mode;
    }

    // The whole device pixels that a rectangle in device coordinates touches, grown by a
    // pixel for antialiasing and cut to the canvas (empty for anything not finite).
    QRect DeviceArea(const QRectF &device) const;

    // A pixel's device size in the current user space (the larger axis), for choosing
    // raster resolutions.
    float DeviceScale() const;

private:
    struct TState {
        TMatrix Matrix;
        TCanvasPaint Fill;
        TCanvasStroke Stroke;
        TCanvasFont Font;
        int Layer;
        QRect Clip;
        bool ShapedClip;
    };
    struct TLayer {
        TSVGRasterReservation Reserved;
        QRect ParentClip;  // the clip in force on the painter below, back when the layer ends
        bool ParentShapedClip = false;
        int BlendMode = 0;
        QRect Drawn;  // device pixels drawn on so far; only they are blended
        std::unique_ptr<QImage> Image;  // the painter keeps its address
        std::unique_ptr<QPainter> Painter;
    };

    QBrush MakeBrush(const TCanvasPaint &paint, float opacity) const;
    QPen MakePen(float opacity) const;
    bool Degenerate() const;
    // Records that the current layer was drawn on within Device (device coordinates).
    void MarkDrawn(const QRectF &device);
    void ApplyTransform();
    // Fills Path with the solid fill straight into the current picture when the clip
    // allows; false when Qt must draw it.
    bool FillSolid(const QPainterPath &path, float opacity);
    void FinishLayer(float opacity, const QImage &alphaMask, const QRect &area, const TLayerEffect *effect);

    QImage &FImage;
    std::unique_ptr<QPainter> FRoot;
    QPainter *FPainter;
    std::vector<TLayer> FLayers;
    std::vector<TState> FStates;
    TMatrix FMatrix;
    TCanvasPaint FFill;
    TCanvasStroke FStroke;
    TCanvasFont FFont;
    // The clip on the current painter, as far as drawing past it is concerned: the
    // device pixels within Clip, unless ShapedClip says it is not a whole-pixel rectangle.
    QRect FClip;
    bool FShapedClip = false;
    TSVGScanlineFiller FFiller;
};
