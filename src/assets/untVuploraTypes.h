#pragma once
// The face item vocabulary shared by the whole application: categories, image
// variants, the in-memory pack index records and the per-category tables.

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QtGlobal>

#include <array>
#include <memory>
#include <vector>

// The ordinal is significant: records store it and it indexes FACE_ITEM_NAMES and
// FACE_ITEM_RECTS, so the order must not change.
enum TYPE_FACE_ITEM : quint8 {
    fiEmoji,
    fiFace,
    fiHair,
    fiEye,
    fiNose,
    fiMouth,
    fiBrow,
    fiGlasses,
    fiHand,
    fiBG,
    fiPaopao,
    fiFG,
};

inline constexpr int FACE_ITEM_TYPE_COUNT = 12;

// Which member of an item is meant: the full image and the mask are stored
// encrypted in the archive, the thumbnail plain.
enum TYPE_IMAGE_FILE : quint8 {
    ifFile,
    ifMask,
    ifThumb,
};

// Member names are single-byte text (Latin-1 stands for the system code page)
// of at most this many characters, longer names are cut.
inline constexpr int FACE_ITEM_MAX_NAME = 255;

struct STRU_FACE_ITEM_DATA {
    TYPE_FACE_ITEM moType = fiEmoji;
    qint32 miIndex = 0;
    QString msID;
    bool mbMask = false;
    QByteArray msFileName;
    QByteArray msThumb;
    QByteArray msMask;
};
using PSTRU_FACE_ITEM_DATA = STRU_FACE_ITEM_DATA *;

struct STRU_FACE_ITEM_LIST {
    TYPE_FACE_ITEM moType = fiEmoji;
    // The category owns its item records.
    std::vector<std::unique_ptr<STRU_FACE_ITEM_DATA>> moItemList;
};
using PSTRU_FACE_ITEM_LIST = STRU_FACE_ITEM_LIST *;

// The manager's list of categories in index order; it owns every category.
using TFaceItemLists = std::vector<std::unique_ptr<STRU_FACE_ITEM_LIST>>;

inline constexpr std::array<const char *, FACE_ITEM_TYPE_COUNT> FACE_ITEM_NAMES = {
    "Emoji", "Face", "Hair", "Eye", "Nose", "Mouth",
    "Brow", "Glasses", "Hand", "BG", "Paopao", "FG",
};

// Default layer rectangle of each category on the 640 x 1136 canvas
// (x, y of the top-left corner, width, height).
inline constexpr std::array<QRect, FACE_ITEM_TYPE_COUNT> FACE_ITEM_RECTS = {
    QRect(100, 185, 440, 270),  // fiEmoji
    QRect(120, 30, 400, 460),   // fiFace
    QRect(20, -130, 600, 740),  // fiHair: starts above the canvas
    QRect(170, 216, 300, 120),  // fiEye
    QRect(260, 260, 120, 120),  // fiNose
    QRect(170, 316, 300, 160),  // fiMouth
    QRect(170, 172, 300, 100),  // fiBrow
    QRect(150, 216, 340, 140),  // fiGlasses
    QRect(0, 0, 640, 1136),     // fiHand
    QRect(0, 0, 640, 1136),     // fiBG
    QRect(0, 0, 300, 300),      // fiPaopao
    QRect(0, 0, 640, 1136),     // fiFG
};

// Maps a category name to its type, comparing ASCII letters without regard to
// case (other characters must match exactly). Returns false when no name matches.
bool FaceItemTypeFromName(const QString &name, TYPE_FACE_ITEM &type);

// Stores a member name as single-byte text: characters outside Latin-1 become
// '?', and only the first FACE_ITEM_MAX_NAME characters are kept.
QByteArray ToMemberName(const QString &name);

// Turns a stored member name back into a Unicode string.
QString FromMemberName(const QByteArray &name);
