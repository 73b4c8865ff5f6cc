#pragma once
// Member names and category names match without regard to the case of the ASCII
// letters only: any other character, a non-ASCII letter included, must be equal.
// Both sides are compared as bytes, so UTF-8 text compares correctly too.

#include <QByteArray>
#include <QByteArrayView>

inline char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

// The form two names share exactly when EqualIgnoringAsciiCase holds for them.
inline QByteArray LowerAsciiOnly(QByteArrayView aoName)
{
    QByteArray sLower(aoName.data(), aoName.size());
    for (char &c : sLower)
        c = LowerAscii(c);
    return sLower;
}

inline bool EqualIgnoringAsciiCase(QByteArrayView aoA, QByteArrayView aoB)
{
    const auto lower = LowerAscii;
    if (aoA.size() != aoB.size())
        return false;
    for (qsizetype i = 0; i < aoA.size(); ++i) {
        if (lower(aoA[i]) != lower(aoB[i]))
            return false;
    }
    return true;
}
