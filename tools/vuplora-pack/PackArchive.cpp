#include "PackArchive.h"

#include "assets/ArchiveReader.h"
#include "assets/FaceIndexReader.h"
#include "assets/vpCrypt.h"
#include "imageio/png_codec.h"
#include "platform/safewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <zip.h>

#include <algorithm>
#include <ctime>

namespace {

// 2020-01-01 00:00 UTC: the same sources give byte-identical archives.
constexpr time_t FIXED_MTIME = 1577836800;

const QString EXPECTED_NAMES = QStringLiteral(
    "expected res1.json, res2.json, <32 lowercase hex digits>.png or .jpg, <digits>_thumb.png or "
    "_thumb.jpg, <digits>_thumb_cn.png, <digits>.svg or <digits>_cn.svg");

[[noreturn]] void RaiseZipWrite(const QString &asWhat, zip_error_t *aoError)
{
    throw EPackError(QStringLiteral("Writing the archive failed (%1): %2")
                         .arg(asWhat, QString::fromUtf8(zip_error_strerror(aoError))));
}

bool IsImageData(const QByteArray &aoData)
{
    static const QByteArray JPEG_SIGNATURE("\xFF\xD8\xFF", 3);
    return PngSignature(aoData) || aoData.startsWith(JPEG_SIGNATURE);
}

// Checks that the members an index names exist and are of the kind the
// application will read them as: the thumbnail plain as a picture, the mask
// decrypted as a picture, the full image of a bubble plain as an SVG document
// and that of any other item decrypted as a picture.
void CheckIndexReferences(const QString &asIndexName, const TFaceItemLists &aoLists,
                          const QSet<QString> &aoMemberNames, QStringList *aoWarnings)
{
    for (const auto &oList : aoLists) {
        const QString sCategory = QString::fromLatin1(FACE_ITEM_NAMES[oList->moType]);
        const bool bBubble = oList->moType == fiPaopao;
        for (const auto &oItem : oList->moItemList) {
            // Said only when something is wrong: most items of a large index are not.
            const auto where = [&] {
                return QStringLiteral("%1: %2 item %3").arg(asIndexName, sCategory).arg(oItem->miIndex);
            };
            const struct {
                const char *Field;
                QByteArray Name;
                TMemberKind Kind;
                const char *What;
            } oRefs[] = {{"fileName", oItem->msFileName, bBubble ? TMemberKind::Bubble : TMemberKind::Image,
                          bBubble ? "a full image, which for a bubble is an SVG document"
                                  : "a full image, which outside the bubbles is a PNG or JPEG"},
                         {"thumbFile", oItem->msThumb, TMemberKind::Thumbnail, "a thumbnail"},
                         {"maskFile", oItem->msMask, TMemberKind::Image, "a mask"}};
            for (const auto &oRef : oRefs) {
                if (oRef.Name.isEmpty())
                    continue;
                const QString sName = FromMemberName(oRef.Name);
                if (ClassifyMember(sName.toLower()) != oRef.Kind) {
                    throw EPackError(QStringLiteral("%1: %2 '%3' is not a name the application can read as %4")
                                         .arg(where(), QLatin1String(oRef.Field), sName, QLatin1String(oRef.What)));
                }
                if (aoWarnings && !aoMemberNames.contains(sName.toLower()))
                    aoWarnings->append(QStringLiteral("%1: %2 '%3' is not in the pack")
                                           .arg(where(), QLatin1String(oRef.Field), sName));
            }
        }
    }
}

} // namespace

std::optional<TMemberKind> ClassifyMember(const QString &asName)
{
    // Checked by hand rather than by regular expressions: an index of many items asks
    // this for three names an item, and a match allocates.
    const QStringView name(asName);
    if (name == u"res1.json" || name == u"res2.json")
        return TMemberKind::Index;
    constexpr qsizetype STEM = 32;
    if (name.size() <= STEM)
        return std::nullopt;
    for (const QChar c : name.first(STEM))
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return std::nullopt;
    const QStringView rest = name.sliced(STEM);
    if (rest == u".png" || rest == u".jpg")
        return TMemberKind::Image;
    if (rest == u"_thumb.png" || rest == u"_thumb.jpg" || rest == u"_thumb_cn.png" || rest == u"_thumb_cn.jpg")
        return TMemberKind::Thumbnail;
    if (rest == u".svg" || rest == u"_cn.svg")
        return TMemberKind::Bubble;
    return std::nullopt;
}

bool IsEncryptedKind(TMemberKind aoKind)
{
    return aoKind == TMemberKind::Index || aoKind == TMemberKind::Image;
}

QByteArray WriteZipArchive(const std::vector<TZipEntry> &aoEntries)
{
    zip_error_t oError;
    zip_error_init(&oError);
    zip_source_t *oBuffer = zip_source_buffer_create(nullptr, 0, 0, &oError);
    if (!oBuffer)
        RaiseZipWrite(QStringLiteral("buffer"), &oError);
    zip_t *oZip = zip_open_from_source(oBuffer, ZIP_TRUNCATE, &oError);
    if (!oZip) {
        zip_source_free(oBuffer);
        RaiseZipWrite(QStringLiteral("open"), &oError);
    }
    // The buffer has to survive zip_close, which writes into it.
    zip_source_keep(oBuffer);
    const auto fail = [&](const QString &asWhat) {
        const QString sReason = QString::fromUtf8(zip_strerror(oZip));
        zip_discard(oZip);
        zip_source_free(oBuffer);
        throw EPackError(QStringLiteral("Writing the archive failed (%1): %2").arg(asWhat, sReason));
    };

    for (const TZipEntry &oEntry : aoEntries) {
        const QByteArray sName = oEntry.Name.toUtf8();
        // The entry's bytes stay alive in aoEntries until zip_close has read them.
        zip_source_t *oData = zip_source_buffer(oZip, oEntry.Data.constData(), zip_uint64_t(oEntry.Data.size()), 0);
        if (!oData)
            fail(oEntry.Name);
        const zip_int64_t iIndex = zip_file_add(oZip, sName.constData(), oData, ZIP_FL_ENC_UTF_8);
        if (iIndex < 0) {
            zip_source_free(oData);
            fail(oEntry.Name);
        }
        if (zip_set_file_compression(oZip, zip_uint64_t(iIndex), ZIP_CM_DEFLATE, 9) < 0
            || zip_file_set_mtime(oZip, zip_uint64_t(iIndex), FIXED_MTIME, 0) < 0)
            fail(oEntry.Name);
    }
    if (zip_close(oZip) < 0)
        fail(QStringLiteral("close"));

    QByteArray oResult;
    zip_stat_t oStat;
    zip_stat_init(&oStat);
    const bool bRead = zip_source_stat(oBuffer, &oStat) == 0 && zip_source_open(oBuffer) == 0;
    if (bRead) {
        oResult.resize(qsizetype(oStat.size));
        const zip_int64_t iRead = zip_source_read(oBuffer, oResult.data(), oStat.size);
        zip_source_close(oBuffer);
        if (iRead != zip_int64_t(oStat.size))
            oResult.clear();
    }
    zip_source_free(oBuffer);
    if (!bRead || (oResult.isEmpty() && oStat.size > 0))
        throw EPackError(QStringLiteral("Writing the archive failed: the result could not be read back"));
    return oResult;
}

QByteArray BuildPackArchive(const std::vector<TPackFile> &aoFiles, QStringList *aoWarnings)
{
    if (aoFiles.empty())
        throw EPackError(QStringLiteral("The pack has no members"));

    QSet<QString> oNames;
    for (const TPackFile &oFile : aoFiles) {
        if (!ClassifyMember(oFile.Name))
            throw EPackError(QStringLiteral("'%1' is not a pack member name (%2)").arg(oFile.Name, EXPECTED_NAMES));
        if (oNames.contains(oFile.Name))
            throw EPackError(QStringLiteral("'%1' is in the pack twice").arg(oFile.Name));
        oNames.insert(oFile.Name);
    }

    std::vector<const TPackFile *> oSorted;
    for (const TPackFile &oFile : aoFiles)
        oSorted.push_back(&oFile);
    std::sort(oSorted.begin(), oSorted.end(),
              [](const TPackFile *a, const TPackFile *b) { return a->Name < b->Name; });

    std::vector<TZipEntry> oEntries;
    oEntries.reserve(oSorted.size());
    for (const TPackFile *oFile : oSorted) {
        const TMemberKind kind = *ClassifyMember(oFile->Name);
        if ((kind == TMemberKind::Image || kind == TMemberKind::Thumbnail) && !IsImageData(oFile->Content))
            throw EPackError(QStringLiteral("'%1' is not a PNG or JPEG image").arg(oFile->Name));
        if (kind == TMemberKind::Index) {
            TFaceItemLists oLists;
            try {
                ReadFaceIndex(oFile->Content, oLists);
            } catch (const EVuploraError &e) {
                throw EPackError(QStringLiteral("%1: %2").arg(oFile->Name, e.Message()));
            }
            CheckIndexReferences(oFile->Name, oLists, oNames, aoWarnings);
        }
        oEntries.push_back({oFile->Name, IsEncryptedKind(kind) ? EncodeBytes(oFile->Content, GetResKey(oFile->Name))
                                                                : oFile->Content});
    }
    return WriteZipArchive(oEntries);
}

void BuildPack(const QString &asSrcDir, const QString &asOutZip, QStringList *aoWarnings)
{
    WriteWholeFile(asOutZip, BuildPackFromFolder(asSrcDir, aoWarnings));
}

QByteArray BuildPackFromFolder(const QString &asSrcDir, QStringList *aoWarnings)
{
    const QDir oDir(asSrcDir);
    if (!QFileInfo(asSrcDir).isDir())
        throw EPackError(QStringLiteral("'%1' is not a folder").arg(asSrcDir));
    const QString sRoot = QFileInfo(asSrcDir).canonicalFilePath();

    std::vector<TPackFile> oFiles;
    const QFileInfoList oEntries =
        oDir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo &oInfo : oEntries) {
        if (oInfo.fileName().startsWith(u'.'))
            continue; // editor and file manager droppings
        // A link may name another member of the folder; one that leads out of it would
        // pack whatever file it reaches.
        if (oInfo.isSymLink()) {
            const QString sTarget = oInfo.canonicalFilePath();
            if (sTarget.isEmpty() || !sTarget.startsWith(sRoot + u'/'))
                throw EPackError(QStringLiteral("'%1' is a link that leads out of the pack folder")
                                     .arg(oInfo.filePath()));
        }
        if (!oInfo.isFile())
            throw EPackError(QStringLiteral("'%1' is not a file; a pack folder holds only its members")
                                 .arg(oInfo.filePath()));
        oFiles.push_back({oInfo.fileName(), ReadWholeFile(oInfo.filePath(), MAX_MEMBER_BYTES)});
    }
    if (oFiles.empty())
        throw EPackError(QStringLiteral("'%1' holds no members").arg(asSrcDir));
    return BuildPackArchive(oFiles, aoWarnings);
}

std::vector<TPackListEntry> ListPack(const QByteArray &aoArchive, const QString &asWhat)
{
    const TZipReader oZip(OpenZipFromMemory(aoArchive, asWhat));
    std::vector<TPackListEntry> oList;
    const qint64 iCount = ArchiveMemberCount(oZip.get());
    for (qint64 i = 0; i < iCount; ++i) {
        TPackListEntry oEntry;
        oEntry.Name = QString::fromUtf8(ArchiveMemberName(oZip.get(), i));
        oEntry.Kind = ClassifyMember(oEntry.Name.toLower());
        const TArchiveMemberSizes oSizes = ArchiveMemberSizes(oZip.get(), i);
        oEntry.Compressed = oSizes.Compressed;
        oEntry.Uncompressed = oSizes.Uncompressed;
        oList.push_back(oEntry);
    }
    return oList;
}

QString PrintableText(const QString &asText)
{
    const auto escaped = [](QChar c) { return c == u'\\' || c.category() == QChar::Other_Control; };
    // Most names need nothing: they are shared, not copied character by character.
    if (std::none_of(asText.begin(), asText.end(), escaped))
        return asText;
    QString sOut;
    sOut.reserve(asText.size());
    for (const QChar c : asText) {
        if (c == u'\\')
            sOut += QStringLiteral("\\\\");
        else if (c == u'\n')
            sOut += QStringLiteral("\\n");
        else if (c == u'\r')
            sOut += QStringLiteral("\\r");
        else if (c == u'\t')
            sOut += QStringLiteral("\\t");
        else if (escaped(c))
            sOut += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            sOut += c;
    }
    return sOut;
}

QByteArray ExtractMember(const QByteArray &aoArchive, const QString &asWhat, const QString &asMember)
{
    const TZipReader oZip(OpenZipFromMemory(aoArchive, asWhat));
    const qint64 iIndex = FindArchiveMember(oZip.get(), asMember);
    if (iIndex < 0)
        throw EPackError(QStringLiteral("'%1' has no member '%2'").arg(asWhat, asMember));
    const QByteArray oStored = ReadArchiveMember(oZip.get(), iIndex, asMember);
    const std::optional<TMemberKind> kind = ClassifyMember(asMember.toLower());
    if (!kind || !IsEncryptedKind(*kind))
        return oStored;
    try {
        // The key comes from the name as asked for, as in the application.
        return DecodeBytes(oStored, GetResKey(asMember));
    } catch (const EVuploraError &e) {
        throw EPackError(QStringLiteral("'%1' does not decode: %2").arg(asMember, e.Message()));
    }
}

QByteArray ReadWholeFile(const QString &asPath, qint64 aiMaxBytes)
{
    // Only regular files: a device or a pipe under the name may never end.
    const QFileInfo oInfo(asPath);
    if (oInfo.exists() && !oInfo.isFile())
        throw EPackError(QStringLiteral("Cannot read '%1': not a regular file").arg(asPath));
    if (oInfo.size() > aiMaxBytes)
        throw EPackError(QStringLiteral("Cannot read '%1': larger than %2 bytes").arg(asPath).arg(aiMaxBytes));
    QFile oFile(asPath);
    if (!oFile.open(QIODevice::ReadOnly))
        throw EPackError(QStringLiteral("Cannot read '%1': %2").arg(asPath, oFile.errorString()));
    return ReadAllBounded(oFile, asPath, aiMaxBytes);
}

QByteArray ReadAllBounded(QIODevice &aoDevice, const QString &asWhat, qint64 aiMaxBytes)
{
    QByteArray oData;
    while (oData.size() <= aiMaxBytes) {
        const QByteArray oChunk = aoDevice.read(std::min<qint64>(1 << 20, aiMaxBytes + 1 - oData.size()));
        if (oChunk.isEmpty())
            break;
        oData += oChunk;
    }
    if (oData.size() > aiMaxBytes)
        throw EPackError(QStringLiteral("Cannot read '%1': larger than %2 bytes").arg(asWhat).arg(aiMaxBytes));
    if (const auto *oFile = qobject_cast<QFileDevice *>(&aoDevice); oFile && oFile->error() != QFileDevice::NoError)
        throw EPackError(QStringLiteral("Cannot read '%1': %2").arg(asWhat, aoDevice.errorString()));
    return oData;
}

void WriteWholeFile(const QString &asPath, const QByteArray &aoData)
{
    try {
        SafeWriteFile(asPath, aoData);
    } catch (const ESafeWriteError &e) {
        throw EPackError(QStringLiteral("Cannot write '%1': %2").arg(asPath, e.Message()));
    }
}
