#include "svg/controls/svg_panel.h"

#include "svg/controls/svg_image_core.h"
#include "svg/model/shapes.h"
#include "svg/model/structure.h"
#include "svg/render/draw.h"
#include "svg/render/paint.h"
#include "svg/render/shapes.h"

#include <QCursor>
#include <algorithm>

namespace {

// References can nest deeper than the element tree; the walk ends here.
constexpr int kMaxGenerateDepth = SVGMaxElementDepth + 64;

std::unique_ptr<TRSSVGControl> CreateControl(TSVGElementType Type)
{
    switch (Type) {
    case etDoc:
    case etGroup:
    case etSwitch:
    case etUse:
        return std::make_unique<TRSSVGLayout>();
    case etCircle:
        return std::make_unique<TRSSVGCircle>();
    case etEllipse:
        return std::make_unique<TRSSVGEllipse>();
    case etLine:
        return std::make_unique<TRSSVGLine>();
    case etRectangle:
        return std::make_unique<TRSSVGRectangle>();
    case etPath:
    case etPolyline:
    case etPolygon:
        return std::make_unique<TRSSVGPath>();
    default:
        return nullptr;
    }
}

// A solid paint, or the fallback colour of a paint-server reference; else none.
bool SolidColour(TBrushKind Kind, TAlphaColor Colour, const QString &URI, bool HasFallback,
                 float Opacity, QColor &Result)
{
    if (Kind == TBrushKind::None || (!URI.isEmpty() && !HasFallback))
        return false;
    if (URI.isEmpty() && Kind != TBrushKind::Solid)
        return false;
    Result = QColor::fromRgba(SVGColorWithOpacity(Colour, Opacity));
    return true;
}

void CopyPaint(const TSVGGraphicElement &Element, TRSSVGShape &Shape)
{
    const TSVGFillState fill = SVGEffectiveFill(Element);
    QColor colour;
    Shape.SetFill(SolidColour(fill.Kind, fill.Color, fill.URI, fill.HasFallback, fill.Opacity, colour)
                      ? QBrush(colour)
                      : QBrush(Qt::NoBrush));
    const TSVGStrokeState stroke = SVGEffectiveStroke(Element);
    const float width = SVGStrokeWidth(Element, stroke);
    if (!(width > 0) ||
        !SolidColour(stroke.Kind, stroke.Color, stroke.URI, stroke.HasFallback, stroke.Opacity, colour)) {
        Shape.SetStroke(QPen(Qt::NoPen));
        return;
    }
    QPen pen(QBrush(colour), width, Qt::SolidLine, stroke.Cap, stroke.Join);
    pen.setMiterLimit(stroke.MiterLimit);
    if (!stroke.Dash.IsSolid()) {
        // Qt counts dashes in pen widths.
        QList<qreal> dashes;
        for (const float d : stroke.Dash.Pattern)
            dashes << d / width;
        if (dashes.size() % 2)
            dashes += dashes;
        pen.setDashPattern(dashes);
        pen.setDashOffset(stroke.Dash.Offset / width);
    }
    Shape.SetStroke(pen);
}

// The transform of an element's item within its parent's item.
TMatrix OwnMatrix(const TSVGGraphicElement &Element)
{
    if (Element.SVGType() == etUse)
        return TMatrix::CreateTranslation(Element.X(), Element.Y()) * Element.Matrix();
    if (Element.SVGType() == etDoc && Element.Owner()) {
        const auto &vb = static_cast<const TSVGCustomViewBox &>(Element);
        const QRectF viewport(vb.X(), vb.Y(), vb.Width(), vb.Height());
        return Element.Matrix() * SVGViewBoxMatrix(vb, viewport);
    }
    return Element.Matrix();
}

} // namespace

TRSSVGPanel::TRSSVGPanel(QGraphicsItem *aParent) : QGraphicsObject(aParent) {}

TRSSVGPanel::~TRSSVGPanel()
{
    if (FSVGDocument)
        FSVGDocument->RemoveViewer(this);
}

QRectF TRSSVGPanel::boundingRect() const
{
    return QRectF(QPointF(0, 0), FSize);
}

void TRSSVGPanel::SetSize(const QSizeF &Value)
{
    const QSizeF size(std::max<qreal>(Value.width(), 0), std::max<qreal>(Value.height(), 0));
    if (size == FSize)
        return;
    prepareGeometryChange();
    FSize = size;
    GenerateControls();
}

void TRSSVGPanel::SetSVGDocument(TRSFmxSVGDocument *Value)
{
    if (Value == FSVGDocument)
        return;
    if (FSVGDocument)
        FSVGDocument->RemoveViewer(this);
    FSVGDocument = Value;
    if (FSVGDocument)
        FSVGDocument->AddViewer(this);
    GenerateControls();
}

void TRSSVGPanel::SetSVGRootID(const QString &Value)
{
    if (Value == FSVGRootID)
        return;
    FSVGRootID = Value;
    GenerateControls();
}

void TRSSVGPanel::SetScaleOriginal(float Value)
{
    Value = SVGClampScale(Value);
    if (Value == FScaleOriginal)
        return;
    FScaleOriginal = Value;
    GenerateControls();
}

void TRSSVGPanel::SetWrapMode(TSVGImageWrapMode Value)
{
    if (Value == FWrapMode)
        return;
    FWrapMode = Value;
    GenerateControls();
}

void TRSSVGPanel::DocumentChanged(TRSFmxSVGDocument *)
{
    GenerateControls();
}

void TRSSVGPanel::DocumentDestroying(TRSFmxSVGDocument *Sender)
{
    if (Sender != FSVGDocument)
        return;
    FSVGDocument = nullptr;
    FreeControls();
}

void TRSSVGPanel::ClearSVGDocument()
{
    FreeControls();
    if (FSVGDocument)
        FSVGDocument->RemoveViewer(this);
    FSVGDocument = nullptr;
}

TSVGGraphicElement *TRSSVGPanel::GetRootElement() const
{
    if (!FSVGDocument)
        return nullptr;
    TSVGDocument *doc = FSVGDocument->SVG();
    if (FSVGRootID.isEmpty())
        return doc;
    return dynamic_cast<TSVGGraphicElement *>(doc->FindElement(FSVGRootID));
}

void TRSSVGPanel::FreeControls()
{
    const QList<QGraphicsItem *> children = childItems();
    for (QGraphicsItem *child : children)
        if (dynamic_cast<TRSSVGControl *>(child))
            delete child;
}

void TRSSVGPanel::GenerateControls()
{
    FreeControls();
    TSVGGraphicElement *root = GetRootElement();
    if (!root || (root->SVGType() == etDoc && root->Count() == 0) || !(Width() > 0) ||
        !(Height() > 0))
        return;
    const QRectF bounds = root->GetBoundsRect(TMatrix::Identity());
    const QSizeF size = ComputeTargetSize(FWrapMode, FScaleOriginal, bounds.width(),
                                          bounds.height(), Width(), Height());
    const QRectF area(QPointF(0, 0), size);
    Generate(*root, this, root->Matrix() * SVGTargetMatrix(*root, area), 0);
}

void TRSSVGPanel::Generate(TSVGElement &Element, QGraphicsItem *Parent, const TMatrix &Matrix,
                           int Depth)
{
    auto *element = dynamic_cast<TSVGGraphicElement *>(&Element);
    if (!element || Depth > kMaxGenerateDepth)
        return;
    std::unique_ptr<TRSSVGControl> made = CreateControl(Element.SVGType());
    if (!made)
        return;
    TRSSVGControl *control = made.release();
    control->setParentItem(Parent);  // the parent item owns it from here on
    control->SetSVGID(Element.ID());
    control->SetSVGMatrix(Matrix);
    control->setVisible(TSVGPainter::CanDraw(Element));
    if (element->Cursor() != Qt::ArrowCursor)
        control->setCursor(QCursor(element->Cursor()));
    control->setOpacity(std::clamp(element->Opacity(), 0.0f, 1.0f));
    control->SetClipChildren(false);
    if (auto *shape = dynamic_cast<TRSSVGShape *>(control)) {
        QPainterPath outline;
        SVGShapeOutline(*element, outline);
        outline.setFillRule(element->FillRule() == frEvenOdd ? Qt::OddEvenFill : Qt::WindingFill);
        CopyPaint(*element, *shape);
        if (auto *path = dynamic_cast<TRSSVGPath *>(shape)) {
            if (Element.SVGType() == etPath)
                path->SetData(static_cast<TSVGPath &>(Element).Path());
            // Generated paths keep the element's own coordinates.
            path->SetWrapMode(pwOriginal);
        }
        shape->SetOutline(outline);
        const QRectF box = outline.boundingRect();
        shape->SetSize(QSizeF(box.right(), box.bottom()));
    }
    if (FOnGenerateControl)
        FOnGenerateControl(this, control, &Element);

    switch (Element.SVGType()) {
    case etSwitch:
        for (int i = 0; i < Element.Count(); ++i) {
            TSVGElement *child = Element.Items(i);
            if (TSVGPainter::CanDraw(*child)) {
                auto *g = dynamic_cast<TSVGGraphicElement *>(child);
                Generate(*child, control, OwnMatrix(*g), Depth + 1);
                break;
            }
        }
        break;
    case etUse: {
        auto &use = static_cast<TSVGUse &>(Element);
        TSVGElement *target = use.IsReferenceCyclic() ? nullptr : use.ReferencedElement();
        if (auto *g = dynamic_cast<TSVGGraphicElement *>(target))
            Generate(*g, control, OwnMatrix(*g), Depth + 1);
        break;
    }
    default:
        for (int i = 0; i < Element.Count(); ++i) {
            TSVGElement *child = Element.Items(i);
            if (auto *g = dynamic_cast<TSVGGraphicElement *>(child))
                Generate(*g, control, OwnMatrix(*g), Depth + 1);
        }
        break;
    }
}

namespace {

TRSSVGControl *FindIn(const QGraphicsItem &Item, const QString &SVGID)
{
    const QList<QGraphicsItem *> children = Item.childItems();
    for (QGraphicsItem *child : children) {
        auto *control = dynamic_cast<TRSSVGControl *>(child);
        if (!control)
            continue;
        if (control->SVGID() == SVGID)
            return control;
        if (TRSSVGControl *found = FindIn(*control, SVGID))
            return found;
    }
    return nullptr;
}

} // namespace

TRSSVGControl *TRSSVGPanel::FindControl(const QString &SVGID) const
{
    return FindIn(*this, SVGID);
}
