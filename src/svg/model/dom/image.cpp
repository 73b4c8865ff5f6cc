#include "svg/model/dom/image.h"

#include "svg/model/dom/update_guard.h"

TSVGImage::TSVGImage(TSVGDocument *aOwner) : TSVGCustomViewBox(aOwner)
{
    AspectRatio().SetValue({saXMidYMid, false, false});
}

std::unique_ptr<TSVGElement> TSVGImage::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGImage>(aOwner);
}

void TSVGImage::AssignProperties(const TSVGElement &Source)
{
    TSVGCustomViewBox::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGImage *>(&Source))
        FReference = src->FReference;
}

void TSVGImage::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGCustomViewBox::Clear();
    FReference.clear();
    AspectRatio().SetValue({saXMidYMid, false, false});
}

void TSVGImage::SetReference(const QString &Value)
{
    if (FReference == Value)
        return;
    FReference = Value;
    Changed();
}

void TSVGImage::LoadAttributes(pugi::xml_node Node)
{
    TSVGCustomViewBox::LoadAttributes(Node);
    const QString href = ReadHRef(Node);
    FReference = href.startsWith(QLatin1Char('#')) ? href.mid(1) : href;
}
