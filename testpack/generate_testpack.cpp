// Draws the members of the test pack into a folder: the items of every category
// for both packs, their thumbnails, the two pack indexes and the bubble
// documents with a Chinese variant. vuplora-pack turns the folder into the
// archive.

#include "TestPackArt.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTextStream>

#include <array>
#include <stdexcept>

namespace {

// Items per category, indexed by TYPE_FACE_ITEM.
constexpr std::array<int, FACE_ITEM_TYPE_COUNT> ITEM_COUNTS = {
    2, // fiEmoji
    3, // fiFace
    3, // fiHair
    3, // fiEye
    2, // fiNose
    3, // fiMouth
    2, // fiBrow
    2, // fiGlasses
    2, // fiHand
    3, // fiBG
    4, // fiPaopao
    2, // fiFG
};

// Categories in the order the index lists them; the editor does not care.
constexpr std::array<TYPE_FACE_ITEM, FACE_ITEM_TYPE_COUNT> INDEX_ORDER = {
    fiBG, fiHand, fiFace, fiHair, fiEye, fiBrow, fiNose, fiMouth, fiEmoji, fiGlasses, fiFG, fiPaopao,
};

// Real member names are 32 lowercase hex digits; these are the MD5 of a
// description, so they stay the same from build to build.
QString MemberStem(const QString &asDescription)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(("vuplora-testpack/" + asDescription).toUtf8(), QCryptographicHash::Md5).toHex());
}

class TPackWriter {
public:
    explicit TPackWriter(const QString &asDir) : mDir(asDir) {}

    void Write(const QString &asName, const QByteArray &aoData)
    {
        QFile oFile(mDir.filePath(asName));
        if (!oFile.open(QIODevice::WriteOnly) || oFile.write(aoData) != aoData.size())
            throw std::runtime_error("cannot write " + oFile.fileName().toStdString());
    }

    void WriteImage(const QString &asName, const QImage &aoImage)
    {
        const bool bJpeg = asName.endsWith(QStringLiteral(".jpg"));
        // JPEG has no alpha; flatten onto white first.
        QImage oImage = aoImage;
        if (bJpeg) {
            oImage = QImage(aoImage.size(), QImage::Format_RGB32);
            oImage.fill(Qt::white);
            QPainter(&oImage).drawImage(0, 0, aoImage);
        }
        if (!oImage.save(mDir.filePath(asName), bJpeg ? "JPEG" : "PNG", bJpeg ? 90 : -1))
            throw std::runtime_error("cannot write " + mDir.filePath(asName).toStdString());
    }

private:
    QDir mDir;
};

QJsonObject ItemObject(const QString &asId, const QString &asFile, const QString &asThumb, const QString &asMask)
{
    QJsonObject oItem;
    oItem.insert(QStringLiteral("id"), asId);
    oItem.insert(QStringLiteral("fileName"), asFile);
    oItem.insert(QStringLiteral("thumbFile"), asThumb);
    oItem.insert(QStringLiteral("maskFile"), asMask);
    return oItem;
}

QJsonObject BubbleItems(TPackWriter &aoWriter, int aiCount)
{
    QJsonObject oCategory;
    for (int i = 0; i < aiCount; ++i) {
        const QString sStem = MemberStem(QStringLiteral("bubble/%1").arg(i));
        aoWriter.Write(sStem + ".svg", BubbleDocument(i, false));
        aoWriter.WriteImage(sStem + "_thumb.png", DrawBubbleThumb(i, false));
        // The first two bubbles have a Chinese variant; the others fall back.
        if (i < 2) {
            aoWriter.Write(sStem + "_cn.svg", BubbleDocument(i, true));
            aoWriter.WriteImage(sStem + "_thumb_cn.png", DrawBubbleThumb(i, true));
        }
        oCategory.insert(QString::number(i), ItemObject(QStringLiteral("bubble%1").arg(i), sStem + ".svg",
                                                        sStem + "_thumb.png", QString()));
    }
    return oCategory;
}

QJsonObject ImageItems(TPackWriter &aoWriter, int aiPack, TYPE_FACE_ITEM fiType, int aiCount)
{
    const QString sCategory = QString::fromLatin1(FACE_ITEM_NAMES[fiType]);
    QJsonObject oCategory;
    for (int i = 0; i < aiCount; ++i) {
        const QString sStem = MemberStem(QStringLiteral("p%1/%2/%3").arg(aiPack).arg(sCategory).arg(i));
        // One JPEG background, so that both decoders are exercised.
        const QString sExt = (aiPack == 1 && fiType == fiBG && i == 2) ? QStringLiteral(".jpg") : QStringLiteral(".png");
        const QImage oItem = DrawTestItem(aiPack, fiType, i);
        aoWriter.WriteImage(sStem + sExt, oItem);
        aoWriter.WriteImage(sStem + "_thumb" + sExt, DrawTestThumb(oItem, i));
        QString sMask;
        // One item with a mask: the first face of pack 1.
        if (aiPack == 1 && fiType == fiFace && i == 0) {
            sMask = MemberStem(QStringLiteral("p1/Face/0/mask")) + ".png";
            aoWriter.WriteImage(sMask, DrawTestMask(fiType, i));
        }
        oCategory.insert(QString::number(i), ItemObject(QStringLiteral("%1%2").arg(sCategory.toLower()).arg(i),
                                                        sStem + sExt, sStem + "_thumb" + sExt, sMask));
    }
    return oCategory;
}

void WritePack(TPackWriter &aoWriter, int aiPack)
{
    QJsonObject oRoot;
    int iCategory = 0;
    for (const TYPE_FACE_ITEM fiType : INDEX_ORDER) {
        const int iCount = ITEM_COUNTS[fiType];
        QJsonObject oCategory = fiType == fiPaopao ? BubbleItems(aoWriter, iCount)
                                                   : ImageItems(aoWriter, aiPack, fiType, iCount);
        const QString sType = QString::fromLatin1(FACE_ITEM_NAMES[fiType]);
        // Pack 2 writes its numbers as strings and its type names in lower
        // case, both of which real indexes do.
        if (aiPack == 2) {
            oCategory.insert(QStringLiteral("type"), sType.toLower());
            oCategory.insert(QStringLiteral("count"), QString::number(iCount));
        } else {
            oCategory.insert(QStringLiteral("type"), sType);
            oCategory.insert(QStringLiteral("count"), iCount);
        }
        oCategory.insert(QStringLiteral("name"), QString(sType + " parts"));
        oRoot.insert(QString::number(iCategory++), oCategory);
    }
    if (aiPack == 2)
        oRoot.insert(QStringLiteral("c"), QString::number(iCategory));
    else
        oRoot.insert(QStringLiteral("c"), iCategory);
    aoWriter.Write(QStringLiteral("res%1.json").arg(aiPack), QJsonDocument(oRoot).toJson(QJsonDocument::Indented));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // text in thumbnails needs fonts
    if (argc != 2) {
        QTextStream(stderr) << "usage: vuplora_testpack_gen OUT_DIR\n";
        return 2;
    }
    const QString sDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(sDir)) {
        QTextStream(stderr) << "cannot create " << sDir << '\n';
        return 1;
    }
    try {
        TPackWriter oWriter(sDir);
        WritePack(oWriter, 1);
        WritePack(oWriter, 2);
    } catch (const std::exception &e) {
        QTextStream(stderr) << e.what() << '\n';
        return 1;
    }
    return 0;
}
