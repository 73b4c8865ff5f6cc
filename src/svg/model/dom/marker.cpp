#include "svg/model/dom/marker.h"

#include "svg/model/dom/structure.h"
#include "svg/model/dom/update_guard.h"

TSVGMarker::TSVGMarker(TSVGDocument *aOwner) : TSVGCustomViewBox(aOwner)
{
    SetDefaults();
}

void TSVGMarker::SetDefaults()
{
    FRefX = FRefY = TSVGLength{};
    FMarkerWidth = FMarkerHeight = TSVGLength{3};
    FUnits = muStrokeWidth;
    FOrientation = 0;
    FAutomaticOrientation = false;
}

std::unique_ptr<TSVGElement> TSVGMarker::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGMarker>(aOwner);
}

void TSVGMarker::AssignProperties(const TSVGElement &Source)
{
    TSVGCustomViewBox::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGMarker *>(&Source)) {
        FRefX = src->FRefX;
        FRefY = src->FRefY;
        FMarkerWidth = src->FMarkerWidth;
        FMarkerHeight = src->FMarkerHeight;
        FUnits = src->FUnits;
        FOrientation = src->FOrientation;
        FAutomaticOrientation = src->FAutomaticOrientation;
    }
}

void TSVGMarker::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGCustomViewBox::Clear();
    SetDefaults();
}

float TSVGMarker::RefX() const
{
    if (!FRefX.IsPercent)
        return FRefX.Value;
    return float(ViewBox().left() + FRefX.Value * ViewBox().width());
}

float TSVGMarker::RefY() const
{
    if (!FRefY.IsPercent)
        return FRefY.Value;
    return float(ViewBox().top() + FRefY.Value * ViewBox().height());
}

void TSVGMarker::SetRefX(float Value)
{
    FRefX = TSVGLength{Value};
    Changed();
}

void TSVGMarker::SetRefY(float Value)
{
    FRefY = TSVGLength{Value};
    Changed();
}

void TSVGMarker::SetMarkerWidth(float Value)
{
    FMarkerWidth.Value = std::max(Value, 0.0f);
    Changed();
}

void TSVGMarker::SetMarkerHeight(float Value)
{
    FMarkerHeight.Value = std::max(Value, 0.0f);
    Changed();
}

void TSVGMarker::SetUnits(TSVGMarkerUnit Value)
{
    FUnits = Value;
    Changed();
}

void TSVGMarker::SetOrientation(float Value)
{
    FOrientation = Value;
    Changed();
}

void TSVGMarker::SetAutomaticOrientation(bool Value)
{
    FAutomaticOrientation = Value;
    Changed();
}

void TSVGMarker::LoadAttributes(pugi::xml_node Node)
{
    TSVGCustomViewBox::LoadAttributes(Node);
    const TSVGUnitFactors &factors = GetUnitFactors();
    FRefX = ReadLengthAttribute(Node, "refX", factors, FRefX);
    FRefY = ReadLengthAttribute(Node, "refY", factors, FRefY);
    FMarkerHeight = ReadLengthAttribute(Node, "markerHeight", factors, FMarkerHeight);
    FMarkerHeight.Value = std::max(0.0f, FMarkerHeight.Value);
    FMarkerWidth = ReadLengthAttribute(Node, "markerWidth", factors, FMarkerWidth);
    FMarkerWidth.Value = std::max(0.0f, FMarkerWidth.Value);
    FUnits = ParseMarkerUnit(ReadAttribute(Node, "markerUnits", QString()), FUnits);
    if (HasAttribute(Node, "orient")) {
        bool isAuto = false;
        FOrientation = ParseAngle(ReadAttribute(Node, "orient", QString()), isAuto,
                                  FOrientation);
        FAutomaticOrientation = isAuto;
    }
    SVGTakeViewBoxGeometry(*this);
}
