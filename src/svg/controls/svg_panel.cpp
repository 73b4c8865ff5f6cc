#include "svg/controls/svg_panel.h"

#include "svg/controls/svg_image_core.h"
#include "svg/model/dom/image.h"
#include "svg/model/dom/shapes.h"
#include "svg/model/dom/structure.h"
#include "svg/model/dom/text.h"
#include "svg/render/raster_limits.h"
#include "svg/render/draw.h"
#include "svg/render/paint.h"
#include "svg/render/shapes.h"
#include "svg/render/text.h"
#include "svg/render/text_metrics.h"

#include <QCursor>
#include <algorithm>
#include <cmath>

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
    case etText:
        return std::make_unique<TRSSVGText>();
    case etImage:
        return std::make_unique<TRSSVG_Image>();
    default:
        return nullptr;
    }
}

// A canvas paint as a brush in the item's coordinates (the element's user space), with
// an opacity folded into its colours, since an item has no per-paint opacity.
QBrush PaintBrush(const TCanvasPaint &Paint, float Opacity)
{
    switch (Paint.Kind) {
    case TCanvasPaint::TKind::None:
        return QBrush(Qt::NoBrush);
    case TCanvasPaint::TKind::Solid:
        return QBrush(QColor::fromRgba(SVGColorWithOpacity(Paint.Color, Opacity)));
    case TCanvasPaint::TKind::Gradient: {
        if (!Paint.Gradient)
            return QBrush(Qt::NoBrush);
        QGradient gradient = *Paint.Gradient;
        QGradientStops stops = gradient.stops();
        for (QGradientStop &stop : stops)
            stop.second.setAlphaF(float(stop.second.alphaF()) * std::clamp(Opacity, 0.0f, 1.0f));
        gradient.setStops(stops);
        QBrush brush(gradient);
        brush.setTransform(Paint.PaintTransform);
        return brush;
    }
    case TCanvasPaint::TKind::Bitmap: {
        if (Paint.Bitmap.isNull())
            return QBrush(Qt::NoBrush);
        QImage tile = Paint.Bitmap.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (Opacity < 1) {
            QImage faded(tile.size(), QImage::Format_ARGB32_Premultiplied);
            faded.fill(Qt::transparent);
            QPainter painter(&faded);
            painter.setOpacity(std::max(Opacity, 0.0f));
            painter.drawImage(0, 0, tile);
            painter.end();
            tile = faded;
        }
        QBrush brush(tile);
        brush.setTransform(Paint.PaintTransform);
        return brush;
    }
    }
    return QBrush(Qt::NoBrush);
}

// Paint servers resolve through the engine, which wants a painter; patterns render their
// tile at the resolution ToDevice asks for on a canvas of their own, so this one stays 1 x 1.
class TPaintResolver {
public:
    TPaintResolver() : FImage(SVGNewRaster(QSize(1, 1))), FCanvas(FImage), FPainter(FCanvas, QRectF(0, 0, 1, 1)) {}

    void CopyPaint(const TSVGGraphicElement &Element, TRSSVGShape &Shape, const QPainterPath &Outline,
                   const TMatrix &ToDevice)
    {
        const TSVGPaintTarget target{Outline.boundingRect(), ToDevice};
        const TSVGFillState fill = SVGEffectiveFill(Element);
        Shape.SetFill(PaintBrush(
            SVGCanvasPaint(FPainter, Element, fill.Kind, fill.Color, fill.URI, fill.HasFallback, target),
            fill.Opacity));
        const TSVGStrokeState stroke = SVGEffectiveStroke(Element);
        const TCanvasStroke canvasStroke = SVGCanvasStroke(FPainter, Element, stroke, target);
        const QBrush brush = PaintBrush(canvasStroke.Paint, stroke.Opacity);
        const float width = canvasStroke.Thickness;
        if (!(width > 0) || brush.style() == Qt::NoBrush) {
            Shape.SetStroke(QPen(Qt::NoPen));
            return;
        }
        QPen pen(brush, width, Qt::SolidLine, stroke.Cap, stroke.Join);
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

    // The element as the engine draws it (its own transform left to the item), rendered
    // at Scale pixels per unit over Place.
    static QImage Draw(TSVGGraphicElement &Element, const QRectF &Place, qreal Scale)
    {
        const QSize size(std::max(1, int(std::ceil(Place.width() * Scale))),
                         std::max(1, int(std::ceil(Place.height() * Scale))));
        QImage image = SVGNewRaster(size);
        TSVGCanvas canvas(image);
        TSVGPainter painter(canvas, QRectF(QPointF(0, 0), size));
        const TMatrix m = TMatrix::CreateTranslation(float(-Place.left()), float(-Place.top())) *
                          TMatrix::CreateScaling(float(Scale), float(Scale));
        canvas.SetMatrix(m);
        painter.DrawShape(Element, m);
        return image;
    }

private:
    QImage FImage;
    TSVGCanvas FCanvas;
    TSVGPainter FPainter;
};

// The characters of a text element and its spans, in document order.
QString RawTextContent(const TSVGElement &Element)
{
    const auto *text = dynamic_cast<const TSVGText *>(&Element);
    if (!text)
        return QString();
    QString result;
    for (const TSVGTextContent &part : text->Content()) {
        if (part.ChildIndex < 0)
            result += part.Text;
        else if (part.ChildIndex < Element.Count())
            result += RawTextContent(*Element.Items(part.ChildIndex));
    }
    return result;
}

// White space as a reader sees it: runs collapsed, ends trimmed (the drawing itself
// follows xml:space).
QString TextContent(const TSVGElement &Element)
{
    return RawTextContent(Element).simplified();
}

QFont ItemFont(const TCanvasFont &Font)
{
    QFont font;
    const QStringList families = TTextMetrics::Families(Font.Family);
    if (!families.isEmpty())
        font.setFamilies(families);
    font.setPixelSize(std::max(1, int(std::lround(Font.Size))));
    font.setBold(Font.Bold);
    font.setItalic(Font.Italic);
    font.setUnderline(Font.Underline);
    font.setStrikeOut(Font.StrikeOut);
    font.setOverline(Font.Overline);
    return font;
}

// The larger axis scale of a transform: how many device pixels one unit may cover.
qreal DeviceScale(const QTransform &T)
{
    return std::max(std::hypot(T.m11(), T.m12()), std::hypot(T.m21(), T.m22()));
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
        TPaintResolver().CopyPaint(*element, *shape, outline,
                                   TMatrix::FromQTransform(control->sceneTransform()));
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
    if (auto *picture = dynamic_cast<TRSSVGPicture *>(control)) {
        QRectF place;
        if (Element.SVGType() == etText) {
            auto &text = static_cast<TSVGText &>(Element);
            auto *item = static_cast<TRSSVGText *>(control);
            item->SetText(TextContent(text));
            item->SetFont(ItemFont(SVGResolveFont(text)));
            const TSVGFillState fill = SVGEffectiveFill(text);
            if (fill.Kind == TBrushKind::Solid && fill.URI.isEmpty())
                item->SetFontColor(QColor::fromRgba(SVGColorWithOpacity(fill.Color, fill.Opacity)));
            // Strokes, decorations and italic overhangs reach past the glyph outlines.
            const qreal margin = std::max<qreal>(SVGStrokeWidth(text, SVGEffectiveStroke(text)), 0) +
                                 SVGResolveFont(text).Size / 4 + 1;
            place = SVGTextOutline(text).boundingRect().adjusted(-margin, -margin, margin, margin);
            control->SetSize(QSizeF(std::max<qreal>(place.right(), 0), std::max<qreal>(place.bottom(), 0)));
        } else {
            place = QRectF(element->X(), element->Y(), element->Width(), element->Height());
            control->SetSize(QSizeF(place.right(), place.bottom()));
        }
        // Only the part over the panel is rendered: an element may reach far past it, and
        // a raster of all of it could be larger than the engine allows.
        place &= control->mapRectFromItem(this, boundingRect());
        const qreal scale = DeviceScale(control->sceneTransform());
        if (place.isValid() && scale > 0)
            picture->SetBitmap(TPaintResolver::Draw(*element, place, scale), place);
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
