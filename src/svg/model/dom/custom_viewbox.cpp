#include "svg/model/dom/custom_viewbox.h"

#include "svg/model/dom/document.h"
#include "svg/model/values/lists.h"
#include "svg/model/dom/update_guard.h"
#include "svg/model/dom/xml_dom.h"

#include <cmath>

void TSVGPreserveAspectRatio::Changed()
{
    if (FOnChange)
        FOnChange();
}

void TSVGPreserveAspectRatio::SetAlign(TSVGAlign Value)
{
    if (FValue.Align == Value)
        return;
    FValue.Align = Value;
    Changed();
}

void TSVGPreserveAspectRatio::SetDefer(bool Value)
{
    if (FValue.Defer == Value)
        return;
    FValue.Defer = Value;
    Changed();
}

void TSVGPreserveAspectRatio::SetSlice(bool Value)
{
    if (FValue.Slice == Value)
        return;
    FValue.Slice = Value;
    Changed();
}

void TSVGPreserveAspectRatio::SetValue(const TSVGAspectRatioValue &Value)
{
    if (FValue == Value)
        return;
    FValue = Value;
    Changed();
}

void TSVGPreserveAspectRatio::Assign(const TSVGPreserveAspectRatio &Source)
{
    FValue = Source.FValue;
    Changed();
}

void TSVGPreserveAspectRatio::Clear()
{
    FValue = TSVGAspectRatioValue();
    Changed();
}

void ComputeAspect(const QRectF &ViewBox, const QRectF &aRect, const TSVGAspectRatioValue &Ratio,
                   float &sx, float &sy, float &tx, float &ty)
{
    const float w = float(ViewBox.width());
    const float h = float(ViewBox.height());
    sx = w > 0 ? float(aRect.width()) / w : 1;
    sy = h > 0 ? float(aRect.height()) / h : 1;
    if (Ratio.Align != saNone) {
        const float s = Ratio.Slice ? std::max(sx, sy) : std::min(sx, sy);
        sx = sy = s;
    }
    switch (Ratio.Align) {
    case saXMidYMin:
    case saXMidYMid:
    case saXMidYMax:
        tx = float(aRect.width() / 2 - w * sx / 2 + aRect.left());
        break;
    case saXMaxYMin:
    case saXMaxYMid:
    case saXMaxYMax:
        tx = float(aRect.right() - w * sx);
        break;
    default:
        break;
    }
    switch (Ratio.Align) {
    case saXMinYMid:
    case saXMidYMid:
    case saXMaxYMid:
        ty = float(aRect.height() / 2 - h * sy / 2 + aRect.top());
        break;
    case saXMinYMax:
    case saXMidYMax:
    case saXMaxYMax:
        ty = float(aRect.bottom() - h * sy);
        break;
    default:
        break;
    }
}

TSVGCustomViewBox::TSVGCustomViewBox(TSVGDocument *aOwner) : TSVGCustomGroup(aOwner)
{
    ClearViewBox();
    FAspectRatio.SetOnChange([this] { SubObjectChanged(TSVGSubObject::AspectRatio); });
}

std::unique_ptr<TSVGElement> TSVGCustomViewBox::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGCustomViewBox>(aOwner);
}

void TSVGCustomViewBox::AssignProperties(const TSVGElement &Source)
{
    if (const auto *src = dynamic_cast<const TSVGCustomViewBox *>(&Source)) {
        FViewBoxSpecified = src->FViewBoxSpecified;
        FViewBox = src->FViewBox;
        FAspectRatio.Assign(src->FAspectRatio);
    }
    TSVGCustomGroup::AssignProperties(Source);
}

void TSVGCustomViewBox::SetViewBox(const QRectF &Value)
{
    FViewBox = Value;
    FViewBoxSpecified = true;
    Changed();
}

bool TSVGCustomViewBox::ViewBoxDisablesRendering() const
{
    return FViewBoxSpecified && (FViewBox.width() <= 0 || FViewBox.height() <= 0);
}

QSizeF TSVGCustomViewBox::ContentViewportSize() const
{
    if (FViewBoxSpecified)
        return QSizeF(std::max(0.0, FViewBox.width()), std::max(0.0, FViewBox.height()));
    return QSizeF(std::max(0.0f, Width()), std::max(0.0f, Height()));
}

QSizeF TSVGCustomViewBox::ViewportSize() const
{
    const QSizeF outer = TSVGCustomGroup::ViewportSize();
    // The outermost viewport measures its own percentages against its viewBox.
    if (!outer.isValid() && !Parent() && FViewBoxSpecified)
        return ContentViewportSize();
    return outer;
}

QRectF TSVGCustomViewBox::BoundsRect() const
{
    return FViewBoxSpecified ? FViewBox : TSVGCustomGroup::BoundsRect();
}

void TSVGCustomViewBox::ComputeAspect(const QRectF &aRect, const TSVGAspectRatioValue &Ratio,
                                      float &sx, float &sy, float &tx, float &ty) const
{
    ::ComputeAspect(FViewBox, aRect, Ratio, sx, sy, tx, ty);
}

TMatrix TSVGCustomViewBox::ViewBoxMatrix(const QRectF &aRect, const TSVGAspectRatioValue &Ratio) const
{
    float sx = 1, sy = 1, tx = float(aRect.left()), ty = float(aRect.top());
    ComputeAspect(aRect, Ratio, sx, sy, tx, ty);
    // SVG's mapping: the viewBox origin goes to (tx, ty), then everything is scaled.
    return TMatrix::CreateTranslation(float(-FViewBox.left()), float(-FViewBox.top())) *
           TMatrix::CreateScaling(sx, sy) * TMatrix::CreateTranslation(tx, ty);
}

TMatrix TSVGCustomViewBox::GetViewMatrix(const TMatrix &OldTransformation, const QRectF &aRect) const
{
    if (!FViewBoxSpecified && FAspectRatio.Align() == saNone)
        return TMatrix::CreateScaling(OldTransformation.m11, OldTransformation.m22) *
               TMatrix::CreateTranslation(float(aRect.left()), float(aRect.top()));
    if (FViewBoxSpecified)
        return ViewBoxMatrix(aRect, FAspectRatio.Value());
    return TMatrix::CreateTranslation(float(aRect.left()), float(aRect.top()));
}

void TSVGCustomViewBox::ClearViewBox()
{
    FAspectRatio.Clear();
    FViewBox = QRectF(QPointF(0, 0), QPointF(100, 100));
    FViewBoxSpecified = false;
    SetOverflow(false);
}

void TSVGCustomViewBox::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGCustomGroup::Clear();
    ClearViewBox();
}

void TSVGCustomViewBox::LoadAttributes(pugi::xml_node Node)
{
    TSVGCustomGroup::LoadAttributes(Node);
    const float x = X(), y = Y();
    FViewBox = QRectF(QPointF(x, y), QPointF(x + Width(), y + Height()));

    const QString viewBox = ReadAttribute(Node, "viewBox", QString()).trimmed();
    if (!viewBox.isEmpty()) {
        // Anything but four numbers counts as no viewBox at all.
        const QStringList items = SplitList(viewBox, QStringLiteral(", "));
        bool valid = items.size() == 4;
        for (const QString &item : items) {
            bool inherited = false;
            if (!valid || std::isnan(ParseNumber(item, inherited, GetUnitFactors(), NAN))) {
                valid = false;
                break;
            }
        }
        if (valid) {
            FViewBoxSpecified = true;
            ParseViewBox(viewBox, GetUnitFactors(), FViewBox);
        }
    }
    const QString ratio = ReadAttribute(Node, "preserveAspectRatio", QString());
    if (!ratio.trimmed().isEmpty()) {
        TSVGAspectRatioValue value = FAspectRatio.Value();
        ParseAspectRatio(ratio, value);
        FAspectRatio.SetValue(value);
    }
}
