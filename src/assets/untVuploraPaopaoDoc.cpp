#include "assets/untVuploraPaopaoDoc.h"

#include "assets/untVuplora.h"
#include "errors/errors.h"

#include <QBuffer>
#include <QLocale>

#include <pugixml.hpp>

#include <memory>

QString gsPaopaoText;

namespace {

const char TEXT_ELEMENT[] = "text";

// Keeps comments, declarations and white space, so that writing the document
// back changes nothing but the text.
constexpr unsigned PARSE_OPTIONS = pugi::parse_default | pugi::parse_declaration | pugi::parse_doctype
                                   | pugi::parse_comments | pugi::parse_pi | pugi::parse_ws_pcdata;

std::unique_ptr<pugi::xml_document> ParseBubble(QIODevice &aoStream)
{
    aoStream.seek(0);
    const QByteArray data = aoStream.readAll();
    auto document = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result =
        document->load_buffer(data.constData(), size_t(data.size()), PARSE_OPTIONS, pugi::encoding_auto);
    if (!result)
        throw EVuploraError(QStringLiteral("XML error at offset %1: %2")
                                .arg(qlonglong(result.offset))
                                .arg(QString::fromUtf8(result.description())));
    return document;
}

bool IsSvgRoot(const pugi::xml_document &aoDocument)
{
    return qstrcmp(aoDocument.document_element().name(), "svg") == 0;
}

// The element's text; an element with anything but text in it has none to edit.
QString TextOf(pugi::xml_node aoElement)
{
    QByteArray text;
    for (pugi::xml_node child = aoElement.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_pcdata && child.type() != pugi::node_cdata)
            throw EVuploraError(QStringLiteral("Element \"%1\" does not contain a single text node")
                                    .arg(QString::fromUtf8(aoElement.name())));
        text += child.value();
    }
    return QString::fromUtf8(text);
}

// XML 1.0 carries no control characters but tab, line feed and carriage return.
QString WithoutControlCharacters(const QString &asText)
{
    QString out;
    out.reserve(asText.size());
    for (const QChar c : asText)
        if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')
            out.append(c);
    return out;
}

class TBufferWriter : public pugi::xml_writer {
public:
    explicit TBufferWriter(QByteArray &aoOut) : moOut(aoOut) {}
    void write(const void *aoData, size_t aiSize) override
    {
        moOut.append(static_cast<const char *>(aoData), qsizetype(aiSize));
    }

private:
    QByteArray &moOut;
};

float ParseCoordinate(const pugi::xml_node &aoElement)
{
    const QString text = QString::fromUtf8(aoElement.text().get()).trimmed();
    bool ok = false;
    // Shipped values are plain decimals; the user's own separator is taken too.
    float value = QLocale::c().toFloat(text, &ok);
    if (!ok)
        value = QLocale().toFloat(text, &ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

} // namespace

namespace {

const char FULL_TEXT[] = "fulltext";
const char DESIGN_SIZE[] = "designfontsize";

pugi::xml_node TextElement(const pugi::xml_document &aoDocument)
{
    return IsSvgRoot(aoDocument) ? aoDocument.document_element().child(TEXT_ELEMENT) : pugi::xml_node();
}

// The text the user gave: a text cut short to fit keeps it aside.
QString FullTextOf(pugi::xml_node aoText)
{
    if (const pugi::xml_attribute full = aoText.attribute(FULL_TEXT))
        return QString::fromUtf8(full.value());
    return TextOf(aoText);
}

void SetText(pugi::xml_node aoText, const QString &asText)
{
    while (aoText.first_child())
        aoText.remove_child(aoText.first_child());
    aoText.append_child(pugi::node_pcdata).set_value(WithoutControlCharacters(asText).toUtf8().constData());
}

void ReplaceText(pugi::xml_document &aoDocument, const QString &asText)
{
    // Another root is not a bubble: its text is not even looked at.
    if (!IsSvgRoot(aoDocument))
        return;
    pugi::xml_node text = TextElement(aoDocument);
    gsPaopaoText = text ? FullTextOf(text) : QString();
    if (text && !asText.isEmpty()) {
        SetText(text, asText);
        // A new text is whole until it is fitted again.
        text.remove_attribute(FULL_TEXT);
    }
}

void WriteBack(const pugi::xml_document &aoDocument, QBuffer &aoStream)
{
    QByteArray out;
    TBufferWriter writer(out);
    aoDocument.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    aoStream.buffer().clear();
    aoStream.seek(0);
    aoStream.write(out);
    aoStream.seek(0);
}

void ReadStartPoint(const pugi::xml_document &aoDocument, float &X, float &Y)
{
    X = 0;
    Y = 0;
    if (!IsSvgRoot(aoDocument))
        return;
    const pugi::xml_node root = aoDocument.document_element();
    if (const pugi::xml_node x = root.child("startPointX"))
        X = ParseCoordinate(x);
    if (const pugi::xml_node y = root.child("startPointY"))
        Y = ParseCoordinate(y);
}

} // namespace

void SetPaopaoText(QBuffer &aoStream, const QString &asText)
{
    std::unique_ptr<pugi::xml_document> document = ParseBubble(aoStream);
    ReplaceText(*document, asText);
    WriteBack(*document, aoStream);
}

void GetPaopaoStartPoint(QIODevice &aoStream, float &X, float &Y)
{
    X = 0;
    Y = 0;
    ReadStartPoint(*ParseBubble(aoStream), X, Y);
}

void PreparePaopaoDocument(QBuffer &aoStream, float &X, float &Y)
{
    X = 0;
    Y = 0;
    std::unique_ptr<pugi::xml_document> document = ParseBubble(aoStream);
    ReplaceText(*document, QString());
    WriteBack(*document, aoStream);
    ReadStartPoint(*document, X, Y);
}

bool ReadPaopaoTextFit(QIODevice &aoStream, TPaopaoTextFit &aoFit)
{
    const std::unique_ptr<pugi::xml_document> document = ParseBubble(aoStream);
    const pugi::xml_node text = TextElement(*document);
    if (!text)
        return false;
    aoFit.DesignSize = text.attribute(DESIGN_SIZE).as_float(0);
    aoFit.FullText = FullTextOf(text);
    return true;
}

void WritePaopaoTextFit(QBuffer &aoStream, float arSize, const QString &asShown, const TPaopaoTextFit &aoFit)
{
    std::unique_ptr<pugi::xml_document> document = ParseBubble(aoStream);
    pugi::xml_node text = TextElement(*document);
    if (!text)
        return;
    const auto set = [&text](const char *asName, const QByteArray &aoValue) {
        pugi::xml_attribute attribute = text.attribute(asName);
        if (!attribute)
            attribute = text.append_attribute(asName);
        attribute.set_value(aoValue.constData());
    };
    set("font-size", QByteArray::number(arSize, 'g', 6));
    set(DESIGN_SIZE, QByteArray::number(aoFit.DesignSize, 'g', 6));
    if (asShown == aoFit.FullText)
        text.remove_attribute(FULL_TEXT);
    else
        set(FULL_TEXT, WithoutControlCharacters(aoFit.FullText).toUtf8());
    SetText(text, asShown);
    WriteBack(*document, aoStream);
}
