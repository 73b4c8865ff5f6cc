#include "svg/model/css/style.h"

#include "svg/model/values/lists.h"
#include "svg/model/css/selector.h"
#include "svg/model/css/style_sheet.h"
#include "svg/model/dom/xml_dom.h"

#include <QHash>

namespace {

// The property of a declaration name, ignoring case.
TSVGStyleProperty PropertyOf(const QString &name)
{
    static const QHash<QString, TSVGStyleProperty> Table = [] {
        QHash<QString, TSVGStyleProperty> table;
        for (int p = ipClip; p < SVGStylePropertyCount; ++p)
            table.insert(SVGStylePropertyName(TSVGStyleProperty(p)), TSVGStyleProperty(p));
        return table;
    }();
    auto it = Table.constFind(name);
    if (it == Table.constEnd() && !name.isLower())
        it = Table.constFind(name.toLower());
    return it == Table.constEnd() ? ipNone : it.value();
}

// Takes a trailing "!important" (any case, spaces allowed after "!") off a value.
bool TakeImportant(QString &value)
{
    const qsizetype bang = value.lastIndexOf(QLatin1Char('!'));
    if (bang < 0)
        return false;
    if (value.mid(bang + 1).trimmed().compare(QLatin1String("important"), Qt::CaseInsensitive) != 0)
        return false;
    value = value.left(bang).trimmed();
    return true;
}

} // namespace

QStringList SVGSplitDeclarations(const QString &text)
{
    QStringList items;
    int depth = 0;
    qsizetype start = 0;
    SVGScanCss(text, 0, [&](qsizetype i, QChar c) {
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')') && depth > 0)
            --depth;
        else if (c == QLatin1Char(';') && depth == 0) {
            items.append(text.mid(start, i - start));
            start = i + 1;
        }
        return false;
    });
    items.append(text.mid(start));
    return items;
}

TSVGStyle::TSVGStyle() = default;

TSVGStyle::TSVGStyle(const QString &aName, const QString &aStyles) : FName(aName)
{
    SetStyle(aStyles);
}

TSVGStyle::~TSVGStyle() = default;

void TSVGStyle::Changed()
{
    if (FOnChange)
        FOnChange(this);
}

void TSVGStyle::Invalidate()
{
    FPropertyIndexValid = false;
}

void TSVGStyle::SetName(const QString &Value)
{
    if (FName == Value)
        return;
    FName = Value;
    FSelector.reset();
    Changed();
}

void TSVGStyle::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    Changed();
}

QStringList TSVGStyle::StyleValues() const
{
    QStringList lines;
    lines.reserve(FLines.size());
    for (const TLine &line : FLines)
        lines.append(line.Name + QLatin1Char('=') + line.Value);
    return lines;
}

void TSVGStyle::Clear()
{
    if (FLines.isEmpty())
        return;
    FLines.clear();
    FImportantCount = 0;
    Invalidate();
    Changed();
}

void TSVGStyle::SetStyle(const QString &aStyles)
{
    FLines.clear();
    FImportantCount = 0;
    Invalidate();
    AddStyle(aStyles);
    Changed();
}

void TSVGStyle::LoadFromXML(pugi::xml_node Node)
{
    FLines.clear();
    FImportantCount = 0;
    Invalidate();
    AddStyle(Node);
}

void TSVGStyle::AddStyle(pugi::xml_node Node)
{
    for (pugi::xml_attribute a = Node.first_attribute(); a; a = a.next_attribute())
        FLines.append({svgxml::LocalName(a), svgxml::ToQString(a.value()), false});
    Invalidate();
    Changed();
}

void TSVGStyle::AddLines(const QList<std::pair<QString, QString>> &Lines)
{
    FLines.reserve(FLines.size() + Lines.size());
    for (const auto &line : Lines)
        FLines.append({line.first, line.second, false});
    Invalidate();
    Changed();
}

void TSVGStyle::AddStyle(const QString &aStyles)
{
    const QString text = StripComments(aStyles.trimmed());
    if (text.isEmpty())
        return;
    for (const QString &item : SVGSplitDeclarations(text)) {
        const qsizetype colon = item.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString name = item.left(colon).trimmed();
        QString value = item.mid(colon + 1).trimmed();
        if (name.isEmpty())
            continue;
        const bool important = TakeImportant(value);
        SetLine(name, value, important);
    }
    Invalidate();
    Changed();
}

int TSVGStyle::IndexOf(QStringView aName) const
{
    for (int i = 0; i < FLines.size(); ++i)
        if (FLines[i].Name.compare(aName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TSVGStyle::SetLine(const QString &aName, const QString &aValue, bool aImportant)
{
    const int index = IndexOf(aName);
    if (aValue.isEmpty()) {
        if (index >= 0) {
            if (FLines[index].Important)
                --FImportantCount;
            FLines.removeAt(index);
        }
        return;
    }
    if (index >= 0) {
        if (FLines[index].Important)
            --FImportantCount;
        FLines[index].Value = aValue;
        FLines[index].Important = aImportant;
    } else {
        FLines.append({aName, aValue, aImportant});
    }
    if (aImportant)
        ++FImportantCount;
}

QString TSVGStyle::Value(QStringView aName) const
{
    const int index = IndexOf(aName);
    return index < 0 ? QString() : FLines[index].Value;
}

bool TSVGStyle::HasValue(QStringView aName) const
{
    return IndexOf(aName) >= 0;
}

void TSVGStyle::SetValue(const QString &aName, const QString &aValue, bool aImportant)
{
    SetLine(aName, aValue, aImportant);
    Invalidate();
    Changed();
}

bool TSVGStyle::IsImportant(QStringView aName) const
{
    const int index = IndexOf(aName);
    return index >= 0 && FLines[index].Important;
}

std::unique_ptr<TSVGStyle> TSVGStyle::ImportantPart() const
{
    auto part = std::make_unique<TSVGStyle>();
    part->FName = FName;
    part->FOrder = FOrder;
    for (const TLine &line : FLines)
        if (line.Important)
            part->FLines.append(line);
    part->FImportantCount = int(part->FLines.size());
    return part;
}

const std::array<qint16, SVGStylePropertyCount> &TSVGStyle::PropertyIndex() const
{
    if (!FPropertyIndexValid) {
        FPropertyIndex.fill(-1);
        for (int i = 0; i < FLines.size(); ++i) {
            const TSVGStyleProperty p = PropertyOf(FLines[i].Name);
            if (p != ipNone && FPropertyIndex[p] < 0)
                FPropertyIndex[p] = qint16(std::min(i, 0x7FFF));
        }
        FPropertyIndexValid = true;
    }
    return FPropertyIndex;
}

QString TSVGStyle::GetStyleProp(TSVGStyleProperty Index) const
{
    if (Index <= ipNone || Index >= SVGStylePropertyCount || FLines.isEmpty())
        return QString();
    const qint16 line = PropertyIndex()[Index];
    return line < 0 ? QString() : FLines[line].Value;
}

void TSVGStyle::SetStyleProp(TSVGStyleProperty Index, const QString &Value)
{
    if (Index <= ipNone || Index >= SVGStylePropertyCount)
        return;
    SetValue(SVGStylePropertyName(Index), Value);
}

QString TSVGStyle::ToString() const
{
    return FName + QLatin1String(" { ") + StyleValues().join(QLatin1Char('\n')) +
           QLatin1String(" }");
}

void TSVGStyle::Assign(const TSVGStyle &Source)
{
    if (&Source == this)
        return;
    if (FName != Source.FName)
        FSelector.reset();
    FName = Source.FName;
    FLines = Source.FLines;
    FImportantCount = Source.FImportantCount;
    FOrder = Source.FOrder;
    FEnabled = Source.FEnabled;
    Invalidate();
    Changed();
}

void TSVGStyle::Assign(const QStringList &Lines)
{
    FLines.clear();
    FImportantCount = 0;
    for (const QString &line : Lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            FLines.append({line, QString(), false});
        else
            FLines.append({line.left(eq), line.mid(eq + 1), false});
    }
    Invalidate();
    Changed();
}

void TSVGStyle::AssignTo(QStringList &Dest) const
{
    Dest = StyleValues();
}

const TSVGSelector &TSVGStyle::Selector() const
{
    if (!FSelector)
        FSelector = std::make_unique<TSVGSelector>(TSVGSelector::Parse(FName));
    return *FSelector;
}
