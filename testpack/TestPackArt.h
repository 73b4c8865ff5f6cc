#pragma once
// Simple drawings standing in for the real art: one picture per category and
// item, sized to the category's layer rectangle, in the colours of a pack.

#include "assets/untVuploraTypes.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Pack 1 is drawn in warm colours, pack 2 in cool ones.
QImage DrawTestItem(int aiPack, TYPE_FACE_ITEM fiType, int aiItem);

// The mask of an item: opaque where the background is to show through.
QImage DrawTestMask(TYPE_FACE_ITEM fiType, int aiItem);

// A 100 x 100 picture of the item for the browser, with the item's number.
QImage DrawTestThumb(const QImage &aoItem, int aiItem);

// A speech balloon thumbnail; the Chinese variant carries a "CN" badge.
QImage DrawBubbleThumb(int aiBubble, bool abChinese);

// A speech-bubble document: a balloon, an editable text in a box and the start
// point of the bubble frame.
QByteArray BubbleDocument(int aiBubble, bool abChinese);
