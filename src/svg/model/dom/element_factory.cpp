// The class table: which element class each tag creates.

#include "svg/model/dom/clip_path.h"
#include "svg/model/dom/document.h"
#include "svg/model/dom/filter.h"
#include "svg/model/dom/image.h"
#include "svg/model/dom/mask.h"
#include "svg/model/dom/marker.h"
#include "svg/model/dom/metadata.h"
#include "svg/model/dom/paint_servers.h"
#include "svg/model/dom/shapes.h"
#include "svg/model/dom/structure.h"
#include "svg/model/dom/text.h"

std::unique_ptr<TSVGElement> SVGCreateElement(TSVGElementType Type, TSVGDocument *aOwner)
{
    switch (Type) {
    case etDoc: return std::make_unique<TSVGDocument>(aOwner);
    case etGroup: return std::make_unique<TSVGGroup>(aOwner);
    case etImage: return std::make_unique<TSVGImage>(aOwner);
    case etDefs: return std::make_unique<TSVGDefs>(aOwner);
    case etUse: return std::make_unique<TSVGUse>(aOwner);
    case etCircle: return std::make_unique<TSVGCircle>(aOwner);
    case etEllipse: return std::make_unique<TSVGEllipse>(aOwner);
    case etRectangle: return std::make_unique<TSVGRectangle>(aOwner);
    case etLine: return std::make_unique<TSVGLine>(aOwner);
    case etPolyline: return std::make_unique<TSVGPolyline>(aOwner);
    case etPolygon: return std::make_unique<TSVGPolygon>(aOwner);
    case etPath: return std::make_unique<TSVGPath>(aOwner);
    case etText:
    case etTSpan: return std::make_unique<TSVGText>(aOwner);
    case etSwitch: return std::make_unique<TSVGSwitch>(aOwner);
    case etTRef: return std::make_unique<TSVGTextRef>(aOwner);
    case etClipPath: return std::make_unique<TSVGClipPath>(aOwner);
    case etLinearGradient: return std::make_unique<TSVGLinearGradient>(aOwner);
    case etRadialGradient: return std::make_unique<TSVGRadialGradient>(aOwner);
    case etGradientStop: return std::make_unique<TSVGGradientStop>(aOwner);
    case etMarker: return std::make_unique<TSVGMarker>(aOwner);
    case etMetadata: return std::make_unique<TSVGMetadata>(aOwner);
    case etScript: return std::make_unique<TSVGScript>(aOwner);
    case etSymbol: return std::make_unique<TSVGSymbol>(aOwner);
    case etPattern: return std::make_unique<TSVGPattern>(aOwner);
    case etMask: return std::make_unique<TSVGMask>(aOwner);
    case etFilter: return std::make_unique<TSVGFilter>(aOwner);
    case etFilterPrimitive: return std::make_unique<TSVGFilterPrimitive>(aOwner);
    case etNone:
    case etDesc:
    case etTitle:
    case etStyle:
    case etTextPath:
    case etComment:
        break;
    }
    return nullptr;
}
