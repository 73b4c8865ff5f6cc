#pragma once
// Paint servers: linear and radial gradients with their stops, and patterns. They are
// never drawn themselves; fills and strokes reach them through url(#id).

#include "svg/model/custom_viewbox.h"

class TSVGGradientStop;

class TSVGCustomGradient : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    QString ClassName() const override { return QStringLiteral("TSVGCustomGradient"); }
    void AssignProperties(const TSVGElement &Source) override;
    void Clear() override;

    // The href id without its "#".
    const QString &Reference() const { return FReference; }
    void SetReference(const QString &Value);
    TSVGGradientSpread Spread() const { return FSpread; }
    void SetSpread(TSVGGradientSpread Value);
    TSVGCoordinateSystemUnit Units() const { return FUnits; }
    void SetUnits(TSVGCoordinateSystemUnit Value);

    // The gradient whose stops this one uses: itself when it has children, else the
    // gradient its href chain leads to. Null when the chain ends nowhere or loops.
    const TSVGCustomGradient *StopSource() const;
    // The stops of StopSource() in document order.
    QList<const TSVGGradientStop *> Stops() const;

protected:
    void LoadAttributes(pugi::xml_node Node) override;
    int CreateChild(pugi::xml_node Node) override;

private:
    QString FReference;
    TSVGGradientSpread FSpread = gsPad;
    TSVGCoordinateSystemUnit FUnits = csuObjectBoundingBox;
};

// x1, y1, x2, y2 as fractions (a percentage is read as its fraction).
class TSVGLinearGradient : public TSVGCustomGradient {
public:
    using TSVGCustomGradient::TSVGCustomGradient;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGLinearGradient"); }
    TSVGElementType SVGType() const override { return etLinearGradient; }
    void AssignProperties(const TSVGElement &Source) override;
    void Clear() override;

    float X1() const { return FX1; }
    float Y1() const { return FY1; }
    float X2() const { return FX2; }
    float Y2() const { return FY2; }
    void SetX1(float Value) { FX1 = Value; Changed(); }
    void SetY1(float Value) { FY1 = Value; Changed(); }
    void SetX2(float Value) { FX2 = Value; Changed(); }
    void SetY2(float Value) { FY2 = Value; Changed(); }

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    float FX1 = 0, FY1 = 0, FX2 = 1, FY2 = 0;
};

// cx, cy, r in the stored X, Y, Width (and Height) with their percent flags, as
// written (fractions of the bounding box for a percentage); fx, fy likewise.
class TSVGRadialGradient : public TSVGCustomGradient {
public:
    explicit TSVGRadialGradient(TSVGDocument *aOwner);
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGRadialGradient"); }
    TSVGElementType SVGType() const override { return etRadialGradient; }
    void AssignProperties(const TSVGElement &Source) override;
    void Clear() override;

    float CenterX() const { return StoredX(); }
    float CenterY() const { return StoredY(); }
    float Radius() const { return StoredWidth(); }
    bool CenterXIsPercent() const { return XIsPercent(); }
    bool CenterYIsPercent() const { return YIsPercent(); }
    bool RadiusIsPercent() const { return WidthIsPercent(); }
    bool CenterXSpecified() const { return FCenterXSpecified; }
    bool CenterYSpecified() const { return FCenterYSpecified; }
    bool RadiusSpecified() const { return FRadiusSpecified; }
    float FocalX() const { return FFocalX; }
    float FocalY() const { return FFocalY; }
    bool FocalXSpecified() const { return FFocalXSpecified; }
    bool FocalYSpecified() const { return FFocalYSpecified; }
    bool FocalXIsPercent() const { return FFocalXIsPercent; }
    bool FocalYIsPercent() const { return FFocalYIsPercent; }

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    void SetDefaults();

    bool FCenterXSpecified = false;
    bool FCenterYSpecified = false;
    bool FRadiusSpecified = false;
    float FFocalX = 0;
    float FFocalY = 0;
    bool FFocalXSpecified = false;
    bool FFocalYSpecified = false;
    bool FFocalXIsPercent = false;
    bool FFocalYIsPercent = false;
};

class TSVGGradientStop : public TSVGGraphicElement {
public:
    explicit TSVGGradientStop(TSVGDocument *aOwner);
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGGradientStop"); }
    TSVGElementType SVGType() const override { return etGradientStop; }
    void AssignProperties(const TSVGElement &Source) override;
    void Clear() override;

    // The `offset` as a fraction, as written (neither clamped nor sorted).
    float Offset() const { return StoredX(); }
    void SetOffset(float Value) { SetX(Value); }
    // `stop-color` and `stop-opacity` as the cascade left them.
    TSVGBrush &StopBrush() { return FStopBrush; }
    const TSVGBrush &StopBrush() const { return FStopBrush; }

    void ApplyStyle(const TSVGStyle &aStyle) override;

protected:
    void LoadAttributes(pugi::xml_node Node) override;
    void ResolveCurrentColor() override;

private:
    TSVGBrush FStopBrush;
    bool FOffsetInherited = false;
    bool FStopCurrentColor = false;
};

class TSVGPattern : public TSVGCustomViewBox {
public:
    explicit TSVGPattern(TSVGDocument *aOwner);
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGPattern"); }
    TSVGElementType SVGType() const override { return etPattern; }
    void AssignProperties(const TSVGElement &Source) override;
    void Clear() override;

    // The href id without its "#" (kept, not followed when drawing).
    const QString &Reference() const { return FReference; }
    TSVGCoordinateSystemUnit Units() const { return FUnits; }
    void SetUnits(TSVGCoordinateSystemUnit Value);
    TSVGCoordinateSystemUnit ContentUnits() const { return FContentUnits; }
    void SetContentUnits(TSVGCoordinateSystemUnit Value);

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    void SetDefaults();

    QString FReference;
    TSVGCoordinateSystemUnit FUnits = csuObjectBoundingBox;
    TSVGCoordinateSystemUnit FContentUnits = csuUserSpaceOnUse;
};
