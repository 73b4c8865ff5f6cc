#include "svg/model/css/selector.h"

#include "svg/model/dom/element.h"
#include "svg/model/values/exception.h"

#include <QHash>

#include <algorithm>
#include <atomic>
#include <vector>

namespace {

std::atomic<quint32> NextSerial{1};

[[noreturn]] void InvalidSelector(const QString &selector)
{
    throw ESVGException(QStringLiteral("Invalid selector: %1").arg(selector));
}

bool IsSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n') || c == QLatin1Char('\f');
}

QString Unquote(QString text)
{
    if (!text.isEmpty() && (text.front() == QLatin1Char('"') || text.front() == QLatin1Char('\'')))
        text.remove(0, 1);
    if (!text.isEmpty() && (text.back() == QLatin1Char('"') || text.back() == QLatin1Char('\'')))
        text.chop(1);
    return text;
}

bool IsCombinator(TSVGSelectorTokenType kind)
{
    return kind == sttHasDescendant || kind == sttHasChild || kind == sttHasFollower;
}

bool ContainsWord(const QString &list, const QString &word)
{
    if (word.isEmpty())
        return false;
    for (const QString &item : list.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (item == word)
            return true;
    return false;
}

} // namespace

QList<TSVGSelectorToken> SVGTokenizeSelector(const QString &Selector)
{
    const QString s = Selector.trimmed();
    QList<TSVGSelectorToken> tokens;
    TSVGSelectorTokenType pending = sttNone;
    QString current;

    auto add = [&](TSVGSelectorTokenType kind, const QString &text) {
        if (kind != sttNone)
            tokens.append({kind, Unquote(text)});
    };
    auto endToken = [&] {
        if (pending != sttNone)
            add(pending, current);
        pending = sttNone;
        current.clear();
    };
    auto lastIsCombinator = [&] { return !tokens.isEmpty() && IsCombinator(tokens.back().Kind); };

    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (IsSpace(c)) {
            endToken();
            while (i < n && IsSpace(s[i]))
                ++i;
            if (i < n && s[i] != QLatin1Char('>') && s[i] != QLatin1Char('+') &&
                s[i] != QLatin1Char('~') && !tokens.isEmpty() && !lastIsCombinator())
                tokens.append({sttHasDescendant, QStringLiteral(" ")});
            continue;
        }
        if (c == QLatin1Char('>') || c == QLatin1Char('+') || c == QLatin1Char('~')) {
            endToken();
            tokens.append({c == QLatin1Char('>') ? sttHasChild : sttHasFollower, QString(c)});
            ++i;
            while (i < n && IsSpace(s[i]))
                ++i;
            continue;
        }
        if (c == QLatin1Char('(')) {
            endToken();
            const qsizetype close = s.indexOf(QLatin1Char(')'), i + 1);
            if (close < 0)
                InvalidSelector(Selector);
            add(sttLanguage, s.mid(i + 1, close - i - 1).trimmed());
            i = close + 1;
            continue;
        }
        if (c == QLatin1Char('[')) {
            endToken();
            ++i;
            while (i < n && IsSpace(s[i]))
                ++i;
            const qsizetype nameStart = i;
            while (i < n && !QStringView(u"^$*|~=]").contains(s[i]) && !IsSpace(s[i]))
                ++i;
            add(sttHasAttribute, s.mid(nameStart, i - nameStart));
            while (i < n && IsSpace(s[i]))
                ++i;
            if (i >= n)
                InvalidSelector(Selector);
            TSVGSelectorTokenType op = sttNone;
            if (s[i] == QLatin1Char('=')) {
                op = sttExactMatch;
                ++i;
            } else if (s[i] != QLatin1Char(']')) {
                if (i + 1 >= n || s[i + 1] != QLatin1Char('='))
                    InvalidSelector(Selector);
                switch (s[i].unicode()) {
                case '^': op = sttPrefixMatch; break;
                case '$': op = sttSuffixMatch; break;
                case '*': op = sttSubstringMatch; break;
                case '|': op = sttDashMatch; break;
                case '~': op = sttContainsWord; break;
                default: InvalidSelector(Selector);
                }
                i += 2;
            }
            if (op != sttNone) {
                const qsizetype close = s.indexOf(QLatin1Char(']'), i);
                if (close < 0)
                    InvalidSelector(Selector);
                tokens.append({op, Unquote(s.mid(i, close - i).trimmed())});
                i = close;
            }
            if (i >= n || s[i] != QLatin1Char(']'))
                InvalidSelector(Selector);
            ++i;
            continue;
        }
        if (c == QLatin1Char('#') || c == QLatin1Char('.') || c == QLatin1Char(':')) {
            endToken();
            pending = c == QLatin1Char('#') ? sttIDHashChar
                    : c == QLatin1Char('.') ? sttClassChar
                                            : sttColonChar;
            ++i;
            continue;
        }
        if (c == QLatin1Char('*')) {
            endToken();
            tokens.append({sttUniversalChar, QString()});
            ++i;
            continue;
        }
        current += c;
        if (pending == sttNone)
            pending = sttString;
        ++i;
    }
    endToken();
    return tokens;
}

int TSVGSpecificity::Value() const
{
    return std::min(Ids, 9) * 100 + std::min(Others, 9) * 10 + std::min(Tags, 9);
}

TSVGSelector TSVGSelector::Parse(const QString &Text)
{
    TSVGSelector selector;
    selector.FText = Text;
    selector.FSerial = NextSerial.fetch_add(1, std::memory_order_relaxed);
    const QList<TSVGSelectorToken> tokens = SVGTokenizeSelector(Text);
    if (tokens.isEmpty()) {
        selector.FNever = true;
        return selector;
    }
    selector.FCompounds.append(TCompound());
    bool compoundEmpty = true;
    for (qsizetype t = 0; t < tokens.size(); ++t) {
        const TSVGSelectorToken &token = tokens[t];
        TCompound &c = selector.FCompounds.back();
        TSVGSpecificity &spec = selector.FSpecificity;
        switch (token.Kind) {
        case sttString:
            if (!c.Tag.isEmpty())
                selector.FNever = true;
            c.Tag = token.Text;
            ++spec.Tags;
            break;
        case sttUniversalChar:
            break;
        case sttIDHashChar:
            c.Ids.append(token.Text);
            ++spec.Ids;
            break;
        case sttClassChar:
            c.Classes.append(token.Text);
            ++spec.Others;
            break;
        case sttHasAttribute:
            c.Attributes.append({token.Text, sttNone, QString()});
            ++spec.Others;
            break;
        case sttPrefixMatch:
        case sttSuffixMatch:
        case sttSubstringMatch:
        case sttExactMatch:
        case sttDashMatch:
        case sttContainsWord:
            if (c.Attributes.isEmpty()) {
                selector.FNever = true;
            } else {
                c.Attributes.back().Operator = token.Kind;
                c.Attributes.back().Value = token.Text;
            }
            break;
        case sttColonChar:
            ++spec.Others;
            if (token.Text == QLatin1String("first-child")) {
                c.FirstChild = true;
            } else if (token.Text == QLatin1String("lang") && t + 1 < tokens.size() &&
                       tokens[t + 1].Kind == sttLanguage) {
                c.Languages.append(tokens[t + 1].Text);
                ++t;
            } else {
                selector.FNever = true;
            }
            break;
        case sttLanguage:
            selector.FNever = true;
            break;
        case sttHasDescendant:
        case sttHasChild:
        case sttHasFollower:
            if (compoundEmpty) {
                selector.FNever = true;
                break;
            }
            selector.FCompounds.append(TCompound());
            selector.FCompounds.back().Combinator = token.Kind;
            selector.FCompounds.back().GeneralSibling = token.Text == QLatin1String("~");
            compoundEmpty = true;
            continue;
        case sttNone:
            break;
        }
        compoundEmpty = false;
    }
    if (compoundEmpty)
        selector.FNever = true;
    return selector;
}

bool TSVGSelector::MatchesCompound(const TCompound &C, const TSVGElement &E) const
{
    if (!C.Tag.isEmpty() && E.TagName() != C.Tag)
        return false;
    for (const QString &id : C.Ids)
        if (E.ID() != id)
            return false;
    for (const QString &cls : C.Classes)
        if (!E.Classes().contains(cls))
            return false;
    for (const TAttributeTest &a : C.Attributes) {
        QString value;
        if (!E.XMLAttribute(a.Name, value))
            return false;
        bool ok = true;
        switch (a.Operator) {
        case sttExactMatch: ok = value == a.Value; break;
        case sttContainsWord: ok = ContainsWord(value.simplified(), a.Value); break;
        case sttDashMatch:
            ok = value == a.Value || value.startsWith(a.Value + QLatin1Char('-'));
            break;
        case sttPrefixMatch: ok = !a.Value.isEmpty() && value.startsWith(a.Value); break;
        case sttSuffixMatch: ok = !a.Value.isEmpty() && value.endsWith(a.Value); break;
        case sttSubstringMatch: ok = !a.Value.isEmpty() && value.contains(a.Value); break;
        default: break;
        }
        if (!ok)
            return false;
    }
    if (C.FirstChild) {
        const TSVGElement *parent = E.TreeParent();
        if (!parent || parent->Count() == 0 || parent->Items(0) != &E)
            return false;
    }
    for (const QString &language : C.Languages) {
        // The language is inherited from the nearest element that states one.
        const TSVGElement *holder = &E;
        QString stated;
        while (holder && holder->Language().isEmpty() && !holder->XMLAttribute(u"lang", stated))
            holder = holder->TreeParent();
        if (!holder || !holder->HasLanguage(language))
            return false;
    }
    return true;
}

namespace {

enum TMemoKind : quint32 { mkAt, mkAtOrAbove, mkAtOrBefore };

struct TMemoKey {
    const void *Element;
    quint32 Selector;
    quint32 IndexKind;  // compound index * 4 + TMemoKind
    friend bool operator==(const TMemoKey &, const TMemoKey &) = default;
};

size_t qHash(const TMemoKey &key, size_t seed = 0) noexcept
{
    return qHashMulti(seed, key.Element, key.Selector, key.IndexKind);
}

thread_local TSVGMatchMemo *ActiveMemo = nullptr;

} // namespace

struct TSVGMatchMemo {
    QHash<TMemoKey, bool> Known;
    // Position of an element among its parent's children, filled a parent at a time.
    QHash<const TSVGElement *, int> Positions;
    qint64 Steps = 0;

    void Spend(qint64 count)
    {
        Steps += count;
        if (Steps > SVGMaxSelectorSteps)
            throw ESVGException(
                QStringLiteral("Style rules too costly to match (more than %1 steps)").arg(SVGMaxSelectorSteps));
    }

    const TSVGElement *PreviousSibling(const TSVGElement &E)
    {
        const TSVGElement *parent = E.TreeParent();
        if (!parent)
            return nullptr;
        auto it = Positions.constFind(&E);
        if (it == Positions.constEnd()) {
            Spend(parent->Count());
            for (int i = 0; i < parent->Count(); ++i)
                Positions.insert(parent->Items(i), i);
            it = Positions.constFind(&E);
            if (it == Positions.constEnd())
                return nullptr;
        }
        return *it > 0 ? parent->Items(*it - 1) : nullptr;
    }
};

TSVGMatchScope::TSVGMatchScope()
{
    if (!ActiveMemo) {
        FOwned = std::make_unique<TSVGMatchMemo>();
        ActiveMemo = FOwned.get();
    }
}

TSVGMatchScope::~TSVGMatchScope()
{
    if (FOwned)
        ActiveMemo = nullptr;
}

qint64 TSVGMatchScope::Steps()
{
    return ActiveMemo ? ActiveMemo->Steps : 0;
}

bool TSVGSelector::MatchesAt(int Index, const TSVGElement &E, TSVGMatchMemo &Memo) const
{
    // The last compound is asked once per element; only inner ones come back.
    const bool remember = Index + 1 < FCompounds.size();
    const TMemoKey key{&E, FSerial, quint32(Index) * 4 + mkAt};
    if (remember) {
        if (const auto it = Memo.Known.constFind(key); it != Memo.Known.constEnd())
            return *it;
    }
    Memo.Spend(1);
    const TCompound &c = FCompounds[Index];
    bool matched = MatchesCompound(c, E);
    if (matched && Index > 0) {
        const TSVGElement *parent = E.TreeParent();
        switch (c.Combinator) {
        case sttHasChild:
            matched = parent && MatchesAt(Index - 1, *parent, Memo);
            break;
        case sttHasDescendant:
            matched = parent && MatchesAtOrAbove(Index - 1, *parent, Memo);
            break;
        case sttHasFollower:
            if (const TSVGElement *previous = Memo.PreviousSibling(E))
                matched = c.GeneralSibling ? MatchesAtOrBefore(Index - 1, *previous, Memo)
                                           : MatchesAt(Index - 1, *previous, Memo);
            else
                matched = false;
            break;
        default:
            matched = false;
            break;
        }
    }
    if (remember)
        Memo.Known.insert(key, matched);
    return matched;
}

bool TSVGSelector::MatchesAtOrAbove(int Index, const TSVGElement &E, TSVGMatchMemo &Memo) const
{
    // Up the ancestors until a match or a known answer; every element passed on the
    // way shares that answer, so no chain of ancestors is walked twice.
    std::vector<const TSVGElement *> passed;
    bool matched = false;
    for (const TSVGElement *a = &E; a; a = a->TreeParent()) {
        const auto it = Memo.Known.constFind(TMemoKey{a, FSerial, quint32(Index) * 4 + mkAtOrAbove});
        if (it != Memo.Known.constEnd()) {
            matched = *it;
            break;
        }
        passed.push_back(a);
        if (MatchesAt(Index, *a, Memo)) {
            matched = true;
            break;
        }
    }
    Memo.Spend(qint64(passed.size()));
    for (const TSVGElement *a : passed)
        Memo.Known.insert(TMemoKey{a, FSerial, quint32(Index) * 4 + mkAtOrAbove}, matched);
    return matched;
}

bool TSVGSelector::MatchesAtOrBefore(int Index, const TSVGElement &E, TSVGMatchMemo &Memo) const
{
    std::vector<const TSVGElement *> passed;
    bool matched = false;
    for (const TSVGElement *s = &E; s; s = Memo.PreviousSibling(*s)) {
        const auto it = Memo.Known.constFind(TMemoKey{s, FSerial, quint32(Index) * 4 + mkAtOrBefore});
        if (it != Memo.Known.constEnd()) {
            matched = *it;
            break;
        }
        passed.push_back(s);
        if (MatchesAt(Index, *s, Memo)) {
            matched = true;
            break;
        }
    }
    Memo.Spend(qint64(passed.size()));
    for (const TSVGElement *s : passed)
        Memo.Known.insert(TMemoKey{s, FSerial, quint32(Index) * 4 + mkAtOrBefore}, matched);
    return matched;
}

bool TSVGSelector::Matches(const TSVGElement &Element) const
{
    if (FNever || FCompounds.isEmpty())
        return false;
    if (FCompounds.size() > SVGMaxSelectorCompounds)
        throw ESVGException(QStringLiteral("Selector too long (more than %1 compounds): %2")
                                .arg(SVGMaxSelectorCompounds)
                                .arg(FText.size() > 60 ? FText.left(60) + QStringLiteral("...") : FText));
    if (ActiveMemo)
        return MatchesAt(int(FCompounds.size()) - 1, Element, *ActiveMemo);
    TSVGMatchMemo memo;
    return MatchesAt(int(FCompounds.size()) - 1, Element, memo);
}

int TSVGSelector::Match(const TSVGElement &Element) const
{
    return Matches(Element) ? FSpecificity.Value() : -1;
}
