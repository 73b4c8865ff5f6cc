#pragma once
// The `cursor` property as a Qt cursor shape.

#include <QString>
#include <Qt>

// Behind the inherit convention. The CSS keywords auto, crosshair, default, pointer,
// move, the eight resize directions, text, wait and help map to their Qt shapes; any
// other word gives the blank cursor. A value starting with url(" is a list whose last
// item is the keyword.
Qt::CursorShape ParseCursor(const QString &text, Qt::CursorShape defaultCursor, bool &inherited);

// The first keyword that maps to the cursor, for writing it back into style text ("auto"
// for the arrow, "" for shapes without a keyword).
QString SVGCursorKeyword(Qt::CursorShape cursor);
