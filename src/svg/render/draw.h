#pragma once
// The draw traversal: an element tree painted onto a canvas. Each element composes its
// own transform before its parent's, brackets its drawing with a saved canvas state and
// the document's drawing events, draws its own shape and then its children. Group
// opacity composites the group off-screen and blends it once; a group with a single
// drawn child hands its opacity down to that child instead.

#include "svg/model/dom/graphic_element.h"
#include "svg/render/canvas.h"
#include "svg/render/coverage.h"
#include "svg/render/paint.h"

#include <QPainterPath>
#include <array>
#include <memory>
#include <unordered_set>

class TSVGDocument;
struct TSVGPictureCache;

// How many elements one drawing may draw through references, and the message past it.
inline constexpr qint64 SVGMaxReferencedElements = 100'000;
// What drawing the content of one mask, clip path, pattern tile or SVG picture costs
// beyond its elements, in elements.
inline constexpr qint64 SVGReferenceLayerWork = 16;
// A raster of its own drawn through a reference costs in proportion to its pixels as
// well: one element per this many pixels inside another such raster (a mask in a
// mask's content, a clip path's child clipped in turn), where fan-out multiplies
// rasters...
inline constexpr qint64 SVGNestedRasterPixelsPerElement = 64;
// ... and one per this many through use or markers alone, where a few dozen uses of a
// masked or clipped symbol are common.
inline constexpr qint64 SVGReferencedRasterPixelsPerElement = 1024;
inline constexpr char SVG_TOO_MUCH_REDRAWN[] =
    "Drawing too complex: more than 100000 elements drawn through use, markers, masks, patterns and clip paths";

class TSVGPainter {
public:
    TSVGPainter(TSVGCanvas &canvas, const QRectF &aRect);

    TSVGCanvas &Canvas() { return FCanvas; }
    const QRectF &Rect() const { return FRect; }

    // The element fitted into Rect() (a viewport element through its viewBox mapping,
    // anything else through FitToRect).
    void Draw(TSVGElement &element);
    // aMatrix maps the parent's user space to the canvas.
    void Draw(TSVGElement &element, const TMatrix &aMatrix);

    // Whether the element takes part in drawing at all (visibility, display and the
    // conditional-processing tests; never for defs, gradients, patterns, clip paths).
    static bool CanDraw(const TSVGElement &element);

    // Own transform first, then BeginDraw, DrawShape, DrawChildren and EndDraw.
    void DoDraw(TSVGGraphicElement &element, const TMatrix &aMatrix);
    void DrawChildren(TSVGGraphicElement &element, const TMatrix &M);
    // The element's own geometry; false when it has none.
    bool DrawShape(TSVGGraphicElement &element, const TMatrix &M);

    // Fills Path (in the element's user space) with the element's fill under its fill
    // rule and strokes it with its stroke. Paint servers span BBox when given (text),
    // else the path's own bounds; a given BBox also keeps the path's own fill rule.
    // Parts limits what is painted (fill, stroke or both), in the order paint-order says.
    enum TPaintPart { None = 0, Fill = 1, Stroke = 2, Markers = 4 };
    void FillAndStrokePath(const TSVGGraphicElement &element, const QPainterPath &path,
                           const TMatrix &M, const QRectF *bbox = nullptr, int parts = Fill | Stroke);
    // The order of fill, stroke and markers the element's paint-order gives.
    static std::array<TPaintPart, 3> PaintOrder(const TSVGGraphicElement &element);
    // Loads the element's stroke into the canvas for geometry with bounds BBox.
    void ApplyPen(const TSVGGraphicElement &element, const QRectF &bbox, const TMatrix &M);
    // Loads the element's fill into the canvas; answers the opacity factor to draw with.
    float ApplyFill(const TSVGGraphicElement &element, const QRectF &bbox, const TMatrix &M);

    // The element's effective fill and stroke with context-fill and context-stroke
    // taken from the element whose marker or use content is being drawn.
    TSVGFillState EffectiveFill(const TSVGGraphicElement &element) const;
    TSVGStrokeState EffectiveStroke(const TSVGGraphicElement &element) const;
    // While it lives, Context is the element whose paint context paints stand for.
    class TContextScope {
    public:
        TContextScope(TSVGPainter &painter, const TSVGGraphicElement &context);
        ~TContextScope() { FPainter.FContext = std::move(FSaved); }
        TContextScope(const TContextScope &) = delete;
        TContextScope &operator=(const TContextScope &) = delete;

    private:
        TSVGPainter &FPainter;
        std::shared_ptr<const TSVGContextPaints> FSaved;
    };

    // Clip mode draws the geometry of a clip path's children: every shape and text
    // filled opaque under its clip-rule, without stroke, markers, images, opacity or
    // masks; a use counts only when it shows a shape or text.
    bool ClipMode() const { return FClipMode; }
    void SetClipMode(bool Value) { FClipMode = Value; }
    // In clip mode: the device pixels filled so far (a bound, never less).
    QRect ClipArea() const { return FClipArea; }

    // The factor a leaf multiplies its fill and stroke opacity by: its own `opacity`
    // when that was not composited as a group, times that of a parent whose only drawn
    // child it is.
    float OpacityFactor() const { return FOpacity; }

    // Guards against references that lead back to an element being drawn (patterns whose
    // content uses the pattern, use of an ancestor). Enter answers false when Element is
    // already active; every successful Enter needs its Leave.
    bool Enter(const TSVGElement *element);
    void Leave(const TSVGElement *element);
    bool Active(const TSVGElement *element) const { return FActive->count(element) > 0; }

    // The painter whose guards a nested painter (a pattern tile's, a mask's, a clip
    // path's, a picture's) shares; what the nested painter draws is drawn through a
    // reference. Raster is the size of the raster of its own the nested painter draws
    // into (empty when it draws onto the outer canvas).
    void ShareGuardsWith(TSVGPainter &outer, QSize raster);

    // The pictures of `image` elements this drawing has decoded (image.h).
    TSVGPictureCache &PictureCache() { return *FPictures; }

    // Every element drawn through a reference (use, markers, masks, patterns, clip
    // paths, a picture's document) takes one from a budget per drawing, so that
    // references of references cannot multiply a small document into an endless
    // drawing: a mask whose content is masked by the next level doubles the work per
    // level. Past SVGMaxReferencedElements: ESVGException SVG_TOO_MUCH_REDRAWN.
    void SpendReferenceBudget(qint64 elements = 1);

    // Marks the drawing of a use's or a marker's content as drawn through a reference.
    class TReferenceScope {
    public:
        explicit TReferenceScope(TSVGPainter &painter) : FPainter(painter) { ++FPainter.FReferenced; }
        ~TReferenceScope() { --FPainter.FReferenced; }
        TReferenceScope(const TReferenceScope &) = delete;
        TReferenceScope &operator=(const TReferenceScope &) = delete;

    private:
        TSVGPainter &FPainter;
    };

private:
    struct TBracket {
        int State = -1;
        bool Layer = false;
        float Opacity = 1;
        float SavedOpacity = 1;
        std::unique_ptr<TSVGCoverage> Coverage;  // clip-path and mask, blended with the layer
    };
    TBracket BeginDraw(TSVGGraphicElement &element, const TMatrix &M, TSVGEffects effects, bool filtered);
    void EndDraw(TSVGGraphicElement &element, const TMatrix &M, const TBracket &bracket);
    void DrawViewport(TSVGGraphicElement &element, const TMatrix &aMatrix);
    bool NeedsLayer(const TSVGGraphicElement &element) const;

    TSVGCanvas &FCanvas;
    QRectF FRect;
    float FOpacity = 1;
    bool FClipMode = false;
    QRect FClipArea;
    std::shared_ptr<const TSVGContextPaints> FContext;  // null outside markers and uses
    void AddClipArea(const QRectF &bounds, const TMatrix &M);
    std::shared_ptr<std::unordered_set<const TSVGElement *>> FActive;
    std::shared_ptr<int> FDepth;
    std::shared_ptr<qint64> FReferenceBudget;
    std::shared_ptr<TSVGPictureCache> FPictures;
    int FReferenced = 0;
    int FRasters = 0;  // rasters of their own this painter draws inside
};


class TSVGCustomViewBox;

// The viewBox of a viewport element mapped into Viewport as its preserveAspectRatio says;
// without that attribute SVG's default, xMidYMid meet. Without a viewBox: a move to the
// viewport's corner.
TMatrix SVGViewBoxMatrix(const TSVGCustomViewBox &element, const QRectF &viewport);

// Whether a viewport element (nested svg, symbol, marker, image) clips its content to
// its viewport: overflow hidden or scroll, the default of these elements. "auto" shows
// the content as "visible" does, and "inherit" takes the parent's written value, which
// is visible when no ancestor states one.
bool SVGClipsToViewport(const TSVGGraphicElement &element);

// Transform (the element's own, its gradientTransform or patternTransform) turned and
// scaled about the element's transform-origin. With UnitBox the transform works in
// object bounding box units, where keywords and percentages are fractions of one.
TMatrix SVGAboutTransformOrigin(const TSVGGraphicElement &element, const TMatrix &transform, bool unitBox = false);

// Draws a whole document so that its viewport fills aRect.
void SVGDrawDocument(TSVGDocument &document, TSVGCanvas &canvas, const QRectF &aRect);
