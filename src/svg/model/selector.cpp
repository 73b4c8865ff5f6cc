#include "svg/model/selector.h"

#include "svg/model/element.h"
#include "svg/model/exception.h"

#include <algorithm>

namespace {

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
        const TSVGElement *parent = E.Parent();
        if (!parent || parent->Count() == 0 || parent->Items(0) != &E)
            return false;
    }
    for (const QString &language : C.Languages) {
        // The language is inherited from the nearest element that states one.
        const TSVGElement *holder = &E;
        while (holder && holder->Language().isEmpty())
            holder = holder->Parent();
        if (!holder || !holder->HasLanguage(language))
            return false;
    }
    return true;
}

bool TSVGSelector::MatchesFrom(int Index, const TSVGElement &E,
                               QSet<std::pair<int, const void *>> &Failed) const
{
    const TCompound &c = FCompounds[Index];
    if (!MatchesCompound(c, E))
        return false;
    if (Index == 0)
        return true;
    // A compound that failed from an element fails again from it, whatever path led
    // there; remembering that keeps descendant chains from going exponential.
    const std::pair<int, const void *> key(Index, &E);
    if (Failed.contains(key))
        return false;
    bool matched = false;
    switch (c.Combinator) {
    case sttHasChild:
        matched = E.Parent() && MatchesFrom(Index - 1, *E.Parent(), Failed);
        break;
    case sttHasDescendant:
        for (const TSVGElement *a = E.Parent(); a && !matched; a = a->Parent())
            matched = MatchesFrom(Index - 1, *a, Failed);
        break;
    case sttHasFollower:
        if (const TSVGElement *parent = E.Parent()) {
            for (int i = parent->IndexOf(&E) - 1; i >= 0 && !matched; --i) {
                matched = MatchesFrom(Index - 1, *parent->Items(i), Failed);
                if (!c.GeneralSibling)
                    break;
            }
        }
        break;
    default:
        break;
    }
    if (!matched)
        Failed.insert(key);
    return matched;
}

bool TSVGSelector::Matches(const TSVGElement &Element) const
{
    if (FNever || FCompounds.isEmpty())
        return false;
    QSet<std::pair<int, const void *>> failed;
    return MatchesFrom(int(FCompounds.size()) - 1, Element, failed);
}

int TSVGSelector::Match(const TSVGElement &Element) const
{
    return Matches(Element) ? FSpecificity.Value() : -1;
}
