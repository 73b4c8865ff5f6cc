#pragma once
// marker: a viewport drawn at the vertices of paths, lines and polylines.

#include "svg/model/custom_viewbox.h"

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
    bool RefXIsPercent() const { return FRefXIsPercent; }
    bool RefYIsPercent() const { return FRefYIsPercent; }
    void SetRefX(float Value);
    void SetRefY(float Value);
    float MarkerWidth() const { return FMarkerWidth; }
    float MarkerHeight() const { return FMarkerHeight; }
    bool MarkerWidthIsPercent() const { return FMarkerWidthIsPercent; }
    bool MarkerHeightIsPercent() const { return FMarkerHeightIsPercent; }
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

    float FRefX = 0;
    float FRefY = 0;
    bool FRefXIsPercent = false;
    bool FRefYIsPercent = false;
    float FMarkerWidth = 3;
    float FMarkerHeight = 3;
    bool FMarkerWidthIsPercent = false;
    bool FMarkerHeightIsPercent = false;
    TSVGMarkerUnit FUnits = muStrokeWidth;
    float FOrientation = 0;
    bool FAutomaticOrientation = false;
};
