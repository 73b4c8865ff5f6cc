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

// The portrait's canvas, in canvas units; every layer position is in these.
inline constexpr int CANVAS_WIDTH = 640;
inline constexpr int CANVAS_HEIGHT = 1136;

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

// How a layer fits its picture into its rectangle: uniformly scaled and
// centred, or stretched to fill it.
enum class TImageWrap { Fit, Stretch };

// What a random portrait does with a category: nothing, a pick only when the
// portrait is new (the background), or a pick at every roll.
enum class TRandomRoll { Never, NewPortrait, EveryRoll };

// Everything that differs between the categories beyond their rectangle.
struct TCategoryRules {
    // Place in the canvas's stack of layers, 0 at the bottom (the watermark lies
    // below all of them).
    int Stack;
    TImageWrap Wrap;
    // The item slides out and back in when it changes.
    bool Slides;
    // Up/Down and vertical strokes nudge the layer. On the bubble's tab they
    // nudge the bitmap layer that was current last, under that layer's rule.
    bool Moves;
    // Rolled categories can also be locked against a roll; Pick orders the
    // picks of a random portrait, which come from one stream in this order.
    TRandomRoll Roll;
    int Pick;
    // Shown in its own colours, whatever colour is stored for it.
    bool OwnColours;
};

// clang-format off
inline constexpr std::array<TCategoryRules, FACE_ITEM_TYPE_COUNT> CATEGORY_RULES = {{
    // Stack Wrap                 Slides Moves  Roll                           Pick OwnColours
    { 7, TImageWrap::Fit,     false, true,  TRandomRoll::Never,       -1, false}, // fiEmoji
    { 2, TImageWrap::Stretch, false, false, TRandomRoll::EveryRoll,    2, true},  // fiFace
    { 9, TImageWrap::Stretch, true,  false, TRandomRoll::EveryRoll,    3, false}, // fiHair
    { 3, TImageWrap::Stretch, true,  true,  TRandomRoll::EveryRoll,    4, false}, // fiEye
    { 4, TImageWrap::Stretch, true,  true,  TRandomRoll::EveryRoll,    5, false}, // fiNose
    { 5, TImageWrap::Stretch, true,  true,  TRandomRoll::EveryRoll,    6, false}, // fiMouth
    { 6, TImageWrap::Stretch, true,  true,  TRandomRoll::EveryRoll,    7, false}, // fiBrow
    { 8, TImageWrap::Stretch, true,  true,  TRandomRoll::Never,       -1, false}, // fiGlasses
    { 1, TImageWrap::Fit,     false, false, TRandomRoll::EveryRoll,    1, false}, // fiHand
    { 0, TImageWrap::Fit,     false, true,  TRandomRoll::NewPortrait,  0, false}, // fiBG
    {11, TImageWrap::Fit,     false, true,  TRandomRoll::Never,       -1, false}, // fiPaopao
    {10, TImageWrap::Stretch, false, true,  TRandomRoll::Never,       -1, false}, // fiFG
}};
// clang-format on

inline const TCategoryRules &CategoryRules(TYPE_FACE_ITEM fiType)
{
    return CATEGORY_RULES[fiType];
}

// The categories a random portrait picks, in the order of their picks.
const std::vector<TYPE_FACE_ITEM> &RandomPicks();

// Maps a category name to its type, comparing ASCII letters without regard to
// case (other characters must match exactly). Returns false when no name matches.
bool FaceItemTypeFromName(const QString &name, TYPE_FACE_ITEM &type);

// Stores a member name as single-byte text: characters outside Latin-1 become
// '?', and only the first FACE_ITEM_MAX_NAME characters are kept.
QByteArray ToMemberName(const QString &name);

// Turns a stored member name back into a Unicode string.
QString FromMemberName(const QByteArray &name);
