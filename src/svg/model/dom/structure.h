#pragma once
// References to other content: use (and its tref kin in text.h) and symbol.

#include "svg/model/dom/custom_viewbox.h"

class TSVGUse : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGUse"); }
    TSVGElementType SVGType() const override { return etUse; }
    void AssignProperties(const TSVGElement &Source) override;

    // The href as written ("#id").
    const QString &Reference() const { return FReference; }
    void SetReference(const QString &Value);
    // The element the reference names (its first character dropped), or null.
    TSVGElement *ReferencedElement() const;
    // True when following the reference leads back to this element (a use of one of
    // its ancestors, or uses that refer to each other): such a use draws nothing.
    bool IsReferenceCyclic() const;

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    QString FReference;
};

class TSVGSymbol : public TSVGCustomViewBox {
public:
    using TSVGCustomViewBox::TSVGCustomViewBox;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGSymbol"); }
    TSVGElementType SVGType() const override { return etSymbol; }

protected:
    void LoadAttributes(pugi::xml_node Node) override;
};

// Places the element's geometry on the rectangle of its viewBox (symbol, marker).
void SVGTakeViewBoxGeometry(TSVGCustomViewBox &Element);
