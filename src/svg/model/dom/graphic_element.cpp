#include "svg/model/dom/graphic_element.h"

#include "svg/model/dom/clip_path.h"
#include "svg/model/dom/custom_viewbox.h"
#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/model/css/selector.h"
#include "svg/model/values/transform.h"
#include "svg/model/dom/update_guard.h"
#include "svg/model/dom/xml_dom.h"

#include <cmath>

TSVGStyleProperties SVGInitialInherits()
{
    TSVGStyleProperties set{ipNone,       ipClipPath,     ipClipRule,           ipColor,
                            ipColorInterpolation, ipColorRendering, ipCursor, ipFill,
                            ipFillOpacity, ipFillRule,    ipFont,               ipFontFamily,
                            ipFontSize,   ipFontStyle,    ipFontWeight,         ipMarker,
                            ipMarkerStart, ipMarkerMid,   ipMarkerEnd,          ipShapeRendering};
    for (int p = ipStroke; p <= ipVisibility; ++p)
        set.Include(TSVGStyleProperty(p));
    return set;
}

TSVGStyleProperties SVGAllStyleProperties()
{
    TSVGStyleProperties set;
    for (int p = ipClip; p <= ipVisibility; ++p)
        set.Include(TSVGStyleProperty(p));
    return set;
}

TSVGGraphicElement::TSVGGraphicElement(TSVGDocument *aOwner) : TSVGElement(aOwner)
{
    InitPresentation();
    AttachSubObjects();
}

TSVGGraphicElement::~TSVGGraphicElement()
{
    // Children first, while this element is still whole for their notifications.
    ReleaseItems();
}

std::unique_ptr<TSVGElement> TSVGGraphicElement::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGGraphicElement>(aOwner);
}

void TSVGGraphicElement::AttachSubObjects()
{
    FBrush.SetOnChange([this] { SubObjectChanged(TSVGSubObject::Brush); });
    FPen.SetOnChange([this] { SubObjectChanged(TSVGSubObject::Pen); });
    FFont.SetOnChange([this] { SubObjectChanged(TSVGSubObject::Font); });
    FStyle.SetOnChange([this](TSVGStyle *) { SubObjectChanged(TSVGSubObject::Style); });
}

void TSVGGraphicElement::InitPresentation()
{
    SetAttributes(SVGAllStyleProperties());
    FInherits = SVGInitialInherits();
    FVisible = true;
    FCursor = Qt::ArrowCursor;
    FTextAlign = staLeading;
    FClipRule = frNonZero;
    FFillRule = frNonZero;
    FClipURI.clear();
    FClipRect = QRectF();
    FOpacity = 1;
    FOverflow = true;
    FMarkerStartURI.clear();
    FMarkerMidURI.clear();
    FMarkerEndURI.clear();
    // A root element read again must not keep what the last document's rules set.
    FCascadedMask.clear();
    FCascadedMaskType.clear();
    FCascadedFilter.clear();
    FCascadedDisplay.clear();
    FCascadedOverflow.clear();
    FColorInterpolation = sciSRGB;
    FColorRendering = clrnAuto;
    FTextRendering = txrnAuto;
    FShapeRendering = srnAuto;
    FColor = 0xFF000000;
    FFillCurrentColor = false;
    FStrokeCurrentColor = false;
    FMiterLimitInherited = true;
    FMatrix = TMatrix::Identity();
}

void TSVGGraphicElement::AssignProperties(const TSVGElement &Source)
{
    TSVGElement::AssignProperties(Source);
    const auto *src = dynamic_cast<const TSVGGraphicElement *>(&Source);
    if (!src)
        return;
    FVisible = src->FVisible;
    FPen.Assign(src->FPen);
    FFont.Assign(src->FFont);
    FBrush.Assign(src->FBrush);
    FCursor = src->FCursor;
    FStyle.Assign(src->FStyle);
    FInlineStyle.Assign(src->FInlineStyle);
    FMatrix = src->FMatrix;
    FTextAlign = src->FTextAlign;
    FClipRule = src->FClipRule;
    FFillRule = src->FFillRule;
    FClipURI = src->FClipURI;
    FClipRect = src->FClipRect;
    FOpacity = src->FOpacity;
    FOverflow = src->FOverflow;
    FMarkerEndURI = src->FMarkerEndURI;
    FMarkerStartURI = src->FMarkerStartURI;
    FMarkerMidURI = src->FMarkerMidURI;
    FCascadedMask = src->FCascadedMask;
    FCascadedMaskType = src->FCascadedMaskType;
    FCascadedFilter = src->FCascadedFilter;
    FCascadedDisplay = src->FCascadedDisplay;
    FCascadedOverflow = src->FCascadedOverflow;
    FColorInterpolation = src->FColorInterpolation;
    FColorRendering = src->FColorRendering;
    FTextRendering = src->FTextRendering;
    FShapeRendering = src->FShapeRendering;
    FInherits = src->FInherits;
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    FX = src->FX;
    FY = src->FY;
    FColor = src->FColor;
    FFillCurrentColor = src->FFillCurrentColor;
    FStrokeCurrentColor = src->FStrokeCurrentColor;
    FMiterLimitInherited = src->FMiterLimitInherited;
    Changed();
}

TSVGGraphicElement *TSVGGraphicElement::GetGraphicParent() const
{
    TSVGElement *parent = Parent();
    return parent ? parent->AsGraphic() : nullptr;
}

const TSVGGraphicElement &TSVGGraphicElement::InheritanceSource(TSVGStyleProperty Property) const
{
    const TSVGGraphicElement *e = this;
    while (e->FInherits.Contains(Property)) {
        const TSVGGraphicElement *parent = e->GetGraphicParent();
        if (!parent)
            break;
        e = parent;
    }
    return *e;
}

TAlphaColor TSVGGraphicElement::CurrentColor() const
{
    return InheritanceSource(ipColor).FColor;
}

float TSVGGraphicElement::GetResolvedFontSize() const
{
    return InheritanceSource(ipFontSize).FFont.Size();
}

float TSVGGraphicElement::StrokeMiterLimit() const
{
    const TSVGGraphicElement *e = this;
    while (e->FMiterLimitInherited) {
        const TSVGGraphicElement *parent = e->GetGraphicParent();
        if (!parent)
            break;
        e = parent;
    }
    return e->FPen.MiterLimit();
}

template <typename T, typename Getter>
static T InheritedValue(const TSVGGraphicElement *e, TSVGStyleProperty bit, Getter own)
{
    return own(&e->InheritanceSource(bit));
}

bool TSVGGraphicElement::Visible() const
{
    if (Inherits().Contains(ipDisplay) && Inherits().Contains(ipVisibility))
        if (const TSVGGraphicElement *parent = GetGraphicParent())
            return parent->Visible();
    return FVisible;
}

void TSVGGraphicElement::SetVisible(bool Value)
{
    if (Value == Visible())
        return;
    FVisible = Value;
    FInherits.Exclude(ipVisibility);
    Changed();
}

Qt::CursorShape TSVGGraphicElement::Cursor() const
{
    return InheritedValue<Qt::CursorShape>(this, ipCursor, [](auto *e) { return e->FCursor; });
}

TSVGTextAlign TSVGGraphicElement::TextAlign() const
{
    return InheritedValue<TSVGTextAlign>(this, ipTextAnchor, [](auto *e) { return e->FTextAlign; });
}

TSVGFillRule TSVGGraphicElement::ClipRule() const
{
    return InheritedValue<TSVGFillRule>(this, ipClipRule, [](auto *e) { return e->FClipRule; });
}

TSVGFillRule TSVGGraphicElement::FillRule() const
{
    return InheritedValue<TSVGFillRule>(this, ipFillRule, [](auto *e) { return e->FFillRule; });
}

QString TSVGGraphicElement::ClipURI() const
{
    return InheritedValue<QString>(this, ipClipPath, [](auto *e) { return e->FClipURI; });
}

QRectF TSVGGraphicElement::ClipRect() const
{
    if (FInherits.Contains(ipClip))
        if (const TSVGGraphicElement *parent = GetGraphicParent())
            return parent->ClipRect();
    const QRectF b = BoundsRect();
    return QRectF(QPointF(b.left() - FClipRect.left(), b.top() - FClipRect.top()),
                  QPointF(b.right() - FClipRect.right(), b.bottom() - FClipRect.bottom()));
}

TSVGClipPath *TSVGGraphicElement::ClipURIElement() const
{
    if (FInherits.Contains(ipClipPath))
        if (const TSVGGraphicElement *parent = GetGraphicParent())
            return parent->ClipURIElement();
    const TSVGDocument *doc = Document();
    if (!doc || FClipURI.isEmpty())
        return nullptr;
    return dynamic_cast<TSVGClipPath *>(doc->FindElement(FClipURI));
}

float TSVGGraphicElement::Opacity() const
{
    return InheritedValue<float>(this, ipOpacity, [](auto *e) { return e->FOpacity; });
}

float TSVGGraphicElement::GetAbsoluteOpacity() const
{
    float result = 1;
    for (const TSVGGraphicElement *e = this; e; e = e->GetGraphicParent())
        result *= e->Opacity();
    return result;
}

bool TSVGGraphicElement::Overflow() const
{
    return InheritedValue<bool>(this, ipOverflow, [](auto *e) { return e->FOverflow; });
}

QString TSVGGraphicElement::MarkerStartURI() const
{
    return InheritedValue<QString>(this, ipMarkerStart, [](auto *e) { return e->FMarkerStartURI; });
}

QString TSVGGraphicElement::MarkerMidURI() const
{
    return InheritedValue<QString>(this, ipMarkerMid, [](auto *e) { return e->FMarkerMidURI; });
}

QString TSVGGraphicElement::MarkerEndURI() const
{
    return InheritedValue<QString>(this, ipMarkerEnd, [](auto *e) { return e->FMarkerEndURI; });
}

TSVGColorInterpolation TSVGGraphicElement::ColorInterpolation() const
{
    return InheritedValue<TSVGColorInterpolation>(this, ipColorInterpolation,
                                                  [](auto *e) { return e->FColorInterpolation; });
}

TSVGColorRendering TSVGGraphicElement::ColorRendering() const
{
    return InheritedValue<TSVGColorRendering>(this, ipColorRendering,
                                              [](auto *e) { return e->FColorRendering; });
}

TSVGShapeRendering TSVGGraphicElement::ShapeRendering() const
{
    return InheritedValue<TSVGShapeRendering>(this, ipShapeRendering,
                                              [](auto *e) { return e->FShapeRendering; });
}

TSVGTextRendering TSVGGraphicElement::TextRendering() const
{
    return InheritedValue<TSVGTextRendering>(this, ipTextRendering,
                                             [](auto *e) { return e->FTextRendering; });
}

void TSVGGraphicElement::SetMatrix(const TMatrix &Value)
{
    if (FMatrix == Value)
        return;
    FMatrix = Value;
    Changed();
}

float TSVGGraphicElement::X() const
{
    return ResolvePercent(FX, TSVGAxis::Horizontal);
}

float TSVGGraphicElement::Y() const
{
    return ResolvePercent(FY, TSVGAxis::Vertical);
}

float TSVGGraphicElement::Width() const
{
    return ResolvePercent(FWidth, TSVGAxis::Horizontal);
}

float TSVGGraphicElement::Height() const
{
    return ResolvePercent(FHeight, TSVGAxis::Vertical);
}

void TSVGGraphicElement::SetX(float Value)
{
    if (FX.Value == Value)
        return;
    FX.Value = Value;
    Changed();
}

void TSVGGraphicElement::SetY(float Value)
{
    if (FY.Value == Value)
        return;
    FY.Value = Value;
    Changed();
}

void TSVGGraphicElement::SetWidth(float Value)
{
    if (FWidth.Value == Value)
        return;
    FWidth.Value = Value;
    Changed();
}

void TSVGGraphicElement::SetHeight(float Value)
{
    if (FHeight.Value == Value)
        return;
    FHeight.Value = Value;
    Changed();
}

QSizeF TSVGGraphicElement::ViewportSize() const
{
    for (const TSVGElement *p = Parent(); p; p = p->Parent())
        if (auto *vb = dynamic_cast<const TSVGCustomViewBox *>(p))
            return vb->ContentViewportSize();
    return QSizeF();
}

float TSVGGraphicElement::ResolvePercent(float Value, bool IsPercent, TSVGAxis Axis) const
{
    if (!IsPercent)
        return Value;
    const QSizeF size = ViewportSize();
    if (!size.isValid())
        return Value;
    switch (Axis) {
    case TSVGAxis::Horizontal: return Value * float(size.width());
    case TSVGAxis::Vertical: return Value * float(size.height());
    case TSVGAxis::Diagonal:
        return Value * float(std::sqrt((size.width() * size.width() +
                                        size.height() * size.height()) / 2));
    }
    return Value;
}

QRectF TSVGGraphicElement::BoundsRect() const
{
    const float x = X(), y = Y();
    return QRectF(QPointF(x, y), QPointF(x + Width(), y + Height()));
}

int TSVGGraphicElement::Matches(const QString &Selector) const
{
    return TSVGSelector::Parse(Selector).Match(*this);
}

void TSVGGraphicElement::SetParent(TSVGElement *Value)
{
    const bool differs = Value != Parent();
    TSVGElement::SetParent(Value);
    if (differs)
        Reset();
}

void TSVGGraphicElement::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGElement::Clear();
    FStyle.Clear();
    FInlineStyle.Clear();
    FX = FY = FWidth = FHeight = TSVGLength{};
    InitPresentation();
    FBrush.Reset();
    FPen.Reset();
    FFont.Reset();
    Reset();
}


void TSVGGraphicElement::LoadFromXML(pugi::xml_node Node)
{
    TSVGUpdateGuard guard(this);
    LoadAttributes(Node);
    LoadChildren(Node);
}

QString TSVGGraphicElement::DisplayText() const
{
    return FCascadedDisplay.isEmpty() ? FStyle.Value(u"display").trimmed() : FCascadedDisplay;
}

QString TSVGGraphicElement::OverflowText() const
{
    return FCascadedOverflow.isEmpty() ? FStyle.Value(u"overflow").trimmed() : FCascadedOverflow;
}

void TSVGGraphicElement::LoadAttributes(pugi::xml_node Node)
{
    TSVGElement::LoadAttributes(Node);
    FStyle.Clear();
    // `marker` is a style-sheet shorthand only; as an attribute it says nothing.
    QList<TSVGXMLAttribute> presentation = XMLAttributes();
    presentation.removeIf([](const TSVGXMLAttribute &a) { return a.first == QLatin1String("marker"); });
    FStyle.AddLines(presentation);
    const QString inlineStyle = ReadAttribute(Node, "style", QString());
    FStyle.AddStyle(inlineStyle);
    FInlineStyle.SetStyle(inlineStyle);

    LoadLengths(Node, GetUnitFactors());
    const pugi::xml_attribute transform = Node.attribute("transform");
    FMatrix = transform ? ParseTransform(svgxml::ToQString(transform.value())) : TMatrix::Identity();
}

void TSVGGraphicElement::LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &Factors)
{
    FX = ReadLengthAttribute(Node, "x", Factors, FX);
    FY = ReadLengthAttribute(Node, "y", Factors, FY);
    FWidth = ReadLengthAttribute(Node, "width", Factors, FWidth);
    FHeight = ReadLengthAttribute(Node, "height", Factors, FHeight);
}

void TSVGGraphicElement::DoParsingNode(pugi::xml_node Node)
{
    if (TSVGDocument *doc = Document(); doc && doc->OnParsingNode())
        doc->OnParsingNode()(this, Node);
}

void TSVGGraphicElement::DoParsedNode(TSVGElement *Element)
{
    if (TSVGDocument *doc = Document(); doc && doc->OnParsedNode())
        doc->OnParsedNode()(doc, Element);
}

void TSVGGraphicElement::LoadChildren(pugi::xml_node Node)
{
    bool depthChecked = false;
    for (pugi::xml_node child = Node.first_child(); child; child = child.next_sibling()) {
        DoParsingNode(child);
        if (child.type() == pugi::node_element && !depthChecked) {
            if (Depth() >= SVGMaxElementDepth)
                throw ESVGException(QStringLiteral("SVG elements are nested too deeply"));
            depthChecked = true;
        }
        if (svgxml::IsForeignElement(child)) {
            ChildNodeRead(child, -1);  // another language's element: neither drawn nor read
            continue;
        }
        const int index = CreateChild(child);
        if (index >= 0) {
            TSVGElement *element = Items(index);
            element->LoadFromXML(child);
            DoParsedNode(element);
        }
        ChildNodeRead(child, index);
    }
}

void TSVGGraphicElement::ChildNodeRead(pugi::xml_node, int) {}

int TSVGGraphicElement::AddChildOfType(TSVGElementType Type)
{
    std::unique_ptr<TSVGElement> element = SVGCreateElement(Type, Document());
    if (!element)
        return -1;
    return Add(std::move(element));
}

int TSVGGraphicElement::CreateChild(pugi::xml_node Node)
{
    return CreateChildBase(Node);
}

int TSVGGraphicElement::CreateChildBase(pugi::xml_node Node)
{
    const QString name = svgxml::LocalName(Node);
    if (name.isEmpty())
        return -1;
    if (name == QLatin1String("desc")) {
        SetDescription(svgxml::Text(Node).split(QLatin1Char('\n')));
        return -1;
    }
    if (name == QLatin1String("title")) {
        SetTitle(svgxml::Text(Node));
        return -1;
    }
    if (name == QLatin1String("namedview") || name == QLatin1String("perspective") ||
        name == QLatin1String("filter"))
        return -1;
    const TSVGDocument *doc = Document();
    if (!doc || doc->Options().testFlag(soSkipUnknownXML))
        return -1;
    throw ESVGException(QStringLiteral("Unknown SVG element <%1> in document: %2")
                            .arg(svgxml::NodeKindName(Node), name));
}

void TSVGGraphicElement::SubObjectChanged(TSVGSubObject Object)
{
    // Descendants read inherited paint and font by walking up when asked, so a change
    // of this element's own brush, pen or font concerns only itself; passing it down
    // would also make a cascade quadratic in the tree size.
    if (Object == TSVGSubObject::Brush || Object == TSVGSubObject::Pen || Object == TSVGSubObject::Font) {
        Changed();
        return;
    }
    TSVGElement::SubObjectChanged(Object);
}
