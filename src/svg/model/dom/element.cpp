#include "svg/model/dom/element.h"

#include "svg/model/dom/custom_viewbox.h"
#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/model/values/lists.h"
#include "svg/model/dom/update_guard.h"
#include "svg/model/dom/xml_dom.h"

#include <array>

namespace {

constexpr std::array<const char16_t *, etFilterPrimitive + 1> TagNames = {
    u"", u"svg", u"g", u"image", u"defs", u"use", u"circle", u"ellipse", u"rect", u"line",
    u"polyline", u"polygon", u"path", u"text", u"switch", u"desc", u"title", u"style",
    u"tspan", u"textPath", u"tref", u"clipPath", u"linearGradient", u"radialGradient",
    u"stop", u"marker", u"metadata", u"script", u"comment", u"symbol", u"pattern",
    u"mask", u"filter", u"",
};

QStringList TextLines(const QString &text)
{
    if (text.isEmpty())
        return QStringList();
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return normalised.split(QLatin1Char('\n'));
}

} // namespace

QString SVGTagName(TSVGElementType type)
{
    if (type < etNone || type > etFilterPrimitive)
        return QString();
    return QString::fromUtf16(TagNames[type]);
}

TSVGElementType SVGTypeByTag(QStringView tag)
{
    for (int i = etDoc; i <= etFilter; ++i)
        if (tag == QStringView(TagNames[i]))
            return TSVGElementType(i);
    return etNone;
}

TSVGElement::TSVGElement(TSVGDocument *aOwner) : FOwner(aOwner)
{
    if (FOwner)
        SetID(FOwner->NewAutomaticID());
}

TSVGElement::~TSVGElement()
{
    ReleaseItems();
    // The id table refers to elements without owning them; an entry must not outlive
    // the element it names.
    if (TSVGDocument *doc = Document(); doc && !FID.isEmpty())
        doc->UnregisterID(FID, this);
}

void TSVGElement::ReleaseItems()
{
    // Children go last to first so that a child never sees a half-emptied list.
    while (!FItems.empty()) {
        std::unique_ptr<TSVGElement> child = std::move(FItems.back());
        FItems.pop_back();
        child.reset();
    }
}

std::unique_ptr<TSVGElement> TSVGElement::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGElement>(aOwner);
}

std::unique_ptr<TSVGElement> TSVGElement::Clone(TSVGDocument *aOwner) const
{
    std::unique_ptr<TSVGElement> copy = CreateNew(aOwner);
    copy->BeginUpdate();
    try {
        copy->AssignProperties(*this);
        for (const auto &child : FItems)
            copy->Add(child->Clone(aOwner));
    } catch (...) {
        copy->EndUpdate();
        throw;
    }
    copy->EndUpdate();
    return copy;
}

void TSVGElement::Assign(const TSVGElement &Source)
{
    if (&Source == this)
        return;
    TSVGUpdateGuard guard(this);
    AssignProperties(Source);
    ClearItems();
    for (const auto &child : Source.FItems)
        Add(child->Clone(FOwner));
}

void TSVGElement::AssignProperties(const TSVGElement &Source)
{
    SetID(Source.FID);
    FTitle = Source.FTitle;
    FDescription = Source.FDescription;
    FLanguage = Source.FLanguage;
    FAttributes = Source.FAttributes;
    FClasses = Source.FClasses;
    FSystemLanguages = Source.FSystemLanguages;
    FRequiredFeatures = Source.FRequiredFeatures;
    FRequiredExtensions = Source.FRequiredExtensions;
    FXMLAttributes = Source.FXMLAttributes;
    FTagName = Source.FTagName;
    SubObjectChanged(TSVGSubObject::Strings);
}

QString TSVGElement::SVGTypeName() const
{
    const TSVGElementType type = SVGType();
    return type == etNone ? ClassName() : SVGTagName(type);
}

QString TSVGElement::TagName() const
{
    return FTagName.isEmpty() ? SVGTypeName() : FTagName;
}

void TSVGElement::SetID(const QString &Key)
{
    if (Key == FID)
        return;
    if (TSVGDocument *doc = Document())
        doc->RegisterID(Key, FID, this);
    FID = Key;
}

void TSVGElement::SetDescription(const QStringList &Value)
{
    FDescription = Value;
    SubObjectChanged(TSVGSubObject::Strings);
}

void TSVGElement::SetClasses(const QStringList &Value)
{
    FClasses = Value;
    SubObjectChanged(TSVGSubObject::Strings);
}

void TSVGElement::SetSystemLanguages(const QStringList &Value)
{
    FSystemLanguages = Value;
    SubObjectChanged(TSVGSubObject::Strings);
}

void TSVGElement::SetRequiredFeatures(const QStringList &Value)
{
    FRequiredFeatures = Value;
    SubObjectChanged(TSVGSubObject::Strings);
}

void TSVGElement::SetRequiredExtensions(const QStringList &Value)
{
    FRequiredExtensions = Value;
    SubObjectChanged(TSVGSubObject::Strings);
}

bool TSVGElement::XMLAttribute(QStringView Name, QString &Value) const
{
    for (const TSVGXMLAttribute &a : FXMLAttributes) {
        if (a.first == Name) {
            Value = a.second;
            return true;
        }
    }
    return false;
}

TSVGDocument *TSVGElement::Document() const
{
    return FOwner ? FOwner : FSelfDocument;
}

void TSVGElement::SetParent(TSVGElement *Value)
{
    FParent = Value;
}

constinit thread_local const TSVGUseScope *gSVGUseScopes = nullptr;

TSVGElement *TSVGElement::UsedParent() const
{
    for (const TSVGUseScope *scope = gSVGUseScopes; scope; scope = scope->FOuter)
        if (scope->FUsed == this)
            return scope->FUse;
    return FParent;
}

TSVGUseScope::TSVGUseScope(const TSVGElement &Used, TSVGElement &Use)
    : FUsed(&Used), FUse(&Use), FOuter(gSVGUseScopes)
{
    gSVGUseScopes = this;
}

TSVGUseScope::~TSVGUseScope()
{
    gSVGUseScopes = FOuter;
}

TSVGElement *TSVGElement::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EArgumentOutOfRange();
    return FItems[size_t(Index)].get();
}

int TSVGElement::IndexOf(const TSVGElement *Element) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Element)
            return int(i);
    return -1;
}

int TSVGElement::Add(std::unique_ptr<TSVGElement> Element)
{
    Insert(Count(), std::move(Element));
    return Count() - 1;
}

void TSVGElement::Insert(int Index, std::unique_ptr<TSVGElement> Element)
{
    if (!Element)
        return;
    if (Index < 0 || Index > Count())
        throw EArgumentOutOfRange();
    TSVGElement *item = Element.get();
    FItems.insert(FItems.begin() + Index, std::move(Element));
    ItemsNotify(item, true, false);
}

void TSVGElement::Delete(int Index)
{
    std::unique_ptr<TSVGElement> item = Extract(Index);
    item.reset();
    Changed();
}

std::unique_ptr<TSVGElement> TSVGElement::Extract(int Index)
{
    if (Index < 0 || Index >= Count())
        throw EArgumentOutOfRange();
    std::unique_ptr<TSVGElement> item = std::move(FItems[size_t(Index)]);
    FItems.erase(FItems.begin() + Index);
    ItemsNotify(item.get(), false, false);
    return item;
}

void TSVGElement::ClearItems()
{
    if (FItems.empty())
        return;
    ReleaseItems();
    Changed();
}

void TSVGElement::ItemsNotify(TSVGElement *Item, bool Added, bool Freed)
{
    if (Added)
        Item->SetParent(this);
    else if (!Freed)
        Item->SetParent(nullptr);
    Changed();
}

int TSVGElement::Depth() const
{
    int depth = 0;
    for (const TSVGElement *p = FParent; p; p = p->FParent)
        ++depth;
    return depth;
}

bool TSVGElement::HasChild(const TSVGElement *aElement) const
{
    return aElement && aElement->FParent == this;
}

bool TSVGElement::HasDescendant(const TSVGElement *aElement) const
{
    if (!aElement)
        return false;
    for (const TSVGElement *p = aElement->FParent; p; p = p->FParent)
        if (p == this)
            return true;
    return false;
}

bool TSVGElement::HasSibling(const TSVGElement *aElement) const
{
    return FParent && aElement && aElement->FParent == FParent;
}

bool TSVGElement::HasPreceding(const TSVGElement *aElement) const
{
    if (!aElement)
        return false;
    if (aElement->HasAncestor(this))
        return true;
    if (!HasSibling(aElement))
        return false;
    const int mine = FParent->IndexOf(this);
    const int theirs = FParent->IndexOf(aElement);
    return theirs >= 0 && theirs < mine;
}

bool TSVGElement::HasFeatures() const
{
    if (!Document())
        return true;
    for (const QString &feature : FRequiredFeatures)
        if (!TSVGDocument::SupportsFeature(feature))
            return false;
    return true;
}

bool TSVGElement::HasExtensions() const
{
    return FRequiredExtensions.isEmpty();
}

bool TSVGElement::HasLanguages() const
{
    const TSVGDocument *doc = Document();
    if (!doc)
        return true;
    if (!FLanguage.isEmpty() && doc->SupportsLanguage(FLanguage))
        return true;
    bool result = FLanguage.isEmpty();
    for (const QString &language : FSystemLanguages) {
        result = doc->SupportsLanguage(language);
        if (result)
            break;
    }
    return result;
}

bool TSVGElement::HasLanguage(const QString &aLanguage) const
{
    QString stated = FLanguage;
    if (stated.isEmpty())
        XMLAttribute(u"lang", stated);  // xml:lang
    const QStringList items = SplitList(stated, QStringLiteral(", "));
    for (const QString &item : items)
        if (item.startsWith(aLanguage, Qt::CaseInsensitive))
            return true;
    return false;
}

QRectF TSVGElement::GetBoundsRect(const TMatrix &aMatrix) const
{
    const QRectF r = BoundsRect();
    if (aMatrix.IsIdentity())
        return r;
    const QPointF corners[4] = {aMatrix.Map(r.topLeft()), aMatrix.Map(r.topRight()),
                                aMatrix.Map(r.bottomLeft()), aMatrix.Map(r.bottomRight())};
    qreal left = corners[0].x(), right = left, top = corners[0].y(), bottom = top;
    for (const QPointF &p : corners) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

const TSVGUnitFactors &TSVGElement::GetUnitFactors() const
{
    if (const TSVGDocument *doc = Document())
        return doc->UnitFactors();
    return SVGDefaultUnitFactors();
}

TSVGCustomViewBox *TSVGElement::GetNearestViewBox() const
{
    for (const TSVGElement *e = this; e; e = e->Parent()) {
        if (auto *vb = dynamic_cast<const TSVGCustomViewBox *>(e); vb && vb->ViewBoxSpecified())
            return const_cast<TSVGCustomViewBox *>(vb);
    }
    return nullptr;
}

TMatrix TSVGElement::FitToRect(const QRectF &aRect, const QRectF &TargetRect)
{
    if (TargetRect.width() == 0 || TargetRect.height() == 0)
        return TMatrix::Identity();
    return TMatrix::CreateTranslation(float(-TargetRect.left()), float(-TargetRect.top())) *
           TMatrix::CreateScaling(float(aRect.width() / TargetRect.width()),
                                  float(aRect.height() / TargetRect.height())) *
           TMatrix::CreateTranslation(float(aRect.left()), float(aRect.top()));
}

TMatrix TSVGElement::FitToRect(const QRectF &aRect) const
{
    return FitToRect(aRect, GetBoundsRect(TMatrix::Identity()));
}

TMatrix TSVGElement::GetViewMatrix(const QRectF &aRect) const
{
    return GetViewMatrix(TMatrix::Identity(), aRect);
}

TMatrix TSVGElement::GetViewMatrix(const TMatrix &, const QRectF &aRect) const
{
    return FitToRect(aRect);
}

int TSVGElement::Matches(const QString &) const
{
    return -1;
}

void TSVGElement::ApplyStyles()
{
    for (const auto &child : FItems)
        child->ApplyStyles();
}

void TSVGElement::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        Changed();
}

void TSVGElement::Clear()
{
    TSVGUpdateGuard guard(this);
    FRequiredFeatures.clear();
    FRequiredExtensions.clear();
    FSystemLanguages.clear();
    ClearItems();
}

void TSVGElement::Reset()
{
    for (const auto &child : FItems)
        child->Reset();
}

void TSVGElement::LoadFromXML(pugi::xml_node Node)
{
    TSVGUpdateGuard guard(this);
    LoadAttributes(Node);
}

void TSVGElement::LoadAttributes(pugi::xml_node Node)
{
    FTagName = svgxml::LocalName(Node);
    FXMLAttributes.clear();
    for (pugi::xml_attribute a = Node.first_attribute(); a; a = a.next_attribute())
        FXMLAttributes.append({svgxml::LocalName(a), svgxml::ToQString(a.value())});

    if (const pugi::xml_attribute id = Node.attribute("id"))
        SetID(svgxml::ToQString(id.value()));
    // Only lang is the language an element is shown for; xml:lang names the language of
    // its content and hides nothing (it stays among the attributes for :lang()).
    if (const pugi::xml_attribute lang = Node.attribute("lang"))
        FLanguage = svgxml::ToQString(lang.value());
    bool title = false, desc = false;
    for (pugi::xml_node child = Node.first_child(); child && !(title && desc);
         child = child.next_sibling()) {
        if (!title && svgxml::LocalNameIs(child, "title")) {
            FTitle = svgxml::Text(child);
            title = true;
        } else if (!desc && svgxml::LocalNameIs(child, "desc")) {
            FDescription = TextLines(svgxml::Text(child));
            desc = true;
        }
    }
    ReadStringList(FClasses, ReadAttribute(Node, "class", QString()));
    ReadStringList(FRequiredFeatures,
                   ReadAttribute(Node, "requiredFeatures", QString()));
    ReadStringList(FRequiredExtensions,
                   ReadAttribute(Node, "requiredExtensions", QString()));
    ReadStringList(FSystemLanguages,
                   ReadAttribute(Node, "systemLanguage", QString()));
}

void TSVGElement::Changed()
{
    // Inside a bracket the closing EndUpdate reports the change once.
    if (FUpdateCount > 0)
        return;
    if (TSVGDocument *doc = Document(); doc && doc != this)
        doc->Changed();
}

void TSVGElement::SubObjectChanged(TSVGSubObject Object)
{
    Changed();
    for (const auto &child : FItems)
        child->SubObjectChanged(Object);
}

QString TSVGElement::ReadAttribute(pugi::xml_node Node, const char *Name, const QString &Default,
                                   const QString &Prefix)
{
    pugi::xml_attribute a;
    if (Prefix.isEmpty())
        a = Node.attribute(Name);
    else
        a = svgxml::FindAttribute(Node, QString::fromLatin1(Name),
                                  svgxml::NamespaceOfPrefix(Node, Prefix));
    return a ? svgxml::ToQString(a.value()) : Default;
}

bool TSVGElement::HasAttribute(pugi::xml_node Node, const char *Name, const QString &Prefix)
{
    if (Prefix.isEmpty())
        return bool(Node.attribute(Name));
    return bool(svgxml::FindAttribute(Node, QString::fromLatin1(Name),
                                      svgxml::NamespaceOfPrefix(Node, Prefix)));
}

QString TSVGElement::ReadChildText(pugi::xml_node Node, const char *Name, const QString &Default)
{
    for (pugi::xml_node child = Node.first_child(); child; child = child.next_sibling())
        if (svgxml::LocalNameIs(child, Name))
            return svgxml::Text(child);
    return Default;
}

TSVGLength TSVGElement::ReadLengthAttribute(pugi::xml_node Node, const char *Name,
                                            const TSVGUnitFactors &Factors, TSVGLength Default)
{
    const pugi::xml_attribute a = Node.attribute(Name);
    if (!a)
        return Default;
    Default.Value = ParseFraction(svgxml::ToQString(a.value()), Default.IsPercent, Factors,
                                  Default.Value);
    return Default;
}

float TSVGElement::ReadRangeAttribute(pugi::xml_node Node, const char *Name,
                                      const TSVGUnitFactors &Factors, float Default)
{
    const pugi::xml_attribute a = Node.attribute(Name);
    if (!a)
        return Default;
    return ParseLength(svgxml::ToQString(a.value()), Factors, 1, 0, Default);
}

void TSVGElement::ReadStringList(QStringList &List, const QString &Text)
{
    const QString trimmed = Text.trimmed();
    if (trimmed.isEmpty()) {
        List.clear();
        return;
    }
    List.append(SplitList(trimmed, QStringLiteral(", ")));
}

QString TSVGElement::ReadHRef(pugi::xml_node Node)
{
    // Documents that declare no xlink prefix (SVG 2 style) write a plain href, which wins
    // over an xlink:href beside it.
    if (pugi::xml_attribute a = Node.attribute("href"))
        return svgxml::ToQString(a.value());
    const QString xlink = svgxml::NamespaceOfPrefix(Node, QStringLiteral("xlink"));
    if (!xlink.isEmpty()) {
        if (pugi::xml_attribute a = svgxml::FindAttribute(Node, QStringLiteral("href"), xlink))
            return svgxml::ToQString(a.value());
    }
    return QString();
}
