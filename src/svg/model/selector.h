#pragma once
// CSS selectors of document style rules: type, universal, class, id, attribute
// ([a], =, ~=, |=, ^=, $=, *=), :first-child and :lang(), combined by descendant
// (space), child (>) and sibling (+, ~) combinators. Other pseudo-classes and
// pseudo-elements describe states a still picture never has, so a selector with one
// of them matches nothing.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <compare>

class TSVGElement;

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
    bool MatchesFrom(int Index, const TSVGElement &E, QSet<std::pair<int, const void *>> &Failed) const;

    QString FText;
    QList<TCompound> FCompounds;
    TSVGSpecificity FSpecificity;
    // Syntax that can never match (empty, dangling combinator, unknown pseudo-class).
    bool FNever = false;
};
