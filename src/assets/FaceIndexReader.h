#pragma once
// Reading a decoded pack index (JSON) into the face resource manager's category list.

#include "errors/errors.h"
#include "assets/untVuploraTypes.h"

#include <QByteArray>

// A pack index that is not valid JSON or lacks a category, an item or an item
// field. "c" and "count" that are not integers raise EConvertError instead.
class EFaceIndexError : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};

// Appends the categories of the index held in memberBytes to target, in index
// order. Each category is appended before its items are read; when reading
// stops with an exception, what was appended so far stays in target.
void ReadFaceIndex(const QByteArray &memberBytes, TFaceItemLists &target);
