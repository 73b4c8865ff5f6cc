#pragma once
// An element with presentation properties: fill, stroke, font, opacity, visibility,
// clipping and markers, its own declarations (attributes and `style`), a transform and
// the geometry x, y, width, height with their percentage flags. Properties whose bit is
// in Inherits are read from the graphic parent.

#include "svg/model/dom/element.h"
#include "svg/model/values/keywords.h"
#include "svg/model/values/paint.h"
#include "svg/model/path/path_data.h"
#include "svg/model/css/style.h"

#include <QSizeF>

class TSVGClipPath;

// Which extent of the viewport a percentage is taken of.
enum class TSVGAxis { Horizontal, Vertical, Diagonal };

class TSVGGraphicElement : public TSVGElement {
public:
    explicit TSVGGraphicElement(TSVGDocument *aOwner);
    ~TSVGGraphicElement() override;

    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGGraphicElement"); }
    TSVGGraphicElement *AsGraphic() override { return this; }
    void AssignProperties(const TSVGElement &Source) override;

    TSVGGraphicElement *GetGraphicParent() const;
    // The element whose own value of an inherited property is in force here: this one,
    // or the nearest graphic ancestor that does not take the property from its parent.
    // Every inherited getter goes through it.
    const TSVGGraphicElement &InheritanceSource(TSVGStyleProperty Property) const;

    // --- paint state as the cascade leaves it (references are resolved by the renderer)
    TSVGBrush &Brush() { return FBrush; }
    const TSVGBrush &Brush() const { return FBrush; }
    TSVGPen &Pen() { return FPen; }
    const TSVGPen &Pen() const { return FPen; }
    TSVGFont &Font() { return FFont; }
    const TSVGFont &Font() const { return FFont; }
    // The computed `color` (inherited through ipColor).
    TAlphaColor CurrentColor() const;
    // Whether the effective fill / stroke is the keyword currentColor (the keyword is
    // inherited as such, so that a child's own `color` counts). The colour is then
    // CurrentColor() where the element is drawn: a used element takes the use's.
    bool FillIsCurrentColor() const;
    bool StrokeIsCurrentColor() const;
    // The font size in force: the parent's while ipFontSize is inherited.
    float GetResolvedFontSize() const;
    // `stroke-miterlimit` in force (inherited unless the element states one; 4 by
    // default). It has no bit in Inherits because it is no member of the property
    // table.
    float StrokeMiterLimit() const;

    // --- own declarations
    // Every attribute as name=value, then the `style` declarations over them.
    TSVGStyle &Style() { return FStyle; }
    const TSVGStyle &Style() const { return FStyle; }
    // The `style` attribute's declarations alone (they outrank document rules).
    const TSVGStyle &InlineStyle() const { return FInlineStyle; }

    // --- presentation properties (getters follow Inherits)
    TSVGStyleProperties Inherits() const { return FInherits; }
    void SetInherits(TSVGStyleProperties Value) { FInherits = Value; }
    bool Visible() const;
    void SetVisible(bool Value);
    Qt::CursorShape Cursor() const;
    void SetCursor(Qt::CursorShape Value) { FCursor = Value; }
    TSVGTextAlign TextAlign() const;
    void SetTextAlign(TSVGTextAlign Value) { FTextAlign = Value; }
    TSVGFillRule ClipRule() const;
    void SetClipRule(TSVGFillRule Value) { FClipRule = Value; }
    TSVGFillRule FillRule() const;
    void SetFillRule(TSVGFillRule Value) { FFillRule = Value; }
    QString ClipURI() const;
    void SetClipURI(const QString &Value) { FClipURI = Value; }
    // The element's bounds less the `clip` rectangle, side by side.
    QRectF ClipRect() const;
    void SetClipRect(const QRectF &Value) { FClipRect = Value; }
    // The clipPath element named by ClipURI, or null.
    TSVGClipPath *ClipURIElement() const;
    float Opacity() const;
    void SetOpacity(float Value) { FOpacity = Value; }
    // The product of Opacity along the chain of graphic ancestors.
    float GetAbsoluteOpacity() const;
    bool Overflow() const;
    void SetOverflow(bool Value) { FOverflow = Value; }
    QString MarkerStartURI() const;
    QString MarkerMidURI() const;
    QString MarkerEndURI() const;
    void SetMarkerStartURI(const QString &Value) { FMarkerStartURI = Value; }
    void SetMarkerMidURI(const QString &Value) { FMarkerMidURI = Value; }
    void SetMarkerEndURI(const QString &Value) { FMarkerEndURI = Value; }
    // `mask` and `mask-type` as the cascade left them (style sheets included); empty
    // until styles are applied or when no rule, attribute or declaration sets them.
    const QString &CascadedMask() const { return FCascadedMask; }
    const QString &CascadedMaskType() const { return FCascadedMaskType; }
    // `filter` as the cascade left it, in the same way.
    const QString &CascadedFilter() const { return FCascadedFilter; }
    // `display` and `overflow` as the cascade left them (style sheets included), for what
    // the parsed flags do not tell apart: display apart from visibility, overflow's auto
    // and inherit. The element's own style where styles were never applied.
    QString DisplayText() const;
    QString OverflowText() const;
    TSVGColorInterpolation ColorInterpolation() const;
    void SetColorInterpolation(TSVGColorInterpolation Value) { FColorInterpolation = Value; }
    TSVGColorRendering ColorRendering() const;
    void SetColorRendering(TSVGColorRendering Value) { FColorRendering = Value; }
    TSVGShapeRendering ShapeRendering() const;
    void SetShapeRendering(TSVGShapeRendering Value) { FShapeRendering = Value; }
    TSVGTextRendering TextRendering() const;
    void SetTextRendering(TSVGTextRendering Value) { FTextRendering = Value; }

    // --- transform and geometry
    const TMatrix &Matrix() const { return FMatrix; }
    void SetMatrix(const TMatrix &Value);
    // Percentages resolved against the nearest viewport (see ViewportSize).
    float X() const;
    float Y() const;
    virtual float Width() const;
    virtual float Height() const;
    void SetX(float Value);
    void SetY(float Value);
    virtual void SetWidth(float Value);
    virtual void SetHeight(float Value);
    // The stored values: fractions while the percent flag is set.
    float StoredX() const { return FX.Value; }
    float StoredY() const { return FY.Value; }
    float StoredWidth() const { return FWidth.Value; }
    float StoredHeight() const { return FHeight.Value; }
    const TSVGLength &StoredXLength() const { return FX; }
    const TSVGLength &StoredYLength() const { return FY; }
    const TSVGLength &StoredWidthLength() const { return FWidth; }
    const TSVGLength &StoredHeightLength() const { return FHeight; }
    bool XIsPercent() const { return FX.IsPercent; }
    bool YIsPercent() const { return FY.IsPercent; }
    bool WidthIsPercent() const { return FWidth.IsPercent; }
    bool HeightIsPercent() const { return FHeight.IsPercent; }
    void SetXIsPercent(bool Value) { FX.IsPercent = Value; }
    void SetYIsPercent(bool Value) { FY.IsPercent = Value; }
    void SetWidthIsPercent(bool Value) { FWidth.IsPercent = Value; }
    void SetHeightIsPercent(bool Value) { FHeight.IsPercent = Value; }

    // The extent that percentages of this element's geometry refer to: the nearest
    // viewport element above it (its viewBox when specified, else its width and
    // height); for a root document its own viewBox. Invalid when unknown, and then
    // fractions are kept as they are.
    virtual QSizeF ViewportSize() const;
    // A fraction of the viewport extent along the axis (the diagonal is the normalised
    // one, sqrt((w^2 + h^2) / 2)); the value itself when IsPercent is false or the
    // viewport is unknown.
    float ResolvePercent(float Value, bool IsPercent, TSVGAxis Axis) const;
    float ResolvePercent(TSVGLength Length, TSVGAxis Axis) const
    {
        return ResolvePercent(Length.Value, Length.IsPercent, Axis);
    }

    QRectF BoundsRect() const override;

    // --- cascade
    int Matches(const QString &Selector) const override;
    void ApplyStyles() override;
    // Applies one style's declarations on top of the current values.
    virtual void ApplyStyle(const TSVGStyle &aStyle);
    // Writes the current property values into a style.
    void AssignTo(TSVGStyle &Dest) const;

    // --- lifecycle
    void SetParent(TSVGElement *Value) override;
    void Clear() override;
    void LoadFromXML(pugi::xml_node Node) override;
    void SubObjectChanged(TSVGSubObject Object) override;

protected:
    void LoadAttributes(pugi::xml_node Node) override;
    // Reads the length attributes (x, y, width, height here; a shape's own geometry in
    // the shapes) with the given factors: at load with the document's, when the font
    // size is not known yet, and once more after the cascade with the element's font
    // size when one of them is in em or ex.
    virtual void LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &Factors);
    // Index of the new child in Items, or -1 when the node creates none.
    virtual int CreateChild(pugi::xml_node Node);
    virtual void LoadChildren(pugi::xml_node Node);
    // Called for every child node in order once it is read; Index is the element it
    // created, or -1.
    virtual void ChildNodeRead(pugi::xml_node Child, int Index);
    // The rule shared by every container for names it does not handle itself.
    int CreateChildBase(pugi::xml_node Node);
    // Appends a new element of the type to the children; its index.
    int AddChildOfType(TSVGElementType Type);
    void DoParsingNode(pugi::xml_node Node);
    void DoParsedNode(TSVGElement *Element);

    // Lengths in the declarations of this element: em and ex follow its font size.
    TSVGUnitFactors StyleUnitFactors() const;
    // Replaces `currentColor` paints by the computed colour once the element's
    // declarations are all applied.
    virtual void ResolveCurrentColor();
    // A `transform` declared in CSS (SVG 2) replaces the attribute's.
    void ApplyCSSTransform(const QString &Text);

private:
    void InitPresentation();
    void AttachSubObjects();

    bool FVisible = true;
    TSVGPen FPen;
    TSVGFont FFont;
    TSVGBrush FBrush;
    Qt::CursorShape FCursor = Qt::ArrowCursor;
    TSVGStyle FStyle;
    TSVGStyle FInlineStyle;
    TMatrix FMatrix;
    TSVGTextAlign FTextAlign = staLeading;
    TSVGFillRule FClipRule = frNonZero;
    TSVGFillRule FFillRule = frNonZero;
    QString FClipURI;
    QRectF FClipRect;
    float FOpacity = 1;
    bool FOverflow = true;
    QString FMarkerEndURI;
    QString FMarkerStartURI;
    QString FMarkerMidURI;
    QString FCascadedMask;
    QString FCascadedMaskType;
    QString FCascadedFilter;
    QString FCascadedDisplay;
    QString FCascadedOverflow;
    TSVGColorInterpolation FColorInterpolation = sciSRGB;
    TSVGColorRendering FColorRendering = clrnAuto;
    TSVGTextRendering FTextRendering = txrnAuto;
    TSVGShapeRendering FShapeRendering = srnAuto;
    TSVGStyleProperties FInherits;
    TSVGLength FWidth;
    TSVGLength FHeight;
    TSVGLength FX;
    TSVGLength FY;
    // Not in the table of stored properties: the computed `color` and whether fill and
    // stroke were given as currentColor.
    TAlphaColor FColor = 0xFF000000;
    bool FFillCurrentColor = false;
    bool FStrokeCurrentColor = false;
    bool FMiterLimitInherited = true;

    friend class TSVGGradientStop;
};

// The Inherits set of a new or cleared graphic element.
TSVGStyleProperties SVGInitialInherits();
// Every presentation property (the Attributes of a graphic element).
TSVGStyleProperties SVGAllStyleProperties();
