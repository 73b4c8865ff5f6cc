#include "svg/model/dom/metadata.h"

#include "svg/model/dom/xml_dom.h"

std::unique_ptr<TSVGElement> TSVGMetadata::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGMetadata>(aOwner);
}

void TSVGMetadata::AssignProperties(const TSVGElement &Source)
{
    TSVGElement::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGMetadata *>(&Source))
        FXMLText = src->FXMLText;
}

void TSVGMetadata::LoadAttributes(pugi::xml_node Node)
{
    TSVGElement::LoadAttributes(Node);
    FXMLText = svgxml::XMLText(Node);
}

std::unique_ptr<TSVGElement> TSVGScript::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGScript>(aOwner);
}
