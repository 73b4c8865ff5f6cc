// The resource manager over archives built here: member lookup rules, missing
// categories and members, and every kind of bad input.

#include "ResTestSupport.h"

namespace {

const QString FACE = Stem(QStringLiteral("face"));
const QString FACE_PNG = FACE + ".png";
const QString FACE_THUMB = FACE + "_thumb.png";

// An index of one face item whose image and thumbnail are in the archive.
std::vector<TZipEntry> FaceArchive(const QByteArray &aoIndex = IndexJson({{"Face", {{FACE_PNG, FACE_THUMB, ""}}}}))
{
    return {{"res1.json", Encrypted("res1.json", aoIndex)},
            {FACE_PNG, Encrypted(FACE_PNG, PngOf(QSize(4, 3), Qt::red))},
            {FACE_THUMB, PngOf(QSize(2, 2), Qt::green)}};
}

using ResArchiveTest = TResArchiveTest;

} // namespace

TEST_F(ResArchiveTest, MemberNamesMatchWithoutRegardToCaseFirstInArchiveOrder)
{
    // The index names members in upper case; the archive holds two members that
    // differ only in case, and the first one wins. The key comes from the name
    // as the index gives it, which derives the same key as the lower-case name.
    const QString sUpper = FACE.toUpper() + ".PNG";
    Install({{"res1.json", Encrypted("res1.json", IndexJson({{"FACE", {{sUpper, FACE.toUpper() + "_THUMB.PNG", ""}}}}))},
             {FACE_PNG, Encrypted(FACE_PNG, PngOf(QSize(4, 3), Qt::red))},
             {FACE.toUpper() + ".png", Encrypted(FACE_PNG, PngOf(QSize(4, 3), Qt::blue))},
             {FACE_THUMB, PngOf(QSize(2, 2), Qt::green)}});
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("RES_GIRL"));
    QImage oBitmap;
    oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, false);
    EXPECT_EQ(oBitmap.pixel(0, 0), QColor(Qt::red).rgba());
    oRes.GetBitmap(oBitmap, fiFace, 0, ifThumb, false);
    EXPECT_EQ(oBitmap.pixel(0, 0), QColor(Qt::green).rgba());
}

TEST_F(ResArchiveTest, ChineseVariantOfAnEncryptedMemberIsDecodedWithTheRequestedNamesKey)
{
    std::vector<TZipEntry> oEntries = FaceArchive();
    oEntries.push_back({LanguageVariantName(FACE_PNG), Encrypted(FACE_PNG, PngOf(QSize(4, 3), Qt::yellow))});
    Install(oEntries);
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("res_girl"));
    QImage oBitmap;
    oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, true);
    EXPECT_EQ(oBitmap.pixel(0, 0), QColor(Qt::yellow).rgba());
    oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, false);
    EXPECT_EQ(oBitmap.pixel(0, 0), QColor(Qt::red).rgba());
}

TEST_F(ResArchiveTest, MissingCategoriesAndMembersClearTheBitmap)
{
    const QString sGone = Stem(QStringLiteral("gone")) + ".png";
    Install(FaceArchive(IndexJson({{"Face", {{FACE_PNG, FACE_THUMB, ""}, {sGone, sGone, sGone}}}, {"Hair", {}}})));
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("RES_GIRL"));

    EXPECT_EQ(oRes.GetFaceItem(fiFG), nullptr);
    EXPECT_EQ(oRes.GetItemResName(fiFG, 0, ifFile), QString());
    ASSERT_NE(oRes.GetFaceItem(fiHair), nullptr);
    EXPECT_TRUE(oRes.GetFaceItem(fiHair)->empty());

    const struct {
        TYPE_FACE_ITEM Type;
        int Index;
        TYPE_IMAGE_FILE Variant;
    } CASES[] = {{fiFG, 0, ifFile}, {fiFG, 5, ifThumb}, {fiFace, 1, ifFile}, {fiFace, 1, ifMask}, {fiFace, 1, ifThumb}};
    for (const auto &c : CASES) {
        QImage oBitmap = Filled(QSize(8, 6), Qt::red);
        oRes.GetBitmap(oBitmap, c.Type, c.Index, c.Variant, false);
        EXPECT_EQ(oBitmap.size(), QSize(8, 6));
        EXPECT_EQ(oBitmap.pixel(3, 3), 0u) << c.Type << " " << c.Index << " " << c.Variant;
    }
}

TEST_F(ResArchiveTest, BitmapRequestsReadTheResourceNamedResGirl)
{
    Install(FaceArchive());
    mProvider.Add(QStringLiteral("RES_OTHER"), WriteZipArchive(FaceArchive()));
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("RES_OTHER"));
    mProvider.Remove(QStringLiteral("RES_GIRL"));
    QImage oBitmap;
    EXPECT_EQ(ErrorOf([&] { oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, false); }),
              QStringLiteral("Resource res_girl not found"));
}

// Each row is one archive that fails in one way, and the message the user sees.
struct TBadInput {
    const char *Name;
    std::function<QByteArray()> Archive;
    std::function<void(TFaceRes &)> Request; // after a successful load, or the load itself
    QString Message;
};

void PrintTo(const TBadInput &aoCase, std::ostream *aoOut)
{
    *aoOut << aoCase.Name;
}

class ResBadInputTest : public TResArchiveTest, public ::testing::WithParamInterface<TBadInput> {};

TEST_P(ResBadInputTest, FailsWithItsMessage)
{
    const TBadInput &c = GetParam();
    Install(c.Archive());
    TFaceRes oRes;
    const QString sMessage = ErrorOf([&] { c.Request(oRes); });
    if (c.Message.endsWith(u'*'))
        EXPECT_TRUE(sMessage.startsWith(c.Message.chopped(1))) << sMessage;
    else
        EXPECT_EQ(sMessage, c.Message);
}

namespace {

void Load(TFaceRes &aoRes)
{
    aoRes.LoadRes(QStringLiteral("RES_GIRL"));
}

std::function<void(TFaceRes &)> LoadThenBitmap(TYPE_IMAGE_FILE ifType)
{
    return [ifType](TFaceRes &aoRes) {
        Load(aoRes);
        QImage oBitmap;
        aoRes.GetBitmap(oBitmap, fiFace, 0, ifType, false);
    };
}

QByteArray WithIndex(const QByteArray &aoStoredIndex)
{
    std::vector<TZipEntry> oEntries = FaceArchive();
    oEntries[0].Data = aoStoredIndex;
    return WriteZipArchive(oEntries);
}

QByteArray WithImage(const QByteArray &aoStoredImage, const QByteArray &aoStoredThumb = PngOf(QSize(2, 2), Qt::green))
{
    std::vector<TZipEntry> oEntries = FaceArchive();
    oEntries[1].Data = aoStoredImage;
    oEntries[2].Data = aoStoredThumb;
    return WriteZipArchive(oEntries);
}

QByteArray EncryptedIndex(const char *asJson)
{
    return Encrypted("res1.json", QByteArray(asJson));
}

const QString NOT_AN_ARCHIVE = QStringLiteral("Resource RES_GIRL is not a valid archive: *");

const TBadInput BAD_INPUTS[] = {
    {"NotZip", [] { return QByteArray("plain text, not an archive"); }, Load, NOT_AN_ARCHIVE},
    {"Empty", [] { return QByteArray(); }, Load, NOT_AN_ARCHIVE},
    {"TruncatedDirectory", [] { return WriteZipArchive(FaceArchive()).chopped(10); }, Load, NOT_AN_ARCHIVE},
    {"TruncatedToHalf", [] { const QByteArray a = WriteZipArchive(FaceArchive()); return a.left(a.size() / 2); }, Load,
     NOT_AN_ARCHIVE},
    {"DamagedMemberData",
     [] {
         QByteArray a = WriteZipArchive(FaceArchive());
         // The index is the first member; its deflated data follow the 30-byte
         // local header, the name and the extra field.
         const int iData = 30 + (uchar(a[26]) | uchar(a[27]) << 8) + (uchar(a[28]) | uchar(a[29]) << 8);
         for (int i = 4; i < 12; ++i)
             a[iData + i] = char(a[iData + i] ^ 0x5A);
         return a;
     },
     Load, QStringLiteral("Reading archive member res1.json failed: *")},
    {"SeventeenByteMember", [] { return WithIndex(QByteArray(17, 'x')); }, Load, QStringLiteral("Decrypt stream error.")},
    {"CiphertextNotBlockMultiple", [] { return WithIndex(EncryptedIndex("{\"c\": 0}") + "abcd"); }, Load,
     QStringLiteral("Decrypt stream error.")},
    {"WrongKey", [] { return WithIndex(Encrypted("res2.json", "{\"c\": 0}")); }, Load, QStringLiteral("data error")},
    {"PlaintextNotZlib", [] { return WithIndex(EncryptedRaw("res1.json", "{\"c\": 0} is not deflated")); }, Load,
     QStringLiteral("data error")},
    {"MissingIndex",
     [] {
         std::vector<TZipEntry> e = FaceArchive();
         e.erase(e.begin());
         return WriteZipArchive(e);
     },
     Load, QStringLiteral("Pack index res1.json not found in resource RES_GIRL")},
    {"IndexNotJson", [] { return WithIndex(EncryptedIndex("{\"c\": 1, ")); }, Load,
     QStringLiteral("Pack index is not valid JSON: *")},
    {"IndexMissingCount", [] { return WithIndex(EncryptedIndex("{\"c\": 1, \"0\": {\"type\": \"Face\"}}")); }, Load,
     QStringLiteral("Pack index: \"count\" of category 0 is missing")},
    {"IndexCategoryNotObject", [] { return WithIndex(EncryptedIndex("{\"c\": 1, \"0\": [1, 2]}")); }, Load,
     QStringLiteral("Pack index: category 0 is not an object")},
    {"IndexCountNotInteger",
     [] { return WithIndex(EncryptedIndex("{\"c\": 1, \"0\": {\"type\": \"Face\", \"count\": \"3.5\"}}")); }, Load,
     QStringLiteral("'3.5' is not a valid integer value")},
    {"FullImageNotAnImage", [] { return WithImage(Encrypted(FACE_PNG, "just some text")); }, LoadThenBitmap(ifFile),
     QStringLiteral("Loading bitmap failed.")},
    {"FullImageIsBmp", [] { return WithImage(Encrypted(FACE_PNG, Encoded(Filled(QSize(4, 3), Qt::red), "BMP"))); },
     LoadThenBitmap(ifFile), QStringLiteral("Loading bitmap failed.")},
    {"FullImageCutShort", [] { return WithImage(Encrypted(FACE_PNG, PngOf(QSize(64, 64), Qt::red).left(60))); },
     LoadThenBitmap(ifFile), QStringLiteral("Loading bitmap failed.")},
    {"ThumbnailNotAnImage", [] { return WithImage(Encrypted(FACE_PNG, PngOf(QSize(4, 3), Qt::red)), "<svg/>"); },
     LoadThenBitmap(ifThumb), QStringLiteral("Loading bitmap failed.")},
};

} // namespace

INSTANTIATE_TEST_SUITE_P(BadInput, ResBadInputTest, ::testing::ValuesIn(BAD_INPUTS),
                         [](const auto &aoInfo) { return std::string(aoInfo.param.Name); });

TEST_F(ResArchiveTest, IndexThatFailsHalfwayKeepsWhatWasRead)
{
    Install(FaceArchive(QByteArray("{\"c\": 3, \"0\": {\"type\": \"Face\", \"count\": 1, \"0\": {\"id\": \"a\", "
                                   "\"fileName\": \"") + FACE_PNG.toLatin1() + "\", \"thumbFile\": \"" + FACE_THUMB.toLatin1()
                        + "\", \"maskFile\": \"\"}}, \"1\": {\"type\": \"Hair\", \"count\": \"x\"}}"));
    TFaceRes oRes;
    EXPECT_EQ(ErrorOf([&] { oRes.LoadRes(QStringLiteral("RES_GIRL")); }), QStringLiteral("'x' is not a valid integer value"));
    ASSERT_EQ(oRes.FaceItemLists().size(), 2u);
    EXPECT_EQ(oRes.GetFaceItem(fiFace)->size(), 1u);
    EXPECT_TRUE(oRes.GetFaceItem(fiHair)->empty());
    // What was read stays usable.
    QImage oBitmap;
    oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, false);
    EXPECT_EQ(oBitmap.size(), QSize(4, 3));
}

TEST_F(ResArchiveTest, FailedBitmapRequestLeavesTheBitmapAsItWas)
{
    Install(WithImage(Encrypted(FACE_PNG, "not an image")));
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("RES_GIRL"));
    QImage oBitmap = Filled(QSize(3, 3), Qt::blue);
    EXPECT_THROW(oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, false), EVuploraError);
    EXPECT_EQ(oBitmap.pixel(1, 1), QColor(Qt::blue).rgba());
}

TEST_F(ResArchiveTest, KeptArchiveReadsEveryRequestAfreshAndFollowsAReplacedResource)
{
    // The damaged member comes first, so its data sit at a known place.
    const QString sHair = Stem(QStringLiteral("hair")) + ".png";
    const auto archive = [&](Qt::GlobalColor aeFace) {
        QByteArray a = WriteZipArchive(
            {{sHair, Encrypted(sHair, PngOf(QSize(64, 64), Qt::black))},
             {"res1.json", Encrypted("res1.json", IndexJson({{"Face", {{FACE_PNG, FACE_THUMB, ""}}},
                                                             {"Hair", {{sHair, sHair, ""}}}}))},
             {FACE_PNG, Encrypted(FACE_PNG, PngOf(QSize(4, 3), aeFace))}});
        const int iData = 30 + (uchar(a[26]) | uchar(a[27]) << 8) + (uchar(a[28]) | uchar(a[29]) << 8);
        for (int i = 4; i < 12; ++i)
            a[iData + i] = char(a[iData + i] ^ 0x5A);
        return a;
    };
    Install(archive(Qt::red));
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("RES_GIRL"));
    QImage oBitmap;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(ErrorOf([&] { oRes.GetBitmap(oBitmap, fiHair, 0, ifFile, false); })
                        .startsWith(QStringLiteral("Reading archive member %1 failed: ").arg(sHair)));
        oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, false);
        EXPECT_EQ(oBitmap.pixel(0, 0), QColor(Qt::red).rgba()) << i;
    }
    // The same name with other bytes is another archive.
    Install(archive(Qt::blue));
    oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, false);
    EXPECT_EQ(oBitmap.pixel(0, 0), QColor(Qt::blue).rgba());
    mProvider.Remove(QStringLiteral("RES_GIRL"));
    EXPECT_EQ(ErrorOf([&] { oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, false); }),
              QStringLiteral("Resource res_girl not found"));
}

TEST_F(ResArchiveTest, AKeptPictureIsTheDecodedOneWhateverTheCallerDidToItsCopy)
{
    Install(FaceArchive());
    TFaceRes oRes;
    oRes.LoadRes(QStringLiteral("res_girl"));
    for (int i = 0; i < 3; ++i) {
        QImage oBitmap;
        oRes.GetBitmap(oBitmap, fiFace, 0, ifFile, false);
        ASSERT_EQ(oBitmap.size(), QSize(4, 3)) << i;
        EXPECT_EQ(oBitmap.pixel(0, 0), QColor(Qt::red).rgba()) << i;
        // As an item's colour is put on its picture.
        oBitmap.fill(Qt::blue);
    }
}

TEST(DecodedPictures, TheLeastRecentlyUsedGoFirstPastTheBudget)
{
    // Pictures of just over a third of the budget each: the third pushes out the one
    // used longest ago, which is not the first kept once that was asked for again.
    const int iSide = 2365; // 2365 * 2365 * 4 bytes is just over a third of 64 MiB
    TDecodedPictures oPictures;
    const auto picture = [&](Qt::GlobalColor aeColour) {
        QImage o(iSide, iSide, QImage::Format_ARGB32_Premultiplied);
        o.fill(aeColour);
        return o;
    };
    oPictures.Keep(QStringLiteral("a"), picture(Qt::red));
    oPictures.Keep(QStringLiteral("b"), picture(Qt::green));
    QImage oFound;
    ASSERT_TRUE(oPictures.Find(QStringLiteral("a"), oFound));
    EXPECT_EQ(oFound.pixel(0, 0), QColor(Qt::red).rgba());
    oPictures.Keep(QStringLiteral("c"), picture(Qt::blue));
    EXPECT_TRUE(oPictures.Find(QStringLiteral("a"), oFound));
    EXPECT_FALSE(oPictures.Find(QStringLiteral("b"), oFound));
    EXPECT_TRUE(oPictures.Find(QStringLiteral("c"), oFound));
    EXPECT_LE(oPictures.Bytes(), DECODED_PICTURE_BYTES);
    // A picture larger than the budget is not kept and pushes nothing out.
    oPictures.Keep(QStringLiteral("huge"), QImage(8192, 4097, QImage::Format_ARGB32_Premultiplied));
    EXPECT_FALSE(oPictures.Find(QStringLiteral("huge"), oFound));
    EXPECT_TRUE(oPictures.Find(QStringLiteral("a"), oFound));
}
