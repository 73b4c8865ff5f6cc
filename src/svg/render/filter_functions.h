#pragma once
// The value of the `filter` property: a list of url() references to filter elements and
// CSS filter functions (blur, drop-shadow, brightness, contrast, grayscale, hue-rotate,
// invert, opacity, saturate, sepia), each function with its arguments resolved to
// numbers. Lengths are in user units, amounts as fractions (50% is 0.5), angles in
// degrees.

#include <QRgb>
#include <QString>
#include <optional>
#include <vector>

enum class TSVGFilterFunctionKind {
    Url, Blur, DropShadow, Brightness, Contrast, Grayscale, HueRotate, Invert, Opacity, Saturate, Sepia,
};

struct TSVGFilterFunction {
    TSVGFilterFunctionKind Kind = TSVGFilterFunctionKind::Url;
    QString Id;          // Url: the element's id
    double Amount = 0;   // the amount, the angle or the blur's deviation
    double Dx = 0, Dy = 0;
    bool CurrentColor = true;  // DropShadow without a colour takes the element's `color`
    QRgb Color = 0xFF000000u;
};

// The items of a `filter` value; empty for "none" and for an empty text. Nullopt when
// the value cannot be read (an unknown function, a negative amount or deviation, a
// missing closing parenthesis): the property then
// counts as not given.
std::optional<std::vector<TSVGFilterFunction>> SVGParseFilterValue(const QString &text);
