#include "assets/ArchiveReader.h"

#include "assets/AsciiCase.h"

#include <zip.h>

#include <algorithm>

namespace {

// Reading is chunked so that a size claimed by a damaged directory entry never
// turns into one huge allocation.
constexpr qsizetype READ_CHUNK = 256 * 1024;
constexpr zip_uint64_t MAX_RESERVE = 64 * 1024 * 1024;

struct TZipFileCloser {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};

[[noreturn]] void RaiseMemberError(const QString &asName, zip_error_t *aoError)
{
    throw EZipError(QStringLiteral("Reading archive member %1 failed: %2")
                        .arg(asName, QString::fromUtf8(zip_error_strerror(aoError))));
}

} // namespace

void TZipDiscard::operator()(zip_t *aoZip) const
{
    zip_discard(aoZip);
}

zip_t *OpenZipFromMemory(const QByteArray &aoBytes, const QString &asWhat)
{
    zip_error_t oError;
    zip_error_init(&oError);
    zip_t *oZip = nullptr;
    // libzip takes zero bytes for an empty archive; even an empty archive has
    // its 22-byte end record, so nothing at all is a truncated one.
    if (aoBytes.isEmpty())
        zip_error_set(&oError, ZIP_ER_NOZIP, 0);
    // libzip reads the caller's memory and must not free it.
    zip_source_t *oSource =
        aoBytes.isEmpty() ? nullptr
                          : zip_source_buffer_create(aoBytes.constData(), zip_uint64_t(aoBytes.size()), 0, &oError);
    if (oSource) {
        oZip = zip_open_from_source(oSource, ZIP_RDONLY, &oError);
        if (!oZip)
            zip_source_free(oSource);
    }
    if (!oZip) {
        const QString sReason = QString::fromUtf8(zip_error_strerror(&oError));
        zip_error_fini(&oError);
        throw EZipError(QStringLiteral("%1 is not a valid archive: %2").arg(asWhat, sReason));
    }
    zip_error_fini(&oError);
    return oZip;
}

qint64 ArchiveMemberCount(zip_t *aoZip)
{
    return std::max<qint64>(0, zip_get_num_entries(aoZip, 0));
}

QByteArray ArchiveMemberName(zip_t *aoZip, qint64 aiIndex)
{
    const char *sName = zip_get_name(aoZip, zip_uint64_t(aiIndex), 0);
    return sName ? QByteArray(sName) : QByteArray();
}

qint64 FindArchiveMember(zip_t *aoZip, const QString &asName)
{
    const QByteArray sName = asName.toUtf8();
    const zip_int64_t iCount = zip_get_num_entries(aoZip, 0);
    for (zip_int64_t i = 0; i < iCount; ++i) {
        const char *sMember = zip_get_name(aoZip, zip_uint64_t(i), 0);
        if (sMember && EqualIgnoringAsciiCase(QByteArrayView(sMember), sName))
            return i;
    }
    return -1;
}

TArchiveMemberIndex::TArchiveMemberIndex(zip_t *aoZip)
{
    const zip_int64_t iCount = zip_get_num_entries(aoZip, 0);
    mFirst.reserve(qsizetype(std::max<zip_int64_t>(0, iCount)));
    for (zip_int64_t i = 0; i < iCount; ++i) {
        const char *sMember = zip_get_name(aoZip, zip_uint64_t(i), 0);
        if (!sMember)
            continue;
        // A later member of the same name never shadows the first.
        QByteArray sKey = LowerAsciiOnly(QByteArrayView(sMember));
        if (!mFirst.contains(sKey))
            mFirst.insert(std::move(sKey), qint64(i));
    }
}

qint64 TArchiveMemberIndex::Find(const QString &asName) const
{
    return mFirst.value(LowerAsciiOnly(asName.toUtf8()), -1);
}

TArchiveMemberSizes ArchiveMemberSizes(zip_t *aoZip, qint64 aiIndex)
{
    TArchiveMemberSizes oSizes;
    zip_stat_t oStat;
    zip_stat_init(&oStat);
    if (zip_stat_index(aoZip, zip_uint64_t(aiIndex), 0, &oStat) == 0) {
        if (oStat.valid & ZIP_STAT_COMP_SIZE)
            oSizes.Compressed = qint64(oStat.comp_size);
        if (oStat.valid & ZIP_STAT_SIZE)
            oSizes.Uncompressed = qint64(oStat.size);
    }
    return oSizes;
}

QByteArray ReadArchiveMember(zip_t *aoZip, qint64 aiIndex, const QString &asName)
{
    // The declared size bounds the reading, so that a member of repeated bytes cannot
    // inflate to more than its entry admits; a size the entry leaves out still meets
    // the general cap.
    const qint64 iAnnounced = ArchiveMemberSizes(aoZip, aiIndex).Uncompressed;
    if (iAnnounced > MAX_MEMBER_BYTES)
        throw EZipError(QStringLiteral("Archive member %1 is too large: it declares %2 bytes (at most %3)")
                            .arg(asName)
                            .arg(iAnnounced)
                            .arg(MAX_MEMBER_BYTES));
    const qint64 iLimit = iAnnounced >= 0 ? iAnnounced : MAX_MEMBER_BYTES;

    std::unique_ptr<zip_file_t, TZipFileCloser> oFile(zip_fopen_index(aoZip, zip_uint64_t(aiIndex), 0));
    if (!oFile)
        RaiseMemberError(asName, zip_get_error(aoZip));

    // One byte beyond the limit lets the end be seen without growing.
    const zip_uint64_t iExpected = std::min(zip_uint64_t(iLimit), MAX_RESERVE);
    QByteArray oContent(qsizetype(iExpected) + 1, Qt::Uninitialized);

    qsizetype iUsed = 0;
    for (;;) {
        if (iUsed > iLimit) {
            if (iAnnounced >= 0)
                throw EZipError(QStringLiteral("Archive member %1 inflates beyond its declared size of %2 bytes")
                                    .arg(asName)
                                    .arg(iAnnounced));
            throw EZipError(
                QStringLiteral("Archive member %1 inflates beyond %2 bytes").arg(asName).arg(MAX_MEMBER_BYTES));
        }
        if (iUsed == oContent.size())
            oContent.resize(std::min<qsizetype>(iUsed + std::max<qsizetype>(READ_CHUNK, iUsed / 2), iLimit + 1));
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
