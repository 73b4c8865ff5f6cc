#pragma once
// The face resource manager: the single gateway between the editor and the
// embedded asset archive. It keeps the loaded pack index and the directory of the
// archive it opened last; every request still reads and decodes its member anew,
// and nothing decoded is kept.

#include "assets/ArchiveReader.h"
#include "assets/untVuploraPaopaoDoc.h"
#include "assets/untVuploraTypes.h"
#include "errors/errors.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

#include <list>
#include <memory>
#include <utility>

// Chosen pack, 1 or 2; read every time an index is loaded.
extern qint32 giPackIndex;

// Names of the index members of pack 1 and pack 2, indexed by pack number.
struct TPackIndexFiles {
    static constexpr qint32 Low = 1;
    static constexpr qint32 High = 2;
    // Fails with "Argument out of range" for a pack number outside Low..High.
    const char *operator[](qint32 aiPack) const;
};
inline constexpr TPackIndexFiles PACK_INDEX_FILES{};

// What a layer or a browser entry shows: a category, the chosen item, the
// layer's rectangle on the canvas and the colour it is recoloured with.
class TFaceItem {
public:
    TFaceItem(TYPE_FACE_ITEM fiType, qint32 X, qint32 Y, qint32 Width, qint32 Height);
    TFaceItem(TYPE_FACE_ITEM fiType, qint32 aiIndex);
    explicit TFaceItem(TYPE_FACE_ITEM fiType);
    virtual ~TFaceItem() = default;

    qint32 Index() const { return miIndex; }
    void SetIndex(qint32 aiIndex) { miIndex = aiIndex; }
    // ARGB, alpha in the top byte; 0 keeps the image's own colours.
    quint32 Color() const { return miColor; }
    void SetColor(quint32 aiColor) { miColor = aiColor; }

    qint32 miIndex = 0;
    qint32 miX = 0;
    qint32 miY = 0;
    qint32 miWidth = 0;
    qint32 miHeight = 0;
    TYPE_FACE_ITEM moType = fiEmoji;
    quint32 miColor = 0;
};

// An archive resource opened once, with its directory read, for as long as the
// resource hands out the same bytes. The members are destroyed in reverse order,
// so the ZIP reader closes before the bytes it reads from go.
// Pictures decoded from an archive's members, kept as long as the archive is: a
// portrait decodes seven or eight of them, the next portrait mostly the same ones,
// and decoding is most of what a headless portrait costs. The least recently used go
// first once they hold more than DECODED_PICTURE_BYTES. A picture handed out shares
// its pixels with the kept one until either is changed.
inline constexpr qint64 DECODED_PICTURE_BYTES = 64 * 1024 * 1024;

class TDecodedPictures {
public:
    // False when the member's picture is not kept.
    bool Find(const QString &asKey, QImage &aoPicture);
    void Keep(const QString &asKey, const QImage &aoPicture);
    qint64 Bytes() const { return miBytes; }

private:
    std::list<std::pair<QString, QImage>> moKept; // most recently used first
    qint64 miBytes = 0;
};

struct TOpenedResArchive {
    TOpenedResArchive(const QByteArray &aoBytes, const QString &asWhat);

    QByteArray moResStream; // raw resource bytes, usually not a copy
    TZipReader moZip;
    TArchiveMemberIndex moMembers;
    TDecodedPictures moPictures;
};

// One request's view of an archive: the opened archive and the member read last.
struct STRU_RES_ARCHIVE {
    std::shared_ptr<TOpenedResArchive> moOpened;
    QBuffer moData; // content of the member read last
};
using PSTRU_RES_ARCHIVE = std::unique_ptr<STRU_RES_ARCHIVE>;

using TFaceItemDataList = std::vector<std::unique_ptr<STRU_FACE_ITEM_DATA>>;

class TFaceRes {
public:
    TFaceRes();
    ~TFaceRes();
    TFaceRes(const TFaceRes &) = delete;
    TFaceRes &operator=(const TFaceRes &) = delete;

    // Loads the index of pack giPackIndex from the named resource, discarding
    // the current one first. On failure the categories read so far stay.
    void LoadRes(const QString &asResName);

    // The items of the first category of that type, or nullptr.
    const TFaceItemDataList *GetFaceItem(TYPE_FACE_ITEM fiType) const;

    // Member name of one image of an item; empty when the category is not in
    // the index. An item position outside the category fails with
    // "Argument out of range".
    QString GetItemResName(TYPE_FACE_ITEM fiType, qint32 aiIndex, TYPE_IMAGE_FILE ifType) const;

    // Fills aoBitmap (premultiplied ARGB32) with an item's image. A missing name
    // or member clears it to transparent at its size; content that is neither
    // PNG nor JPEG fails with "Loading bitmap failed.".
    void GetBitmap(QImage &aoBitmap, TYPE_FACE_ITEM fiType, qint32 aiIndex, TYPE_IMAGE_FILE ifType,
                   bool abLangCN);

    // GetBitmap for every item of a category, in index order, reading them all
    // through one opening of the archive (the browser shows a whole category at
    // once). A category not in the index gives none. When an item fails, the
    // error propagates with the bitmaps of the items before it in aoBitmaps.
    void GetBitmaps(std::vector<QImage> &aoBitmaps, TYPE_FACE_ITEM fiType, TYPE_IMAGE_FILE ifType,
                    bool abLangCN);

    // Hands a bubble to the editor: reads the item's document (its Chinese
    // variant when abLangCN is set and the archive has one), records its text in
    // gsPaopaoText, keeps its source in goPaopaoStream, loads it into aoSVG and
    // places and sizes the frame at the document's start point. An item the
    // index does not name clears the document. A document that fails (not
    // well-formed, a bad start point, not loadable) leaves the bubble, its
    // frame, gsPaopaoText and goPaopaoStream as they were and raises its error.
    void GetSVG(IPaopaoView &aoSVG, TYPE_FACE_ITEM fiType, qint32 aiIndex, TYPE_IMAGE_FILE ifType,
                bool abLangCN);

    // The item over a background, cut to the face area; the item's colour is
    // applied when aiColor is not 0. ifType is accepted and not used.
    void GetBitmapWithMask(QImage &aoBitmap, const QImage &aoBKG, TYPE_FACE_ITEM fiType, qint32 aiIndex,
                           TYPE_IMAGE_FILE ifType, quint32 aiColor);

    // Name of the resource whose index was loaded last.
    const QString &ResName() const { return msResName; }
    const TFaceItemLists &FaceItemLists() const { return moFaceItemList; }

private:
    void ClearFaceItems();
    // An empty name means msResName.
    PSTRU_RES_ARCHIVE OpenResArchive(const QString &asResName) const;
    static void CloseResArchive(PSTRU_RES_ARCHIVE &aoArchive);
    // Reads a member into moData, decoded when abDecrypt; with abLangCN the
    // "_cn" variant is taken when the archive holds it. False when not found.
    static bool ReadResFile(STRU_RES_ARCHIVE &aoArchive, const QString &asName, bool abDecrypt,
                            bool abLangCN);
    void ParseFaceIndex(STRU_RES_ARCHIVE &aoArchive);

    QString msResName;
    TFaceItemLists moFaceItemList;
    // Reading a pack's directory again on every layer change costs several percent
    // of decoding the picture, more with every member; the resource is reopened
    // only when its bytes change.
    mutable std::shared_ptr<TOpenedResArchive> moKeptArchive;
};

// "_cn" before the last "." of a member name, or appended when there is none.
QString LanguageVariantName(const QString &asName);

// The editor's single manager.
extern TFaceRes *goFaceRes;

// The current speech bubble's document as last prepared or rewritten; created and
// freed by the editor window.
extern QBuffer *goPaopaoStream;
