#pragma once
// viewBox and preserveAspectRatio values.

#include "svg/model/values/keywords.h"
#include "svg/model/values/units.h"

#include <QRectF>
#include <QString>

// Four numbers (left, top, width, height) separated by commas or spaces; any other count
// leaves `rect` untouched.
void ParseViewBox(const QString &text, const TSVGUnitFactors &factors, QRectF &rect);

// The value part of preserveAspectRatio.
struct TSVGAspectRatioValue {
    TSVGAlign Align = saNone;
    bool Defer = false;
    bool Slice = false;

    friend bool operator==(const TSVGAspectRatioValue &, const TSVGAspectRatioValue &) = default;
};

// "[defer] <align> [meet|slice]"; empty text changes nothing, otherwise all three parts
// are set (an unknown alignment gives saNone, a missing "slice" gives false).
void ParseAspectRatio(const QString &text, TSVGAspectRatioValue &aspectRatio);
