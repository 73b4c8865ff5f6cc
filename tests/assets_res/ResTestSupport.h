#pragma once
// Building small archives inside the tests and handing them to the resource
// manager through an in-memory resource provider.

#include "PackArchive.h"
#include "assets/untVuplora.h"
#include "assets/vpCrypt.h"
#include "platform/resources.h"

#include <QBuffer>
#include <QColor>
#include <QCryptographicHash>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <functional>
#include <vector>

inline std::ostream &operator<<(std::ostream &aoOut, const QString &asText)
{
    return aoOut << asText.toStdString();
}

// A member stem of the real form: 32 lowercase hex digits.
inline QString Stem(const QString &asSeed)
{
    return QString::fromLatin1(QCryptographicHash::hash(asSeed.toUtf8(), QCryptographicHash::Md5).toHex());
}

// Content stored the way the pack tool stores an encrypted member.
inline QByteArray Encrypted(const QString &asKeyName, const QByteArray &aoContent)
{
    return EncodeBytes(aoContent, GetResKey(asKeyName));
}

// AES-256-ECB of whole blocks under a member's key, without the zlib layer.
inline QByteArray EncryptedRaw(const QString &asKeyName, QByteArray aoPlain)
{
    aoPlain.append(QByteArray((16 - aoPlain.size() % 16) % 16, '\0'));
    const QByteArray oKey = GetResKey(asKeyName);
    QByteArray oOut(aoPlain.size(), '\0');
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    int iLen = 0;
    EVP_EncryptInit_ex(ctx, EVP_aes_256_ecb(), nullptr, reinterpret_cast<const unsigned char *>(oKey.constData()),
                       nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char *>(oOut.data()), &iLen,
                      reinterpret_cast<const unsigned char *>(aoPlain.constData()), int(aoPlain.size()));
    EVP_CIPHER_CTX_free(ctx);
    return oOut;
}

inline QImage Filled(QSize aoSize, QColor aoColor)
{
    QImage oImage(aoSize, QImage::Format_ARGB32_Premultiplied);
    oImage.fill(aoColor);
    return oImage;
}

inline QByteArray Encoded(const QImage &aoImage, const char *asFormat)
{
    QByteArray oBytes;
    QBuffer oBuffer(&oBytes);
    oBuffer.open(QIODevice::WriteOnly);
    aoImage.save(&oBuffer, asFormat);
    return oBytes;
}

inline QByteArray PngOf(QSize aoSize, QColor aoColor)
{
    return Encoded(Filled(aoSize, aoColor), "PNG");
}

struct TIndexItem {
    QString File;
    QString Thumb;
    QString Mask;
};

struct TIndexCategory {
    QString Type;
    std::vector<TIndexItem> Items;
};

// A pack index in the JSON form the application reads.
inline QByteArray IndexJson(const std::vector<TIndexCategory> &aoCategories)
{
    QString sJson = QStringLiteral("{\"c\": %1").arg(aoCategories.size());
    for (size_t i = 0; i < aoCategories.size(); ++i) {
        const TIndexCategory &oCat = aoCategories[i];
        sJson += QStringLiteral(", \"%1\": {\"type\": \"%2\", \"count\": %3").arg(i).arg(oCat.Type).arg(oCat.Items.size());
        for (size_t j = 0; j < oCat.Items.size(); ++j) {
            const TIndexItem &oItem = oCat.Items[j];
            sJson += QStringLiteral(", \"%1\": {\"id\": \"i%1\", \"fileName\": \"%2\", \"thumbFile\": \"%3\", "
                                    "\"maskFile\": \"%4\"}")
                         .arg(j)
                         .arg(oItem.File, oItem.Thumb, oItem.Mask);
        }
        sJson += QStringLiteral("}");
    }
    sJson += QStringLiteral("}");
    return sJson.toUtf8();
}

// Installs archives as the resource "RES_GIRL" for one test and restores the
// pack number afterwards.
class TResArchiveTest : public ::testing::Test {
protected:
    void SetUp() override { giPackIndex = 1; }
    void TearDown() override { giPackIndex = 1; }

    void Install(const QByteArray &aoArchive) { mProvider.Add(QStringLiteral("RES_GIRL"), aoArchive); }
    void Install(const std::vector<TZipEntry> &aoEntries) { Install(WriteZipArchive(aoEntries)); }

    TMemoryResourceProvider mProvider;
    TScopedResourceProvider mScope{mProvider};
};

// Runs aoAction and returns the message of the EVuploraError it raises, or
// "(no error)".
inline QString ErrorOf(const std::function<void()> &aoAction)
{
    try {
        aoAction();
    } catch (const EVuploraError &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}
