#pragma once
// Colours: the SVG colour syntaxes, the named-colour table, and opacity.

#include <QString>
#include <QStringView>
#include <QtGlobal>

// 32-bit ARGB, alpha in the top byte.
using TAlphaColor = quint32;

// Parses a colour behind the inherit convention.
// - "none" sets isNone and keeps defaultColor; so do "inherit" and empty text (which set
//   or keep `inherited`). Any other text clears isNone.
// - "#RGB", "#RGBA", "#RRGGBB", "#RRGGBBAA" (alpha last; only letters and digits count);
//   other lengths read as the hexadecimal number "FF" followed by the digits. A text that
//   is not hexadecimal, or longer than 32 bits, raises EConvertError.
// - rgb()/rgba() with integer, decimal or percentage components separated by commas or
//   spaces, and an optional alpha (number 0..1 or percentage, also after "/"); components
//   are clamped to 0..255. A component that is not a number raises EConvertError.
// - hsl()/hsla() likewise, the hue in degrees (or with deg, rad, grad, turn).
// - "transparent" (fully transparent black), the 147 SVG colour keywords and "null",
//   ignoring case.
// - "currentColor" (any case) returns defaultColor and sets *isCurrentColor, so that the
//   cascade can substitute the element's `color`; for any other text *isCurrentColor is
//   cleared.
// - An unknown name returns defaultColor.
TAlphaColor ParseColor(const QString &text, TAlphaColor defaultColor, bool &isNone,
                       bool &inherited, bool *isCurrentColor = nullptr);

// Looks up a colour name (without the "cla" prefix), ignoring case.
bool SVGColorByName(QStringView name, TAlphaColor &color);

// The colour as style text: the name of the first table entry with exactly this value
// ("Red", "Aliceblue", "Null"), else "#RRGGBB" for an opaque colour and "#RRGGBBAA"
// otherwise (upper-case digits), so that ParseColor reads every text back unchanged.
QString SVGColorToText(TAlphaColor color);

// Number of entries in the named-colour table and the entry at an index, in table order
// (names as stored, with the "cla" prefix: "claAliceblue").
int SVGColorTableCount();
QString SVGColorTableName(int index);
TAlphaColor SVGColorTableValue(int index);

// Replaces the alpha byte by round(opacity x 255), ties to even; opacity is clamped to
// 0..1 (NaN counts as 0). Red, green and blue stay.
TAlphaColor ApplyOpacity(TAlphaColor color, float opacity);
