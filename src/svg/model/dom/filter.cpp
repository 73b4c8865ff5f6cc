#include "svg/model/dom/filter.h"

#include "svg/model/dom/document.h"
#include "svg/model/dom/xml_dom.h"

#include <algorithm>

bool SVGIsFilterPrimitiveTag(QStringView tag)
{
    return tag.size() > 2 && tag.startsWith(u"fe") && tag[2].isUpper();
}

namespace {

// Primitives nest only through their own children; anything else inside a filter
// counts for nothing there, as in SVG, whatever it is elsewhere.
int AddPrimitive(TSVGGraphicElement &parent, pugi::xml_node node)
{
    if (!SVGIsFilterPrimitiveTag(svgxml::LocalName(node)))
        return -1;
    return parent.Add(std::make_unique<TSVGFilterPrimitive>(parent.Document()));
}

} // namespace

std::unique_ptr<TSVGElement> TSVGFilter::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGFilter>(aOwner);
}

std::vector<const TSVGFilter *> TSVGFilter::Chain() const
{
    std::vector<const TSVGFilter *> chain{this};
    const TSVGDocument *doc = Document();
    for (const TSVGFilter *f = this; doc;) {
        QString href;
        if (!f->XMLAttribute(u"href", href))
            break;
        href = href.trimmed();
        if (!href.startsWith(QLatin1Char('#')))
            break;
        const TSVGElement *next = doc->FindElement(href.mid(1));
        if (!next || next->SVGType() != etFilter ||
            std::find(chain.begin(), chain.end(), next) != chain.end())
            break;
        f = static_cast<const TSVGFilter *>(next);
        chain.push_back(f);
    }
    return chain;
}

int TSVGFilter::CreateChild(pugi::xml_node Node)
{
    return AddPrimitive(*this, Node);
}

std::unique_ptr<TSVGElement> TSVGFilterPrimitive::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGFilterPrimitive>(aOwner);
}

int TSVGFilterPrimitive::CreateChild(pugi::xml_node Node)
{
    return AddPrimitive(*this, Node);
}
