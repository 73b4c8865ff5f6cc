#include "svg/model/dom/document.h"

#include "svg/model/values/exception.h"
#include "svg/model/values/lists.h"
#include "svg/model/css/style_sheet.h"
#include "svg/model/dom/update_guard.h"
#include "svg/model/dom/xml_dom.h"

#include <QFile>
#include <QFileInfo>

TSVGDocument::TSVGDocument(TSVGDocument *aOwner) : TSVGCustomViewBox(aOwner)
{
    if (!aOwner)
        FSelfDocument = this;
    FUnitFactors = SVGUnitFactors(FDPI);
    SetShapeRendering(FDefaultShapeRendering);
    SetWidth(100);
    SetHeight(100);
    FDefaultAspectRatio.SetOnChange([this] { SubObjectChanged(TSVGSubObject::AspectRatio); });
}

TSVGDocument::~TSVGDocument()
{
    // The children unregister their ids while the table still exists.
    ReleaseItems();
    FStyles.clear();
    FSelfDocument = nullptr;
}

std::unique_ptr<TSVGElement> TSVGDocument::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGDocument>(aOwner);
}

void TSVGDocument::AssignProperties(const TSVGElement &Source)
{
    if (const auto *src = dynamic_cast<const TSVGDocument *>(&Source)) {
        FDPI = src->FDPI;
        FUnitFactors = src->FUnitFactors;
        FOptions = src->FOptions;
        FPrefLanguages = src->PreferredLanguages();
        FPrefLanguagesRead = true;
        if (src != this)
            SetStyles(*src);
    }
    TSVGCustomViewBox::AssignProperties(Source);
}

// --- loading

void TSVGDocument::LoadFromFile(const QString &FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVuploraError(QStringLiteral("Cannot open file \"%1\". %2")
                                .arg(FileName, file.errorString()));
    SetFileName(QFileInfo(FileName).absoluteFilePath());
    LoadFromStream(file);
}

void TSVGDocument::LoadFromStream(QIODevice &Stream)
{
    LoadFromBytes(Stream.readAll());
}

void TSVGDocument::LoadFromBytes(const QByteArray &Bytes)
{
    const std::unique_ptr<pugi::xml_document> xml = svgxml::Parse(Bytes);
    LoadFromXML(*xml);
}

void TSVGDocument::LoadFromText(const QString &Text)
{
    const std::unique_ptr<pugi::xml_document> xml = svgxml::Parse(Text.toUtf8(), true);
    LoadFromXML(*xml);
}

void TSVGDocument::LoadFromXML(const pugi::xml_document &XML)
{
    const pugi::xml_node root = XML.document_element();
    if (svgxml::LocalName(root) != QLatin1String("svg"))
        throw ESVGException(QStringLiteral("Not a valid SVG document"));
    LoadFromXML(root);
}

void TSVGDocument::LoadFromXML(pugi::xml_node Node)
{
    if (svgxml::LocalName(Node) != QLatin1String("svg"))
        return;
    if (Owner()) {
        // A nested svg element: its document keeps the tables and runs the cascade.
        TSVGCustomViewBox::LoadFromXML(Node);
        return;
    }
    TSVGUpdateGuard guard(this);
    Clear();
    TSVGCustomViewBox::LoadFromXML(Node);
    ApplyStyles();
}

void TSVGDocument::LoadAttributes(pugi::xml_node Node)
{
    // An svg element without width or height is as large as what shows it.
    if (!HasAttribute(Node, "width")) {
        SetWidth(1);
        SetWidthIsPercent(true);
    }
    if (!HasAttribute(Node, "height")) {
        SetHeight(1);
        SetHeightIsPercent(true);
    }
    TSVGCustomViewBox::LoadAttributes(Node);
}

// --- validation

bool TSVGDocument::IsValidSVG(const pugi::xml_document &XML, bool StrictVerification)
{
    if (!StrictVerification)
        return svgxml::LocalName(XML.document_element()) == QLatin1String("svg");
    try {
        TSVGDocument document;
        document.LoadFromXML(XML);
        return true;
    } catch (...) {
        return false;
    }
}

bool TSVGDocument::IsValidSVG(QIODevice &Stream, bool StrictVerification)
{
    std::unique_ptr<pugi::xml_document> xml;
    try {
        xml = svgxml::Parse(Stream.readAll());
    } catch (...) {
        return false;
    }
    return IsValidSVG(*xml, StrictVerification);
}

bool TSVGDocument::IsValidSVG(const QString &FileName, bool StrictVerification)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return IsValidSVG(file, StrictVerification);
}

bool TSVGDocument::IsValidSVG(bool StrictVerification, const QString &Text)
{
    std::unique_ptr<pugi::xml_document> xml;
    try {
        xml = svgxml::Parse(Text.toUtf8(), true);
    } catch (...) {
        return false;
    }
    return IsValidSVG(*xml, StrictVerification);
}

// --- tree and view

void TSVGDocument::Clear()
{
    TSVGUpdateGuard guard(this);
    TSVGCustomViewBox::Clear();
    if (!Owner()) {
        FAllItems.clear();
        ClearStyles();
    }
    SetShapeRendering(FDefaultShapeRendering);
    SetColorRendering(FDefaultColorRendering);
    SetTextRendering(FDefaultTextRendering);
    SetColorInterpolation(FDefaultColorInterpolation);
}

TMatrix TSVGDocument::GetViewMatrix(const TMatrix &OldTransformation, const QRectF &aRect) const
{
    const bool specified = ViewBoxSpecified();
    if (!specified && AspectRatio().Align() == saNone && FDefaultAspectRatio.Align() == saNone)
        return TSVGCustomViewBox::GetViewMatrix(OldTransformation, aRect);
    // A size given as a share of the target has no box of its own to fit.
    if (!specified && (WidthIsPercent() || HeightIsPercent()))
        return TMatrix::CreateTranslation(float(aRect.left()), float(aRect.top()));
    return ViewBoxMatrix(aRect, specified ? AspectRatio().Value() : FDefaultAspectRatio.Value());
}

void TSVGDocument::Changed()
{
    TSVGCustomViewBox::Changed();
    if (!Owner() && UpdateCount() == 0 && FOnChange)
        FOnChange(this);
}

const TSVGUnitFactors &TSVGDocument::GetUnitFactors() const
{
    return Owner() ? Owner()->UnitFactors() : FUnitFactors;
}

// --- ids

QString TSVGDocument::NewAutomaticID() const
{
    const TSVGDocument *root = Owner() ? Owner() : this;
    qsizetype n = root->FAllItems.size();
    QString id;
    do
        id = QStringLiteral("ID#") + QString::number(n++);
    while (root->FAllItems.contains(id));
    return id;
}

void TSVGDocument::RegisterID(const QString &Key, const QString &OldKey, TSVGElement *Element)
{
    TSVGDocument *root = Root();
    if (!Key.isEmpty()) {
        if (root->FOptions.testFlag(soEnforceUniqueID) && root->FAllItems.contains(Key))
            throw EVuploraError(QStringLiteral("Duplicates not allowed"));
        root->FAllItems.insert(Key, Element);
    }
    // The old key is released only while it still names this element: another
    // element that took the key over keeps it.
    UnregisterID(OldKey, Element);
}

void TSVGDocument::UnregisterID(const QString &Key, const TSVGElement *Element)
{
    if (Key.isEmpty())
        return;
    TSVGDocument *root = Root();
    const auto it = root->FAllItems.find(Key);
    if (it != root->FAllItems.end() && it.value() == Element)
        root->FAllItems.erase(it);
}

// --- style rules

TSVGStyle *TSVGDocument::Styles(int Index) const
{
    if (Index < 0 || Index >= StyleCount())
        throw EArgumentOutOfRange();
    return FStyles[size_t(Index)].get();
}

void TSVGDocument::StylesNotify(TSVGStyle *aStyle, bool Added)
{
    if (Added) {
        if (FOnAddStyle)
            FOnAddStyle(this, aStyle);
    } else if (FOnRemoveStyle) {
        FOnRemoveStyle(this, aStyle);
    }
    Changed();
}

TSVGStyle *TSVGDocument::CreateStyle(const QString &Name, const QString &Declarations)
{
    if (Owner())
        return Owner()->CreateStyle(Name, Declarations);
    auto style = std::make_unique<TSVGStyle>(Name, Declarations);
    style->SetOrder(FStyleOrder++);
    style->SetOnChange([this](TSVGStyle *) { Changed(); });
    TSVGStyle *result = style.get();
    FStyles.push_back(std::move(style));
    StylesNotify(result, true);
    return result;
}

std::unique_ptr<TSVGStyle> TSVGDocument::ExtractStyle(int Index)
{
    if (Index < 0 || Index >= StyleCount())
        throw EArgumentOutOfRange();
    std::unique_ptr<TSVGStyle> style = std::move(FStyles[size_t(Index)]);
    FStyles.erase(FStyles.begin() + Index);
    style->SetOnChange(nullptr);
    StylesNotify(style.get(), false);
    return style;
}

void TSVGDocument::DeleteStyle(int Index)
{
    ExtractStyle(Index).reset();
}

void TSVGDocument::ClearStyles()
{
    while (!FStyles.empty())
        DeleteStyle(0);
}

void TSVGDocument::SetStyles(const TSVGDocument &Source)
{
    if (&Source == this)
        return;
    ClearStyles();
    for (const auto &style : Source.FStyles) {
        TSVGStyle *copy = CreateStyle(style->Name(), QString());
        copy->Assign(*style);
        copy->SetOrder(FStyleOrder - 1);
    }
}

void TSVGDocument::ParseStyleSheet(const QString &Text)
{
    SVGParseStyleSheet(Text, [this](const QString &selector, const QString &body) { CreateStyle(selector, body); });
}

void TSVGDocument::LoadStyleElement(pugi::xml_node Node)
{
    // A style sheet in another language than CSS is not ours to read.
    const QString type = ReadAttribute(Node, "type", QString()).trimmed();
    if (!type.isEmpty() && type.compare(QLatin1String("text/css"), Qt::CaseInsensitive) != 0)
        return;
    for (pugi::xml_node child = Node.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_cdata)
            ParseStyleSheet(svgxml::ToQString(child.value()));
    if (svgxml::IsTextElement(Node))
        ParseStyleSheet(svgxml::Text(Node));
}

// --- settings

void TSVGDocument::SetOptions(TSVGOptions Value)
{
    if (FOptions == Value)
        return;
    FOptions = Value;
    Reset();
    Changed();
}

void TSVGDocument::SetDPI(float Value)
{
    if (FDPI == Value)
        return;
    FDPI = std::max(Value, 10.0f);
    FUnitFactors = SVGUnitFactors(FDPI);
}

void TSVGDocument::SetDefaultAspectRatio(const TSVGPreserveAspectRatio &Value)
{
    FDefaultAspectRatio.Assign(Value);
}

const QStringList &TSVGDocument::PreferredLanguages() const
{
    if (!FPrefLanguagesRead) {
        FPrefLanguages = SVGUserLanguages();
        FPrefLanguagesRead = true;
    }
    return FPrefLanguages;
}

void TSVGDocument::SetPreferredLanguage(const QString &Value)
{
    FPrefLanguages = SplitList(Value, QStringLiteral(","));
    FPrefLanguagesRead = true;
    SubObjectChanged(TSVGSubObject::Strings);
}

void TSVGDocument::SetDefaultShapeRendering(TSVGShapeRendering Value)
{
    if (FDefaultShapeRendering == Value)
        return;
    FDefaultShapeRendering = Value;
    SetShapeRendering(Value);
    Changed();
}

void TSVGDocument::SetDefaultColorRendering(TSVGColorRendering Value)
{
    if (FDefaultColorRendering == Value)
        return;
    FDefaultColorRendering = Value;
    SetColorRendering(Value);
    Changed();
}

void TSVGDocument::SetDefaultTextRendering(TSVGTextRendering Value)
{
    if (FDefaultTextRendering == Value)
        return;
    FDefaultTextRendering = Value;
    SetTextRendering(Value);
    Changed();
}

void TSVGDocument::SetDefaultColorInterpolation(TSVGColorInterpolation Value)
{
    if (FDefaultColorInterpolation == Value)
        return;
    FDefaultColorInterpolation = Value;
    SetColorInterpolation(Value);
    Changed();
}
