#pragma once
// Reading ZIP archives held in memory with libzip: the face resource manager and
// the pack tool share these, so both find members by the same rule.

#include "errors/errors.h"

#include <QByteArray>
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

// The whole decompressed content of a member; EZipError when the member cannot
// be decompressed or its checksum does not match.
QByteArray ReadArchiveMember(struct zip *aoZip, qint64 aiIndex, const QString &asName);

// Compressed and uncompressed size as the central directory states them.
struct TArchiveMemberSizes {
    qint64 Compressed = -1;
    qint64 Uncompressed = -1;
};
TArchiveMemberSizes ArchiveMemberSizes(struct zip *aoZip, qint64 aiIndex);
