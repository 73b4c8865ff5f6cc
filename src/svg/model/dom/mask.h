#pragma once
// mask: a container whose rendered luminance (or alpha, with mask-type alpha) scales the
// opacity of the elements that name it. Never drawn in place; x, y, width and height
// hold the mask region as written (fractions of the bounding box with maskUnits
// objectBoundingBox, the default).

#include "svg/model/dom/group.h"

class TSVGMask : public TSVGCustomGroup {
public:
    using TSVGCustomGroup::TSVGCustomGroup;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGMask"); }
    TSVGElementType SVGType() const override { return etMask; }
};
