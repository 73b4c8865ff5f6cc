#pragma once
// A graphics item that turns a component's document into one child item per element:
// layouts for groups, nested viewports, switches and references, shape items for circles,
// ellipses, lines, rectangles, paths, polylines and polygons, text items and image items,
// each carrying the element's id, transform, visibility, cursor and opacity. Shapes get
// their fill and stroke as brushes, gradients and pattern tiles included, resolved by the
// engine for the element's bounding box. Text and images show the engine's own drawing of
// the element, rendered at the resolution the item has in the scene when it is generated.
// The panel owns the items it generates and rebuilds them after
// every document change and every change of its size or display settings; it never owns
// the component. Sizes are in scene units. Errors of the engine while building reach the
// caller of the change that caused it.

#include "svg/controls/svg_document_component.h"
#include "svg/controls/svg_shape_controls.h"

#include <functional>

class TRSSVGPanel : public QGraphicsObject, private ISVGViewer {
    Q_OBJECT
public:
    using TGenerateControlEvent =
        std::function<void(TRSSVGPanel *Sender, TRSSVGControl *Control, TSVGElement *Element)>;

    explicit TRSSVGPanel(QGraphicsItem *aParent = nullptr);
    ~TRSSVGPanel() override;

    qreal Width() const { return FSize.width(); }
    qreal Height() const { return FSize.height(); }
    void SetSize(const QSizeF &Value);

    TRSFmxSVGDocument *SVGDocument() const { return FSVGDocument; }
    void SetSVGDocument(TRSFmxSVGDocument *Value);
    const QString &SVGRootID() const { return FSVGRootID; }
    void SetSVGRootID(const QString &Value);
    // Kept within 0.01 .. 100.
    float ScaleOriginal() const { return FScaleOriginal; }
    void SetScaleOriginal(float Value);
    TSVGImageWrapMode WrapMode() const { return FWrapMode; }
    void SetWrapMode(TSVGImageWrapMode Value);
    // Called for every item generated, after its state is copied, before its children.
    void SetOnGenerateControl(TGenerateControlEvent Handler) { FOnGenerateControl = std::move(Handler); }

    // Frees the generated items and builds them again from the root element.
    void GenerateControls();
    // The first generated item with this id, depth first; null when there is none.
    TRSSVGControl *FindControl(const QString &SVGID) const;
    // Frees the generated items and lets go of the component.
    void ClearSVGDocument();

    QRectF boundingRect() const override;
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override {}

private:
    void DocumentChanged(TRSFmxSVGDocument *Sender) override;
    void DocumentDestroying(TRSFmxSVGDocument *Sender) override;
    TSVGGraphicElement *GetRootElement() const;
    void FreeControls();
    void Generate(TSVGElement &Element, QGraphicsItem *Parent, const TMatrix &Matrix, int Depth);

    QSizeF FSize{100, 100};
    TRSFmxSVGDocument *FSVGDocument = nullptr;
    QString FSVGRootID;
    float FScaleOriginal = 1;
    TSVGImageWrapMode FWrapMode = iwFit;
    TGenerateControlEvent FOnGenerateControl;
};
