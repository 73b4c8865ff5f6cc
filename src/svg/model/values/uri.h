#pragma once
// References to other elements: url(#id).

#include <QString>

// The id of "url(#id)" or "uri(#id)" (prefix compared ignoring case, trimmed text ending
// with ")"), else the empty string.
QString ParseURI(const QString &text);

// ParseURI behind the inherit convention; text without a reference (a colour, "none")
// keeps defaultValue.
QString ParsePaintURI(const QString &text, const QString &defaultValue, bool &inherited);
