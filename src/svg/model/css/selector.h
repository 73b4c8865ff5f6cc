#pragma once
// CSS selectors of document style rules: type, universal, class, id, attribute
// ([a], =, ~=, |=, ^=, $=, *=), :first-child and :lang(), combined by descendant
// (space), child (>) and sibling (+, ~) combinators. Other pseudo-classes and
// pseudo-elements describe states a still picture never has, so a selector with one
// of them matches nothing.

#include <QList>
#include <QString>
#include <QStringList>
#include <compare>
#include <memory>

class TSVGElement;
struct TSVGMatchMemo;

// Matching works right to left and remembers, per element and compound, whether the
// selector's prefix up to that compound matched there; every element and compound is
// then tested about once per selector, however the combinators chain. What remains
// is bounded: a selector of more than SVGMaxSelectorCompounds compounds, or matching
// that takes more than SVGMaxSelectorSteps steps (compound tests and remembered
// results) within one cascade, raises ESVGException "Selector too long (more than 1024
// compounds): %s" (the selector cut after 60 characters) or "Style rules too costly
// to match (more than 5000000 steps)". The compound count also bounds how deep the
// matcher recurses.
inline constexpr int SVGMaxSelectorCompounds = 1024;
inline constexpr qint64 SVGMaxSelectorSteps = 5'000'000;

// While one of these lives on a thread, every selector match made there shares one
// memo and one step budget: a cascade opens one around the whole tree, which must
// not change shape while it lives. Nested scopes join the outermost one.
class TSVGMatchScope {
public:
    TSVGMatchScope();
    ~TSVGMatchScope();
    TSVGMatchScope(const TSVGMatchScope &) = delete;
    TSVGMatchScope &operator=(const TSVGMatchScope &) = delete;
    // Steps spent so far by the scope in force on this thread (0 without one).
    static qint64 Steps();

private:
    std::unique_ptr<TSVGMatchMemo> FOwned;
};

enum TSVGSelectorTokenType : int {
    sttNone,
    sttString,         // a tag name
    sttHasAttribute,   // [name
    sttPrefixMatch,    // ^=
    sttSuffixMatch,    // $=
    sttSubstringMatch, // *=
    sttExactMatch,     // =
    sttDashMatch,      // |=
    sttContainsWord,   // ~=
    sttIDHashChar,     // #
    sttUniversalChar,  // *
    sttColonChar,      // :
    sttClassChar,      // .
    sttHasDescendant,  // " "
    sttHasChild,       // >
    sttHasFollower,    // + (text "+") or ~ (text "~")
    sttLanguage,       // the argument in ( )
};

struct TSVGSelectorToken {
    TSVGSelectorTokenType Kind = sttNone;
    QString Text;
    friend bool operator==(const TSVGSelectorToken &, const TSVGSelectorToken &) = default;
};

// Splits a selector into tokens. A malformed attribute selector (no closing bracket,
// an unknown operator) or an unclosed "(" raises ESVGException "Invalid selector: %s".
QList<TSVGSelectorToken> SVGTokenizeSelector(const QString &Selector);

// CSS specificity: ids, then classes, attributes and pseudo-classes, then types.
struct TSVGSpecificity {
    int Ids = 0;
    int Others = 0;
    int Tags = 0;
    // The digits of the three counts one after another (each counted up to 9): 0 ids,
    // 1 class and 1 tag give 11; one id alone 100.
    int Value() const;
    friend auto operator<=>(const TSVGSpecificity &, const TSVGSpecificity &) = default;
};

class TSVGSelector {
public:
    // Raises ESVGException "Invalid selector: %s" as the tokenizer does.
    static TSVGSelector Parse(const QString &Text);

    const QString &Text() const { return FText; }
    const TSVGSpecificity &Specificity() const { return FSpecificity; }
    bool Matches(const TSVGElement &Element) const;
    // -1 when the selector does not match, else Specificity().Value().
    int Match(const TSVGElement &Element) const;

private:
    struct TAttributeTest {
        QString Name;
        TSVGSelectorTokenType Operator = sttNone;
        QString Value;
    };
    struct TCompound {
        // The combinator that joins this compound to the one before it.
        TSVGSelectorTokenType Combinator = sttNone;
        bool GeneralSibling = false;
        QString Tag; // empty: any element
        QStringList Ids;
        QStringList Classes;
        QList<TAttributeTest> Attributes;
        QStringList Languages;
        bool FirstChild = false;
    };

    bool MatchesCompound(const TCompound &C, const TSVGElement &E) const;
    // The compounds up to Index match with their last one at E.
    bool MatchesAt(int Index, const TSVGElement &E, TSVGMatchMemo &Memo) const;
    // ... at E or at one of its ancestors.
    bool MatchesAtOrAbove(int Index, const TSVGElement &E, TSVGMatchMemo &Memo) const;
    // ... at E or at one of its earlier siblings.
    bool MatchesAtOrBefore(int Index, const TSVGElement &E, TSVGMatchMemo &Memo) const;

    QString FText;
    // Names this selector's entries in a memo; copies share it, as they share content.
    quint32 FSerial = 0;
    QList<TCompound> FCompounds;
    TSVGSpecificity FSpecificity;
    // Syntax that can never match (empty, dangling combinator, unknown pseudo-class).
    bool FNever = false;
};
