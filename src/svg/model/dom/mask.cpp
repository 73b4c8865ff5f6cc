#include "svg/model/dom/mask.h"

std::unique_ptr<TSVGElement> TSVGMask::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGMask>(aOwner);
}
