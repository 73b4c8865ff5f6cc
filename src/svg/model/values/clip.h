#pragma once
// The `clip` property: auto or rect(top right bottom left).

#include "svg/model/values/units.h"

#include <QRectF>
#include <QString>

// Behind the inherit convention. "auto" gives the empty rectangle; "rect(t r b l)" (the
// values separated by spaces, each a length, unreadable ones 0) gives the rectangle with
// those edges (left() = l, top() = t, right() = r, bottom() = b, even when right < left);
// any other text returns `current`.
QRectF ParseClip(const QString &text, const QRectF &current, bool &inherited,
                 const TSVGUnitFactors &factors);
