#include "svg/model/clip_path.h"

#include "svg/model/xml_dom.h"

std::unique_ptr<TSVGElement> TSVGClipPath::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGClipPath>(aOwner);
}

int TSVGClipPath::CreateChild(pugi::xml_node Node)
{
    switch (const TSVGElementType type = SVGTypeByTag(svgxml::LocalName(Node))) {
    case etUse:
    case etCircle:
    case etEllipse:
    case etRectangle:
    case etLine:
    case etPolyline:
    case etPolygon:
    case etPath:
    case etText:
        return AddChildOfType(type);
    default:
        return CreateChildBase(Node);
    }
}
