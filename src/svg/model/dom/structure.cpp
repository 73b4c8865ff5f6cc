#include "svg/model/dom/structure.h"

#include "svg/model/dom/document.h"

#include <QSet>

std::unique_ptr<TSVGElement> TSVGUse::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGUse>(aOwner);
}

void TSVGUse::AssignProperties(const TSVGElement &Source)
{
    TSVGGraphicElement::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGUse *>(&Source))
        FReference = src->FReference;
}

void TSVGUse::SetReference(const QString &Value)
{
    if (FReference == Value)
        return;
    FReference = Value;
    Changed();
}

TSVGElement *TSVGUse::ReferencedElement() const
{
    const TSVGDocument *doc = Document();
    if (!doc || FReference.isEmpty())
        return nullptr;
    return doc->FindElement(FReference.mid(1));
}

bool TSVGUse::IsReferenceCyclic() const
{
    // The drawing of a use expands its target, the target's children and every use
    // met there; the expansion returns to this use exactly when this use is reachable
    // from its target along child and reference links. Each element is visited once.
    const TSVGElement *target = ReferencedElement();
    if (!target)
        return false;
    QSet<const TSVGElement *> visited;
    QList<const TSVGElement *> pending{target};
    while (!pending.isEmpty()) {
        const TSVGElement *e = pending.takeLast();
        if (e == this)
            return true;
        if (visited.contains(e))
            continue;
        visited.insert(e);
        for (int i = 0; i < e->Count(); ++i)
            pending.append(e->Items(i));
        if (const auto *use = dynamic_cast<const TSVGUse *>(e))
            if (const TSVGElement *next = use->ReferencedElement())
                pending.append(next);
    }
    // A target that contains this use is reached through its children above.
    return false;
}

void TSVGUse::LoadAttributes(pugi::xml_node Node)
{
    TSVGGraphicElement::LoadAttributes(Node);
    FReference = ReadHRef(Node);
}

std::unique_ptr<TSVGElement> TSVGSymbol::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGSymbol>(aOwner);
}

void SVGTakeViewBoxGeometry(TSVGCustomViewBox &Element)
{
    const QRectF vb = Element.ViewBox();
    Element.SetXIsPercent(false);
    Element.SetYIsPercent(false);
    Element.SetWidthIsPercent(false);
    Element.SetHeightIsPercent(false);
    Element.SetX(float(vb.left()));
    Element.SetY(float(vb.top()));
    Element.SetWidth(float(vb.width()));
    Element.SetHeight(float(vb.height()));
}

void TSVGSymbol::LoadAttributes(pugi::xml_node Node)
{
    TSVGCustomViewBox::LoadAttributes(Node);
    SVGTakeViewBoxGeometry(*this);
}
