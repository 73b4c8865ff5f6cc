#pragma once
// The paint and font state of a graphic element as the cascade leaves it: fill (brush),
// stroke (pen) and font. These are plain values with a change event; a reference to a
// gradient or pattern stays a reference (URI), which the renderer resolves at each
// drawing.

#include "svg/model/values/color.h"
#include "svg/model/values/font.h"
#include "svg/model/values/length.h"
#include "svg/model/values/lists.h"

#include <QList>
#include <QString>
#include <functional>

enum class TBrushKind : quint8 { None, Solid };
// context-fill and context-stroke: the paint of the element a marker marks or a use
// draws, taken where it is drawn.
enum class TSVGContextPaint : quint8 { None, Fill, Stroke };

// Shared by brush and pen: kind, colour, paint-server reference and opacity.
class TSVGPaint {
public:
    using TChangeEvent = std::function<void()>;

    TSVGPaint(TBrushKind aKind, TAlphaColor aColor) : FKind(aKind), FColor(aColor) {}
    TSVGPaint(const TSVGPaint &) = delete;
    TSVGPaint &operator=(const TSVGPaint &) = delete;
    virtual ~TSVGPaint() = default;

    TBrushKind Kind() const { return FKind; }
    void SetKind(TBrushKind Value);
    TAlphaColor Color() const { return FColor; }
    void SetColor(TAlphaColor Value);
    // Clamped to 0..1; NaN counts as 0.
    float Opacity() const { return FOpacity; }
    void SetOpacity(float Value);
    // Id of a gradient or pattern without the leading "#"; empty for none.
    const QString &URI() const { return FURI; }
    void SetURI(const QString &Value);
    // The url() paint named a fallback ("url(#g) red", or "none"): Kind and Color hold
    // it, for when the server cannot be used.
    bool HasFallback() const { return FHasFallback; }
    void SetHasFallback(bool Value);
    // The paint stands for the context element's fill or stroke.
    TSVGContextPaint Context() const { return FContext; }
    void SetContext(TSVGContextPaint Value);

    // The alpha byte of the colour becomes round(Opacity x 255).
    void UpdateColorOpacity();

    // Fired after every change that alters a value.
    const TChangeEvent &OnChange() const { return FOnChange; }
    void SetOnChange(TChangeEvent Handler) { FOnChange = std::move(Handler); }

protected:
    void AssignPaint(const TSVGPaint &Source);
    void Changed();

private:
    TBrushKind FKind;
    TAlphaColor FColor;
    float FOpacity = 1;
    QString FURI;
    bool FHasFallback = false;
    TSVGContextPaint FContext = TSVGContextPaint::None;
    TChangeEvent FOnChange;
};

class TSVGBrush : public TSVGPaint {
public:
    explicit TSVGBrush(TBrushKind aKind = TBrushKind::Solid, TAlphaColor aColor = 0xFF000000)
        : TSVGPaint(aKind, aColor) {}
    void Assign(const TSVGBrush &Source);
    // Back to the initial fill: solid opaque black, opacity 1, no reference.
    void Reset();
};

class TSVGPen : public TSVGPaint {
public:
    explicit TSVGPen(TBrushKind aKind = TBrushKind::None, TAlphaColor aColor = 0xFF000000)
        : TSVGPaint(aKind, aColor) {}
    void Assign(const TSVGPen &Source);
    // Back to the initial stroke: none, opaque black, width 1, butt, miter, solid.
    void Reset();

    // `stroke-width`; a fraction of the viewport's normalised diagonal when
    // ThicknessIsPercent is set.
    float Thickness() const { return FThickness.Value; }
    void SetThickness(float Value);
    bool ThicknessIsPercent() const { return FThickness.IsPercent; }
    const TSVGLength &ThicknessLength() const { return FThickness; }
    void SetThicknessIsPercent(bool Value);
    // Qt::FlatCap stands for SVG's butt, Qt::SvgMiterJoin for SVG's miter.
    Qt::PenCapStyle Cap() const { return FCap; }
    void SetCap(Qt::PenCapStyle Value);
    Qt::PenJoinStyle Join() const { return FJoin; }
    void SetJoin(Qt::PenJoinStyle Value);
    // The element's own `stroke-miterlimit` (4 by default); what is in force, inherited
    // or not, is TSVGGraphicElement::StrokeMiterLimit.
    float MiterLimit() const { return FMiterLimit; }
    void SetMiterLimit(float Value);
    // Dash pattern in user units (empty: solid) and `stroke-dashoffset`.
    const TSVGStrokeDash &Dash() const { return FDash; }
    void SetDash(const TSVGStrokeDash &Value);
    const QList<float> &DashArray() const { return FDash.Pattern; }
    float SVGDashOffset() const { return FDash.Offset; }

private:
    TSVGLength FThickness{1};
    Qt::PenCapStyle FCap = Qt::FlatCap;
    Qt::PenJoinStyle FJoin = Qt::SvgMiterJoin;
    float FMiterLimit = 4;
    TSVGStrokeDash FDash;
};

class TSVGFont {
public:
    using TChangeEvent = std::function<void()>;
    static constexpr float DefaultSize = 11;

    TSVGFont();
    TSVGFont(const TSVGFont &) = delete;
    TSVGFont &operator=(const TSVGFont &) = delete;

    void Assign(const TSVGFont &Source);
    // Default family, size 11, no styles.
    void Reset();

    // Generic family names arrive already mapped; a quoted name keeps its quotes.
    const QString &Family() const { return FFamily; }
    void SetFamily(const QString &Value);
    float Size() const { return FSize; }
    void SetSize(float Value);
    const TSVGFontStyle &Style() const { return FStyle; }
    void SetStyle(const TSVGFontStyle &Value);
    // Overline and blink, which a platform font lacks.
    TExtendedFontStyles ExtendStyles() const { return FExtendStyles; }
    void SetExtendStyles(TExtendedFontStyles Value);

    const TChangeEvent &OnChange() const { return FOnChange; }
    void SetOnChange(TChangeEvent Handler) { FOnChange = std::move(Handler); }

    // The family a font starts with when a document names none; the canvas draws it in
    // its own default family.
    static QString DefaultFamily();

private:
    void Changed();

    QString FFamily;
    float FSize = DefaultSize;
    TSVGFontStyle FStyle;
    TExtendedFontStyles FExtendStyles;
    TChangeEvent FOnChange;
};
