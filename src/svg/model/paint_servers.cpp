#include "svg/model/paint_servers.h"

#include "svg/model/color.h"
#include "svg/model/document.h"
#include "svg/model/inherit.h"
#include "svg/model/transform.h"
#include "svg/model/update_guard.h"
#include "svg/model/xml_dom.h"

#include <QSet>

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
    }
}

void TSVGCustomGradient::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGGraphicElement::Clear();
    FReference.clear();
    FSpread = gsPad;
    FUnits = csuObjectBoundingBox;
}

void TSVGCustomGradient::SetReference(const QString &Value)
{
    FReference = Value;
    Changed();
}

void TSVGCustomGradient::SetSpread(TSVGGradientSpread Value)
{
    FSpread = Value;
    Changed();
}

void TSVGCustomGradient::SetUnits(TSVGCoordinateSystemUnit Value)
{
    FUnits = Value;
    Changed();
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
    FReference = WithoutHash(ReadHRef(Node));
    FUnits = ParseCoordinateSystemUnit(ReadAttribute(Node, "gradientUnits", QString()), FUnits);
    FSpread = ParseGradientSpread(ReadAttribute(Node, "spreadMethod", QString()), FSpread);
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

void TSVGLinearGradient::AssignProperties(const TSVGElement &Source)
{
    TSVGCustomGradient::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGLinearGradient *>(&Source)) {
        FX1 = src->FX1;
        FY1 = src->FY1;
        FX2 = src->FX2;
        FY2 = src->FY2;
    }
}

void TSVGLinearGradient::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGCustomGradient::Clear();
    FX1 = FY1 = FY2 = 0;
    FX2 = 1;
}

void TSVGLinearGradient::LoadAttributes(pugi::xml_node Node)
{
    TSVGCustomGradient::LoadAttributes(Node);
    const TSVGUnitFactors &factors = GetUnitFactors();
    FX1 = ReadRangeAttribute(Node, "x1", factors, FX1);
    FY1 = ReadRangeAttribute(Node, "y1", factors, FY1);
    FX2 = ReadRangeAttribute(Node, "x2", factors, FX2);
    FY2 = ReadRangeAttribute(Node, "y2", factors, FY2);
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
    FFocalX = FFocalY = 0;
    FFocalXSpecified = FFocalYSpecified = false;
    FFocalXIsPercent = FFocalYIsPercent = false;
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
        FFocalXIsPercent = src->FFocalXIsPercent;
        FFocalYIsPercent = src->FFocalYIsPercent;
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
    auto read = [&](const char *name, float &value, bool &isPercent, bool &specified) {
        if (!HasAttribute(Node, name))
            return;
        value = ReadLengthAttribute(Node, name, isPercent, factors, value);
        specified = true;
    };
    float x = StoredX(), y = StoredY(), r = StoredWidth();
    bool xp = XIsPercent(), yp = YIsPercent(), rp = WidthIsPercent();
    read("cx", x, xp, FCenterXSpecified);
    read("cy", y, yp, FCenterYSpecified);
    read("r", r, rp, FRadiusSpecified);
    SetX(x);
    SetY(y);
    SetWidth(r);
    SetHeight(r);
    SetXIsPercent(xp);
    SetYIsPercent(yp);
    SetWidthIsPercent(rp);
    SetHeightIsPercent(rp);
    read("fx", FFocalX, FFocalXIsPercent, FFocalXSpecified);
    read("fy", FFocalY, FFocalYIsPercent, FFocalYSpecified);
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
    Changed();
}

void TSVGPattern::SetContentUnits(TSVGCoordinateSystemUnit Value)
{
    FContentUnits = Value;
    Changed();
}

void TSVGPattern::LoadAttributes(pugi::xml_node Node)
{
    TSVGCustomViewBox::LoadAttributes(Node);
    SetMatrix(ReadTransform(Node, "patternTransform"));
    FReference = WithoutHash(ReadHRef(Node));
    FContentUnits = ParseCoordinateSystemUnit(
        ReadAttribute(Node, "patternContentUnits", QString()), FContentUnits);
    FUnits = ParseCoordinateSystemUnit(ReadAttribute(Node, "patternUnits", QString()),
                                       FUnits);
}
