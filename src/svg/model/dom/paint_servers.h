#pragma once
// Paint servers: linear and radial gradients with their stops, and patterns. They are
// never drawn themselves; fills and strokes reach them through url(#id).

#include "svg/model/dom/custom_viewbox.h"
#include "svg/model/values/length.h"

#include <vector>

class TSVGGradientStop;

// The attributes a gradient takes over along its href chain: each comes from the first
// gradient of the chain that states it (coordinates only from gradients of its own
// kind), as SVG defines; a gradient that states nothing has the attribute's default.
enum class TSVGGradientAttribute { Units, Spread, Transform, X1, Y1, X2, Y2, CX, CY, R, FX, FY, FR };

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

    // This gradient and the gradients its href leads to, in order; the chain ends at a
    // missing id, an element that is no gradient, or one already in the chain.
    std::vector<const TSVGCustomGradient *> Chain() const;
    // Whether this gradient itself states the attribute (in its markup or through a
    // setter); a transform counts as stated when it is not the identity.
    virtual bool States(TSVGGradientAttribute Attribute) const;
    // The gradient of the chain the attribute comes from: the first that states it, or
    // this one when none does.
    const TSVGCustomGradient *Source(TSVGGradientAttribute Attribute) const;
    // A coordinate of this gradient (its default when not stated); {0, false} for the
    // attributes that are no coordinate of its kind.
    virtual TSVGLength Length(TSVGGradientAttribute Attribute) const;

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
    bool FSpreadStated = false;
    bool FUnitsStated = false;
    bool FTransformStated = false;
};

// x1, y1, x2, y2 with their percent flags (a percentage is kept as its fraction);
// 0%, 0%, 100%, 0% until stated.
class TSVGLinearGradient : public TSVGCustomGradient {
public:
    using TSVGCustomGradient::TSVGCustomGradient;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGLinearGradient"); }
    TSVGElementType SVGType() const override { return etLinearGradient; }
    void AssignProperties(const TSVGElement &Source) override;
    void Clear() override;

    float X1() const { return FCoordinates[0].Value; }
    float Y1() const { return FCoordinates[1].Value; }
    float X2() const { return FCoordinates[2].Value; }
    float Y2() const { return FCoordinates[3].Value; }
    // A value in user units (or a fraction of the bounding box); the attribute counts as
    // stated from then on.
    void SetX1(float Value) { SetCoordinateAt(0, {Value, false}); }
    void SetY1(float Value) { SetCoordinateAt(1, {Value, false}); }
    void SetX2(float Value) { SetCoordinateAt(2, {Value, false}); }
    void SetY2(float Value) { SetCoordinateAt(3, {Value, false}); }
    void SetCoordinate(TSVGGradientAttribute Attribute, TSVGLength Value);

    bool States(TSVGGradientAttribute Attribute) const override;
    TSVGLength Length(TSVGGradientAttribute Attribute) const override;

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    void SetCoordinateAt(int Index, TSVGLength Value);
    void SetDefaults();

    // x1, y1, x2, y2
    TSVGLength FCoordinates[4] = {{0, true}, {0, true}, {1, true}, {0, true}};
    bool FStated[4] = {};
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
    float FocalX() const { return FFocalX.Value; }
    float FocalY() const { return FFocalY.Value; }
    bool FocalXSpecified() const { return FFocalXSpecified; }
    bool FocalYSpecified() const { return FFocalYSpecified; }
    bool FocalXIsPercent() const { return FFocalX.IsPercent; }
    bool FocalYIsPercent() const { return FFocalY.IsPercent; }

    bool States(TSVGGradientAttribute Attribute) const override;
    TSVGLength Length(TSVGGradientAttribute Attribute) const override;

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    void SetDefaults();

    bool FCenterXSpecified = false;
    bool FCenterYSpecified = false;
    bool FRadiusSpecified = false;
    TSVGLength FFocalX;
    TSVGLength FFocalY;
    bool FFocalXSpecified = false;
    bool FFocalYSpecified = false;
    // fr, the radius of the focal circle; 0% until stated.
    TSVGLength FFocalRadius{0, true};
    bool FFocalRadiusSpecified = false;
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

    // The href id without its "#".
    const QString &Reference() const { return FReference; }
    TSVGCoordinateSystemUnit Units() const { return FUnits; }
    void SetUnits(TSVGCoordinateSystemUnit Value);
    TSVGCoordinateSystemUnit ContentUnits() const { return FContentUnits; }
    void SetContentUnits(TSVGCoordinateSystemUnit Value);

    // The attributes a pattern takes over along its href chain, as gradients do.
    enum class TAttribute { Units, ContentUnits, Transform, X, Y, Width, Height, ViewBox, AspectRatio };
    // This pattern and the patterns its href leads to; the chain ends at a missing id,
    // an element that is no pattern, or one already in the chain.
    std::vector<const TSVGPattern *> Chain() const;
    // Whether this pattern states the attribute: in its markup, through a setter, or
    // (for the tile and the transform) by a value other than the default.
    bool States(TAttribute Attribute) const;
    // The pattern of the chain the attribute comes from; this one when none states it.
    const TSVGPattern *Source(TAttribute Attribute) const;

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    void SetDefaults();

    QString FReference;
    TSVGCoordinateSystemUnit FUnits = csuObjectBoundingBox;
    TSVGCoordinateSystemUnit FContentUnits = csuUserSpaceOnUse;
    // Stated in the markup, by TAttribute.
    bool FStated[9] = {};
};
