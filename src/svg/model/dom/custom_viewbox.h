#pragma once
// Elements that establish a viewport (svg, symbol, marker, pattern, image): a viewBox
// mapped into a target rectangle according to preserveAspectRatio.

#include "svg/model/dom/group.h"
#include "svg/model/values/viewbox.h"

#include <functional>

class TSVGPreserveAspectRatio {
public:
    using TChangeEvent = std::function<void()>;

    TSVGPreserveAspectRatio() = default;
    TSVGPreserveAspectRatio(const TSVGPreserveAspectRatio &) = delete;
    TSVGPreserveAspectRatio &operator=(const TSVGPreserveAspectRatio &) = delete;

    TSVGAlign Align() const { return FValue.Align; }
    void SetAlign(TSVGAlign Value);
    bool Defer() const { return FValue.Defer; }
    void SetDefer(bool Value);
    bool Slice() const { return FValue.Slice; }
    void SetSlice(bool Value);
    const TSVGAspectRatioValue &Value() const { return FValue; }
    // Stores the three parts; one change event when anything differs.
    void SetValue(const TSVGAspectRatioValue &Value);

    // Copies the three parts and fires one change event.
    void Assign(const TSVGPreserveAspectRatio &Source);
    // saNone, no defer, no slice; fires the change event.
    void Clear();

    const TChangeEvent &OnChange() const { return FOnChange; }
    void SetOnChange(TChangeEvent Handler) { FOnChange = std::move(Handler); }

private:
    void Changed();

    TSVGAspectRatioValue FValue;
    TChangeEvent FOnChange;
};

// The scales and offsets that place ViewBox in aRect. tx and ty come in as the caller
// set them and are replaced for the centred and trailing alignments. A viewBox
// extent of zero or less gives the scale 1 (such an element is not drawn at all).
void ComputeAspect(const QRectF &ViewBox, const QRectF &aRect, const TSVGAspectRatioValue &Ratio,
                   float &sx, float &sy, float &tx, float &ty);

class TSVGCustomViewBox : public TSVGCustomGroup {
public:
    explicit TSVGCustomViewBox(TSVGDocument *aOwner);
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGCustomViewBox"); }
    void AssignProperties(const TSVGElement &Source) override;

    TSVGPreserveAspectRatio &AspectRatio() { return FAspectRatio; }
    const TSVGPreserveAspectRatio &AspectRatio() const { return FAspectRatio; }
    void SetAspectRatio(const TSVGPreserveAspectRatio &Value) { FAspectRatio.Assign(Value); }
    // (left, top, right, bottom); (0, 0, 100, 100) until one is read or set.
    const QRectF &ViewBox() const { return FViewBox; }
    void SetViewBox(const QRectF &Value);
    bool ViewBoxSpecified() const { return FViewBoxSpecified; }
    // A specified viewBox of zero or negative width or height: SVG does not render
    // the element then.
    bool ViewBoxDisablesRendering() const;

    // The extent percentages of the content refer to: the viewBox when specified,
    // else the element's width and height.
    QSizeF ContentViewportSize() const;
    QSizeF ViewportSize() const override;

    QRectF BoundsRect() const override;
    TMatrix GetViewMatrix(const TMatrix &OldTransformation, const QRectF &aRect) const override;
    using TSVGElement::GetViewMatrix;
    void ComputeAspect(const QRectF &aRect, const TSVGAspectRatioValue &Ratio, float &sx, float &sy,
                       float &tx, float &ty) const;

    void Clear() override;

protected:
    void LoadAttributes(pugi::xml_node Node) override;
    // The matrix for a specified viewBox: its origin to (tx, ty), scaled.
    TMatrix ViewBoxMatrix(const QRectF &aRect, const TSVGAspectRatioValue &Ratio) const;
    // Resets the viewBox part to its state after creation.
    void ClearViewBox();

private:
    TSVGPreserveAspectRatio FAspectRatio;
    QRectF FViewBox;
    bool FViewBoxSpecified = false;
};
