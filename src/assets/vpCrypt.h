#pragma once
// Decoder (and, for pack authors, encoder) of encrypted archive members: AES-ECB
// under a key derived from the member's name, over a zlib stream.

#include "errors/errors.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Raised inside the block loop; DecryptStream reports every failure of its
// guarded part as EAESError "Decrypt stream error.".
class EAESError : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};

// Corrupt or unreadable zlib data; the message is zlib's text for the error code
// ("data error" for corrupt data).
class EZDecompressionError : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};

// Key types: 0 = AES-128, 1 = AES-192, 2 = AES-256. The resource manager uses 2.
inline constexpr int RES_KEY_TYPE = 2;

// MD5 of the text as 32 uppercase hex digits; every UTF-16 code unit above 127
// is hashed as '?'.
QString GetMD5Hex(const QString &text);

// The 32-character key text of an archive member, derived from its name.
QByteArray GetResKey(const QString &memberName);

// Decrypts the whole of source (from its start) into dest at dest's position.
// Throws "Dest stream not created." for a null dest and EAESError
// "Decrypt stream error." for any other failure; a key type outside 0..2
// writes nothing. Returns true.
bool DecryptStream(QIODevice *source, const QByteArray &keyText, QIODevice *dest, int keyType);

// The most bytes InflateStream writes: 64 MiB. A zlib stream states no size, so
// this cap alone keeps a small member of repeated bytes from inflating to gigabytes.
inline constexpr qint64 MAX_INFLATED_BYTES = 64 * 1024 * 1024;

// Inflates the zlib stream held in source (from its start) and writes the bytes
// at dest's position. Bytes after the end of the stream are ignored. The header and
// the Adler-32 trailer must be valid: an empty source yields nothing, but one that
// ends inside the stream, its trailer included, fails with EZDecompressionError
// STREAM_ENDS_EARLY (dest keeps what was inflated before), since a member cut short
// is not a whole one; a wrong checksum is zlib's "data error". A stream that
// inflates to more than MAX_INFLATED_BYTES fails with EZDecompressionError
// "Decompressed content larger than 67108864 bytes" once that much has been written.
void InflateStream(QIODevice *source, QIODevice *dest);
inline constexpr char STREAM_ENDS_EARLY[] = "Compressed stream is truncated";

// DecryptStream into a temporary buffer, then InflateStream into dest.
void DecodeStream(QIODevice *source, QIODevice *dest, const QByteArray &keyText, int keyType);

// The inverse for pack authors: zlib-compresses source (from its start), fills
// the last 16-byte block with zero bytes and AES-ECB encrypts under the key,
// writing at dest's position. A key type outside 0..2 throws EAESError.
void EncodeStream(QIODevice *source, QIODevice *dest, const QByteArray &keyText, int keyType);

// In-memory shorthands of the two stream operations above.
QByteArray DecodeBytes(const QByteArray &member, const QByteArray &keyText, int keyType = RES_KEY_TYPE);
QByteArray EncodeBytes(const QByteArray &content, const QByteArray &keyText, int keyType = RES_KEY_TYPE);
