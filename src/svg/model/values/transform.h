#pragma once
// The `transform` attribute: a list of matrix, translate, scale, rotate, skewX, skewY.

#include "svg/model/values/matrix.h"

#include <QString>

// The combined matrix; the transform written first is applied last to a point. Transforms
// may be separated by white space and at most one comma. Raises ESVGException
// "Invalid matrix: %s", "Invalid %s transformation matrix: %s" (translate, scale,
// rotation) or "Invalid transformation: %s" for a wrong argument count or an unknown
// name, and EConvertError for an argument that is not a number.
TMatrix ParseTransform(const QString &text);
