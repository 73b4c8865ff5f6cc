#pragma once
// A length as written: user units, or with IsPercent a fraction (50% is 0.5) of an
// extent that only the element using it knows (its viewport, bounding box or viewBox).
// Kept as one value so that a number can never be read without the flag that says
// what it is.

struct TSVGLength {
    float Value = 0;
    bool IsPercent = false;

    constexpr TSVGLength() = default;
    constexpr TSVGLength(float aValue, bool aIsPercent) : Value(aValue), IsPercent(aIsPercent) {}
    // Explicit, so that a bare number never passes for a length whose flag was dropped.
    constexpr explicit TSVGLength(float aValue) : Value(aValue) {}

    friend bool operator==(const TSVGLength &, const TSVGLength &) = default;
};
