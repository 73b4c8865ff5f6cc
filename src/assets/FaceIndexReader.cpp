#include "assets/FaceIndexReader.h"

#include <QStringDecoder>

#include "assets/RapidJson.h"

#include <limits>
#include <string_view>
#include <unordered_map>

namespace {

// Numbers stay as the literal text they were written with, so that "3.5" can be
// reported as written; deep nesting must not exhaust the stack.
constexpr unsigned PARSE_FLAGS = rapidjson::kParseNumbersAsStringsFlag | rapidjson::kParseIterativeFlag;

using JsonValue = rapidjson::Value;

QString IndexText(const QByteArray &bytes)
{
    const auto startsWith = [&bytes](std::string_view bom) {
        return bytes.size() >= qsizetype(bom.size()) && std::string_view(bytes.constData(), bom.size()) == bom;
    };
    QStringConverter::Encoding encoding;
    qsizetype bomLength = 0;
    if (startsWith("\xEF\xBB\xBF")) {
        encoding = QStringConverter::Utf8;
        bomLength = 3;
    } else if (startsWith("\xFF\xFE")) {
        encoding = QStringConverter::Utf16LE;
        bomLength = 2;
    } else if (startsWith("\xFE\xFF")) {
        encoding = QStringConverter::Utf16BE;
        bomLength = 2;
    } else {
        // Without a byte-order mark the text is single-byte (Latin-1 stands for
        // the system code page).
        return QString::fromLatin1(bytes);
    }
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(bytes).sliced(bomLength));
}

// The first member of that name, compared exactly: duplicate names are kept by the
// parser, and only the first one counts.
const JsonValue *FindFirst(const JsonValue &object, std::string_view key)
{
    for (auto it = object.MemberBegin(); it != object.MemberEnd(); ++it) {
        if (std::string_view(it->name.GetString(), it->name.GetStringLength()) == key)
            return &it->value;
    }
    return nullptr;
}

// A value read as text: a string's content or a number's literal digits.
QString ValueText(const JsonValue &value, const QString &what)
{
    if (!value.IsString())
        throw EFaceIndexError(QStringLiteral("Pack index: %1 is not a string or a number").arg(what));
    return QString::fromUtf8(value.GetString(), qsizetype(value.GetStringLength()));
}

// The first member of each name of an object, found in one pass: the root and a
// category hold as many members as they have categories and items, and a search
// per key would make reading an index quadratic in its items.
class TFirstMembers {
public:
    explicit TFirstMembers(const JsonValue &object)
    {
        moFirst.reserve(object.MemberCount());
        // emplace keeps the first of a name.
        for (auto it = object.MemberBegin(); it != object.MemberEnd(); ++it)
            moFirst.emplace(std::string_view(it->name.GetString(), it->name.GetStringLength()), &it->value);
    }
    const JsonValue *Find(std::string_view key) const
    {
        const auto it = moFirst.find(key);
        return it == moFirst.end() ? nullptr : it->second;
    }

private:
    std::unordered_map<std::string_view, const JsonValue *> moFirst;
};

// Where names the object for a message ("of category 2"); it is built only when a
// message needs it, as most items of a large index are sound.
template <class Where>
QString RequiredText(const JsonValue *value, const char *key, const Where &where)
{
    const auto what = [&] { return QStringLiteral("\"%1\" %2").arg(QLatin1String(key), where()); };
    if (!value)
        throw EFaceIndexError(QStringLiteral("Pack index: %1 is missing").arg(what()));
    if (!value->IsString())
        return ValueText(*value, what());
    return QString::fromUtf8(value->GetString(), qsizetype(value->GetStringLength()));
}

template <class Where>
QString RequiredText(const JsonValue &object, const char *key, const Where &where)
{
    return RequiredText(FindFirst(object, key), key, where);
}

template <class Where>
QString RequiredText(const TFirstMembers &members, const char *key, const Where &where)
{
    return RequiredText(members.Find(key), key, where);
}

// A decimal integer with an optional sign that fits 32 bits; anything else (a
// fraction, an exponent, blanks, an empty text) is a conversion error.
qint32 ToInteger(const QString &text)
{
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok, 10);
    bool plain = ok && !text.isEmpty();
    for (qsizetype i = 0; plain && i < text.size(); ++i) {
        const QChar c = text[i];
        plain = (c >= u'0' && c <= u'9') || (i == 0 && (c == u'-' || c == u'+') && text.size() > 1);
    }
    if (!plain || value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return qint32(value);
}

template <class What>
const JsonValue &RequiredObject(const TFirstMembers &parent, qint32 key, const What &what)
{
    const QByteArray name = QByteArray::number(key);
    const JsonValue *value = parent.Find(std::string_view(name.constData(), size_t(name.size())));
    if (!value)
        throw EFaceIndexError(QStringLiteral("Pack index: %1 is missing").arg(what()));
    if (!value->IsObject())
        throw EFaceIndexError(QStringLiteral("Pack index: %1 is not an object").arg(what()));
    return *value;
}

void ReadItems(const JsonValue &categoryObject, qint32 categoryKey, STRU_FACE_ITEM_LIST &list)
{
    const TFirstMembers category(categoryObject);
    const qint32 count =
        ToInteger(RequiredText(category, "count", [&] { return QStringLiteral("of category %1").arg(categoryKey); }));
    for (qint32 j = 0; j < count; ++j) {
        const auto itemName = [&] { return QStringLiteral("item %1 of category %2").arg(j).arg(categoryKey); };
        const JsonValue &object = RequiredObject(category, j, itemName);
        // A string builder would outlive the strings it joins: the lambdas answer a QString.
        const auto where = [&]() -> QString { return QStringLiteral("of ") + itemName(); };
        auto item = std::make_unique<STRU_FACE_ITEM_DATA>();
        item->moType = list.moType;
        item->miIndex = j;
        item->msID = RequiredText(object, "id", where);
        item->msFileName = ToMemberName(RequiredText(object, "fileName", where));
        item->msThumb = ToMemberName(RequiredText(object, "thumbFile", where));
        item->msMask = ToMemberName(RequiredText(object, "maskFile", where));
        item->mbMask = !item->msMask.isEmpty();
        list.moItemList.push_back(std::move(item));
    }
}

} // namespace

void ReadFaceIndex(const QByteArray &memberBytes, TFaceItemLists &target)
{
    const QByteArray json = IndexText(memberBytes).toUtf8();
    rapidjson::Document document;
    document.Parse<PARSE_FLAGS>(json.constData(), size_t(json.size()));
    if (document.HasParseError()) {
        throw EFaceIndexError(QStringLiteral("Pack index is not valid JSON: %1 (at offset %2)")
                                  .arg(QString::fromUtf8(rapidjson::GetParseError_En(document.GetParseError())))
                                  .arg(document.GetErrorOffset()));
    }
    if (!document.IsObject())
        throw EFaceIndexError(QStringLiteral("Pack index: the root is not an object"));

    const TFirstMembers root(document);
    const qint32 categoryCount = ToInteger(RequiredText(root, "c", [] { return QStringLiteral("of the root"); }));
    TYPE_FACE_ITEM previousType = fiFace;
    for (qint32 i = 0; i < categoryCount; ++i) {
        const auto categoryName = [i] { return QStringLiteral("category %1").arg(i); };
        const JsonValue &category = RequiredObject(root, i, categoryName);
        TYPE_FACE_ITEM type = previousType;
        // An unknown name repeats the type of the category before (fiFace for the first).
        const auto where = [&]() -> QString { return QStringLiteral("of ") + categoryName(); };
        FaceItemTypeFromName(RequiredText(category, "type", where), type);
        previousType = type;

        auto list = std::make_unique<STRU_FACE_ITEM_LIST>();
        list->moType = type;
        STRU_FACE_ITEM_LIST &appended = *list;
        // Appended before its items are read: a failure below leaves it in place.
        target.push_back(std::move(list));
        ReadItems(category, i, appended);
    }
}
