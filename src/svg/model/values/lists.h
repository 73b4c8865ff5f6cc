#pragma once
// Lists in attribute text: separated items, number lists, point lists, dash patterns,
// and the comment remover for style text.

#include "svg/model/values/units.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <algorithm>

// Splits at every character of `delimiters` (a space there stands for any white space),
// trims each piece and drops empty pieces.
QStringList SplitList(const QString &text, const QString &delimiters);

// SplitList at "," and " ", then each piece is split once more before the first "+" or
// "-" found from its second character on, unless an "e"/"E" precedes that sign
// ("1-2-3" gives "1" and "-2-3").
QStringList SplitNumbers(const QString &text);

// Pairs of numbers as points. An odd count gives no points at all; a number that cannot
// be converted raises EConvertError.
QList<QPointF> ParsePoints(const QString &text);

// The dash pattern of `stroke-dasharray` in user units: every item read as a length
// (percentages of 1, unreadable items 0); an odd count is repeated once.
QList<float> ParseDashArray(const QString &text, const TSVGUnitFactors &factors);

// The dash state a stroke carries: an empty pattern is the solid (undashed) stroke.
struct TSVGStrokeDash {
    QList<float> Pattern;
    float Offset = 0;

    bool IsSolid() const { return Pattern.isEmpty(); }

    // Element-wise: QList's own comparison treats float lists as bytes (so -0 differs
    // from 0) and hands a null pointer to memcmp for an empty list.
    friend bool operator==(const TSVGStrokeDash &a, const TSVGStrokeDash &b)
    {
        return a.Offset == b.Offset &&
               std::equal(a.Pattern.begin(), a.Pattern.end(), b.Pattern.begin(), b.Pattern.end());
    }
};

// Applies `stroke-dashoffset` and then `stroke-dasharray`, each behind the inherit
// convention with its own flag. "none" makes the stroke solid; so does a pattern with a
// negative value or a zero sum, which SVG treats as no dashing and which would leave a
// stroker nothing to advance by.
void ParseStrokeDash(const QString &dashArrayText, const QString &dashOffsetText,
                     TSVGStrokeDash &pen, const TSVGUnitFactors &factors,
                     bool &arrayInherited, bool &offsetInherited);

// Removes every "/* ... */" comment (not nested); an unterminated comment stays.
QString StripComments(const QString &text);
