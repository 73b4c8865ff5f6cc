#include "svg/model/dom/paint_servers.h"

#include "svg/model/values/color.h"
#include "svg/model/dom/document.h"
#include "svg/model/values/inherit.h"
#include "svg/model/values/transform.h"
#include "svg/model/dom/update_guard.h"
#include "svg/model/dom/xml_dom.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace {

QString WithoutHash(const QString &reference)
{
    return reference.startsWith(QLatin1Char('#')) ? reference.mid(1) : reference;
}

TMatrix ReadTransform(pugi::xml_node Node, const char *Name)
{
    const pugi::xml_attribute a = Node.attribute(Name);
    return a ? ParseTransform(svgxml::ToQString(a.value())) : TMatrix::Identity();
}

} // namespace

// --- gradients

void TSVGCustomGradient::AssignProperties(const TSVGElement &Source)
{
    TSVGGraphicElement::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGCustomGradient *>(&Source)) {
        FReference = src->FReference;
        FSpread = src->FSpread;
        FUnits = src->FUnits;
        FSpreadStated = src->FSpreadStated;
        FUnitsStated = src->FUnitsStated;
        FTransformStated = src->FTransformStated;
    }
}

void TSVGCustomGradient::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGGraphicElement::Clear();
    FReference.clear();
    FSpread = gsPad;
    FUnits = csuObjectBoundingBox;
    FSpreadStated = FUnitsStated = FTransformStated = false;
}

void TSVGCustomGradient::SetReference(const QString &Value)
{
    FReference = Value;
    Changed();
}

void TSVGCustomGradient::SetSpread(TSVGGradientSpread Value)
{
    FSpread = Value;
    FSpreadStated = true;
    Changed();
}

void TSVGCustomGradient::SetUnits(TSVGCoordinateSystemUnit Value)
{
    FUnits = Value;
    FUnitsStated = true;
    Changed();
}

std::vector<const TSVGCustomGradient *> TSVGCustomGradient::Chain() const
{
    std::vector<const TSVGCustomGradient *> chain{this};
    const TSVGDocument *doc = Document();
    for (const TSVGCustomGradient *g = this; doc;) {
        const QString id = WithoutHash(g->FReference.trimmed());
        if (id.isEmpty())
            break;
        const auto *next = dynamic_cast<const TSVGCustomGradient *>(doc->FindElement(id));
        if (!next || std::find(chain.begin(), chain.end(), next) != chain.end())
            break;
        chain.push_back(next);
        g = next;
    }
    return chain;
}

bool TSVGCustomGradient::States(TSVGGradientAttribute Attribute) const
{
    switch (Attribute) {
    case TSVGGradientAttribute::Units: return FUnitsStated;
    case TSVGGradientAttribute::Spread: return FSpreadStated;
    case TSVGGradientAttribute::Transform: return FTransformStated || !Matrix().IsIdentity();
    default: return false;
    }
}

const TSVGCustomGradient *TSVGCustomGradient::Source(TSVGGradientAttribute Attribute) const
{
    for (const TSVGCustomGradient *g : Chain())
        if (g->States(Attribute))
            return g;
    return this;
}

TSVGLength TSVGCustomGradient::Length(TSVGGradientAttribute) const
{
    return {};
}

const TSVGCustomGradient *TSVGCustomGradient::StopSource() const
{
    QSet<const TSVGCustomGradient *> seen;
    const TSVGCustomGradient *g = this;
    for (;;) {
        if (g->Count() > 0)
            return g;
        // A chain of references that returns to a gradient already seen has no stops.
        if (seen.contains(g))
            return nullptr;
        seen.insert(g);
        const TSVGDocument *doc = g->Document();
        const auto *next = doc && !g->FReference.isEmpty()
                               ? dynamic_cast<const TSVGCustomGradient *>(doc->FindElement(g->FReference))
                               : nullptr;
        if (!next)
            return g;
        g = next;
    }
}

QList<const TSVGGradientStop *> TSVGCustomGradient::Stops() const
{
    QList<const TSVGGradientStop *> stops;
    if (const TSVGCustomGradient *source = StopSource())
        for (int i = 0; i < source->Count(); ++i)
            if (const auto *stop = dynamic_cast<const TSVGGradientStop *>(source->Items(i)))
                stops.append(stop);
    return stops;
}

void TSVGCustomGradient::LoadAttributes(pugi::xml_node Node)
{
    TSVGGraphicElement::LoadAttributes(Node);
    SetMatrix(ReadTransform(Node, "gradientTransform"));
    FTransformStated = HasAttribute(Node, "gradientTransform");
    FReference = WithoutHash(ReadHRef(Node));
    // A value that cannot be read still states the attribute: it stops the chain and
    // gives the default.
    FUnitsStated = HasAttribute(Node, "gradientUnits");
    FUnits = ParseCoordinateSystemUnit(ReadAttribute(Node, "gradientUnits", QString()).trimmed(),
                                       csuObjectBoundingBox);
    FSpreadStated = HasAttribute(Node, "spreadMethod");
    FSpread = ParseGradientSpread(ReadAttribute(Node, "spreadMethod", QString()).trimmed(), gsPad);
}

int TSVGCustomGradient::CreateChild(pugi::xml_node Node)
{
    if (svgxml::LocalName(Node) == QLatin1String("stop"))
        return AddChildOfType(etGradientStop);
    return CreateChildBase(Node);
}

std::unique_ptr<TSVGElement> TSVGLinearGradient::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGLinearGradient>(aOwner);
}

namespace {

int LinearIndex(TSVGGradientAttribute Attribute)
{
    switch (Attribute) {
    case TSVGGradientAttribute::X1: return 0;
    case TSVGGradientAttribute::Y1: return 1;
    case TSVGGradientAttribute::X2: return 2;
    case TSVGGradientAttribute::Y2: return 3;
    default: return -1;
    }
}

} // namespace

void TSVGLinearGradient::SetDefaults()
{
    FCoordinates[0] = {0, true};
    FCoordinates[1] = {0, true};
    FCoordinates[2] = {1, true};
    FCoordinates[3] = {0, true};
    std::fill(std::begin(FStated), std::end(FStated), false);
}

void TSVGLinearGradient::AssignProperties(const TSVGElement &Source)
{
    TSVGCustomGradient::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGLinearGradient *>(&Source)) {
        std::copy(std::begin(src->FCoordinates), std::end(src->FCoordinates), std::begin(FCoordinates));
        std::copy(std::begin(src->FStated), std::end(src->FStated), std::begin(FStated));
    }
}

void TSVGLinearGradient::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGCustomGradient::Clear();
    SetDefaults();
}

void TSVGLinearGradient::SetCoordinateAt(int Index, TSVGLength Value)
{
    FCoordinates[Index] = Value;
    FStated[Index] = true;
    Changed();
}

void TSVGLinearGradient::SetCoordinate(TSVGGradientAttribute Attribute, TSVGLength Value)
{
    if (const int i = LinearIndex(Attribute); i >= 0)
        SetCoordinateAt(i, Value);
}

bool TSVGLinearGradient::States(TSVGGradientAttribute Attribute) const
{
    const int i = LinearIndex(Attribute);
    return i >= 0 ? FStated[i] : TSVGCustomGradient::States(Attribute);
}

TSVGLength TSVGLinearGradient::Length(TSVGGradientAttribute Attribute) const
{
    const int i = LinearIndex(Attribute);
    return i >= 0 ? FCoordinates[i] : TSVGLength{};
}

void TSVGLinearGradient::LoadAttributes(pugi::xml_node Node)
{
    TSVGCustomGradient::LoadAttributes(Node);
    SetDefaults();
    const TSVGUnitFactors &factors = GetUnitFactors();
    static const char *const names[] = {"x1", "y1", "x2", "y2"};
    for (int i = 0; i < 4; ++i) {
        if (!HasAttribute(Node, names[i]))
            continue;
        // Unreadable text states the attribute with the value 0, as drawing has it.
        TSVGLength &c = FCoordinates[i];
        c = ReadLengthAttribute(Node, names[i], factors, TSVGLength{});
        if (!std::isfinite(c.Value))
            c.Value = 0;
        FStated[i] = true;
    }
}

TSVGRadialGradient::TSVGRadialGradient(TSVGDocument *aOwner) : TSVGCustomGradient(aOwner)
{
    SetDefaults();
}

void TSVGRadialGradient::SetDefaults()
{
    SetX(0.5f);
    SetY(0.5f);
    SetWidth(0.5f);
    SetHeight(0.5f);
    SetXIsPercent(true);
    SetYIsPercent(true);
    SetWidthIsPercent(true);
    SetHeightIsPercent(true);
    FCenterXSpecified = FCenterYSpecified = FRadiusSpecified = false;
    FFocalX = FFocalY = TSVGLength{};
    FFocalXSpecified = FFocalYSpecified = false;
    FFocalRadius = {0, true};
    FFocalRadiusSpecified = false;
}

std::unique_ptr<TSVGElement> TSVGRadialGradient::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGRadialGradient>(aOwner);
}

void TSVGRadialGradient::AssignProperties(const TSVGElement &Source)
{
    TSVGCustomGradient::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGRadialGradient *>(&Source)) {
        FCenterXSpecified = src->FCenterXSpecified;
        FCenterYSpecified = src->FCenterYSpecified;
        FRadiusSpecified = src->FRadiusSpecified;
        FFocalX = src->FFocalX;
        FFocalY = src->FFocalY;
        FFocalXSpecified = src->FFocalXSpecified;
        FFocalYSpecified = src->FFocalYSpecified;
        FFocalRadius = src->FFocalRadius;
        FFocalRadiusSpecified = src->FFocalRadiusSpecified;
    }
}

bool TSVGRadialGradient::States(TSVGGradientAttribute Attribute) const
{
    switch (Attribute) {
    case TSVGGradientAttribute::CX: return FCenterXSpecified;
    case TSVGGradientAttribute::CY: return FCenterYSpecified;
    case TSVGGradientAttribute::R: return FRadiusSpecified;
    case TSVGGradientAttribute::FX: return FFocalXSpecified;
    case TSVGGradientAttribute::FY: return FFocalYSpecified;
    case TSVGGradientAttribute::FR: return FFocalRadiusSpecified;
    default: return TSVGCustomGradient::States(Attribute);
    }
}

TSVGLength TSVGRadialGradient::Length(TSVGGradientAttribute Attribute) const
{
    switch (Attribute) {
    case TSVGGradientAttribute::CX: return StoredXLength();
    case TSVGGradientAttribute::CY: return StoredYLength();
    case TSVGGradientAttribute::R: return StoredWidthLength();
    case TSVGGradientAttribute::FX: return FFocalX;
    case TSVGGradientAttribute::FY: return FFocalY;
    case TSVGGradientAttribute::FR: return FFocalRadius;
    default: return {};
    }
}

void TSVGRadialGradient::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGCustomGradient::Clear();
    SetDefaults();
}

void TSVGRadialGradient::LoadAttributes(pugi::xml_node Node)
{
    TSVGCustomGradient::LoadAttributes(Node);
    const TSVGUnitFactors &factors = GetUnitFactors();
    // Unreadable text states the attribute with the value 0, as drawing has it.
    auto read = [&](const char *name, TSVGLength &length, bool &specified) {
        if (!HasAttribute(Node, name))
            return;
        length = ReadLengthAttribute(Node, name, factors, TSVGLength{});
        if (!std::isfinite(length.Value))
            length.Value = 0;
        specified = true;
    };
    TSVGLength x = StoredXLength(), y = StoredYLength(), r = StoredWidthLength();
    read("cx", x, FCenterXSpecified);
    read("cy", y, FCenterYSpecified);
    read("r", r, FRadiusSpecified);
    SetX(x.Value);
    SetY(y.Value);
    SetWidth(r.Value);
    SetHeight(r.Value);
    SetXIsPercent(x.IsPercent);
    SetYIsPercent(y.IsPercent);
    SetWidthIsPercent(r.IsPercent);
    SetHeightIsPercent(r.IsPercent);
    read("fx", FFocalX, FFocalXSpecified);
    read("fy", FFocalY, FFocalYSpecified);
    read("fr", FFocalRadius, FFocalRadiusSpecified);
}

// --- stop

TSVGGradientStop::TSVGGradientStop(TSVGDocument *aOwner) : TSVGGraphicElement(aOwner)
{
    FStopBrush.SetOnChange([this] { Changed(); });
}

std::unique_ptr<TSVGElement> TSVGGradientStop::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGGradientStop>(aOwner);
}

void TSVGGradientStop::AssignProperties(const TSVGElement &Source)
{
    TSVGGraphicElement::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGGradientStop *>(&Source)) {
        FStopBrush.Assign(src->FStopBrush);
        FOffsetInherited = src->FOffsetInherited;
        FStopCurrentColor = src->FStopCurrentColor;
    }
}

void TSVGGradientStop::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGGraphicElement::Clear();
    FStopBrush.Reset();
    FOffsetInherited = false;
    FStopCurrentColor = false;
}

void TSVGGradientStop::LoadAttributes(pugi::xml_node Node)
{
    TSVGGraphicElement::LoadAttributes(Node);
    if (const pugi::xml_attribute offset = Node.attribute("offset")) {
        SetXIsPercent(false);
        SetX(ParseLength(svgxml::ToQString(offset.value()), FOffsetInherited, GetUnitFactors(), 1,
                         0, StoredX()));
    }
}

void TSVGGradientStop::ApplyStyle(const TSVGStyle &aStyle)
{
    TSVGUpdateGuard guard(this);
    TSVGGraphicElement::ApplyStyle(aStyle);
    TSVGStyleProperties inherits = Inherits();

    bool inherited = inherits.Contains(ipStopColor);
    QString trimmed;
    if (SVGInheritStep(aStyle.GetStyleProp(ipStopColor), inherited, trimmed)) {
        bool isNone = FStopBrush.Kind() == TBrushKind::None;
        bool flag = false;
        bool isCurrentColor = false;
        const TAlphaColor color = ParseColor(trimmed, FStopBrush.Color(), isNone, flag, &isCurrentColor);
        FStopBrush.SetColor(color);
        FStopBrush.SetKind(isNone ? TBrushKind::None : TBrushKind::Solid);
        FStopCurrentColor = isCurrentColor;
    }
    inherits.Set(ipStopColor, inherited);

    inherited = inherits.Contains(ipStopOpacity);
    FStopBrush.SetOpacity(ParseLength(aStyle.GetStyleProp(ipStopOpacity), inherited,
                                      StyleUnitFactors(), 1, 0, FStopBrush.Opacity()));
    inherits.Set(ipStopOpacity, inherited);
    SetInherits(inherits);
}

void TSVGGradientStop::ResolveCurrentColor()
{
    TSVGGraphicElement::ResolveCurrentColor();
    if (FStopCurrentColor) {
        FStopBrush.SetKind(TBrushKind::Solid);
        FStopBrush.SetColor(CurrentColor());
    }
}

// --- pattern

TSVGPattern::TSVGPattern(TSVGDocument *aOwner) : TSVGCustomViewBox(aOwner)
{
    SetDefaults();
}

void TSVGPattern::SetDefaults()
{
    FReference.clear();
    FUnits = csuObjectBoundingBox;
    FContentUnits = csuUserSpaceOnUse;
    std::fill(std::begin(FStated), std::end(FStated), false);
    AspectRatio().SetValue({saXMidYMid, false, false});
}

std::unique_ptr<TSVGElement> TSVGPattern::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGPattern>(aOwner);
}

void TSVGPattern::AssignProperties(const TSVGElement &Source)
{
    TSVGCustomViewBox::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGPattern *>(&Source)) {
        FReference = src->FReference;
        FUnits = src->FUnits;
        FContentUnits = src->FContentUnits;
        std::copy(std::begin(src->FStated), std::end(src->FStated), std::begin(FStated));
    }
}

void TSVGPattern::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGCustomViewBox::Clear();
    SetDefaults();
}

void TSVGPattern::SetUnits(TSVGCoordinateSystemUnit Value)
{
    FUnits = Value;
    FStated[int(TAttribute::Units)] = true;
    Changed();
}

void TSVGPattern::SetContentUnits(TSVGCoordinateSystemUnit Value)
{
    FContentUnits = Value;
    FStated[int(TAttribute::ContentUnits)] = true;
    Changed();
}

std::vector<const TSVGPattern *> TSVGPattern::Chain() const
{
    std::vector<const TSVGPattern *> chain{this};
    const TSVGDocument *doc = Document();
    for (const TSVGPattern *p = this; doc;) {
        const QString id = WithoutHash(p->FReference.trimmed());
        if (id.isEmpty())
            break;
        const auto *next = dynamic_cast<const TSVGPattern *>(doc->FindElement(id));
        if (!next || std::find(chain.begin(), chain.end(), next) != chain.end())
            break;
        chain.push_back(next);
        p = next;
    }
    return chain;
}

bool TSVGPattern::States(TAttribute Attribute) const
{
    if (FStated[int(Attribute)])
        return true;
    switch (Attribute) {
    case TAttribute::Transform: return !Matrix().IsIdentity();
    case TAttribute::X: return StoredX() != 0 || XIsPercent();
    case TAttribute::Y: return StoredY() != 0 || YIsPercent();
    case TAttribute::Width: return StoredWidth() != 0 || WidthIsPercent();
    case TAttribute::Height: return StoredHeight() != 0 || HeightIsPercent();
    case TAttribute::ViewBox: return ViewBoxSpecified();
    default: return false;
    }
}

const TSVGPattern *TSVGPattern::Source(TAttribute Attribute) const
{
    for (const TSVGPattern *p : Chain())
        if (p->States(Attribute))
            return p;
    return this;
}

void TSVGPattern::LoadAttributes(pugi::xml_node Node)
{
    TSVGCustomViewBox::LoadAttributes(Node);
    SetMatrix(ReadTransform(Node, "patternTransform"));
    FReference = WithoutHash(ReadHRef(Node));
    // A value that cannot be read still states the attribute: it stops the chain and
    // gives the default.
    FContentUnits = ParseCoordinateSystemUnit(
        ReadAttribute(Node, "patternContentUnits", QString()).trimmed(), csuUserSpaceOnUse);
    FUnits = ParseCoordinateSystemUnit(ReadAttribute(Node, "patternUnits", QString()).trimmed(),
                                       csuObjectBoundingBox);
    const std::pair<TAttribute, const char *> names[] = {
        {TAttribute::Units, "patternUnits"}, {TAttribute::ContentUnits, "patternContentUnits"},
        {TAttribute::Transform, "patternTransform"}, {TAttribute::X, "x"}, {TAttribute::Y, "y"},
        {TAttribute::Width, "width"}, {TAttribute::Height, "height"}, {TAttribute::ViewBox, "viewBox"},
        {TAttribute::AspectRatio, "preserveAspectRatio"}};
    for (const auto &[attribute, name] : names)
        FStated[int(attribute)] = HasAttribute(Node, name);
}
