#include "assets/vpCrypt.h"

#include <QBuffer>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Built into the decoder; every key is derived from a member name and this salt.
constexpr char RES_KEY_SALT[] = "qeltmox";

constexpr int AES_BLOCK = 16;
// Whole blocks per read; a multiple of AES_BLOCK so that only the last read can be short.
constexpr qint64 CRYPT_CHUNK = 64 * 1024;
constexpr qint64 ZLIB_CHUNK = 64 * 1024;

const QString DEST_NOT_CREATED = QStringLiteral("Dest stream not created.");

struct CipherCtxDeleter {
    void operator()(EVP_CIPHER_CTX *ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CipherCtx = std::unique_ptr<EVP_CIPHER_CTX, CipherCtxDeleter>;

const EVP_CIPHER *CipherFor(int keyType)
{
    switch (keyType) {
    case 0: return EVP_aes_128_ecb();
    case 1: return EVP_aes_192_ecb();
    case 2: return EVP_aes_256_ecb();
    default: return nullptr;
    }
}

// The AES key is the key text itself (the ASCII codes of the hex digits), copied
// into a zeroed buffer of the key size: cut when longer, zero-filled when shorter.
class KeyMaterial {
public:
    KeyMaterial(const QByteArray &keyText, const EVP_CIPHER *cipher)
        : mSize(EVP_CIPHER_get_key_length(cipher))
    {
        std::memcpy(mKey, keyText.constData(), size_t(std::min<qsizetype>(mSize, keyText.size())));
    }
    ~KeyMaterial() { OPENSSL_cleanse(mKey, sizeof mKey); }
    KeyMaterial(const KeyMaterial &) = delete;
    KeyMaterial &operator=(const KeyMaterial &) = delete;
    const unsigned char *data() const { return mKey; }

private:
    int mSize;
    unsigned char mKey[32] = {};
};

CipherCtx NewCipher(const QByteArray &keyText, const EVP_CIPHER *cipher, bool encrypt)
{
    CipherCtx ctx(EVP_CIPHER_CTX_new());
    const KeyMaterial key(keyText, cipher);
    if (!ctx || EVP_CipherInit_ex(ctx.get(), cipher, nullptr, key.data(), nullptr, encrypt ? 1 : 0) != 1
        || EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1)
        throw EAESError(QStringLiteral("Cipher initialisation failed"));
    return ctx;
}

// Transforms whole blocks; without padding the output has the input's length.
void CryptBlocks(EVP_CIPHER_CTX *ctx, const char *in, char *out, qint64 length)
{
    int outLength = 0;
    if (EVP_CipherUpdate(ctx, reinterpret_cast<unsigned char *>(out), &outLength,
                         reinterpret_cast<const unsigned char *>(in), int(length)) != 1
        || outLength != length)
        throw EAESError(QStringLiteral("Cipher operation failed"));
}

// Reads until length bytes arrived or the device has no more; -1 on a read error.
qint64 ReadFully(QIODevice *device, char *data, qint64 length)
{
    qint64 total = 0;
    while (total < length) {
        const qint64 got = device->read(data + total, length - total);
        if (got < 0)
            return total > 0 ? total : -1;
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

void WriteAll(QIODevice *dest, const char *data, qint64 length, const QString &message)
{
    if (length > 0 && dest->write(data, length) != length)
        throw EVuploraError(message);
}

void RewindSource(QIODevice *source)
{
    if (!source)
        throw EVuploraError(QStringLiteral("Source stream not created."));
    if (!source->isSequential() && !source->seek(0))
        throw EVuploraError(QStringLiteral("Stream seek error"));
}

void Deflate(const QByteArray &content, QByteArray &compressed)
{
    uLongf length = compressBound(uLong(content.size()));
    compressed.resize(qsizetype(length));
    const int rc = compress2(reinterpret_cast<Bytef *>(compressed.data()), &length,
                             reinterpret_cast<const Bytef *>(content.constData()), uLong(content.size()),
                             Z_DEFAULT_COMPRESSION);
    if (rc != Z_OK)
        throw EZDecompressionError(QString::fromLatin1(zError(rc)));
    compressed.resize(qsizetype(length));
}

struct InflateGuard {
    z_stream *stream;
    ~InflateGuard() { inflateEnd(stream); }
};

} // namespace

QString GetMD5Hex(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        bytes[i] = unit > 127 ? '?' : char(unit);
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestLength = 0;
    if (EVP_Digest(bytes.constData(), size_t(bytes.size()), digest, &digestLength, EVP_md5(), nullptr) != 1)
        throw EVuploraError(QStringLiteral("MD5 digest failed"));

    static constexpr char HEX[] = "0123456789ABCDEF";
    QString hex(qsizetype(digestLength) * 2, Qt::Uninitialized);
    for (unsigned int i = 0; i < digestLength; ++i) {
        hex[2 * i] = QLatin1Char(HEX[digest[i] >> 4]);
        hex[2 * i + 1] = QLatin1Char(HEX[digest[i] & 0x0F]);
    }
    return hex;
}

QByteArray GetResKey(const QString &memberName)
{
    QString name = memberName;
    const qsizetype slash = name.indexOf(u'/');
    if (slash >= 0)
        name.remove(0, slash + 1);
    for (QChar &c : name) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    // UTF-8 bytes read back as single-byte text: every byte of a non-ASCII
    // character becomes one character above 127, which the hash turns into '?'.
    name = QString::fromLatin1(name.toUtf8());
    return GetMD5Hex(name + QLatin1String(RES_KEY_SALT)).toLatin1();
}

bool DecryptStream(QIODevice *source, const QByteArray &keyText, QIODevice *dest, int keyType)
{
    if (!dest)
        throw EVuploraError(DEST_NOT_CREATED);
    try {
        RewindSource(source);
        qint64 count = source->size() - source->pos();
        const EVP_CIPHER *cipher = CipherFor(keyType);
        if (!cipher || count == 0)
            return true;
        if (count % AES_BLOCK != 0)
            throw EAESError(QStringLiteral("Invalid buffer size for decryption"));
        CipherCtx ctx = NewCipher(keyText, cipher, false);
        QByteArray in(qsizetype(std::min(count, CRYPT_CHUNK)), Qt::Uninitialized);
        QByteArray out(in.size(), Qt::Uninitialized);
        while (count >= AES_BLOCK) {
            const qint64 wanted = std::min(count, CRYPT_CHUNK);
            const qint64 got = std::max<qint64>(ReadFully(source, in.data(), wanted), 0);
            // Blocks that did arrive are still written, as a block-by-block loop would.
            const qint64 whole = got - got % AES_BLOCK;
            CryptBlocks(ctx.get(), in.constData(), out.data(), whole);
            WriteAll(dest, out.constData(), whole, QStringLiteral("Stream write error"));
            if (got < wanted)
                throw EAESError(QStringLiteral("Stream read error"));
            count -= wanted;
        }
    } catch (...) {
        // Every failure of the decryption is reported alike.
        throw EAESError(QStringLiteral("Decrypt stream error."));
    }
    return true;
}

void InflateStream(QIODevice *source, QIODevice *dest)
{
    if (!dest)
        throw EVuploraError(DEST_NOT_CREATED);
    RewindSource(source);

    z_stream stream{};
    int rc = inflateInit2(&stream, 15);
    if (rc != Z_OK)
        throw EZDecompressionError(QString::fromLatin1(zError(rc)));
    const InflateGuard guard{&stream};

    QByteArray in(ZLIB_CHUNK, Qt::Uninitialized);
    QByteArray out(ZLIB_CHUNK, Qt::Uninitialized);
    bool outputFull = false;
    qint64 written = 0;
    while (rc != Z_STREAM_END) {
        // A full output buffer may leave output pending inside zlib; drain it before
        // asking for more input, so that the end of the source loses nothing.
        if (stream.avail_in == 0 && !outputFull) {
            const qint64 got = source->read(in.data(), in.size());
            if (got < 0)
                throw EVuploraError(QStringLiteral("Stream read error"));
            // An empty source is an empty member; one that ends inside the stream
            // (its checksum included) is a truncated member, never a whole one.
            if (got == 0 && stream.total_in == 0)
                break;
            if (got == 0)
                throw EZDecompressionError(QString::fromLatin1(STREAM_ENDS_EARLY));
            stream.next_in = reinterpret_cast<Bytef *>(in.data());
            stream.avail_in = uInt(got);
        }
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = uInt(out.size());
        rc = inflate(&stream, Z_NO_FLUSH);
        if (rc == Z_NEED_DICT || (rc < 0 && rc != Z_BUF_ERROR))
            throw EZDecompressionError(QString::fromLatin1(zError(rc)));
        outputFull = stream.avail_out == 0;
        const qint64 produced = out.size() - qint64(stream.avail_out);
        written += produced;
        if (written > MAX_INFLATED_BYTES)
            throw EZDecompressionError(
                QStringLiteral("Decompressed content larger than %1 bytes").arg(MAX_INFLATED_BYTES));
        WriteAll(dest, out.constData(), produced, QStringLiteral("Stream write error"));
    }
}

void DecodeStream(QIODevice *source, QIODevice *dest, const QByteArray &keyText, int keyType)
{
    QByteArray plain;
    QBuffer buffer(&plain);
    buffer.open(QIODevice::ReadWrite);
    DecryptStream(source, keyText, &buffer, keyType);
    InflateStream(&buffer, dest);
}

void EncodeStream(QIODevice *source, QIODevice *dest, const QByteArray &keyText, int keyType)
{
    if (!dest)
        throw EVuploraError(DEST_NOT_CREATED);
    const EVP_CIPHER *cipher = CipherFor(keyType);
    if (!cipher)
        throw EAESError(QStringLiteral("Invalid key type %1").arg(keyType));
    RewindSource(source);
    const QByteArray content = source->readAll();

    QByteArray plain;
    Deflate(content, plain);
    // The reader ignores what follows the zlib stream, so the fill is plain zeros.
    plain.append(QByteArray((AES_BLOCK - plain.size() % AES_BLOCK) % AES_BLOCK, '\0'));

    QByteArray cipherText(plain.size(), Qt::Uninitialized);
    CipherCtx ctx = NewCipher(keyText, cipher, true);
    CryptBlocks(ctx.get(), plain.constData(), cipherText.data(), plain.size());
    WriteAll(dest, cipherText.constData(), cipherText.size(), QStringLiteral("Stream write error"));
}

namespace {

// Runs one of the member transformations from bytes in memory to bytes in memory.
QByteArray TransformBytes(void (*aoTransform)(QIODevice *, QIODevice *, const QByteArray &, int),
                          const QByteArray &input, const QByteArray &keyText, int keyType)
{
    QBuffer source;
    source.setData(input);
    source.open(QIODevice::ReadOnly);
    QByteArray output;
    QBuffer dest(&output);
    dest.open(QIODevice::WriteOnly);
    aoTransform(&source, &dest, keyText, keyType);
    return output;
}

} // namespace

QByteArray DecodeBytes(const QByteArray &member, const QByteArray &keyText, int keyType)
{
    return TransformBytes(DecodeStream, member, keyText, keyType);
}

QByteArray EncodeBytes(const QByteArray &content, const QByteArray &keyText, int keyType)
{
    return TransformBytes(EncodeStream, content, keyText, keyType);
}
