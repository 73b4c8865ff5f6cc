// Arbitrary bytes as a decoded pack index: errors are fine, crashes, leaks and
// broken invariants of what was loaded are not.

#include "assets/FaceIndexReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFaceItemLists lists;
    try {
        ReadFaceIndex(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), lists);
    } catch (const EVuploraError &) {
        // A malformed index; whatever was appended before must still be sound.
    }
    for (const auto &list : lists) {
        if (list->moType >= FACE_ITEM_TYPE_COUNT)
            __builtin_trap();
        for (size_t j = 0; j < list->moItemList.size(); ++j) {
            const STRU_FACE_ITEM_DATA &item = *list->moItemList[j];
            if (item.moType != list->moType || item.miIndex != qint32(j)
                || item.msFileName.size() > FACE_ITEM_MAX_NAME || item.msThumb.size() > FACE_ITEM_MAX_NAME
                || item.msMask.size() > FACE_ITEM_MAX_NAME)
                __builtin_trap();
        }
    }
    return 0;
}
