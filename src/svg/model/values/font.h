#pragma once
// Font properties: size, family list, style, weight and decoration.

#include "svg/model/values/units.h"

#include <QFlags>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

// font-size behind the inherit convention. Keywords xx-small .. xx-large give
// 12 x 1.2^n (n = -3..3), "larger" parentSize x 1.2, "smaller" parentSize / 1.2; a
// percentage is a share of parentSize (120% gives 1.2 x parentSize); other numbers are
// multiplied by the factor of their unit (pass SVGFontRelativeFactors(factors,
// parentSize) for em and ex to follow the parent's size). Unreadable text gives
// defaultSize.
float ParseFontSize(const QString &text, bool &inherited, const TSVGUnitFactors &factors,
                    float parentSize, float defaultSize);

// The size keyword whose size equals `size` exactly, or "".
QString SVGFontSizeKeyword(float size);

// font-family behind the inherit convention. The whole trimmed text is the value (so the
// style writer gets back what was written); the canvas resolves it into families
// (TTextMetrics::Families).
QString ParseFontFamily(const QString &text, const QString &defaultFamily, bool &inherited);

// The platform font style set as the keyword parsers see it.
struct TSVGFontStyle {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    friend bool operator==(const TSVGFontStyle &, const TSVGFontStyle &) = default;
};

enum TExtendedFontStyle : int { fsOverline = 0x1, fsBlink = 0x2 };
Q_DECLARE_FLAGS(TExtendedFontStyles, TExtendedFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TExtendedFontStyles)

// font-style: "italic" and "oblique" set italic, "normal" and unknown words clear it.
bool ParseFontItalic(const QString &text, bool current, bool &inherited);

// font-weight: bold, bolder, 500..900 set bold; normal, lighter, 100..400 clear it;
// unknown words keep it.
bool ParseFontBold(const QString &text, bool current, bool &inherited);

// text-decoration: every word first clears underline, strike-out and the extended
// styles; "underline" then sets underline, "line-through" strike-out, "overline" and
// "blink" their extended style. Italic belongs to font-style and is left alone.
void ParseTextDecoration(const QString &text, TSVGFontStyle &style,
                         TExtendedFontStyles &extended, bool &inherited);

// The longhands the font shorthand stands for ("italic bold 50px/1.2 'Noto Sans', serif"):
// font-style, font-variant, font-weight and font-stretch ("normal" unless given),
// font-size and font-family, in that order; "inherit" gives each of them "inherit". Empty
// when the text is no shorthand CSS reads: no size, no family, or an unknown word before
// the size.
QList<std::pair<QString, QString>> SVGFontShorthandLonghands(const QString &text);
