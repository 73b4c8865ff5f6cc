#pragma once
// Number conversion for SVG text. The decimal separator is always "." whatever the
// user's locale: documents are written that way, and reading them must not depend on
// the machine that opens them.

#include <QString>
#include <QStringView>
#include <QtGlobal>

// Converts a decimal number: optional surrounding white space, optional sign ("+" or
// "-"), digits with an optional fraction (".5" and "5." are numbers), optional exponent
// with its own sign. Returns false for anything else, including "inf", "nan", hexadecimal
// and values beyond the range of a double.
bool TrySVGStrToFloat(QStringView text, double &value);

// As TrySVGStrToFloat, but a text that is not a number raises EConvertError
// "'<text>' is not a valid floating point value".
double SVGStrToFloat(QStringView text);

// Narrows to single precision; magnitudes beyond the single range become the largest
// finite single of that sign instead of infinity, so later arithmetic stays finite.
float SVGToSingle(double value);

// Converts a hexadecimal text (digits 0-9, a-f, A-F only) to an unsigned 32-bit value;
// an empty text, any other character or more than 32 bits raise EConvertError
// "'<text>' is not a valid integer value".
quint32 SVGHexToUInt32(QStringView text);
