#include "assets/untVuplora.h"

#include "assets/FaceIndexReader.h"
#include "assets/vpCrypt.h"
#include "imageio/png_codec.h"
#include "platform/resources.h"

qint32 giPackIndex = 1;
TFaceRes *goFaceRes = nullptr;
QBuffer *goPaopaoStream = nullptr;

namespace {

// The resource GetBitmap reads from, whatever LoadRes was given.
const QString BITMAP_RES_NAME = QStringLiteral("res_girl");

enum class TImageKind { Unknown, Png, Jpeg };

TImageKind ImageKindOf(const QByteArray &aoData)
{
    if (PngSignature(aoData))
        return TImageKind::Png;
    if (aoData.size() >= 3 && uchar(aoData[0]) == 0xFF && uchar(aoData[1]) == 0xD8 && uchar(aoData[2]) == 0xFF)
        return TImageKind::Jpeg;
    return TImageKind::Unknown;
}

void ClearBitmap(QImage &aoBitmap)
{
    if (aoBitmap.isNull())
        return;
    if (aoBitmap.format() != QImage::Format_ARGB32_Premultiplied)
        aoBitmap = QImage(aoBitmap.size(), QImage::Format_ARGB32_Premultiplied);
    aoBitmap.fill(0);
}

// Loads PNG or JPEG data into the bitmap; empty data clears it. Other decoders
// of the platform are deliberately not offered archive content.
void LoadBitmapFromData(QImage &aoBitmap, const QByteArray &aoData)
{
    if (aoData.isEmpty()) {
        ClearBitmap(aoBitmap);
        return;
    }
    const TImageKind kind = ImageKindOf(aoData);
    if (kind == TImageKind::Png) {
        try {
            aoBitmap = PngDecodePremultiplied(aoData);
        } catch (const EImageIOError &) {
            throw EVuploraError(QStringLiteral("Loading bitmap failed."));
        }
        return;
    }
    QImage oImage;
    if (kind == TImageKind::Unknown || !oImage.loadFromData(aoData, "JPEG"))
        throw EVuploraError(QStringLiteral("Loading bitmap failed."));
    oImage.convertTo(QImage::Format_ARGB32_Premultiplied);
    aoBitmap = std::move(oImage);
}

} // namespace

const char *TPackIndexFiles::operator[](qint32 aiPack) const
{
    switch (aiPack) {
    case 1:
        return "res1.json";
    case 2:
        return "res2.json";
    default:
        throw EArgumentOutOfRange();
    }
}

TFaceItem::TFaceItem(TYPE_FACE_ITEM fiType, qint32 X, qint32 Y, qint32 Width, qint32 Height)
    : miX(X), miY(Y), miWidth(Width), miHeight(Height), moType(fiType), miColor(0)
{
}

TFaceItem::TFaceItem(TYPE_FACE_ITEM fiType, qint32 aiIndex) : miIndex(aiIndex), moType(fiType)
{
}

TFaceItem::TFaceItem(TYPE_FACE_ITEM fiType) : moType(fiType), miColor(0)
{
}

QString LanguageVariantName(const QString &asName)
{
    const qsizetype iDot = asName.lastIndexOf(u'.');
    if (iDot < 0)
        return asName + QStringLiteral("_cn");
    return asName.left(iDot) + QStringLiteral("_cn") + asName.mid(iDot);
}

TFaceRes::TFaceRes() = default;

TFaceRes::~TFaceRes()
{
    ClearFaceItems();
}

void TFaceRes::ClearFaceItems()
{
    // Last to first, as the records were appended.
    while (!moFaceItemList.empty()) {
        auto &oItems = moFaceItemList.back()->moItemList;
        while (!oItems.empty())
            oItems.pop_back();
        moFaceItemList.pop_back();
    }
}

void TFaceRes::LoadRes(const QString &asResName)
{
    ClearFaceItems();
    msResName = asResName;
    PSTRU_RES_ARCHIVE oArchive = OpenResArchive(asResName);
    ParseFaceIndex(*oArchive);
    CloseResArchive(oArchive);
}

bool TDecodedPictures::Find(const QString &asKey, QImage &aoPicture)
{
    for (auto it = moKept.begin(); it != moKept.end(); ++it) {
        if (it->first == asKey) {
            moKept.splice(moKept.begin(), moKept, it);
            aoPicture = it->second;
            return true;
        }
    }
    return false;
}

void TDecodedPictures::Keep(const QString &asKey, const QImage &aoPicture)
{
    const qint64 iBytes = aoPicture.sizeInBytes();
    if (iBytes > DECODED_PICTURE_BYTES)
        return;
    moKept.emplace_front(asKey, aoPicture);
    miBytes += iBytes;
    while (miBytes > DECODED_PICTURE_BYTES) {
        miBytes -= moKept.back().second.sizeInBytes();
        moKept.pop_back();
    }
}

TOpenedResArchive::TOpenedResArchive(const QByteArray &aoBytes, const QString &asWhat)
    : moResStream(aoBytes), moZip(OpenZipFromMemory(moResStream, asWhat)), moMembers(moZip.get())
{
}

PSTRU_RES_ARCHIVE TFaceRes::OpenResArchive(const QString &asResName) const
{
    const QString sName = asResName.isEmpty() ? msResName : asResName;
    // Asking the provider every time keeps a missing resource an error and lets a
    // replaced one be read afresh; the same bytes mean the same archive.
    const QByteArray oBytes = ResourceProvider().Open(sName);
    if (!moKeptArchive || moKeptArchive->moResStream.constData() != oBytes.constData()
        || moKeptArchive->moResStream.size() != oBytes.size())
        moKeptArchive = std::make_shared<TOpenedResArchive>(oBytes, QStringLiteral("Resource %1").arg(sName));

    auto oArchive = std::make_unique<STRU_RES_ARCHIVE>();
    oArchive->moOpened = moKeptArchive;
    oArchive->moData.open(QIODevice::ReadWrite);
    return oArchive;
}

void TFaceRes::CloseResArchive(PSTRU_RES_ARCHIVE &aoArchive)
{
    aoArchive.reset();
}

bool TFaceRes::ReadResFile(STRU_RES_ARCHIVE &aoArchive, const QString &asName, bool abDecrypt,
                           bool abLangCN)
{
    aoArchive.moData.seek(0);

    TOpenedResArchive &oOpened = *aoArchive.moOpened;
    qint64 iMember = -1;
    if (abLangCN)
        iMember = oOpened.moMembers.Find(LanguageVariantName(asName));
    if (iMember < 0)
        iMember = oOpened.moMembers.Find(asName);
    if (iMember < 0)
        return false;

    QByteArray oContent = ReadArchiveMember(oOpened.moZip.get(), iMember, asName);
    aoArchive.moData.buffer().clear();
    aoArchive.moData.seek(0);
    if (abDecrypt) {
        QBuffer oSource(&oContent);
        oSource.open(QIODevice::ReadOnly);
        // The key comes from the name as requested, never from its variant.
        DecodeStream(&oSource, &aoArchive.moData, GetResKey(asName), RES_KEY_TYPE);
    } else {
        aoArchive.moData.write(oContent);
    }
    aoArchive.moData.seek(0);
    return true;
}

void TFaceRes::ParseFaceIndex(STRU_RES_ARCHIVE &aoArchive)
{
    const QString sIndex = QString::fromLatin1(PACK_INDEX_FILES[giPackIndex]);
    // Reading the empty content of a missing member would only report empty
    // JSON; name what is missing instead.
    if (!ReadResFile(aoArchive, sIndex, true, false))
        throw EFaceIndexError(QStringLiteral("Pack index %1 not found in resource %2").arg(sIndex, msResName));
    ReadFaceIndex(aoArchive.moData.data(), moFaceItemList);
}

const TFaceItemDataList *TFaceRes::GetFaceItem(TYPE_FACE_ITEM fiType) const
{
    for (const auto &oList : moFaceItemList) {
        if (oList->moType == fiType)
            return &oList->moItemList;
    }
    return nullptr;
}

QString TFaceRes::GetItemResName(TYPE_FACE_ITEM fiType, qint32 aiIndex, TYPE_IMAGE_FILE ifType) const
{
    const TFaceItemDataList *oItems = GetFaceItem(fiType);
    if (!oItems)
        return {};
    if (aiIndex < 0 || size_t(aiIndex) >= oItems->size())
        throw EArgumentOutOfRange();
    const STRU_FACE_ITEM_DATA &oItem = *(*oItems)[size_t(aiIndex)];
    switch (ifType) {
    case ifFile:
        return FromMemberName(oItem.msFileName);
    case ifMask:
        return FromMemberName(oItem.msMask);
    case ifThumb:
        return FromMemberName(oItem.msThumb);
    }
    return {};
}

void TFaceRes::GetBitmap(QImage &aoBitmap, TYPE_FACE_ITEM fiType, qint32 aiIndex, TYPE_IMAGE_FILE ifType,
                         bool abLangCN)
{
    PSTRU_RES_ARCHIVE oArchive = OpenResArchive(BITMAP_RES_NAME);
    const QString sName = GetItemResName(fiType, aiIndex, ifType);
    if (!sName.isEmpty()) {
        const bool bDecrypt = ifType == ifFile || ifType == ifMask;
        TDecodedPictures &oPictures = oArchive->moOpened->moPictures;
        const QString sKey = sName + QLatin1Char(abLangCN ? '1' : '0') + QLatin1Char(bDecrypt ? '1' : '0');
        if (oPictures.Find(sKey, aoBitmap)) {
            CloseResArchive(oArchive);
            return;
        }
        // A missing member clears the bitmap at the size it has, which is not kept.
        const bool bFound = ReadResFile(*oArchive, sName, bDecrypt, abLangCN);
        LoadBitmapFromData(aoBitmap, oArchive->moData.data());
        if (bFound && !oArchive->moData.buffer().isEmpty())
            oPictures.Keep(sKey, aoBitmap);
    } else {
        oArchive->moData.buffer().clear();
        ClearBitmap(aoBitmap);
    }
    CloseResArchive(oArchive);
}

void TFaceRes::GetSVG(IPaopaoView &aoSVG, TYPE_FACE_ITEM fiType, qint32 aiIndex, TYPE_IMAGE_FILE ifType,
                      bool abLangCN)
{
    PSTRU_RES_ARCHIVE oArchive = OpenResArchive(BITMAP_RES_NAME);
    const QString sName = GetItemResName(fiType, aiIndex, ifType);
    if (sName.isEmpty()) {
        oArchive->moData.buffer().clear();
        aoSVG.ClearDocument();
        return;
    }
    // A member the archive lacks leaves the data empty, which the XML parser
    // then refuses.
    if (!ReadResFile(*oArchive, sName, false, abLangCN))
        oArchive->moData.buffer().clear();
    QBuffer &oData = oArchive->moData;

    // Nothing the user sees changes until the new document has loaded: a
    // broken bubble must not move, show or empty the current one.
    const QString sPreviousText = gsPaopaoText;
    float X = 0;
    float Y = 0;
    bool bLoading = false;
    try {
        PreparePaopaoDocument(oData, X, Y);
        oData.seek(0);
        bLoading = true;
        aoSVG.LoadDocument(oData);
    } catch (...) {
        gsPaopaoText = sPreviousText;
        // The view still shows the current bubble unless the new one got as far
        // as loading.
        if (bLoading && goPaopaoStream && goPaopaoStream->size() > 0) {
            goPaopaoStream->seek(0);
            aoSVG.LoadDocument(*goPaopaoStream);
        } else if (bLoading) {
            aoSVG.ClearDocument();
        }
        throw;
    }
    aoSVG.ShowEditButton(!gsPaopaoText.isEmpty());
    aoSVG.MoveFrame(QPointF(X, Y));
    if (goPaopaoStream) {
        goPaopaoStream->buffer() = oData.data();
        goPaopaoStream->seek(0);
    }
    aoSVG.SizeFrameToDocument();
}

void TFaceRes::GetBitmaps(std::vector<QImage> &aoBitmaps, TYPE_FACE_ITEM fiType, TYPE_IMAGE_FILE ifType,
                          bool abLangCN)
{
    aoBitmaps.clear();
    const TFaceItemDataList *oItems = GetFaceItem(fiType);
    if (!oItems || oItems->empty())
        return;
    PSTRU_RES_ARCHIVE oArchive = OpenResArchive(BITMAP_RES_NAME);
    aoBitmaps.reserve(oItems->size());
    for (size_t i = 0; i < oItems->size(); ++i) {
        const QString sName = GetItemResName(fiType, qint32(i), ifType);
        // A member that is not there must not show the one read before it.
        if (sName.isEmpty() || !ReadResFile(*oArchive, sName, ifType == ifFile || ifType == ifMask, abLangCN))
            oArchive->moData.buffer().clear();
        QImage oBitmap;
        LoadBitmapFromData(oBitmap, oArchive->moData.data());
        aoBitmaps.push_back(std::move(oBitmap));
    }
    CloseResArchive(oArchive);
}
