#pragma once
// The inherit convention shared by every parser that takes part in the style cascade:
// "inherit" (exactly) marks the property inherited and keeps the current value; an
// empty text keeps both the value and the flag; any other text clears the flag and is
// parsed.

#include <QString>

// Trims the text into `trimmed` and applies the convention to `inherited`. Returns true
// when the caller should parse `trimmed`, false when it must return its current value.
inline bool SVGInheritStep(const QString &text, bool &inherited, QString &trimmed)
{
    trimmed = text.trimmed();
    if (trimmed == QLatin1String("inherit")) {
        inherited = true;
        return false;
    }
    if (trimmed.isEmpty())
        return false;
    inherited = false;
    return true;
}
