#include "svg/model/dom/text.h"

#include "svg/model/dom/update_guard.h"
#include "svg/model/dom/xml_dom.h"

std::unique_ptr<TSVGElement> TSVGText::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGText>(aOwner);
}

void TSVGText::AssignProperties(const TSVGElement &Source)
{
    TSVGGraphicElement::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGText *>(&Source)) {
        FText = src->FText;
        FContent = src->FContent;
    }
}

void TSVGText::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGGraphicElement::Clear();
    FText.clear();
    FContent.clear();
}

void TSVGText::SetText(const QString &Value)
{
    if (FText == Value)
        return;
    FText = Value;
    Changed();
}

void TSVGText::LoadAttributes(pugi::xml_node Node)
{
    TSVGGraphicElement::LoadAttributes(Node);
    FContent.clear();
    if (svgxml::IsTextElement(Node))
        FText = svgxml::Text(Node).trimmed();
}

int TSVGText::CreateChild(pugi::xml_node Node)
{
    const QString name = svgxml::LocalName(Node);
    // A link inside text lays out its characters like a span, and so does a textPath
    // (its tag name tells the layout to set them along its path).
    if (name == QLatin1String("tspan") || name == QLatin1String("a") || name == QLatin1String("textPath"))
        return AddChildOfType(etTSpan);
    if (name == QLatin1String("tref"))
        return AddChildOfType(etTRef);
    return CreateChildBase(Node);
}

void TSVGText::ChildNodeRead(pugi::xml_node Child, int Index)
{
    if (Child.type() == pugi::node_pcdata || Child.type() == pugi::node_cdata)
        FContent.append({svgxml::ToQString(Child.value()), -1});
    else if (Index >= 0)
        FContent.append({QString(), Index});
}

std::unique_ptr<TSVGElement> TSVGTextRef::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGTextRef>(aOwner);
}
