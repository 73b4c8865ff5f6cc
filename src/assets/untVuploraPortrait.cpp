#include "assets/untVuploraPortrait.h"

#include "assets/untVuplora.h"
#include "errors/errors.h"

#include "assets/RapidJson.h"

#include <cmath>
#include <string_view>
#include <unordered_set>

namespace {

using JsonValue = rapidjson::Value;
using JsonWriter = rapidjson::PrettyWriter<rapidjson::StringBuffer>;

const char FORMAT_NAME[] = "vuplora-portrait";

[[noreturn]] void Refuse(const QString &asWhy)
{
    throw EVuploraError(QStringLiteral("Not a portrait file: ") + asWhy);
}

// Reads the fields of one JSON object, naming each by its path in the file
// when it is missing, mistyped or out of range.
class TFields {
public:
    TFields(const JsonValue &aoObject, QString asPath) : moObject(aoObject), msPath(std::move(asPath))
    {
        // The format is ours and names each field once: a second one would be a
        // value some reader takes and another ignores.
        std::unordered_set<std::string_view> names;
        names.reserve(aoObject.MemberCount());
        for (auto it = aoObject.MemberBegin(); it != aoObject.MemberEnd(); ++it)
            if (!names.emplace(it->name.GetString(), it->name.GetStringLength()).second)
                Refuse(QStringLiteral("\"%1\" appears twice.")
                           .arg(Path(QString::fromUtf8(it->name.GetString(), qsizetype(it->name.GetStringLength())))));
    }

    const JsonValue &Get(const char *asName) const
    {
        const auto it = moObject.FindMember(asName);
        if (it == moObject.MemberEnd())
            Refuse(QStringLiteral("\"%1\" is missing.").arg(Path(asName)));
        return it->value;
    }
    TFields Object(const char *asName) const
    {
        const JsonValue &v = Get(asName);
        if (!v.IsObject())
            WrongType(asName);
        return TFields(v, Path(asName));
    }
    bool Bool(const char *asName) const
    {
        const JsonValue &v = Get(asName);
        if (!v.IsBool())
            WrongType(asName);
        return v.GetBool();
    }
    qint64 Integer(const char *asName, qint64 aiLow, qint64 aiHigh) const
    {
        const JsonValue &v = Get(asName);
        if (!v.IsInt64())
            WrongType(asName);
        const qint64 i = v.GetInt64();
        if (i < aiLow || i > aiHigh)
            OutOfRange(asName);
        return i;
    }
    double Number(const char *asName, double arLow, double arHigh) const
    {
        const JsonValue &v = Get(asName);
        if (!v.IsNumber())
            WrongType(asName);
        const double r = v.GetDouble();
        if (!std::isfinite(r) || r < arLow || r > arHigh)
            OutOfRange(asName);
        return r;
    }
    QByteArray Utf8(const char *asName, int aiMaxBytes) const
    {
        const JsonValue &v = Get(asName);
        if (!v.IsString())
            WrongType(asName);
        if (v.GetStringLength() > rapidjson::SizeType(aiMaxBytes))
            OutOfRange(asName);
        return QByteArray(v.GetString(), qsizetype(v.GetStringLength()));
    }
    QString Text(const char *asName) const
    {
        const QString s = QString::fromUtf8(Utf8(asName, PORTRAIT_MAX_TEXT_CHARS * 4));
        if (s.size() > PORTRAIT_MAX_TEXT_CHARS)
            OutOfRange(asName);
        return s;
    }

    [[noreturn]] void WrongType(const char *asName) const
    {
        Refuse(QStringLiteral("\"%1\" has the wrong type.").arg(Path(asName)));
    }
    [[noreturn]] void OutOfRange(const char *asName) const
    {
        Refuse(QStringLiteral("\"%1\" is out of range.").arg(Path(asName)));
    }

private:
    QString Path(const char *asName) const { return Path(QString::fromUtf8(asName)); }
    QString Path(const QString &asName) const
    {
        return msPath.isEmpty() ? asName : msPath + QLatin1Char('.') + asName;
    }

    const JsonValue &moObject;
    QString msPath;
};

TPortraitLayer ReadLayer(const TFields &aoLayer)
{
    TPortraitLayer layer;
    const JsonValue &item = aoLayer.Get("item");
    layer.Present = !item.IsNull();
    if (layer.Present)
        layer.Index = qint32(aoLayer.Integer("item", 0, PORTRAIT_MAX_ITEM));
    layer.Color = quint32(aoLayer.Integer("color", 0, 0xFFFFFFFFLL));
    layer.Pos = QPointF(aoLayer.Number("x", -PORTRAIT_MAX_COORDINATE, PORTRAIT_MAX_COORDINATE),
                        aoLayer.Number("y", -PORTRAIT_MAX_COORDINATE, PORTRAIT_MAX_COORDINATE));
    layer.Visible = aoLayer.Bool("visible");
    return layer;
}

TPortraitBubble ReadBubble(const TFields &aoBubble)
{
    TPortraitBubble bubble;
    bubble.Shown = aoBubble.Bool("shown");
    bubble.Index = qint32(aoBubble.Integer("item", 0, PORTRAIT_MAX_ITEM));
    bubble.Document = aoBubble.Utf8("document", PORTRAIT_MAX_DOCUMENT_BYTES);
    bubble.Text = aoBubble.Text("text");
    bubble.ConfirmedText = aoBubble.Text("confirmedText");
    const double x = aoBubble.Number("x", -PORTRAIT_MAX_COORDINATE, PORTRAIT_MAX_COORDINATE);
    const double y = aoBubble.Number("y", -PORTRAIT_MAX_COORDINATE, PORTRAIT_MAX_COORDINATE);
    // A frame has a size: the editor never makes one smaller than its grips allow.
    const double w = aoBubble.Number("width", 1, PORTRAIT_MAX_COORDINATE);
    const double h = aoBubble.Number("height", 1, PORTRAIT_MAX_COORDINATE);
    bubble.Frame = QRectF(x, y, w, h);
    return bubble;
}

// Whole numbers are written without a fraction, as people write places.
void WriteNumber(JsonWriter &aoOut, double arValue)
{
    if (std::trunc(arValue) == arValue && std::fabs(arValue) <= PORTRAIT_MAX_COORDINATE)
        aoOut.Int64(qint64(arValue));
    else
        aoOut.Double(arValue);
}

void WriteString(JsonWriter &aoOut, const QByteArray &aoUtf8)
{
    aoOut.String(aoUtf8.constData(), rapidjson::SizeType(aoUtf8.size()));
}

void WriteLayer(JsonWriter &aoOut, const TPortraitLayer &aoLayer)
{
    aoOut.StartObject();
    aoOut.Key("item");
    if (aoLayer.Present)
        aoOut.Int(aoLayer.Index);
    else
        aoOut.Null();
    aoOut.Key("color");
    aoOut.Uint(aoLayer.Color);
    aoOut.Key("x");
    WriteNumber(aoOut, aoLayer.Pos.x());
    aoOut.Key("y");
    WriteNumber(aoOut, aoLayer.Pos.y());
    aoOut.Key("visible");
    aoOut.Bool(aoLayer.Visible);
    aoOut.EndObject();
}

} // namespace

QByteArray WritePortrait(const TPortrait &aoPortrait)
{
    rapidjson::StringBuffer buffer;
    JsonWriter out(buffer);
    out.SetIndent(' ', 2);
    // A millionth of a canvas unit is far below a pixel, and a place of at most
    // fifteen digits reads back as the number written.
    out.SetMaxDecimalPlaces(6);
    out.StartObject();
    out.Key("format");
    out.String(FORMAT_NAME);
    out.Key("version");
    out.Int(PORTRAIT_FORMAT_VERSION);
    out.Key("pack");
    out.Int(aoPortrait.Pack);
    out.Key("layers");
    out.StartObject();
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
        if (t == fiPaopao)
            continue;
        out.Key(FACE_ITEM_NAMES[t]);
        WriteLayer(out, aoPortrait.Layers[t]);
    }
    out.EndObject();

    const TPortraitBubble &bubble = aoPortrait.Bubble;
    out.Key("bubble");
    out.StartObject();
    out.Key("shown");
    out.Bool(bubble.Shown);
    out.Key("item");
    out.Int(bubble.Index);
    out.Key("document");
    WriteString(out, bubble.Document);
    out.Key("text");
    WriteString(out, bubble.Text.toUtf8());
    out.Key("confirmedText");
    WriteString(out, bubble.ConfirmedText.toUtf8());
    out.Key("x");
    WriteNumber(out, bubble.Frame.x());
    out.Key("y");
    WriteNumber(out, bubble.Frame.y());
    out.Key("width");
    WriteNumber(out, bubble.Frame.width());
    out.Key("height");
    WriteNumber(out, bubble.Frame.height());
    out.EndObject();

    out.Key("watermark");
    out.StartObject();
    out.Key("x");
    WriteNumber(out, aoPortrait.Watermark.x());
    out.Key("y");
    WriteNumber(out, aoPortrait.Watermark.y());
    out.EndObject();
    out.EndObject();
    QByteArray data(buffer.GetString(), qsizetype(buffer.GetSize()));
    data.append('\n');
    return data;
}

TPortrait ReadPortrait(const QByteArray &aoData)
{
    if (aoData.size() > PORTRAIT_MAX_FILE_BYTES)
        Refuse(QStringLiteral("it is larger than %1 MiB.").arg(PORTRAIT_MAX_FILE_BYTES / (1024 * 1024)));
    rapidjson::Document document;
    // Iterative: the depth of a hostile file cannot exhaust the stack. Not full
    // precision: RapidJSON 1.1's full-precision reader misreads hostile numbers
    // ("0e92" as a tiny non-zero number) through undefined arithmetic. Places are
    // written with at most six decimals, which the normal reader reads exactly.
    document.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag>(
        aoData.constData(), size_t(aoData.size()));
    if (document.HasParseError())
        Refuse(QStringLiteral("%1 (offset %2).")
                   .arg(QString::fromUtf8(rapidjson::GetParseError_En(document.GetParseError())))
                   .arg(document.GetErrorOffset()));
    if (!document.IsObject())
        Refuse(QStringLiteral("the file holds no JSON object."));
    const TFields root(document, QString());
    const JsonValue &format = root.Get("format");
    // By length: a NUL inside the value would end a C string early.
    if (!format.IsString()
        || QByteArrayView(format.GetString(), qsizetype(format.GetStringLength())) != QByteArrayView(FORMAT_NAME))
        Refuse(QStringLiteral("\"format\" is not \"%1\".").arg(QLatin1String(FORMAT_NAME)));
    if (!root.Get("version").IsInt64())
        root.WrongType("version");
    const qint64 version = root.Get("version").GetInt64();
    if (version != PORTRAIT_FORMAT_VERSION)
        Refuse(QStringLiteral("format version %1 is not supported (this program reads version %2).")
                   .arg(version)
                   .arg(PORTRAIT_FORMAT_VERSION));

    TPortrait portrait;
    if (!root.Get("pack").IsInt64())
        root.WrongType("pack");
    const qint64 pack = root.Get("pack").GetInt64();
    if (pack < TPackIndexFiles::Low || pack > TPackIndexFiles::High)
        Refuse(QStringLiteral("pack %1 is unknown.").arg(pack));
    portrait.Pack = qint32(pack);

    const TFields layers = root.Object("layers");
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
        if (t != fiPaopao)
            portrait.Layers[t] = ReadLayer(layers.Object(FACE_ITEM_NAMES[t]));
    portrait.Bubble = ReadBubble(root.Object("bubble"));
    const TFields watermark = root.Object("watermark");
    portrait.Watermark = QPointF(watermark.Number("x", -PORTRAIT_MAX_COORDINATE, PORTRAIT_MAX_COORDINATE),
                                 watermark.Number("y", -PORTRAIT_MAX_COORDINATE, PORTRAIT_MAX_COORDINATE));
    return portrait;
}
