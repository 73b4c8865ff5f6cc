#include "svg/model/marker.h"

#include "svg/model/structure.h"
#include "svg/model/update_guard.h"

TSVGMarker::TSVGMarker(TSVGDocument *aOwner) : TSVGCustomViewBox(aOwner)
{
    SetDefaults();
}

void TSVGMarker::SetDefaults()
{
    FRefX = FRefY = 0;
    FRefXIsPercent = FRefYIsPercent = false;
    FMarkerWidth = FMarkerHeight = 3;
    FMarkerWidthIsPercent = FMarkerHeightIsPercent = false;
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
        FRefXIsPercent = src->FRefXIsPercent;
        FRefYIsPercent = src->FRefYIsPercent;
        FMarkerWidth = src->FMarkerWidth;
        FMarkerHeight = src->FMarkerHeight;
        FMarkerWidthIsPercent = src->FMarkerWidthIsPercent;
        FMarkerHeightIsPercent = src->FMarkerHeightIsPercent;
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
    if (!FRefXIsPercent)
        return FRefX;
    return float(ViewBox().left() + FRefX * ViewBox().width());
}

float TSVGMarker::RefY() const
{
    if (!FRefYIsPercent)
        return FRefY;
    return float(ViewBox().top() + FRefY * ViewBox().height());
}

void TSVGMarker::SetRefX(float Value)
{
    FRefX = Value;
    FRefXIsPercent = false;
    Changed();
}

void TSVGMarker::SetRefY(float Value)
{
    FRefY = Value;
    FRefYIsPercent = false;
    Changed();
}

void TSVGMarker::SetMarkerWidth(float Value)
{
    FMarkerWidth = std::max(Value, 0.0f);
    Changed();
}

void TSVGMarker::SetMarkerHeight(float Value)
{
    FMarkerHeight = std::max(Value, 0.0f);
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
    FRefX = ReadLengthAttribute(Node, "refX", FRefXIsPercent, factors, FRefX);
    FRefY = ReadLengthAttribute(Node, "refY", FRefYIsPercent, factors, FRefY);
    FMarkerHeight = std::max(0.0f, ReadLengthAttribute(Node, "markerHeight",
                                                       FMarkerHeightIsPercent, factors, FMarkerHeight));
    FMarkerWidth = std::max(0.0f, ReadLengthAttribute(Node, "markerWidth",
                                                      FMarkerWidthIsPercent, factors, FMarkerWidth));
    FUnits = ParseMarkerUnit(ReadAttribute(Node, "markerUnits", QString()), FUnits);
    if (HasAttribute(Node, "orient")) {
        bool isAuto = false;
        FOrientation = ParseAngle(ReadAttribute(Node, "orient", QString()), isAuto,
                                  FOrientation);
        FAutomaticOrientation = isAuto;
    }
    SVGTakeViewBoxGeometry(*this);
}
