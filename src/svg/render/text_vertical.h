#pragma once
// Vertical text (writing-mode tb, tb-rl, vertical-rl, vertical-lr): one column whose
// characters advance downwards. Ideographs, kana, Hangul and the symbols East Asian text
// sets upright stand upright and advance by the em; every other character is turned a
// quarter clockwise and advances by its width, as text-orientation mixed sets them. The
// column's line is the central baseline: upright glyphs are centred on it, turned ones
// have the middle of their ascent and descent on it.

#include "svg/render/text_metrics.h"

#include <QTransform>

// Whether a writing-mode value (as declared, trimmed) sets text in a column.
bool SVGWritingModeIsVertical(QStringView value);

// Whether a character stands upright in a column.
bool SVGVerticalUpright(char32_t code);
// Whether the character at UTF-16 position I of Text stands upright (a surrogate pair
// read whole from its high half).
bool SVGVerticalUprightAt(QStringView text, qsizetype i);
// The first position after Start and before Stop whose character stands otherwise than
// Start's (the low half of a pair goes with its high half); Stop if none.
qsizetype SVGVerticalOrientationEnd(QStringView text, qsizetype start, qsizetype stop);

// How far characters From .. From + Length - 1 of a run advance down a column, spacing
// not included: an upright one by the em, turned ones by their width.
float SVGVerticalAdvance(const TShapedRun &run, qsizetype from, qsizetype length, const TCanvasFont &font);
// The glyphs of upright characters From .. From + Length - 1 of a run, one em apart down
// the column, in the frame of their piece: its x runs down the column, its y = 0 is the
// alphabetic baseline of turned glyphs. Asked only for pieces that are drawn.
QPainterPath SVGVerticalUprightOutline(const TShapedRun &run, qsizetype from, qsizetype length,
                                       const TCanvasFont &font, const TFontLines &lines);

// How far the alphabetic baseline of turned glyphs lies from the column's line, across it.
float SVGVerticalCentral(const TFontLines &lines);

// A piece's frame in a column: its start at (X, Y) on the column's line, turned a quarter
// clockwise, the alphabetic baseline Shift across (positive to the left of the column),
// stretched by Stretch down the column, and turned by Rotate degrees more about where an
// upright glyph's em box or a turned glyph's baseline starts.
QTransform SVGVerticalPlace(float x, float y, float rotate, float shift, float stretch, bool upright);
