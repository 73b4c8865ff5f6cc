#include "svg/model/dom/group.h"

#include "svg/model/dom/document.h"
#include "svg/model/dom/xml_dom.h"

std::unique_ptr<TSVGElement> TSVGCustomGroup::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGCustomGroup>(aOwner);
}

int TSVGCustomGroup::CreateChild(pugi::xml_node Node)
{
    const QString name = svgxml::LocalName(Node);
    if (name.isEmpty())
        return CreateChildBase(Node);
    const TSVGElementType type = SVGTypeByTag(name);
    switch (type) {
    case etStyle:
        if (TSVGDocument *doc = Document())
            doc->LoadStyleElement(Node);
        return -1;
    case etDesc:
    case etTitle:
    case etTextPath:
    case etComment:
        return -1;
    case etNone:
        // A link is a group as far as drawing goes; it keeps its tag.
        if (name == QLatin1String("a"))
            return AddChildOfType(etGroup);
        return CreateChildBase(Node);
    default:
        return AddChildOfType(type);
    }
}

std::unique_ptr<TSVGElement> TSVGGroup::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGGroup>(aOwner);
}

std::unique_ptr<TSVGElement> TSVGDefs::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGDefs>(aOwner);
}

std::unique_ptr<TSVGElement> TSVGSwitch::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGSwitch>(aOwner);
}

TSVGElement *TSVGSwitch::ChosenChild() const
{
    for (int i = 0; i < Count(); ++i) {
        TSVGElement *child = Items(i);
        if (child->HasFeatures() && child->HasExtensions() && child->HasLanguages())
            return child;
    }
    return nullptr;
}
