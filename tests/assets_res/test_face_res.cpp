// The resource manager over the test pack compiled into this program as
// "RES_GIRL": both packs, lookups, and bitmaps compared with the drawn sources.

#include "ResTestSupport.h"
#include "TestPackPaths.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject SourceIndex(int aiPack)
{
    QFile oFile(QDir(TestPackMembersDir()).filePath(QStringLiteral("res%1.json").arg(aiPack)));
    EXPECT_TRUE(oFile.open(QIODevice::ReadOnly)) << oFile.fileName();
    return QJsonDocument::fromJson(oFile.readAll()).object();
}

// The source index's category of that type (names compared as the reader does).
QJsonObject SourceCategory(const QJsonObject &aoIndex, TYPE_FACE_ITEM fiType)
{
    for (const QString &sKey : aoIndex.keys()) {
        const QJsonObject oCat = aoIndex.value(sKey).toObject();
        if (oCat.value(QStringLiteral("type")).toString().compare(QLatin1String(FACE_ITEM_NAMES[fiType]),
                                                                   Qt::CaseInsensitive) == 0)
            return oCat;
    }
    return {};
}

int CountOf(const QJsonObject &aoCategory)
{
    return aoCategory.value(QStringLiteral("count")).toVariant().toInt();
}

QImage SourceImage(const QString &asMember)
{
    QImage oImage(QDir(TestPackMembersDir()).filePath(asMember));
    EXPECT_FALSE(oImage.isNull()) << asMember;
    return oImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool IsTransparent(const QImage &aoImage)
{
    for (int y = 0; y < aoImage.height(); ++y)
        for (int x = 0; x < aoImage.width(); ++x)
            if (aoImage.pixel(x, y) != 0)
                return false;
    return true;
}

class FaceResPackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        giPackIndex = 1;
        mRes.LoadRes(QStringLiteral("res_girl"));
    }
    void TearDown() override { giPackIndex = 1; }

    TFaceRes mRes;
};

} // namespace

TEST_F(FaceResPackTest, IndexOfEachPackMatchesItsSource)
{
    for (const int iPack : {1, 2}) {
        SCOPED_TRACE(iPack);
        giPackIndex = iPack;
        // Same name as before: every load reads the index again.
        mRes.LoadRes(QStringLiteral("res_girl"));
        EXPECT_EQ(mRes.ResName(), QStringLiteral("res_girl"));
        EXPECT_EQ(mRes.FaceItemLists().size(), size_t(FACE_ITEM_TYPE_COUNT));
        const QJsonObject oIndex = SourceIndex(iPack);
        for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
            const auto fiType = TYPE_FACE_ITEM(t);
            const QJsonObject oCat = SourceCategory(oIndex, fiType);
            const TFaceItemDataList *oItems = mRes.GetFaceItem(fiType);
            ASSERT_NE(oItems, nullptr) << FACE_ITEM_NAMES[t];
            ASSERT_EQ(int(oItems->size()), CountOf(oCat)) << FACE_ITEM_NAMES[t];
            for (int i = 0; i < CountOf(oCat); ++i) {
                const QJsonObject oItem = oCat.value(QString::number(i)).toObject();
                EXPECT_EQ(mRes.GetItemResName(fiType, i, ifFile), oItem.value(QStringLiteral("fileName")).toString());
                EXPECT_EQ(mRes.GetItemResName(fiType, i, ifThumb), oItem.value(QStringLiteral("thumbFile")).toString());
                EXPECT_EQ(mRes.GetItemResName(fiType, i, ifMask), oItem.value(QStringLiteral("maskFile")).toString());
            }
        }
    }
    // The two packs are different art.
    giPackIndex = 1;
    mRes.LoadRes(QStringLiteral("RES_GIRL"));
    const QString sPack1Face = mRes.GetItemResName(fiFace, 0, ifFile);
    giPackIndex = 2;
    mRes.LoadRes(QStringLiteral("RES_GIRL"));
    EXPECT_NE(mRes.GetItemResName(fiFace, 0, ifFile), sPack1Face);
}

TEST_F(FaceResPackTest, ItemPositionOutsideCategoryIsOutOfRange)
{
    const int iCount = int(mRes.GetFaceItem(fiHair)->size());
    for (const int iIndex : {-1, iCount, 1000}) {
        EXPECT_EQ(ErrorOf([&] { mRes.GetItemResName(fiHair, iIndex, ifFile); }),
                  QStringLiteral("Argument out of range"))
            << iIndex;
        QImage oBitmap;
        EXPECT_THROW(mRes.GetBitmap(oBitmap, fiHair, iIndex, ifThumb, false), EArgumentOutOfRange);
    }
}

TEST_F(FaceResPackTest, FullImagesThumbnailsAndMasksDecodeToTheirSources)
{
    // Every full image of pack 1 (PNG and one JPEG background) and its thumbnail.
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
        const auto fiType = TYPE_FACE_ITEM(t);
        if (fiType == fiPaopao)
            continue;
        for (int i = 0; i < int(mRes.GetFaceItem(fiType)->size()); ++i) {
            SCOPED_TRACE(testing::Message() << FACE_ITEM_NAMES[t] << " " << i);
            QImage oBitmap;
            mRes.GetBitmap(oBitmap, fiType, i, ifFile, false);
            EXPECT_EQ(oBitmap.format(), QImage::Format_ARGB32_Premultiplied);
            EXPECT_EQ(oBitmap.size(), FACE_ITEM_RECTS[t].size());
            EXPECT_TRUE(oBitmap == SourceImage(mRes.GetItemResName(fiType, i, ifFile)));

            mRes.GetBitmap(oBitmap, fiType, i, ifThumb, false);
            EXPECT_EQ(oBitmap.size(), QSize(100, 100));
            EXPECT_TRUE(oBitmap == SourceImage(mRes.GetItemResName(fiType, i, ifThumb)));
        }
    }

    QImage oMask;
    ASSERT_FALSE(mRes.GetItemResName(fiFace, 0, ifMask).isEmpty());
    mRes.GetBitmap(oMask, fiFace, 0, ifMask, false);
    EXPECT_TRUE(oMask == SourceImage(mRes.GetItemResName(fiFace, 0, ifMask)));
}

TEST_F(FaceResPackTest, EmptyMaskNameClearsBitmapKeepingItsSize)
{
    ASSERT_TRUE(mRes.GetItemResName(fiFace, 1, ifMask).isEmpty());
    QImage oBitmap = Filled(QSize(37, 21), Qt::red);
    mRes.GetBitmap(oBitmap, fiFace, 1, ifMask, false);
    EXPECT_EQ(oBitmap.size(), QSize(37, 21));
    EXPECT_TRUE(IsTransparent(oBitmap));

    // A bitmap without alpha still ends transparent; a null one stays null.
    QImage oOpaque(5, 5, QImage::Format_RGB32);
    oOpaque.fill(Qt::blue);
    mRes.GetBitmap(oOpaque, fiFace, 1, ifMask, false);
    EXPECT_EQ(oOpaque.size(), QSize(5, 5));
    EXPECT_TRUE(IsTransparent(oOpaque));
    QImage oNull;
    mRes.GetBitmap(oNull, fiFace, 1, ifMask, false);
    EXPECT_TRUE(oNull.isNull());
}

TEST_F(FaceResPackTest, LanguageFlagTakesChineseThumbnailWhenThereIsOne)
{
    const QString sThumb0 = mRes.GetItemResName(fiPaopao, 0, ifThumb);
    const QString sThumb2 = mRes.GetItemResName(fiPaopao, 2, ifThumb);
    const QImage oChinese0 = SourceImage(LanguageVariantName(sThumb0));
    const QImage oPlain0 = SourceImage(sThumb0);
    ASSERT_FALSE(oChinese0 == oPlain0);

    QImage oBitmap;
    mRes.GetBitmap(oBitmap, fiPaopao, 0, ifThumb, true);
    EXPECT_TRUE(oBitmap == oChinese0);
    mRes.GetBitmap(oBitmap, fiPaopao, 0, ifThumb, false);
    EXPECT_TRUE(oBitmap == oPlain0);
    // No Chinese variant: the plain thumbnail.
    mRes.GetBitmap(oBitmap, fiPaopao, 2, ifThumb, true);
    EXPECT_TRUE(oBitmap == SourceImage(sThumb2));
}

TEST_F(FaceResPackTest, AWholeCategoryAtOnceGivesWhatItemByItemGives)
{
    // Every category, every image kind a category has pictures of, both
    // languages (the bubbles have one Chinese thumbnail and one without);
    // masks include empty names.
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
        const auto fiType = static_cast<TYPE_FACE_ITEM>(t);
        for (const TYPE_IMAGE_FILE ifType : {ifFile, ifThumb, ifMask}) {
            // A bubble's own member is its drawing, not a picture.
            if (fiType == fiPaopao && ifType != ifThumb)
                continue;
            for (const bool bLangCN : {false, true}) {
                SCOPED_TRACE(testing::Message() << FACE_ITEM_NAMES[t] << " kind " << ifType << " cn " << bLangCN);
                std::vector<QImage> oAll;
                mRes.GetBitmaps(oAll, fiType, ifType, bLangCN);
                ASSERT_EQ(oAll.size(), mRes.GetFaceItem(fiType)->size());
                for (size_t i = 0; i < oAll.size(); ++i) {
                    QImage oOne;
                    mRes.GetBitmap(oOne, fiType, qint32(i), ifType, bLangCN);
                    EXPECT_TRUE(oAll[i] == oOne) << "item " << i;
                }
            }
        }
    }
}

TEST(FaceResNames, LanguageVariant)
{
    const struct {
        const char *Name;
        const char *Variant;
    } CASES[] = {
        {"0123_thumb.png", "0123_thumb_cn.png"},
        {"abc.svg", "abc_cn.svg"},
        {"a.b.svg", "a.b_cn.svg"},
        {"noext", "noext_cn"},
        {"", "_cn"},
    };
    for (const auto &c : CASES)
        EXPECT_EQ(LanguageVariantName(QString::fromLatin1(c.Name)), QString::fromLatin1(c.Variant)) << c.Name;
}

TEST(FaceResNames, PackIndexFilesAndFaceItem)
{
    EXPECT_STREQ(PACK_INDEX_FILES[1], "res1.json");
    EXPECT_STREQ(PACK_INDEX_FILES[2], "res2.json");
    EXPECT_THROW(PACK_INDEX_FILES[0], EArgumentOutOfRange);
    EXPECT_THROW(PACK_INDEX_FILES[3], EArgumentOutOfRange);

    const TFaceItem oLayer(fiHair, 20, -130, 600, 740);
    EXPECT_EQ(oLayer.moType, fiHair);
    EXPECT_EQ(QRect(oLayer.miX, oLayer.miY, oLayer.miWidth, oLayer.miHeight), FACE_ITEM_RECTS[fiHair]);
    EXPECT_EQ(oLayer.Index(), 0);
    EXPECT_EQ(oLayer.Color(), 0u);
    TFaceItem oEntry(fiEye, 7);
    EXPECT_EQ(oEntry.Index(), 7);
    EXPECT_EQ(oEntry.miWidth, 0);
    oEntry.SetColor(0xFF112233u);
    oEntry.SetIndex(3);
    EXPECT_EQ(oEntry.Color(), 0xFF112233u);
    EXPECT_EQ(oEntry.miIndex, 3);
    EXPECT_EQ(TFaceItem(fiBG).moType, fiBG);
}

TEST(FaceResResources, QtProviderFindsNamesWithoutRegardToCase)
{
    TQtResourceProvider oProvider;
    const QByteArray oExact = oProvider.Open(QStringLiteral("RES_GIRL"));
    ASSERT_GT(oExact.size(), 0);
    for (const char *sName : {"res_girl", "Res_Girl", "/RES_GIRL"})
        EXPECT_EQ(oProvider.Open(QString::fromLatin1(sName)).constData(), oExact.constData()) << sName;

    QFile oZip(TestPackArchivePath());
    ASSERT_TRUE(oZip.open(QIODevice::ReadOnly));
    EXPECT_TRUE(oExact == oZip.readAll());

    EXPECT_EQ(ErrorOf([&] { oProvider.Open(QStringLiteral("res_boy")); }), QStringLiteral("Resource res_boy not found"));
    EXPECT_EQ(ErrorOf([&] { oProvider.Open(QString()); }), QStringLiteral("Resource  not found"));
}

TEST(FaceResResources, MissingResourceDiscardsTheIndexAndKeepsTheName)
{
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("res_girl"));
    ASSERT_FALSE(oRes.FaceItemLists().empty());
    EXPECT_EQ(ErrorOf([&] { oRes.LoadRes(QStringLiteral("res_none")); }), QStringLiteral("Resource res_none not found"));
    EXPECT_TRUE(oRes.FaceItemLists().empty());
    EXPECT_EQ(oRes.ResName(), QStringLiteral("res_none"));
    EXPECT_EQ(oRes.GetFaceItem(fiFace), nullptr);
}
