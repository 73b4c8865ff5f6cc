#pragma once
// Reading ZIP archives held in memory with libzip: the face resource manager and
// the pack tool share these, so both find members by the same rule.

#include "errors/errors.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

struct zip;

// An archive that is not a readable ZIP, or a member that fails to decompress.
class EZipError : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};

// Opens the archive for reading straight from aoBytes, which must outlive the
// reader. A truncated or non-ZIP input fails with EZipError
// "%1 is not a valid archive: <reason>", asWhat in place of %1.
struct zip *OpenZipFromMemory(const QByteArray &aoBytes, const QString &asWhat);

struct TZipDiscard {
    void operator()(struct zip *aoZip) const;
};
using TZipReader = std::unique_ptr<struct zip, TZipDiscard>;

// Number of members of the archive.
qint64 ArchiveMemberCount(struct zip *aoZip);

// Name of a member as stored (UTF-8), or an empty string.
QByteArray ArchiveMemberName(struct zip *aoZip, qint64 aiIndex);

// First member, in archive order, whose name equals asName up to the case of
// ASCII letters; -1 when there is none.
qint64 FindArchiveMember(struct zip *aoZip, const QString &asName);

// The member names of one opened archive, so that many look-ups by the rule of
// FindArchiveMember cost no walk over the directory each.
class TArchiveMemberIndex {
public:
    explicit TArchiveMemberIndex(struct zip *aoZip);
    // As FindArchiveMember on the archive the index was built from.
    qint64 Find(const QString &asName) const;

private:
    QHash<QByteArray, qint64> mFirst; // ASCII-lower-cased name -> first member of that name
};

// The most bytes a member may hold decompressed: 64 MiB, far above any picture or
// index of a pack, far below what a small archive of repeated bytes can inflate to.
inline constexpr qint64 MAX_MEMBER_BYTES = 64 * 1024 * 1024;

// The whole decompressed content of a member; EZipError when the member cannot
// be decompressed or its checksum does not match. Inflating stops at the size the
// member declares and at MAX_MEMBER_BYTES: EZipError "Archive member %1 is too large:
// it declares %2 bytes (at most 67108864)" before anything is inflated, and
// "Archive member %1 inflates beyond its declared size of %2 bytes" or "Archive
// member %1 inflates beyond 67108864 bytes" as soon as it does.
QByteArray ReadArchiveMember(struct zip *aoZip, qint64 aiIndex, const QString &asName);

// Compressed and uncompressed size as the central directory states them.
struct TArchiveMemberSizes {
    qint64 Compressed = -1;
    qint64 Uncompressed = -1;
};
TArchiveMemberSizes ArchiveMemberSizes(struct zip *aoZip, qint64 aiIndex);
