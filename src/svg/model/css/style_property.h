#pragma once
// The presentation properties the cascade reads, and the set type that records which of
// them an element takes from its parent.

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <initializer_list>

// The order is also the order of the property-name table.
enum TSVGStyleProperty : int {
    ipNone,
    ipClip,
    ipClipPath,
    ipClipRule,
    ipColor,
    ipColorInterpolation,
    ipColorRendering,
    ipCursor,
    ipDisplay,
    ipFill,
    ipFillOpacity,
    ipFillRule,
    ipFloodColor,
    ipFloodOpacity,
    ipFont,
    ipFontFamily,
    ipFontSize,
    ipFontStyle,
    ipFontWeight,
    ipMarker,
    ipMarkerEnd,
    ipMarkerMid,
    ipMarkerStart,
    ipOpacity,
    ipOverflow,
    ipShapeRendering,
    ipStopColor,
    ipStopOpacity,
    ipStroke,
    ipStrokeDasharray,
    ipStrokeDashOffset,
    ipStrokeLinecap,
    ipStrokeLineJoin,
    ipStrokeOpacity,
    ipStrokeWidth,
    ipTextAnchor,
    ipTextDecoration,
    ipTextRendering,
    ipVisibility,
};

inline constexpr int SVGStylePropertyCount = ipVisibility + 1;

// The CSS name of a property ("stroke-dasharray"); ipNone has the empty name.
QString SVGStylePropertyName(TSVGStyleProperty property);

// The property with exactly this name (case-sensitive), or ipNone.
TSVGStyleProperty SVGStylePropertyByName(QStringView name);

// A set of TSVGStyleProperty values.
class TSVGStyleProperties {
public:
    constexpr TSVGStyleProperties() = default;
    constexpr TSVGStyleProperties(std::initializer_list<TSVGStyleProperty> properties)
    {
        for (TSVGStyleProperty p : properties)
            FBits |= Bit(p);
    }

    constexpr bool Contains(TSVGStyleProperty p) const { return (FBits & Bit(p)) != 0; }
    constexpr void Include(TSVGStyleProperty p) { FBits |= Bit(p); }
    constexpr void Exclude(TSVGStyleProperty p) { FBits &= ~Bit(p); }
    constexpr void Set(TSVGStyleProperty p, bool on) { on ? Include(p) : Exclude(p); }
    constexpr bool IsEmpty() const { return FBits == 0; }

    friend constexpr bool operator==(TSVGStyleProperties, TSVGStyleProperties) = default;

private:
    static constexpr quint64 Bit(TSVGStyleProperty p) { return quint64(1) << int(p); }
    quint64 FBits = 0;
};
