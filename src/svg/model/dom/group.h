#pragma once
// Containers: the group-like base that turns child nodes into elements through the tag
// table, and the plain containers g, defs and switch.

#include "svg/model/dom/graphic_element.h"

class TSVGCustomGroup : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGCustomGroup"); }
    TSVGElementType SVGType() const override { return etGroup; }

protected:
    int CreateChild(pugi::xml_node Node) override;
};

class TSVGGroup : public TSVGCustomGroup {
public:
    using TSVGCustomGroup::TSVGCustomGroup;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGGroup"); }
    TSVGElementType SVGType() const override { return etGroup; }
};

class TSVGDefs : public TSVGCustomGroup {
public:
    using TSVGCustomGroup::TSVGCustomGroup;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGDefs"); }
    TSVGElementType SVGType() const override { return etDefs; }
};

class TSVGSwitch : public TSVGCustomGroup {
public:
    using TSVGCustomGroup::TSVGCustomGroup;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGSwitch"); }
    TSVGElementType SVGType() const override { return etSwitch; }
    // The first child that passes the conditional-processing tests, or null.
    TSVGElement *ChosenChild() const;
};
