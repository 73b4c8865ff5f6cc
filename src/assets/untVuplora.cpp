#include "assets/untVuplora.h"

#include "assets/FaceIndexReader.h"
#include "assets/vpCrypt.h"
#include "platform/resources.h"

#include <zip.h>

#include <algorithm>

qint32 giPackIndex = 1;
TFaceRes *goFaceRes = nullptr;

namespace {

// The resource GetBitmap reads from, whatever LoadRes was given.
const QString BITMAP_RES_NAME = QStringLiteral("res_girl");

// Reading is chunked so that a size claimed by a damaged directory entry
// never turns into one huge allocation.
constexpr qsizetype READ_CHUNK = 256 * 1024;
constexpr zip_uint64_t MAX_RESERVE = 64 * 1024 * 1024;

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

bool EqualIgnoringAsciiCase(const char *asA, const QByteArray &asB)
{
    qsizetype i = 0;
    for (; asA[i] != '\0'; ++i) {
        if (i >= asB.size() || AsciiLower(asA[i]) != AsciiLower(asB[i]))
            return false;
    }
    return i == asB.size();
}

// First member, in archive order, whose name equals asName up to the case of
// ASCII letters; -1 when there is none.
zip_int64_t FindMember(zip_t *aoZip, const QString &asName)
{
    const QByteArray sName = asName.toUtf8();
    const zip_int64_t iCount = zip_get_num_entries(aoZip, 0);
    for (zip_int64_t i = 0; i < iCount; ++i) {
        const char *sMember = zip_get_name(aoZip, zip_uint64_t(i), 0);
        if (sMember && EqualIgnoringAsciiCase(sMember, sName))
            return i;
    }
    return -1;
}

struct TZipFileCloser {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};

[[noreturn]] void RaiseMemberError(const QString &asName, zip_error_t *aoError)
{
    throw EZipError(QStringLiteral("Reading archive member %1 failed: %2")
                        .arg(asName, QString::fromUtf8(zip_error_strerror(aoError))));
}

// The whole decompressed content of one member.
QByteArray ReadMember(zip_t *aoZip, zip_int64_t aiIndex, const QString &asName)
{
    std::unique_ptr<zip_file_t, TZipFileCloser> oFile(zip_fopen_index(aoZip, zip_uint64_t(aiIndex), 0));
    if (!oFile)
        RaiseMemberError(asName, zip_get_error(aoZip));

    // One byte beyond the announced size lets the end be seen without growing.
    zip_uint64_t iExpected = 0;
    zip_stat_t oStat;
    zip_stat_init(&oStat);
    if (zip_stat_index(aoZip, zip_uint64_t(aiIndex), 0, &oStat) == 0 && (oStat.valid & ZIP_STAT_SIZE))
        iExpected = std::min(oStat.size, MAX_RESERVE);
    QByteArray oContent(qsizetype(iExpected) + 1, Qt::Uninitialized);

    qsizetype iUsed = 0;
    for (;;) {
        if (iUsed == oContent.size())
            oContent.resize(iUsed + std::max<qsizetype>(READ_CHUNK, iUsed / 2));
        const zip_int64_t iRead =
            zip_fread(oFile.get(), oContent.data() + iUsed, zip_uint64_t(oContent.size() - iUsed));
        if (iRead < 0)
            RaiseMemberError(asName, zip_file_get_error(oFile.get()));
        if (iRead == 0)
            break;
        iUsed += qsizetype(iRead);
    }
    oContent.resize(iUsed);
    return oContent;
}

enum class TImageKind { Unknown, Png, Jpeg };

TImageKind ImageKindOf(const QByteArray &aoData)
{
    static const QByteArray PNG_SIGNATURE("\x89PNG\r\n\x1a\n", 8);
    if (aoData.startsWith(PNG_SIGNATURE))
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
    QImage oImage;
    if (kind == TImageKind::Unknown
        || !oImage.loadFromData(aoData, kind == TImageKind::Png ? "PNG" : "JPEG"))
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

STRU_RES_ARCHIVE::~STRU_RES_ARCHIVE()
{
    if (moZip)
        zip_discard(moZip);
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

PSTRU_RES_ARCHIVE TFaceRes::OpenResArchive(const QString &asResName) const
{
    const QString sName = asResName.isEmpty() ? msResName : asResName;
    auto oArchive = std::make_unique<STRU_RES_ARCHIVE>();
    oArchive->moResStream = ResourceProvider().Open(sName);
    oArchive->moData.open(QIODevice::ReadWrite);

    zip_error_t oError;
    zip_error_init(&oError);
    // Read straight from the resource's memory; libzip must not free it.
    zip_source_t *oSource = zip_source_buffer_create(oArchive->moResStream.constData(),
                                                     zip_uint64_t(oArchive->moResStream.size()), 0, &oError);
    if (oSource)
        oArchive->moZip = zip_open_from_source(oSource, ZIP_RDONLY, &oError);
    if (!oArchive->moZip) {
        if (oSource)
            zip_source_free(oSource);
        const QString sReason = QString::fromUtf8(zip_error_strerror(&oError));
        zip_error_fini(&oError);
        throw EZipError(QStringLiteral("Resource %1 is not a valid archive: %2").arg(sName, sReason));
    }
    zip_error_fini(&oError);
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

    zip_int64_t iMember = -1;
    if (abLangCN)
        iMember = FindMember(aoArchive.moZip, LanguageVariantName(asName));
    if (iMember < 0)
        iMember = FindMember(aoArchive.moZip, asName);
    if (iMember < 0)
        return false;

    QByteArray oContent = ReadMember(aoArchive.moZip, iMember, asName);
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
    ReadResFile(aoArchive, QString::fromLatin1(PACK_INDEX_FILES[giPackIndex]), true, false);
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
        ReadResFile(*oArchive, sName, ifType == ifFile || ifType == ifMask, abLangCN);
        LoadBitmapFromData(aoBitmap, oArchive->moData.data());
    } else {
        oArchive->moData.buffer().clear();
        ClearBitmap(aoBitmap);
    }
    CloseResArchive(oArchive);
}
