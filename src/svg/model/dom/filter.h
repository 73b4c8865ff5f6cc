#pragma once
// filter: a container of filter primitives (feFlood, feGaussianBlur, ...) that an element
// names in its `filter` property; never drawn in place. x, y, width and height hold the
// filter region as written (fractions of the bounding box with filterUnits
// objectBoundingBox, the default). A primitive keeps its tag and its attributes as they
// were written; the renderer reads them where it runs the primitive, so that no value
// of a primitive has two homes. Its children (feMergeNode, feFuncR, the light sources)
// are primitives of the same class.

#include "svg/model/dom/group.h"

#include <vector>

class TSVGFilter : public TSVGCustomGroup {
public:
    using TSVGCustomGroup::TSVGCustomGroup;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGFilter"); }
    TSVGElementType SVGType() const override { return etFilter; }

    // This filter and the filters its href leads to, in order; the chain ends at a
    // missing id, an element that is no filter, or one already in the chain. Each
    // region attribute and the units come from the first filter that states them, the
    // primitives from the first filter that has any.
    std::vector<const TSVGFilter *> Chain() const;

protected:
    int CreateChild(pugi::xml_node Node) override;
};

class TSVGFilterPrimitive : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGFilterPrimitive"); }
    TSVGElementType SVGType() const override { return etFilterPrimitive; }

protected:
    int CreateChild(pugi::xml_node Node) override;
};

// Whether a tag names a filter primitive or one of their children ("fe" and a capital).
bool SVGIsFilterPrimitiveTag(QStringView tag);
