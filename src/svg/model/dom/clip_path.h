#pragma once
// clipPath: a container of shapes whose outline clips the elements that name it.

#include "svg/model/dom/graphic_element.h"

class TSVGClipPath : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGClipPath"); }
    TSVGElementType SVGType() const override { return etClipPath; }
    // The kinds that make up a clip path: use, the basic shapes, path and text.
    static bool IsClipChildType(TSVGElementType Type);

protected:
    // Only use, the basic shapes, path and text become children.
    int CreateChild(pugi::xml_node Node) override;
};
