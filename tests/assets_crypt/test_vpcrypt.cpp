// Member decoding: key derivation, AES-ECB under the key text, zlib inflation,
// and the messages of every failure.

#include "assets/vpCrypt.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QRandomGenerator>

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

QByteArray FromHex(const char *hex) { return QByteArray::fromHex(hex); }

QByteArray Sequence(int length)
{
    QByteArray bytes(length, '\0');
    for (int i = 0; i < length; ++i)
        bytes[i] = char(i);
    return bytes;
}

QByteArray RandomBytes(int length, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray bytes(length, '\0');
    for (char &b : bytes)
        b = char(rng.bounded(256));
    return bytes;
}

QByteArray Compress(const QByteArray &content)
{
    uLongf length = compressBound(uLong(content.size()));
    QByteArray out(qsizetype(length), '\0');
    compress(reinterpret_cast<Bytef *>(out.data()), &length, reinterpret_cast<const Bytef *>(content.constData()),
             uLong(content.size()));
    out.resize(qsizetype(length));
    return out;
}

// Encrypts arbitrary plaintext (not necessarily a zlib stream) the way packs store
// members, so that the decoder's view of the plaintext can be chosen freely.
QByteArray EncryptRaw(QByteArray plain, const QByteArray &keyText, int keyType = 2)
{
    const EVP_CIPHER *ciphers[] = {EVP_aes_128_ecb(), EVP_aes_192_ecb(), EVP_aes_256_ecb()};
    unsigned char key[32] = {};
    memcpy(key, keyText.constData(), size_t(std::min<qsizetype>(keyText.size(), 16 + 8 * keyType)));
    while (plain.size() % 16 != 0)
        plain.append('\xA5');
    QByteArray out(plain.size(), '\0');
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    int length = 0;
    EVP_EncryptInit_ex(ctx, ciphers[keyType], nullptr, key, nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char *>(out.data()), &length,
                      reinterpret_cast<const unsigned char *>(plain.constData()), int(plain.size()));
    EVP_CIPHER_CTX_free(ctx);
    return out;
}

// A device that promises more bytes than it delivers.
class ShortReadDevice : public QIODevice {
public:
    ShortReadDevice(QByteArray data, qint64 missing) : mData(std::move(data)), mMissing(missing)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    qint64 size() const override { return mData.size() + mMissing; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min(maxSize, qint64(mData.size()) - pos());
        if (n <= 0)
            return -1;
        memcpy(data, mData.constData() + pos(), size_t(n));
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray mData;
    qint64 mMissing;
};

// A device that accepts only a fixed number of bytes and then refuses more.
class LimitedWriteDevice : public QIODevice {
public:
    explicit LimitedWriteDevice(qint64 capacity) : mCapacity(capacity) { open(QIODevice::WriteOnly); }
    QByteArray written;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        const qint64 n = std::min(length, mCapacity - qint64(written.size()));
        written.append(data, n);
        return n;
    }

private:
    qint64 mCapacity;
};

QBuffer *OpenBuffer(QBuffer &buffer, const QByteArray &data)
{
    buffer.setData(data);
    buffer.open(QIODevice::ReadWrite);
    return &buffer;
}

std::string MessageOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const EVuploraError &e) {
        return e.what();
    }
    return "(no error)";
}

const QByteArray KEY = GetResKey(QStringLiteral("res1.json"));

} // namespace

TEST(GetMD5Hex, MatchesRfc1321TestSuite)
{
    const struct {
        const char *text;
        const char *digest;
    } vectors[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
    };
    for (const auto &v : vectors)
        EXPECT_EQ(GetMD5Hex(QString::fromLatin1(v.text)), QLatin1String(v.digest)) << v.text;
}

TEST(GetMD5Hex, HashesEveryCodeUnitAbove127AsQuestionMark)
{
    EXPECT_EQ(GetMD5Hex(QStringLiteral("caf\u00E9")), GetMD5Hex(QStringLiteral("caf?")));
    // A surrogate pair is two code units, hence two question marks.
    EXPECT_EQ(GetMD5Hex(QStringLiteral("x\U0001F600")), GetMD5Hex(QStringLiteral("x??")));
}

TEST(GetResKey, IsTheMd5OfTheLowerCaseNameAndSalt)
{
    const QByteArray expected =
        QCryptographicHash::hash("res1.jsonqeltmox", QCryptographicHash::Md5).toHex().toUpper();
    EXPECT_EQ(GetResKey(QStringLiteral("res1.json")), expected);
}

TEST(GetResKey, DerivationRules)
{
    const auto md5 = [](const char *text) { return GetMD5Hex(QString::fromUtf8(text)).toLatin1(); };
    const struct {
        QString name;
        QByteArray key;
    } cases[] = {
        {QStringLiteral("RES1.JSON"), GetResKey(QStringLiteral("res1.json"))},
        {QStringLiteral("Res1.Json"), GetResKey(QStringLiteral("res1.json"))},
        {QStringLiteral("pack/res1.json"), GetResKey(QStringLiteral("res1.json"))},
        {QStringLiteral("/res1.json"), GetResKey(QStringLiteral("res1.json"))},
        // Only the first folder is dropped; the second slash stays in the hashed text.
        {QStringLiteral("a/B/Face_01.png"), md5("b/face_01.pngqeltmox")},
        // Each UTF-8 byte of a non-ASCII character is hashed as '?'; its case is kept.
        {QStringLiteral("\u00C9t\u00E9.png"), md5("??t??.pngqeltmox")},
        {QStringLiteral("\u4E2D.png"), md5("???.pngqeltmox")},
        {QString(), md5("qeltmox")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetResKey(c.name), c.key) << c.name.toStdString();
    EXPECT_EQ(GetResKey(QStringLiteral("hair/Hair_12.png")).size(), 32);
}

TEST(DecryptStream, MatchesFips197ExampleVectors)
{
    // The key text is the AES key itself: any bytes pass through unchanged.
    const struct {
        int keyType;
        int keyLength;
        const char *cipher;
    } vectors[] = {
        {0, 16, "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {1, 24, "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {2, 32, "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const auto &v : vectors) {
        QBuffer source, dest;
        OpenBuffer(source, FromHex(v.cipher).repeated(3));
        OpenBuffer(dest, {});
        EXPECT_TRUE(DecryptStream(&source, Sequence(v.keyLength), &dest, v.keyType));
        EXPECT_EQ(dest.data(), FromHex("00112233445566778899aabbccddeeff").repeated(3)) << v.keyType;
    }
}

TEST(DecryptStream, KeyTextIsCutOrZeroFilledToTheKeySize)
{
    const QByteArray content = "key material check";
    const struct {
        int keyType;
        QByteArray encodeKey;
        QByteArray decodeKey;
    } cases[] = {
        {0, KEY, KEY.left(16)},
        {1, KEY, KEY.left(24)},
        {2, QByteArray("abc"), QByteArray("abc") + QByteArray(29, '\0')},
        {2, QByteArray(), QByteArray(32, '\0')},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DecodeBytes(EncodeBytes(content, c.encodeKey, c.keyType), c.decodeKey, c.keyType), content)
            << c.keyType;
}

TEST(DecodeStream, RoundTripsForEveryKeyTypeAndSize)
{
    for (int keyType = 0; keyType <= 2; ++keyType) {
        for (int size : {0, 1, 15, 16, 17, 4096, 300000}) {
            const QByteArray content = RandomBytes(size, quint32(size + keyType));
            const QByteArray member = EncodeBytes(content, KEY, keyType);
            EXPECT_EQ(member.size() % 16, 0);
            EXPECT_EQ(DecodeBytes(member, KEY, keyType), content) << keyType << " " << size;
        }
    }
}

TEST(DecodeStream, EmptyMemberDecodesToNothing)
{
    EXPECT_EQ(DecodeBytes(QByteArray(), KEY), QByteArray());
}

TEST(DecodeStream, ReadsTheSourceFromItsStart)
{
    QBuffer source, dest;
    OpenBuffer(source, EncodeBytes("whole member", KEY));
    source.seek(source.size());
    OpenBuffer(dest, {});
    DecodeStream(&source, &dest, KEY, 2);
    EXPECT_EQ(dest.data(), QByteArray("whole member"));
}

TEST(DecodeStream, IgnoresBytesAfterTheZlibStream)
{
    const QByteArray content = RandomBytes(1000, 7);
    const QByteArray trailing = QByteArray(37, 'Z') + RandomBytes(64, 8);
    EXPECT_EQ(DecodeBytes(EncryptRaw(Compress(content) + trailing, KEY), KEY), content);
}

TEST(InflateStream, AStreamCutShortOrWithAWrongChecksumIsAnErrorEvenAfterMuchWasInflated)
{
    // Highly compressible, so that the inflated bytes far exceed one output buffer;
    // lengths just past a multiple of the buffer leave the last match pending when
    // the input is used up.
    const QByteArray random = RandomBytes(20000, 3);
    for (int extra : {0, 1, 250}) {
        const QByteArray content = QByteArray("0123456789abcdef").repeated(65536) + QByteArray(extra, '7');
        const QByteArray whole = Compress(content);
        QByteArray badSum = whole;
        badSum[badSum.size() - 1] = char(badSum[badSum.size() - 1] ^ 1);
        const struct {
            const char *Case;
            QByteArray Stream;
            const char *Says;
        } cases[] = {
            {"no checksum", whole.chopped(4), STREAM_ENDS_EARLY},
            {"half a checksum", whole.chopped(2), STREAM_ENDS_EARLY},
            {"cut in the deflate data", whole.left(whole.size() / 2), STREAM_ENDS_EARLY},
            {"the header alone", whole.left(2), STREAM_ENDS_EARLY},
            {"one byte", whole.left(1), STREAM_ENDS_EARLY},
            {"random data cut", Compress(random).left(10000), STREAM_ENDS_EARLY},
            {"a wrong checksum", badSum, "data error"},
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(c.Case);
            QBuffer source, dest;
            OpenBuffer(source, c.Stream);
            OpenBuffer(dest, {});
            EXPECT_EQ(MessageOf([&] { InflateStream(&source, &dest); }), c.Says) << extra;
            // Through the cipher too (the block fill may read as a wrong checksum then).
            EXPECT_NE(MessageOf([&] { DecodeBytes(EncryptRaw(c.Stream, KEY), KEY); }), "(no error)") << extra;
        }
    }
}

TEST(DecodeStream, StopsInflatingAtTheCap)
{
    // Zeros one byte beyond the cap, deflated a megabyte at a time: some 65 kB that a
    // decoder without a cap would turn into the whole amount.
    z_stream stream{};
    ASSERT_EQ(deflateInit(&stream, Z_BEST_COMPRESSION), Z_OK);
    const QByteArray zeros(1 << 20, '\0');
    QByteArray compressed;
    char out[1 << 16];
    for (qint64 left = MAX_INFLATED_BYTES + 1; left > 0;) {
        const qint64 now = std::min<qint64>(left, zeros.size());
        left -= now;
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.constData()));
        stream.avail_in = uInt(now);
        do {
            stream.next_out = reinterpret_cast<Bytef *>(out);
            stream.avail_out = sizeof out;
            deflate(&stream, left > 0 ? Z_NO_FLUSH : Z_FINISH);
            compressed.append(out, qsizetype(sizeof out - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    ASSERT_LT(compressed.size(), 1 << 20);
    EXPECT_EQ(MessageOf([&] { DecodeBytes(EncryptRaw(compressed, KEY), KEY); }),
              "Decompressed content larger than 67108864 bytes");
}

TEST(DecodeStream, AppendsAtTheDestinationPositionWithoutRewinding)
{
    QBuffer source, dest;
    OpenBuffer(source, EncodeBytes("content", KEY));
    OpenBuffer(dest, "HEAD");
    dest.seek(4);
    DecodeStream(&source, &dest, KEY, 2);
    EXPECT_EQ(dest.data(), QByteArray("HEADcontent"));
    EXPECT_EQ(dest.pos(), 11);

    // A second member goes after the first.
    source.seek(0);
    DecodeStream(&source, &dest, KEY, 2);
    EXPECT_EQ(dest.data(), QByteArray("HEADcontentcontent"));
}

TEST(DecryptStream, UnknownKeyTypeWritesNothingAndSucceeds)
{
    for (int keyType : {3, -1, 100}) {
        for (const QByteArray &member : {EncodeBytes("content", KEY), QByteArray(17, 'x')}) {
            QBuffer source, dest;
            OpenBuffer(source, member);
            OpenBuffer(dest, "keep");
            dest.seek(4);
            EXPECT_TRUE(DecryptStream(&source, KEY, &dest, keyType));
            source.seek(0);
            DecodeStream(&source, &dest, KEY, keyType);
            EXPECT_EQ(dest.data(), QByteArray("keep")) << keyType;
        }
    }
}

TEST(DecodeStream, FailureMessages)
{
    const QByteArray good = EncodeBytes(RandomBytes(5000, 11), KEY);
    QByteArray badChecksum = Compress("checksum");
    badChecksum[badChecksum.size() - 1] = char(badChecksum.back() ^ 1);

    const auto decode = [](QIODevice *source, QIODevice *dest, const QByteArray &key = KEY) {
        return [=] { DecodeStream(source, dest, key, 2); };
    };
    QBuffer sink;
    OpenBuffer(sink, {});
    QBuffer good1, b17, b33, notZlib, checksum, wrongKey, forRefused, forShort, forInflateWrite;
    ShortReadDevice shortRead(good.left(32), 16);
    LimitedWriteDevice refusing(0), limitedDecrypt(20), limitedInflate(100);

    const struct {
        const char *what;
        std::function<void()> call;
        const char *message;
    } cases[] = {
        {"null dest (decrypt)", [&] { DecryptStream(OpenBuffer(good1, good), KEY, nullptr, 2); },
         "Dest stream not created."},
        {"null dest (decode)", decode(&good1, nullptr), "Dest stream not created."},
        {"null dest (inflate)", [&] { InflateStream(&good1, nullptr); }, "Dest stream not created."},
        {"null source", decode(nullptr, &sink), "Decrypt stream error."},
        {"17 bytes", decode(OpenBuffer(b17, QByteArray(17, 'a')), &sink), "Decrypt stream error."},
        {"not a multiple of 16", decode(OpenBuffer(b33, good.left(33)), &sink), "Decrypt stream error."},
        {"short read", decode(&shortRead, &sink), "Decrypt stream error."},
        {"refused write", [&] { DecryptStream(OpenBuffer(forRefused, good), KEY, &refusing, 2); },
         "Decrypt stream error."},
        {"short write", [&] { DecryptStream(OpenBuffer(forShort, good), KEY, &limitedDecrypt, 2); },
         "Decrypt stream error."},
        {"not zlib", decode(OpenBuffer(notZlib, EncryptRaw("plain text, no zlib header", KEY)), &sink),
         "data error"},
        {"bad checksum", decode(OpenBuffer(checksum, EncryptRaw(badChecksum, KEY)), &sink), "data error"},
        {"wrong key", decode(OpenBuffer(wrongKey, good), &sink, GetResKey(QStringLiteral("res2.json"))),
         "data error"},
        {"inflated bytes refused", decode(OpenBuffer(forInflateWrite, good), &limitedInflate),
         "Stream write error"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MessageOf(c.call), c.message) << c.what;
}

TEST(DecryptStream, KeepsWhatWasWrittenBeforeAFailure)
{
    const QByteArray plain = RandomBytes(64, 5);
    ShortReadDevice source(EncryptRaw(plain, KEY).left(48), 16);
    QBuffer dest;
    OpenBuffer(dest, {});
    EXPECT_THROW(DecryptStream(&source, KEY, &dest, 2), EAESError);
    EXPECT_EQ(dest.data(), plain.left(48));
}

TEST(EncodeStream, RejectsUnknownKeyTypeAndMissingDest)
{
    QBuffer source;
    OpenBuffer(source, "x");
    EXPECT_EQ(MessageOf([&] { EncodeBytes("x", KEY, 3); }), "Invalid key type 3");
    EXPECT_EQ(MessageOf([&] { EncodeStream(&source, nullptr, KEY, 2); }), "Dest stream not created.");
}
