#pragma once
// marker: a viewport drawn at the vertices of the paths and basic shapes that name it.

#include "svg/model/dom/custom_viewbox.h"
#include "svg/model/values/length.h"

class TSVGMarker : public TSVGCustomViewBox {
public:
    explicit TSVGMarker(TSVGDocument *aOwner);
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGMarker"); }
    TSVGElementType SVGType() const override { return etMarker; }
    void AssignProperties(const TSVGElement &Source) override;
    void Clear() override;

    // A percentage refers to the viewBox: its left (top) plus the share of its extent.
    float RefX() const;
    float RefY() const;
    bool RefXIsPercent() const { return FRefX.IsPercent; }
    bool RefYIsPercent() const { return FRefY.IsPercent; }
    void SetRefX(float Value);
    void SetRefY(float Value);
    float MarkerWidth() const { return FMarkerWidth.Value; }
    float MarkerHeight() const { return FMarkerHeight.Value; }
    bool MarkerWidthIsPercent() const { return FMarkerWidth.IsPercent; }
    bool MarkerHeightIsPercent() const { return FMarkerHeight.IsPercent; }
    const TSVGLength &MarkerWidthLength() const { return FMarkerWidth; }
    const TSVGLength &MarkerHeightLength() const { return FMarkerHeight; }
    // Negative sizes become 0.
    void SetMarkerWidth(float Value);
    void SetMarkerHeight(float Value);
    TSVGMarkerUnit Units() const { return FUnits; }
    void SetUnits(TSVGMarkerUnit Value);
    // The fixed `orient` angle in radians.
    float Orientation() const { return FOrientation; }
    void SetOrientation(float Value);
    bool AutomaticOrientation() const { return FAutomaticOrientation; }
    void SetAutomaticOrientation(bool Value);

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    void SetDefaults();

    TSVGLength FRefX;
    TSVGLength FRefY;
    TSVGLength FMarkerWidth{3};
    TSVGLength FMarkerHeight{3};
    TSVGMarkerUnit FUnits = muStrokeWidth;
    float FOrientation = 0;
    bool FAutomaticOrientation = false;
};
