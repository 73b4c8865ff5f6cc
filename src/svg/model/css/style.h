#pragma once
// A declaration block: the lines name=value of an element's attributes and `style`
// attribute, or of one document rule (then Name holds its selector). Names compare
// without regard to case; the first line of a name is the one that counts.

#include "svg/model/css/style_property.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <pugixml.hpp>

class TSVGSelector;

class TSVGStyle {
public:
    using TChangeEvent = std::function<void(TSVGStyle *Sender)>;

    TSVGStyle();
    TSVGStyle(const QString &aName, const QString &aStyles);
    ~TSVGStyle();
    TSVGStyle(const TSVGStyle &) = delete;
    TSVGStyle &operator=(const TSVGStyle &) = delete;

    // The selector of a document rule; empty for an element's own style.
    const QString &Name() const { return FName; }
    void SetName(const QString &Value);
    // Disabled rules take no part in the cascade.
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Where the rule stood among the document's rules (document order).
    int Order() const { return FOrder; }
    void SetOrder(int Value) { FOrder = Value; }

    // The lines "name=value" in order.
    QStringList StyleValues() const;
    bool IsEmpty() const { return FLines.isEmpty(); }

    // Clears, then AddStyle(aStyles).
    void SetStyle(const QString &aStyles);
    // Clears, then one line per attribute of the node.
    void LoadFromXML(pugi::xml_node Node);
    // Appends one line per attribute (local name, value), replacing nothing.
    void AddStyle(pugi::xml_node Node);
    // Appends the lines (name, value) as they are, replacing nothing.
    void AddLines(const QList<std::pair<QString, QString>> &Lines);
    // CSS declarations "name: value; ...": each sets the first line of its name or adds
    // one; an empty value removes the line. "!important" is taken off the value and
    // remembered for the declaration.
    void AddStyle(const QString &aStyles);
    void Clear();

    // The value of the first line with this name (case ignored), or "".
    QString Value(QStringView aName) const;
    bool HasValue(QStringView aName) const;
    // Sets the first line of the name (or adds one); an empty value removes it.
    void SetValue(const QString &aName, const QString &aValue, bool aImportant = false);
    bool IsImportant(QStringView aName) const;
    bool HasImportant() const { return FImportantCount > 0; }
    // A copy holding only the declarations marked !important.
    std::unique_ptr<TSVGStyle> ImportantPart() const;

    QString GetStyleProp(TSVGStyleProperty Index) const;
    void SetStyleProp(TSVGStyleProperty Index, const QString &Value);

    // Name, " { ", the lines joined by line breaks, " }".
    QString ToString() const;
    void Assign(const TSVGStyle &Source);
    void Assign(const QStringList &Lines);
    void AssignTo(QStringList &Dest) const;

    const TChangeEvent &OnChange() const { return FOnChange; }
    void SetOnChange(TChangeEvent Handler) { FOnChange = std::move(Handler); }

    // The selector of Name, compiled on first use (raises "Invalid selector: %s").
    const TSVGSelector &Selector() const;

    // One accessor pair per presentation property, named after the property.
#define SVG_STYLE_ACCESSOR(name, prop)                                                     \
    QString name() const { return GetStyleProp(prop); }                                    \
    void set_##name(const QString &Value) { SetStyleProp(prop, Value); }
    SVG_STYLE_ACCESSOR(clip, ipClip)
    SVG_STYLE_ACCESSOR(clip_path, ipClipPath)
    SVG_STYLE_ACCESSOR(clip_rule, ipClipRule)
    SVG_STYLE_ACCESSOR(color, ipColor)
    SVG_STYLE_ACCESSOR(color_interpolation, ipColorInterpolation)
    SVG_STYLE_ACCESSOR(color_rendering, ipColorRendering)
    SVG_STYLE_ACCESSOR(cursor, ipCursor)
    SVG_STYLE_ACCESSOR(display, ipDisplay)
    SVG_STYLE_ACCESSOR(fill, ipFill)
    SVG_STYLE_ACCESSOR(fill_opacity, ipFillOpacity)
    SVG_STYLE_ACCESSOR(fill_rule, ipFillRule)
    SVG_STYLE_ACCESSOR(flood_color, ipFloodColor)
    SVG_STYLE_ACCESSOR(flood_opacity, ipFloodOpacity)
    SVG_STYLE_ACCESSOR(font, ipFont)
    SVG_STYLE_ACCESSOR(font_family, ipFontFamily)
    SVG_STYLE_ACCESSOR(font_size, ipFontSize)
    SVG_STYLE_ACCESSOR(font_style, ipFontStyle)
    SVG_STYLE_ACCESSOR(font_weight, ipFontWeight)
    SVG_STYLE_ACCESSOR(marker, ipMarker)
    SVG_STYLE_ACCESSOR(marker_end, ipMarkerEnd)
    SVG_STYLE_ACCESSOR(marker_mid, ipMarkerMid)
    SVG_STYLE_ACCESSOR(marker_start, ipMarkerStart)
    SVG_STYLE_ACCESSOR(opacity, ipOpacity)
    SVG_STYLE_ACCESSOR(overflow, ipOverflow)
    SVG_STYLE_ACCESSOR(shape_rendering, ipShapeRendering)
    SVG_STYLE_ACCESSOR(stop_color, ipStopColor)
    SVG_STYLE_ACCESSOR(stop_opacity, ipStopOpacity)
    SVG_STYLE_ACCESSOR(stroke, ipStroke)
    SVG_STYLE_ACCESSOR(stroke_dasharray, ipStrokeDasharray)
    SVG_STYLE_ACCESSOR(stroke_dashoffset, ipStrokeDashOffset)
    SVG_STYLE_ACCESSOR(stroke_linecap, ipStrokeLinecap)
    SVG_STYLE_ACCESSOR(stroke_linejoin, ipStrokeLineJoin)
    SVG_STYLE_ACCESSOR(stroke_opacity, ipStrokeOpacity)
    SVG_STYLE_ACCESSOR(stroke_width, ipStrokeWidth)
    SVG_STYLE_ACCESSOR(text_anchor, ipTextAnchor)
    SVG_STYLE_ACCESSOR(text_decoration, ipTextDecoration)
    SVG_STYLE_ACCESSOR(text_rendering, ipTextRendering)
    SVG_STYLE_ACCESSOR(visibility, ipVisibility)
#undef SVG_STYLE_ACCESSOR

private:
    struct TLine {
        QString Name;
        QString Value;
        bool Important = false;
    };

    int IndexOf(QStringView aName) const;
    void SetLine(const QString &aName, const QString &aValue, bool aImportant);
    void Invalidate();
    void Changed();
    const std::array<qint16, SVGStylePropertyCount> &PropertyIndex() const;

    QList<TLine> FLines;
    QString FName;
    TChangeEvent FOnChange;
    bool FEnabled = true;
    int FOrder = 0;
    int FImportantCount = 0;
    // Line of each presentation property, built on first lookup.
    mutable std::array<qint16, SVGStylePropertyCount> FPropertyIndex{};
    mutable bool FPropertyIndexValid = false;
    mutable std::unique_ptr<TSVGSelector> FSelector;
};

// Splits CSS declarations at ";" outside quotes and parentheses.
QStringList SVGSplitDeclarations(const QString &text);
