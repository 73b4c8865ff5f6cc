#include "svg/model/css/cascade.h"

#include "errors/errors.h"

#include "svg/model/values/clip.h"
#include "svg/model/values/color.h"
#include "svg/model/values/cursor.h"
#include "svg/model/dom/document.h"
#include "svg/model/values/font.h"
#include "svg/model/dom/graphic_element.h"
#include "svg/model/values/inherit.h"
#include "svg/model/values/keywords.h"
#include "svg/model/values/lists.h"
#include "svg/model/values/numbers.h"
#include "svg/model/values/transform.h"
#include "svg/model/css/selector.h"
#include "svg/model/dom/update_guard.h"
#include "svg/model/values/uri.h"

#include <QRegularExpression>
#include <pugixml.hpp>
#include <algorithm>
#include <iterator>
#include <array>

namespace {

// Declarations the cascade carries besides the presentation-property table.
const QString MiterLimitName = QStringLiteral("stroke-miterlimit");
const QString TransformName = QStringLiteral("transform");
const QString MaskName = QStringLiteral("mask");
const QString MaskTypeName = QStringLiteral("mask-type");
const QString FilterName = QStringLiteral("filter");
const QString ExtraNames[] = {MiterLimitName, TransformName, MaskName, MaskTypeName, FilterName};

struct TValues {
    std::array<QString, SVGStylePropertyCount> Properties;
    std::array<QString, std::size(ExtraNames)> Extras;
};

void Overlay(TValues &values, const TSVGStyle &style, bool importantOnly)
{
    if (style.IsEmpty() || (importantOnly && !style.HasImportant()))
        return;
    for (size_t i = 0; i < std::size(ExtraNames); ++i)
        if (QString value = style.Value(ExtraNames[i]);
            !value.isEmpty() && (!importantOnly || style.IsImportant(ExtraNames[i])))
            values.Extras[i] = std::move(value);
    for (int p = ipClip; p <= ipVisibility; ++p) {
        const auto property = TSVGStyleProperty(p);
        QString value = style.GetStyleProp(property);
        if (value.isEmpty())
            continue;
        if (importantOnly && !style.IsImportant(SVGStylePropertyName(property)))
            continue;
        values.Properties[p] = std::move(value);
    }
}

// "url(#id)" with an optional fallback colour after it.
bool SplitPaintURL(const QString &trimmed, QString &id, QString &fallback)
{
    if (!trimmed.startsWith(QLatin1String("url("), Qt::CaseInsensitive) &&
        !trimmed.startsWith(QLatin1String("uri("), Qt::CaseInsensitive))
        return false;
    const qsizetype close = trimmed.indexOf(QLatin1Char(')'));
    if (close < 0)
        return false;
    id = ParseURI(trimmed.left(close + 1));
    fallback = trimmed.mid(close + 1).trimmed();
    return !id.isEmpty();
}

// Applies a fill or stroke text to a paint behind the inherit convention of `bit`.
void ApplyPaintText(TSVGPaint &paint, const QString &text, TSVGStyleProperty bit,
                    TSVGStyleProperties &inherits, bool &currentColor, bool allowURL)
{
    bool inherited = inherits.Contains(bit);
    QString trimmed;
    const bool parse = SVGInheritStep(text, inherited, trimmed);
    inherits.Set(bit, inherited);
    if (!parse)
        return;
    QString colorText = trimmed;
    if (allowURL) {
        if (trimmed == QLatin1String("context-fill") || trimmed == QLatin1String("context-stroke")) {
            paint.SetURI(QString());
            paint.SetHasFallback(false);
            paint.SetKind(TBrushKind::Solid);
            paint.SetContext(trimmed == QLatin1String("context-fill") ? TSVGContextPaint::Fill
                                                                      : TSVGContextPaint::Stroke);
            currentColor = false;
            return;
        }
        paint.SetContext(TSVGContextPaint::None);
        QString id, fallback;
        if (SplitPaintURL(trimmed, id, fallback)) {
            paint.SetURI(id);
            paint.SetHasFallback(!fallback.isEmpty());
            currentColor = false;
            if (fallback.isEmpty()) {
                paint.SetKind(TBrushKind::Solid);
                return;
            }
            colorText = fallback;
        } else {
            // A colour after a reference in a lower layer replaces the reference.
            paint.SetURI(QString());
            paint.SetHasFallback(false);
        }
    }
    bool isNone = paint.Kind() == TBrushKind::None;
    bool flag = false;
    bool isCurrentColor = false;
    const TAlphaColor color = ParseColor(colorText, paint.Color(), isNone, flag, &isCurrentColor);
    paint.SetColor(color);
    paint.SetKind(isNone ? TBrushKind::None : TBrushKind::Solid);
    currentColor = isCurrentColor;
}

QString FloatText(float value)
{
    return QString::number(double(value), 'g', 15);
}

QString URLText(const QString &id)
{
    return QStringLiteral("url(#%1)").arg(id);
}

} // namespace

std::vector<const TSVGStyle *> SVGMatchingRules(const TSVGGraphicElement &Element)
{
    std::vector<const TSVGStyle *> rules;
    const TSVGDocument *doc = Element.Document();
    if (!doc)
        return rules;
    for (int i = 0; i < doc->StyleCount(); ++i) {
        const TSVGStyle *rule = doc->Styles(i);
        if (rule->Enabled() && rule->Selector().Matches(Element))
            rules.push_back(rule);
    }
    std::stable_sort(rules.begin(), rules.end(), [](const TSVGStyle *a, const TSVGStyle *b) {
        return a->Selector().Specificity() < b->Selector().Specificity();
    });
    return rules;
}

std::unique_ptr<TSVGStyle> SVGCascadedStyle(const TSVGGraphicElement &Element,
                                            const std::vector<const TSVGStyle *> &rules)
{
    TValues values;
    // The own style holds the attributes with the `style` declarations already over
    // them; the `style` declarations are laid over the rules once more below.
    Overlay(values, Element.Style(), false);
    for (const TSVGStyle *rule : rules)
        Overlay(values, *rule, false);
    Overlay(values, Element.InlineStyle(), false);
    for (const TSVGStyle *rule : rules)
        Overlay(values, *rule, true);
    Overlay(values, Element.InlineStyle(), true);

    QList<std::pair<QString, QString>> lines;
    for (int p = ipClip; p <= ipVisibility; ++p)
        if (!values.Properties[p].isEmpty())
            lines.append({SVGStylePropertyName(TSVGStyleProperty(p)), values.Properties[p]});
    for (size_t i = 0; i < std::size(ExtraNames); ++i)
        if (!values.Extras[i].isEmpty())
            lines.append({ExtraNames[i], values.Extras[i]});
    auto result = std::make_unique<TSVGStyle>();
    result->AddLines(lines);
    return result;
}

namespace {

// The attributes LoadLengths reads.
constexpr std::array<QLatin1String, 13> LengthAttributes = {
    QLatin1String("x"),  QLatin1String("y"),  QLatin1String("width"), QLatin1String("height"),
    QLatin1String("cx"), QLatin1String("cy"), QLatin1String("r"),     QLatin1String("rx"),
    QLatin1String("ry"), QLatin1String("x1"), QLatin1String("y1"),    QLatin1String("x2"),
    QLatin1String("y2"),
};

bool HasFontRelativeLength(const QList<TSVGXMLAttribute> &attributes)
{
    for (const TSVGXMLAttribute &a : attributes) {
        if (std::find(LengthAttributes.begin(), LengthAttributes.end(), a.first) == LengthAttributes.end())
            continue;
        const QString v = a.second.trimmed();
        if (v.endsWith(QLatin1String("em")) || v.endsWith(QLatin1String("ex")))
            return true;
    }
    return false;
}

} // namespace

void TSVGGraphicElement::ApplyStyles()
{
    // One memo for the whole subtree: each rule is then matched in time linear in the
    // elements and its compounds.
    TSVGMatchScope scope;
    TSVGUpdateGuard guard(this);
    // Without a rule that matches, the cascade comes down to the element's own style
    // (its attributes with its `style` declarations over them): no need to build it.
    const std::vector<const TSVGStyle *> rules = SVGMatchingRules(*this);
    std::unique_ptr<TSVGStyle> cascaded = rules.empty() ? nullptr : SVGCascadedStyle(*this, rules);
    const TSVGStyle &style = cascaded ? *cascaded : Style();
    // The font shorthand stands for its longhands; one declared beside it wins.
    if (const auto longhands = SVGFontShorthandLonghands(style.GetStyleProp(ipFont)); !longhands.isEmpty()) {
        auto expanded = std::make_unique<TSVGStyle>();
        expanded->Assign(style);
        for (const auto &[name, value] : longhands)
            if (!style.HasValue(name))
                expanded->SetValue(name, value);
        cascaded = std::move(expanded);
    }
    ApplyStyle(cascaded ? *cascaded : Style());
    ResolveCurrentColor();
    // Loading read em and ex without a font size; now that the cascade has fixed it
    // (the element's own or the one it inherits), they are read again against it.
    if (HasFontRelativeLength(XMLAttributes())) {
        pugi::xml_document xml;
        pugi::xml_node node = xml.append_child("e");
        for (const TSVGXMLAttribute &a : XMLAttributes())
            node.append_attribute(a.first.toUtf8().constData()).set_value(a.second.toUtf8().constData());
        LoadLengths(node, StyleUnitFactors());
    }
    TSVGElement::ApplyStyles();
}

TSVGUnitFactors TSVGGraphicElement::StyleUnitFactors() const
{
    return SVGFontRelativeFactors(GetUnitFactors(), GetResolvedFontSize());
}

void TSVGGraphicElement::ApplyStyle(const TSVGStyle &aStyle)
{
    TSVGUpdateGuard guard(this);
    auto text = [&](TSVGStyleProperty p) { return aStyle.GetStyleProp(p); };
    // Runs a parser behind the inherit convention of one property bit.
    auto withBit = [this](TSVGStyleProperty bit, auto parse) {
        bool inherited = FInherits.Contains(bit);
        parse(inherited);
        FInherits.Set(bit, inherited);
    };
    // The same for a property of this style; an absent declaration changes nothing
    // under the inherit convention, so its parser is not even asked.
    auto property = [&](TSVGStyleProperty bit, auto parse) {
        const QString t = aStyle.GetStyleProp(bit);
        if (t.isEmpty())
            return;
        withBit(bit, [&](bool &b) { parse(t, b); });
    };

    // The font size first, so that em lengths below follow the size now in force.
    if (const QString size = text(ipFontSize); !size.isEmpty()) {
        const TSVGGraphicElement *parent = GetGraphicParent();
        const float parentSize = parent ? parent->GetResolvedFontSize() : FFont.Size();
        withBit(ipFontSize, [&](bool &b) {
            FFont.SetSize(ParseFontSize(size, b, SVGFontRelativeFactors(GetUnitFactors(), parentSize),
                                        parentSize, FFont.Size()));
        });
    }
    const TSVGUnitFactors factors = StyleUnitFactors();

    property(ipVisibility, [&](const QString &t, bool &b) { FVisible = ParseVisibility(t, FVisible, b); });
    property(ipDisplay, [&](const QString &t, bool &b) { FVisible = ParseDisplay(t, FVisible, b); });

    property(ipColorInterpolation, [&](const QString &t, bool &b) {
        FColorInterpolation = ::ParseColorInterpolation(t, FColorInterpolation, b);
    });
    property(ipColorRendering, [&](const QString &t, bool &b) {
        FColorRendering = ::ParseColorRendering(t, FColorRendering, b);
    });
    property(ipShapeRendering, [&](const QString &t, bool &b) {
        FShapeRendering = ::ParseShapeRendering(t, FShapeRendering, b);
    });
    property(ipTextRendering, [&](const QString &t, bool &b) {
        FTextRendering = ::ParseTextRendering(t, FTextRendering, b);
    });

    // `color` is kept as the computed colour for currentColor, and also fills (the
    // fill declaration that may follow overrides it).
    const QString color = text(ipColor);
    withBit(ipColor, [&](bool &b) {
        bool isNone = false;
        bool isCurrentColor = false;
        FColor = ParseColor(color, FColor, isNone, b, &isCurrentColor);
        if (isCurrentColor)
            b = true; // currentColor in `color` itself means the parent's colour
    });
    ApplyPaintText(FBrush, color, ipFill, FInherits, FFillCurrentColor, false);
    ApplyPaintText(FBrush, text(ipFill), ipFill, FInherits, FFillCurrentColor, true);
    ApplyPaintText(FPen, text(ipStroke), ipStroke, FInherits, FStrokeCurrentColor, true);

    property(ipFillOpacity, [&](const QString &t, bool &b) {
        FBrush.SetOpacity(ParseLength(t, b, factors, 1, 0, FBrush.Opacity()));
    });
    property(ipFillRule, [&](const QString &t, bool &b) { FFillRule = ::ParseFillRule(t, FFillRule, b); });
    property(ipStrokeLinecap, [&](const QString &t, bool &b) {
        FPen.SetCap(ParseLineCap(t, FPen.Cap(), b));
    });
    property(ipStrokeLineJoin, [&](const QString &t, bool &b) {
        FPen.SetJoin(ParseLineJoin(t, FPen.Join(), b));
    });
    property(ipStrokeWidth, [&](const QString &t, bool &b) {
        bool isPercent = FPen.ThicknessIsPercent();
        const float width = ParseFraction(t, b, isPercent, factors, FPen.Thickness());
        // A negative width is an error in SVG; the previous width stays.
        if (width >= 0) {
            FPen.SetThickness(width);
            FPen.SetThicknessIsPercent(isPercent);
        }
    });
    {
        TSVGStrokeDash dash = FPen.Dash();
        const QString arrayText = text(ipStrokeDasharray).trimmed();
        const QString offsetText = text(ipStrokeDashOffset).trimmed();
        withBit(ipStrokeDasharray, [&](bool &arrayInherited) {
            withBit(ipStrokeDashOffset, [&](bool &offsetInherited) {
                ParseStrokeDash(arrayText, offsetText, dash, factors, arrayInherited,
                                offsetInherited);
            });
        });
        // Percentages of dashes and of the offset are shares of the viewport's diagonal
        // (as for stroke-width), not fractions of one unit.
        if (offsetText.endsWith(QLatin1Char('%')) && !FInherits.Contains(ipStrokeDashOffset))
            dash.Offset = ResolvePercent(dash.Offset, true, TSVGAxis::Diagonal);
        if (arrayText.contains(QLatin1Char('%')) && !FInherits.Contains(ipStrokeDasharray)) {
            const QStringList items = SplitNumbers(arrayText);
            if (!items.isEmpty())
                for (qsizetype i = 0; i < dash.Pattern.size(); ++i)
                    if (items[i % items.size()].endsWith(QLatin1Char('%')))
                        dash.Pattern[i] = ResolvePercent(dash.Pattern[i], true, TSVGAxis::Diagonal);
        }
        FPen.SetDash(dash);
    }
    {
        // A limit below 1 is an error in SVG and leaves the limit in force.
        QString limit;
        bool inherited = FMiterLimitInherited;
        if (SVGInheritStep(aStyle.Value(MiterLimitName), inherited, limit)) {
            double value = 0;
            if (TrySVGStrToFloat(limit, value) && value >= 1) {
                FPen.SetMiterLimit(float(value));
                FMiterLimitInherited = false;
            }
        } else {
            FMiterLimitInherited = inherited;
        }
    }
    property(ipStrokeOpacity, [&](const QString &t, bool &b) {
        FPen.SetOpacity(ParseLength(t, b, factors, 1, 0, FPen.Opacity()));
    });
    property(ipOpacity, [&](const QString &t, bool &b) { FOpacity = ParseLength(t, b, factors, 1, 0, FOpacity); });

    property(ipFontFamily, [&](const QString &t, bool &b) {
        FFont.SetFamily(ParseFontFamily(t, FFont.Family(), b));
    });
    {
        TSVGFontStyle style = FFont.Style();
        TExtendedFontStyles extended = FFont.ExtendStyles();
        property(ipFontWeight, [&](const QString &t, bool &b) { style.Bold = ParseFontBold(t, style.Bold, b); });
        property(ipFontStyle, [&](const QString &t, bool &b) { style.Italic = ParseFontItalic(t, style.Italic, b); });
        property(ipTextDecoration, [&](const QString &t, bool &b) {
            ParseTextDecoration(t, style, extended, b);
        });
        FFont.SetStyle(style);
        FFont.SetExtendStyles(extended);
    }
    property(ipTextAnchor, [&](const QString &t, bool &b) { FTextAlign = ParseTextAlign(t, FTextAlign, b); });
    property(ipCursor, [&](const QString &t, bool &b) { FCursor = ParseCursor(t, FCursor, b); });

    property(ipClipPath, [&](const QString &t, bool &b) { FClipURI = ParsePaintURI(t, FClipURI, b); });
    property(ipClipRule, [&](const QString &t, bool &b) { FClipRule = ::ParseFillRule(t, FClipRule, b); });
    property(ipClip, [&](const QString &t, bool &b) { FClipRect = ParseClip(t, FClipRect, b, factors); });
    property(ipOverflow, [&](const QString &t, bool &b) { FOverflow = ParseOverflow(t, FOverflow, b); });

    if (const QString marker = text(ipMarker); !marker.isEmpty()) {
        withBit(ipMarker, [&](bool &b) {
            const QString uri = ParsePaintURI(marker, FMarkerStartURI, b);
            FMarkerStartURI = FMarkerMidURI = FMarkerEndURI = uri;
        });
        // The shorthand stands for the three markers, inherited or not alike.
        for (TSVGStyleProperty p : {ipMarkerStart, ipMarkerMid, ipMarkerEnd})
            FInherits.Set(p, FInherits.Contains(ipMarker));
    }
    property(ipMarkerStart, [&](const QString &t, bool &b) {
        FMarkerStartURI = ParsePaintURI(t, FMarkerStartURI, b);
    });
    property(ipMarkerMid, [&](const QString &t, bool &b) {
        FMarkerMidURI = ParsePaintURI(t, FMarkerMidURI, b);
    });
    property(ipMarkerEnd, [&](const QString &t, bool &b) {
        FMarkerEndURI = ParsePaintURI(t, FMarkerEndURI, b);
    });
    ApplyCSSTransform(aStyle.Value(TransformName));
    // Read where masks are drawn; kept as written.
    if (const QString mask = aStyle.Value(MaskName); !mask.isEmpty())
        FCascadedMask = mask;
    if (const QString type = aStyle.Value(MaskTypeName); !type.isEmpty())
        FCascadedMaskType = type;
    if (const QString filter = aStyle.Value(FilterName); !filter.isEmpty())
        FCascadedFilter = filter;
    if (const QString display = text(ipDisplay).trimmed(); !display.isEmpty())
        FCascadedDisplay = display;
    if (const QString overflow = text(ipOverflow).trimmed(); !overflow.isEmpty())
        FCascadedOverflow = overflow;
    Changed();
}

void TSVGGraphicElement::ApplyCSSTransform(const QString &Text)
{
    // The attribute itself was read with the element; only a `transform` declared in
    // a style sheet or a style attribute is new here.
    QString attribute;
    if (Text.isEmpty() || (XMLAttribute(TransformName, attribute) && attribute == Text))
        return;
    // CSS writes lengths and angles with units where the attribute has plain numbers.
    static const QRegularExpression Units(QStringLiteral("(?<=[0-9.])(px|deg)\\b"));
    QString plain = Text;
    plain.remove(Units);
    try {
        SetMatrix(ParseTransform(plain));
    } catch (const EVuploraError &) {
        // CSS drops a declaration it cannot read; the transform stays as it was.
    }
}

bool TSVGGraphicElement::FillIsCurrentColor() const
{
    return InheritanceSource(ipFill).FFillCurrentColor;
}

bool TSVGGraphicElement::StrokeIsCurrentColor() const
{
    return InheritanceSource(ipStroke).FStrokeCurrentColor;
}

void TSVGGraphicElement::ResolveCurrentColor()
{
    // currentColor is inherited as the keyword, so an element that takes it from its
    // parent still uses its own `color`; the paint becomes the element's own.
    if (FillIsCurrentColor()) {
        FFillCurrentColor = true;
        FInherits.Exclude(ipFill);
        FBrush.SetURI(QString());
        FBrush.SetKind(TBrushKind::Solid);
        FBrush.SetColor(CurrentColor());
    }
    if (StrokeIsCurrentColor()) {
        FStrokeCurrentColor = true;
        FInherits.Exclude(ipStroke);
        FPen.SetURI(QString());
        FPen.SetKind(TBrushKind::Solid);
        FPen.SetColor(CurrentColor());
    }
}

void TSVGGraphicElement::AssignTo(TSVGStyle &Dest) const
{
    auto write = [&](TSVGStyleProperty p, const QString &value) {
        if (!FInherits.Contains(p))
            Dest.SetStyleProp(p, value);
    };
    auto paintText = [](const TSVGPaint &paint) {
        if (paint.Context() != TSVGContextPaint::None)
            return paint.Context() == TSVGContextPaint::Fill ? QStringLiteral("context-fill")
                                                             : QStringLiteral("context-stroke");
        if (!paint.URI().isEmpty())
            return URLText(paint.URI());
        if (paint.Kind() == TBrushKind::None)
            return QStringLiteral("none");
        return SVGColorToText(paint.Color());
    };

    const QRectF clip = ClipRect();
    write(ipClip, QStringLiteral("rect(%1 %2 %3 %4)")
                      .arg(FloatText(float(clip.top())), FloatText(float(clip.right())),
                           FloatText(float(clip.bottom())), FloatText(float(clip.left()))));
    if (!FClipURI.isEmpty())
        write(ipClipPath, URLText(FClipURI));
    write(ipClipRule, SVGKeyword(FClipRule));
    write(ipFillRule, SVGKeyword(FFillRule));
    write(ipColor, SVGColorToText(FBrush.Color()));
    write(ipFill, paintText(FBrush));
    write(ipStroke, paintText(FPen));
    write(ipColorInterpolation, SVGKeyword(FColorInterpolation));
    write(ipColorRendering, SVGKeyword(FColorRendering));
    write(ipCursor, SVGCursorKeyword(FCursor));
    write(ipTextAnchor, SVGKeyword(FTextAlign));
    write(ipDisplay, FVisible ? QStringLiteral("visible") : QStringLiteral("hidden"));
    write(ipOverflow, FOverflow ? QStringLiteral("visible") : QStringLiteral("hidden"));
    write(ipFillOpacity, FloatText(FBrush.Opacity()));
    write(ipStrokeOpacity, FloatText(FPen.Opacity()));
    if (FPen.Opacity() == FBrush.Opacity())
        write(ipOpacity, FloatText(FBrush.Opacity()));
    write(ipFontFamily, FFont.Family());
    {
        QString size = SVGFontSizeKeyword(FFont.Size());
        if (size.isEmpty()) {
            if (const TSVGGraphicElement *parent = GetGraphicParent()) {
                // The sizes were computed in single precision; compare allowing for it.
                const float parentSize = parent->GetResolvedFontSize();
                if (qFuzzyCompare(FFont.Size(), parentSize * 1.2f))
                    size = QStringLiteral("larger");
                else if (qFuzzyCompare(FFont.Size(), parentSize / 1.2f))
                    size = QStringLiteral("smaller");
            }
        }
        write(ipFontSize, size.isEmpty() ? FloatText(FFont.Size()) : size);
    }
    if (FFont.Style().Italic)
        write(ipFontStyle, QStringLiteral("italic"));
    if (FFont.Style().Bold)
        write(ipFontWeight, QStringLiteral("bold"));
    if (!FMarkerStartURI.isEmpty())
        write(ipMarkerStart, URLText(FMarkerStartURI));
    if (!FMarkerMidURI.isEmpty())
        write(ipMarkerMid, URLText(FMarkerMidURI));
    if (!FMarkerEndURI.isEmpty())
        write(ipMarkerEnd, URLText(FMarkerEndURI));
    {
        QStringList dashes;
        for (float d : FPen.DashArray())
            dashes.append(FloatText(d));
        write(ipStrokeDasharray, dashes.join(QLatin1Char(',')));
    }
    write(ipStrokeDashOffset, FloatText(FPen.SVGDashOffset()));
    write(ipStrokeLinecap, FPen.Cap() == Qt::RoundCap ? QStringLiteral("round") : QStringLiteral("butt"));
    write(ipStrokeLineJoin, SVGKeyword(FPen.Join()));
    write(ipStrokeWidth, FloatText(FPen.Thickness()) +
                             (FPen.ThicknessIsPercent() ? QStringLiteral("%") : QString()));
    const TExtendedFontStyles extended = FFont.ExtendStyles();
    QStringList lines;
    if (FFont.Style().Underline)
        lines << QStringLiteral("underline");
    if (extended.testFlag(fsOverline))
        lines << QStringLiteral("overline");
    if (FFont.Style().StrikeOut)
        lines << QStringLiteral("line-through");
    if (extended.testFlag(fsBlink))
        lines << QStringLiteral("blink");
    if (!lines.isEmpty())
        write(ipTextDecoration, lines.join(QLatin1Char(' ')));
}
