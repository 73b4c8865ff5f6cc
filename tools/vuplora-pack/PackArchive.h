#pragma once
// Building and inspecting asset archives: what the pack author's tool does,
// kept in a library so that tests and the test pack build use the same code.

#include "assets/ArchiveReader.h"
#include "errors/errors.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Bad input for the pack tool: the message says what to fix.
class EPackError : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};

enum class TMemberKind {
    Index,     // res1.json, res2.json
    Image,     // full-size image or mask: <32 hex digits>.png/.jpg
    Thumbnail, // <digits>_thumb.png/.jpg, <digits>_thumb_cn.png/.jpg
    Bubble,    // <digits>.svg, <digits>_cn.svg
};

// The kind a member name stands for, or nothing when a pack may not hold it.
std::optional<TMemberKind> ClassifyMember(const QString &asName);

// Indexes, full images and masks are encrypted; thumbnails and bubbles plain.
bool IsEncryptedKind(TMemberKind aoKind);

struct TZipEntry {
    QString Name;
    QByteArray Data; // stored as given, deflated
};

// A ZIP archive in memory: every entry deflated, entries in the given order,
// a fixed time stamp so that the same input gives the same bytes.
QByteArray WriteZipArchive(const std::vector<TZipEntry> &aoEntries);

struct TPackFile {
    QString Name;
    QByteArray Content; // the member's real content, before encryption
};

// Checks every name and content, encrypts what the member table asks for and
// writes the archive (members sorted by name). Problems a pack can live with,
// such as an index naming a member that is not there, go to aoWarnings.
QByteArray BuildPackArchive(const std::vector<TPackFile> &aoFiles, QStringList *aoWarnings = nullptr);

// BuildPackArchive over the files of a folder, written to asOutZip. Only regular
// files of at most MAX_MEMBER_BYTES are read; a link is followed only to a file of
// the same folder, else EPackError "'%1' is a link that leads out of the pack folder".
void BuildPack(const QString &asSrcDir, const QString &asOutZip, QStringList *aoWarnings = nullptr);
// The same archive in memory.
QByteArray BuildPackFromFolder(const QString &asSrcDir, QStringList *aoWarnings = nullptr);

struct TPackListEntry {
    QString Name;
    std::optional<TMemberKind> Kind;
    qint64 Compressed = -1;   // bytes in the archive
    qint64 Uncompressed = -1; // bytes after ZIP decompression (ciphertext when encrypted)
};

std::vector<TPackListEntry> ListPack(const QByteArray &aoArchive, const QString &asWhat);

// A name (or a message holding names) as the tool prints it: control characters
// as \n, \r, \t or \xHH and a backslash as \\, so that a name in an archive can
// neither forge a line of the listing nor hide what follows it.
QString PrintableText(const QString &asText);

// The real content of a member, decrypted and inflated when its name says it
// is encrypted. The member is found as the application finds it: first in
// archive order whose name equals asMember up to ASCII letter case.
QByteArray ExtractMember(const QByteArray &aoArchive, const QString &asWhat, const QString &asMember);

// The most bytes of an archive the tool reads: 512 MiB.
inline constexpr qint64 MAX_ARCHIVE_BYTES = 512 * 1024 * 1024;

// Reads a whole regular file of at most aiMaxBytes; EPackError "Cannot read '%1':
// <reason>" with the file name when that fails, the reason "not a regular file" or
// "larger than %2 bytes" among them.
QByteArray ReadWholeFile(const QString &asPath, qint64 aiMaxBytes = MAX_ARCHIVE_BYTES);
// The rest of an open stream (standard input), bounded and reported as above.
QByteArray ReadAllBounded(QIODevice &aoDevice, const QString &asWhat, qint64 aiMaxBytes);
// Writes a whole file atomically; EPackError when that fails. An existing name that
// is not a regular file (a device, a link, a folder) is left alone: EPackError
// "Cannot write '%1': it exists and is not a regular file".
void WriteWholeFile(const QString &asPath, const QByteArray &aoData);
