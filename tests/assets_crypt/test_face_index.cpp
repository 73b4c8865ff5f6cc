// Reading pack indexes: encodings, integer rules, type mapping, first-pair
// lookup, and what stays in the list when reading stops.

#include "assets/FaceIndexReader.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

#include <string>

namespace {

// One category as "Type:id,id" (items' ids in list order), categories separated by
// blanks; type and index of every item are checked against their category.
std::string Describe(const TFaceItemLists &lists)
{
    std::string text;
    for (const auto &list : lists) {
        if (!text.empty())
            text += ' ';
        text += FACE_ITEM_NAMES[list->moType];
        text += ':';
        for (size_t j = 0; j < list->moItemList.size(); ++j) {
            const STRU_FACE_ITEM_DATA &item = *list->moItemList[j];
            if (item.moType != list->moType || item.miIndex != qint32(j))
                text += "<bad type or index>";
            if (j)
                text += ',';
            text += item.msID.toStdString();
        }
    }
    return text;
}

std::string Item(const char *id) { return std::string(R"({"id":")") + id + R"(","fileName":"f","thumbFile":"t","maskFile":""})"; }

struct IndexCase {
    const char *what;
    std::string json;
    std::string loaded;  // what is in the list afterwards, also after a failure
    std::string error;   // empty when reading succeeds
    bool convertError = false;
};

std::string Category(const char *type, const std::string &count, const std::string &items = "")
{
    return std::string(R"({"type":")") + type + R"(","count":)" + count + (items.empty() ? "" : "," + items) + "}";
}

const std::string A = Item("a"), B = Item("b");

const IndexCase INDEX_CASES[] = {
    {"no categories", R"({"c":0})", "", ""},
    {"negative count reads nothing", R"({"c":"-1"})", "", ""},
    {"c and count as strings", R"({"c":"1","0":)" + Category("Hair", R"("2")", R"("0":)" + A + R"(,"1":)" + B) + "}",
     "Hair:a,b", ""},
    {"count 0 is still a category", R"({"c":2,"0":)" + Category("Eye", "0") + R"(,"1":)" + Category("Nose", "1", R"("0":)" + A) + "}",
     "Eye: Nose:a", ""},
    {"type ignores ASCII case", R"({"c":3,"0":)" + Category("hair", "0") + R"(,"1":)" + Category("HAIR", "0") + R"(,"2":)" + Category("pAoPaO", "0") + "}",
     "Hair: Hair: Paopao:", ""},
    {"unknown first type is Face", R"({"c":1,"0":)" + Category("Beard", "0") + "}", "Face:", ""},
    {"unknown later type repeats the one before", R"({"c":3,"0":)" + Category("BG", "0") + R"(,"1":)" + Category("Hair ", "0") + R"(,"2":)" + Category("", "0") + "}",
     "BG: BG: BG:", ""},
    {"non-ASCII letters are not case-folded", R"({"c":2,"0":)" + Category("Eye", "0") + R"(,"1":)" + Category("F\u0391CE", "0") + "}",
     "Eye: Eye:", ""},
    {"first pair of a name wins", R"({"c":1,"c":5,"0":)" + Category("Hand", "1", R"("0":)" + A + R"(,"0":)" + B) + R"(,"0":)" + Category("FG", "0") + "}",
     "Hand:a", ""},
    {"keys are exact", R"({"C":1,"c":1,"0":{"Type":"Hair","type":"Mouth","count":1,"0":{"ID":"x","id":"y","fileName":"f","thumbFile":"t","maskFile":""}}})",
     "Mouth:y", ""},
    {"extra keys ignored", R"({"c":1,"name":"pack","0":{"name":"n","type":"Brow","count":1,"x":[1,2],"0":{"id":"a","fileName":"f","thumbFile":"t","maskFile":"","more":{}}}})",
     "Brow:a", ""},
    {"numbers are kept as written", R"({"c":1,"0":{"type":"Emoji","count":2,"0":{"id":1.50,"fileName":"f","thumbFile":"t","maskFile":""},"1":{"id":-0e3,"fileName":"f","thumbFile":"t","maskFile":""}}})",
     "Emoji:1.50,-0e3", ""},
    {"c of 3.5", R"({"c":3.5})", "", "'3.5' is not a valid integer value", true},
    {"c of \"3.5\"", R"({"c":"3.5"})", "", "'3.5' is not a valid integer value", true},
    {"c of abc", R"({"c":"abc"})", "", "'abc' is not a valid integer value", true},
    {"c empty", R"({"c":""})", "", "'' is not a valid integer value", true},
    {"c with blanks", R"({"c":" 1"})", "", "' 1' is not a valid integer value", true},
    {"c with exponent", R"({"c":1e1})", "", "'1e1' is not a valid integer value", true},
    {"c beyond 32 bits", R"({"c":"4294967296"})", "", "'4294967296' is not a valid integer value", true},
    {"count of 3.5 keeps earlier categories", R"({"c":2,"0":)" + Category("Face", "1", R"("0":)" + A) + R"(,"1":)" + Category("Hair", "3.5") + "}",
     "Face:a Hair:", "'3.5' is not a valid integer value", true},
    {"missing c", R"({"count":1})", "", "Pack index: \"c\" of the root is missing"},
    {"c is not text", R"({"c":true})", "", "Pack index: \"c\" of the root is not a string or a number"},
    {"missing category", R"({"c":2,"0":)" + Category("Eye", "0") + "}", "Eye:", "Pack index: category 1 is missing"},
    {"keys have no leading zeros", R"({"c":1,"00":)" + Category("Eye", "0") + "}", "", "Pack index: category 0 is missing"},
    {"category not an object", R"({"c":1,"0":[]})", "", "Pack index: category 0 is not an object"},
    {"missing type", R"({"c":1,"0":{"count":0}})", "", "Pack index: \"type\" of category 0 is missing"},
    {"missing count", R"({"c":1,"0":{"type":"Eye"}})", "Eye:", "Pack index: \"count\" of category 0 is missing"},
    {"missing item keeps earlier items", R"({"c":1,"0":)" + Category("Nose", "3", R"("0":)" + A + R"(,"2":)" + B) + "}",
     "Nose:a", "Pack index: item 1 of category 0 is missing"},
    {"item not an object", R"({"c":1,"0":)" + Category("Nose", "1", R"("0":"a")") + "}", "Nose:", "Pack index: item 0 of category 0 is not an object"},
    {"item without maskFile", R"({"c":1,"0":)" + Category("Glasses", "2", R"("0":)" + A + R"(,"1":{"id":"b","fileName":"f","thumbFile":"t"})") + "}",
     "Glasses:a", "Pack index: \"maskFile\" of item 1 of category 0 is missing"},
    {"id that is not text", R"({"c":1,"0":)" + Category("Nose", "1", R"("0":{"id":null,"fileName":"f","thumbFile":"t","maskFile":""})") + "}",
     "Nose:", "Pack index: \"id\" of item 0 of category 0 is not a string or a number"},
    {"root not an object", R"([{"c":0}])", "", "Pack index: the root is not an object"},
    {"not JSON", R"({"c":1,)", "", "Pack index is not valid JSON: Missing a name for object member. (at offset 7)"},
    {"trailing text", R"({"c":0} x)", "", "Pack index is not valid JSON: The document root must not be followed by other values. (at offset 8)"},
    {"empty member", "", "", "Pack index is not valid JSON: The document is empty. (at offset 0)"},
};

class ReadFaceIndexCases : public testing::TestWithParam<IndexCase> {};

} // namespace

TEST_P(ReadFaceIndexCases, LoadsOrStopsWithItsMessage)
{
    const IndexCase &c = GetParam();
    TFaceItemLists lists;
    std::string error;
    bool convertError = false;
    try {
        ReadFaceIndex(QByteArray::fromStdString(c.json), lists);
    } catch (const EConvertError &e) {
        error = e.what();
        convertError = true;
    } catch (const EFaceIndexError &e) {
        error = e.what();
    }
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(convertError, c.convertError);
    EXPECT_EQ(Describe(lists), c.loaded);
}

INSTANTIATE_TEST_SUITE_P(Index, ReadFaceIndexCases, testing::ValuesIn(INDEX_CASES),
                         [](const testing::TestParamInfo<IndexCase> &info) {
                             std::string name;
                             for (const char *p = info.param.what; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

TEST(ReadFaceIndex, TextEncodingFollowsTheByteOrderMark)
{
    const auto indexWithId = [](const QString &id) -> QString {
        return QStringLiteral(R"({"c":1,"0":{"type":"Face","count":1,"0":{"id":")") + id +
               QStringLiteral(R"(","fileName":"f","thumbFile":"t","maskFile":""}}})");
    };
    const QString unicodeId = QStringLiteral("caf\u00E9 \u4E2D");
    const QString latinId = QStringLiteral("caf\u00E9");
    const auto encode = [&](QStringConverter::Encoding encoding) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        return QByteArray(encoder.encode(indexWithId(unicodeId)));
    };
    const struct {
        const char *what;
        QByteArray bytes;
        QString id;
    } cases[] = {
        {"UTF-8 BOM", encode(QStringConverter::Utf8), unicodeId},
        {"UTF-16 LE BOM", encode(QStringConverter::Utf16LE), unicodeId},
        {"UTF-16 BE BOM", encode(QStringConverter::Utf16BE), unicodeId},
        // Without a mark every byte is one character, so UTF-8 text comes out as mojibake.
        {"no BOM, UTF-8 bytes", indexWithId(unicodeId).toUtf8(), QString::fromLatin1(unicodeId.toUtf8())},
        {"no BOM, single-byte", indexWithId(latinId).toLatin1(), latinId},
    };
    for (const auto &c : cases) {
        TFaceItemLists lists;
        ReadFaceIndex(c.bytes, lists);
        ASSERT_EQ(lists.size(), 1u) << c.what;
        ASSERT_EQ(lists[0]->moItemList.size(), 1u) << c.what;
        EXPECT_EQ(lists[0]->moItemList[0]->msID, c.id) << c.what;
    }
}

TEST(ReadFaceIndex, StoresMemberNamesAsSingleByteTextOfAtMost255)
{
    const std::string longName(300, 'n');
    const std::string json = R"({"c":1,"0":{"type":"Hair","count":2,)"
                             R"("0":{"id":"h0","fileName":")" + longName + R"(","thumbFile":"Hair/T_0.png","maskFile":"Hair/M_0.png"},)"
                             R"("1":{"id":"h1","fileName":"caf\u00e9\u4e2d.png","thumbFile":"t1","maskFile":""}}})";
    TFaceItemLists lists;
    ReadFaceIndex(QByteArray::fromStdString(json), lists);
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(lists[0]->moItemList.size(), 2u);
    const STRU_FACE_ITEM_DATA &first = *lists[0]->moItemList[0];
    EXPECT_EQ(first.msFileName, QByteArray(255, 'n'));
    EXPECT_EQ(first.msThumb, QByteArray("Hair/T_0.png"));
    EXPECT_EQ(first.msMask, QByteArray("Hair/M_0.png"));
    EXPECT_TRUE(first.mbMask);
    const STRU_FACE_ITEM_DATA &second = *lists[0]->moItemList[1];
    // Latin-1 characters survive, others become '?'.
    EXPECT_EQ(second.msFileName, QByteArray("caf\xE9?.png"));
    EXPECT_EQ(FromMemberName(second.msFileName), QStringLiteral("caf\u00E9?.png"));
    EXPECT_TRUE(second.msMask.isEmpty());
    EXPECT_FALSE(second.mbMask);
}

TEST(ReadFaceIndex, AppendsToWhatTheListAlreadyHolds)
{
    TFaceItemLists lists;
    ReadFaceIndex(R"({"c":1,"0":{"type":"BG","count":0}})", lists);
    ReadFaceIndex(R"({"c":1,"0":{"type":"FG","count":0}})", lists);
    EXPECT_EQ(Describe(lists), "BG: FG:");
}

TEST(ReadFaceIndex, ACategoryOfManyItemsReadsWholeWithTheFirstOfEachNumber)
{
    // Items in reverse order, each number twice (the second a decoy): every item is
    // found by its number among 200,000 members, the first pair of a number winning.
    constexpr int COUNT = 100000;
    std::string json = R"({"c":1,"0":{"type":"Hair","count":")" + std::to_string(COUNT) + "\"";
    for (int j = COUNT - 1; j >= 0; --j) {
        const std::string number = std::to_string(j);
        json += ",\"" + number + "\":" + Item(("i" + number).c_str());
        json += ",\"" + number + "\":" + Item("decoy");
    }
    json += "}}";
    TFaceItemLists lists;
    ReadFaceIndex(QByteArray::fromStdString(json), lists);
    ASSERT_EQ(lists.size(), 1u);
    ASSERT_EQ(lists[0]->moItemList.size(), size_t(COUNT));
    for (int j : {0, 1, COUNT / 2, COUNT - 1}) {
        EXPECT_EQ(lists[0]->moItemList[size_t(j)]->msID, QStringLiteral("i%1").arg(j));
        EXPECT_EQ(lists[0]->moItemList[size_t(j)]->miIndex, j);
    }
}
