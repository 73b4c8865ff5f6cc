#include "svg/model/dom/clip_path.h"

#include "svg/model/dom/xml_dom.h"

std::unique_ptr<TSVGElement> TSVGClipPath::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGClipPath>(aOwner);
}

bool TSVGClipPath::IsClipChildType(TSVGElementType Type)
{
    switch (Type) {
    case etUse:
    case etCircle:
    case etEllipse:
    case etRectangle:
    case etLine:
    case etPolyline:
    case etPolygon:
    case etPath:
    case etText:
        return true;
    default:
        return false;
    }
}

int TSVGClipPath::CreateChild(pugi::xml_node Node)
{
    const TSVGElementType type = SVGTypeByTag(svgxml::LocalName(Node));
    return IsClipChildType(type) ? AddChildOfType(type) : CreateChildBase(Node);
}
