#include "svg/model/values/paint.h"

#include <QFont>
#include <algorithm>
#include <cmath>

void TSVGPaint::Changed()
{
    if (FOnChange)
        FOnChange();
}

void TSVGPaint::SetKind(TBrushKind Value)
{
    if (FKind == Value)
        return;
    FKind = Value;
    Changed();
}

void TSVGPaint::SetColor(TAlphaColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    Changed();
}

void TSVGPaint::SetOpacity(float Value)
{
    if (std::isnan(Value))
        Value = 0;
    Value = std::clamp(Value, 0.0f, 1.0f);
    if (FOpacity == Value)
        return;
    FOpacity = Value;
    Changed();
}

void TSVGPaint::SetURI(const QString &Value)
{
    if (FURI == Value)
        return;
    FURI = Value;
    Changed();
}

void TSVGPaint::SetHasFallback(bool Value)
{
    if (FHasFallback == Value)
        return;
    FHasFallback = Value;
    Changed();
}

void TSVGPaint::SetContext(TSVGContextPaint Value)
{
    if (FContext == Value)
        return;
    FContext = Value;
    Changed();
}

void TSVGPaint::UpdateColorOpacity()
{
    SetColor(ApplyOpacity(FColor, FOpacity));
}

void TSVGPaint::AssignPaint(const TSVGPaint &Source)
{
    FKind = Source.FKind;
    FColor = Source.FColor;
    FOpacity = Source.FOpacity;
    FURI = Source.FURI;
    FHasFallback = Source.FHasFallback;
    FContext = Source.FContext;
}

void TSVGBrush::Assign(const TSVGBrush &Source)
{
    if (&Source == this)
        return;
    AssignPaint(Source);
    Changed();
}

void TSVGBrush::Reset()
{
    TSVGBrush Initial;
    Assign(Initial);
}

void TSVGPen::Assign(const TSVGPen &Source)
{
    if (&Source == this)
        return;
    AssignPaint(Source);
    FThickness = Source.FThickness;
    FCap = Source.FCap;
    FJoin = Source.FJoin;
    FMiterLimit = Source.FMiterLimit;
    FDash = Source.FDash;
    Changed();
}

void TSVGPen::Reset()
{
    TSVGPen Initial;
    Assign(Initial);
}

void TSVGPen::SetThickness(float Value)
{
    if (FThickness.Value == Value)
        return;
    FThickness.Value = Value;
    Changed();
}

void TSVGPen::SetThicknessIsPercent(bool Value)
{
    if (FThickness.IsPercent == Value)
        return;
    FThickness.IsPercent = Value;
    Changed();
}

void TSVGPen::SetCap(Qt::PenCapStyle Value)
{
    if (FCap == Value)
        return;
    FCap = Value;
    Changed();
}

void TSVGPen::SetJoin(Qt::PenJoinStyle Value)
{
    if (FJoin == Value)
        return;
    FJoin = Value;
    Changed();
}

void TSVGPen::SetMiterLimit(float Value)
{
    if (FMiterLimit == Value)
        return;
    FMiterLimit = Value;
    Changed();
}

void TSVGPen::SetDash(const TSVGStrokeDash &Value)
{
    if (FDash == Value)
        return;
    FDash = Value;
    Changed();
}

TSVGFont::TSVGFont() : FFamily(DefaultFamily()) {}

QString TSVGFont::DefaultFamily()
{
    // A fixed name rather than the application font, so that a document reads the same
    // with or without an application object; the canvas draws it with its default family.
    return QStringLiteral("Sans Serif");
}

void TSVGFont::Changed()
{
    if (FOnChange)
        FOnChange();
}

void TSVGFont::Assign(const TSVGFont &Source)
{
    if (&Source == this)
        return;
    FFamily = Source.FFamily;
    FSize = Source.FSize;
    FStyle = Source.FStyle;
    FExtendStyles = Source.FExtendStyles;
    Changed();
}

void TSVGFont::Reset()
{
    FFamily = DefaultFamily();
    FSize = DefaultSize;
    FStyle = TSVGFontStyle();
    FExtendStyles = {};
    Changed();
}

void TSVGFont::SetFamily(const QString &Value)
{
    if (FFamily == Value)
        return;
    FFamily = Value;
    Changed();
}

void TSVGFont::SetSize(float Value)
{
    if (FSize == Value)
        return;
    FSize = Value;
    Changed();
}

void TSVGFont::SetStyle(const TSVGFontStyle &Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Changed();
}

void TSVGFont::SetExtendStyles(TExtendedFontStyles Value)
{
    if (FExtendStyles == Value)
        return;
    FExtendStyles = Value;
    Changed();
}
