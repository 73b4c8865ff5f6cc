// The portrait file format: what a written file reads back as, and the exact
// message for each kind of file it refuses.

#include "assets/untVuploraPortrait.h"
#include "errors/errors.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <functional>

namespace {

TPortrait Sample()
{
    TPortrait p;
    p.Pack = 2;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
        if (t != fiPaopao)
            p.Layers[t] = {t % 3 != 0, t % 3 != 0 ? t * 7 : 0, t == fiHair ? 0x80D22A2Au : 0u, QPointF(t * 10.5, -130 + t),
                           t != fiEmoji};
    p.Bubble = {true, 3, QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"><text>你好 \"x\" & y</text></svg>"),
                QStringLiteral("before"), QStringLiteral("多行\ntext"), QRectF(-12.25, 900, 273, 209.5)};
    p.Watermark = QPointF(-30, 994.5);
    return p;
}

TEST(PortraitFormat, AWrittenPortraitReadsBackWithEveryField)
{
    const TPortrait p = Sample();
    const QByteArray file = WritePortrait(p);
    EXPECT_TRUE(ReadPortrait(file) == p);
    // A file people can read: named layers, the format's name and version.
    const QJsonObject root = QJsonDocument::fromJson(file).object();
    EXPECT_EQ(root.value(QStringLiteral("format")).toString(), QStringLiteral("vuplora-portrait"));
    EXPECT_EQ(root.value(QStringLiteral("version")).toInt(), 1);
    EXPECT_EQ(root.value(QStringLiteral("layers")).toObject().value(QStringLiteral("Hair")).toObject().value(
                  QStringLiteral("color")).toDouble(),
              double(0x80D22A2Au));
    EXPECT_TRUE(root.value(QStringLiteral("layers")).toObject().value(QStringLiteral("Eye")).toObject().value(
        QStringLiteral("item")).isNull());
}

// Numbers in any JSON spelling: a zero with a large exponent or many zeros once
// read as a tiny non-zero number.
TEST(PortraitFormat, NumbersReadInAnySpelling)
{
    const TPortrait p = Sample();
    QByteArray file = WritePortrait(p);
    const QByteArray place = "\"x\": -30,";
    ASSERT_TRUE(file.contains(place)) << file.constData();
    for (const char *zero : {"0e92", "0.000e-400", "-0E+308", "0.0000000000000000000000000000000000"}) {
        SCOPED_TRACE(zero);
        QByteArray edited = file;
        edited.replace(place, QByteArray("\"x\": ").append(zero).append(","));
        EXPECT_EQ(ReadPortrait(edited).Watermark.x(), 0.0);
    }
}

// The sample's file with one change made to its JSON.
QByteArray Edited(const std::function<void(QJsonObject &)> &aoEdit)
{
    QJsonObject root = QJsonDocument::fromJson(WritePortrait(Sample())).object();
    aoEdit(root);
    return QJsonDocument(root).toJson();
}

void SetIn(QJsonObject &aoRoot, const QString &asObject, const QString &asSub, const QString &asKey,
           const QJsonValue &aoValue)
{
    QJsonObject o = aoRoot.value(asObject).toObject();
    if (asSub.isEmpty()) {
        o.insert(asKey, aoValue);
    } else {
        QJsonObject s = o.value(asSub).toObject();
        if (aoValue.isUndefined())
            s.remove(asKey);
        else
            s.insert(asKey, aoValue);
        o.insert(asSub, s);
    }
    aoRoot.insert(asObject, o);
}

TEST(PortraitFormat, MalformedFilesAreRefusedWithAMessageNamingTheFault)
{
    const auto L = [](const char *k, const QJsonValue &v) {
        return Edited([=](QJsonObject &r) { SetIn(r, QStringLiteral("layers"), QStringLiteral("Hair"), QLatin1String(k), v); });
    };
    const auto B = [](const char *k, const QJsonValue &v) {
        return Edited([=](QJsonObject &r) { SetIn(r, QStringLiteral("bubble"), QString(), QLatin1String(k), v); });
    };
    const auto R = [](const char *k, const QJsonValue &v) {
        return Edited([=](QJsonObject &r) { r.insert(QLatin1String(k), v); });
    };
    // Raw edits of a written file, for what a JSON object cannot hold.
    const auto Raw = [](const char *asAfter, const char *asInsert) {
        QByteArray file = WritePortrait(Sample());
        const qsizetype at = file.indexOf('{', file.indexOf(asAfter));
        return file.insert(at + 1, asInsert);
    };
    QByteArray nulFormat = WritePortrait(Sample());
    nulFormat.replace("\"vuplora-portrait\"", "\"vuplora-portrait\\u0000junk\"");
    const struct {
        const char *Case;
        QByteArray File;
        const char *Message;
    } cases[] = {
        {"format with a NUL and more", nulFormat, "Not a portrait file: \"format\" is not \"vuplora-portrait\"."},
        {"a field twice", Raw("", "\"pack\": 2,"), "Not a portrait file: \"pack\" appears twice."},
        {"a layer's field twice", Raw("\"Hair\"", "\"x\": 5,"), "Not a portrait file: \"layers.Hair.x\" appears twice."},
        {"not JSON", "PNG\x89", "Not a portrait file: Invalid value. (offset 0)."},
        {"cut short", WritePortrait(Sample()).left(200), nullptr},
        {"an array", "[1, 2]", "Not a portrait file: the file holds no JSON object."},
        {"another format", R("format", QStringLiteral("svg")), "Not a portrait file: \"format\" is not \"vuplora-portrait\"."},
        {"newer version", R("version", 2), "Not a portrait file: format version 2 is not supported (this program reads version 1)."},
        {"version as text", R("version", QStringLiteral("1")), "Not a portrait file: \"version\" has the wrong type."},
        {"unknown pack", R("pack", 3), "Not a portrait file: pack 3 is unknown."},
        {"pack missing", Edited([](QJsonObject &r) { r.remove(QStringLiteral("pack")); }), "Not a portrait file: \"pack\" is missing."},
        {"layer missing", Edited([](QJsonObject &r) { SetIn(r, QStringLiteral("layers"), QStringLiteral("Hair"), QStringLiteral("x"), QJsonValue::Undefined); }),
         "Not a portrait file: \"layers.Hair.x\" is missing."},
        {"item as text", L("item", QStringLiteral("3")), "Not a portrait file: \"layers.Hair.item\" has the wrong type."},
        {"item fractional", L("item", 2.5), "Not a portrait file: \"layers.Hair.item\" has the wrong type."},
        {"item negative", L("item", -1), "Not a portrait file: \"layers.Hair.item\" is out of range."},
        {"item huge", L("item", 1e12), "Not a portrait file: \"layers.Hair.item\" is out of range."},
        {"colour over 32 bits", L("color", 4294967296.0), "Not a portrait file: \"layers.Hair.color\" is out of range."},
        {"place far away", L("y", 1e300), "Not a portrait file: \"layers.Hair.y\" is out of range."},
        {"visible as number", L("visible", 1), "Not a portrait file: \"layers.Hair.visible\" has the wrong type."},
        {"bubble without size", B("width", 0), "Not a portrait file: \"bubble.width\" is out of range."},
        {"bubble text as number", B("text", 5), "Not a portrait file: \"bubble.text\" has the wrong type."},
        {"huge text", B("text", QString(70000, u'x')), "Not a portrait file: \"bubble.text\" is out of range."},
        {"number past double", QByteArray(R"({"format":"vuplora-portrait","version":1e400})"),
         "Not a portrait file: Number too big to be stored in double. (offset 39)."},
        {"too large", QByteArray(9 * 1024 * 1024, ' '), "Not a portrait file: it is larger than 8 MiB."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Case);
        try {
            ReadPortrait(c.File);
            ADD_FAILURE() << "accepted";
        } catch (const EVuploraError &e) {
            if (c.Message)
                EXPECT_EQ(e.Message().toStdString(), c.Message);
            else
                EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Not a portrait file: "))) << e.what();
        }
    }
}

} // namespace
