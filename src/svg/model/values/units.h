#pragma once
// Units of length and the parsers of lengths, fractions, plain numbers and angles.

#include <QString>
#include <QStringView>
#include <array>

// The order is the order of the factor table.
enum TSVGUnit : int {
    suNone,
    suPixels,        // px
    suPoints,        // pt
    suPicas,         // pc
    suMillimeters,   // mm
    suCentimeters,   // cm
    suInches,        // in
    suFontSize,      // em
    suFontXHeight,   // ex
    suPercent,       // %
};

inline constexpr int SVGUnitCount = suPercent + 1;

// One single-precision factor per TSVGUnit; a number with a unit is multiplied by the
// factor of its unit.
using TSVGUnitFactors = std::array<float, SVGUnitCount>;

// The table of a document with the given resolution in dots per inch.
TSVGUnitFactors SVGUnitFactors(float dpi);

// The fixed table for elements that belong to no document (96 DPI, rounded factors).
const TSVGUnitFactors &SVGDefaultUnitFactors();

// The same table with "em" worth fontSize and "ex" half of it. Both tables above count
// em and ex as plain user units because they know no font; the cascade, which knows the
// element's font size, reads lengths through this one (and font sizes through the one
// made with the parent's size).
TSVGUnitFactors SVGFontRelativeFactors(const TSVGUnitFactors &factors, float fontSize);

// Finds the unit suffix of a trimmed text: the last two characters compared, ignoring
// case, with px pt pc mm cm in em ex (in that order), else a trailing "%". Returns the
// text without the suffix and sets `unit` (suNone when there is no suffix).
QStringView SVGSplitUnit(QStringView trimmed, TSVGUnit &unit);

// A number with an optional unit, times the unit's factor. "Infinity" and "-Infinity"
// (any case) give +-1e8. Empty or unreadable text gives defaultValue. A percentage
// reads as its plain number (50% gives 50).
float ParseUnitValue(const QString &text, const TSVGUnitFactors &factors, float defaultValue);

// As ParseUnitValue, but a percentage maps onto the range low..high (40% with 0..1 gives
// 0.4); nothing is clamped. The first form follows the inherit convention.
float ParseLength(const QString &text, bool &inherited, const TSVGUnitFactors &factors,
                  float high, float low, float defaultValue);
float ParseLength(const QString &text, const TSVGUnitFactors &factors, float high, float low,
                  float defaultValue);

// As ParseUnitValue, but a percentage gives its fraction (25% gives 0.25) and sets
// isPercent; a value without "%" clears it. Text that cannot be read returns
// defaultValue and leaves isPercent as it was, so the previous value keeps its meaning.
// The first form follows the inherit convention.
float ParseFraction(const QString &text, bool &inherited, bool &isPercent,
                    const TSVGUnitFactors &factors, float defaultValue);
float ParseFraction(const QString &text, bool &isPercent, const TSVGUnitFactors &factors,
                    float defaultValue);

// As ParseUnitValue without the Infinity keywords, behind the inherit convention.
float ParseNumber(const QString &text, bool &inherited, const TSVGUnitFactors &factors,
                  float defaultValue);

// An angle in radians. "auto" sets isAuto and returns defaultValue. Otherwise the first
// word is the number and an optional second word the unit: "grad", "rad", anything else
// (or nothing) degrees. Unreadable numbers return defaultValue.
float ParseAngle(const QString &text, bool &isAuto, float defaultValue);
