#include "svg/model/dom/xml_dom.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <cstring>
#include <sstream>

namespace svgxml {

namespace {

// Entity expansion beyond this many bytes on top of the input is refused: documents
// from illustration tools use a handful of short namespace entities, while nested
// entities can otherwise blow a few bytes up to gigabytes.
constexpr qsizetype ExpansionAllowance = 8 * 1024 * 1024;
constexpr int MaxEntityDepth = 16;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool StartsAt(const QByteArray &s, qsizetype pos, const char *what)
{
    const qsizetype n = qsizetype(std::strlen(what));
    return pos + n <= s.size() && std::memcmp(s.constData() + pos, what, size_t(n)) == 0;
}

// Index just past the terminator, or the end of the text.
qsizetype SkipPast(const QByteArray &s, qsizetype pos, const char *terminator)
{
    const qsizetype found = s.indexOf(terminator, pos);
    return found < 0 ? s.size() : found + qsizetype(std::strlen(terminator));
}

// Skips a markup declaration (<!ELEMENT ...>, <!ATTLIST ...>) honouring quotes.
qsizetype SkipDeclaration(const QByteArray &s, qsizetype pos)
{
    char quote = 0;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return pos + 1;
        }
    }
    return pos;
}

qsizetype ReadName(const QByteArray &s, qsizetype pos, QByteArray &name)
{
    const qsizetype start = pos;
    while (pos < s.size() && !IsSpace(s[pos]) && s[pos] != '>' && s[pos] != '"' &&
           s[pos] != '\'' && s[pos] != '%')
        ++pos;
    name = s.mid(start, pos - start);
    return pos;
}

qsizetype SkipSpaces(const QByteArray &s, qsizetype pos)
{
    while (pos < s.size() && IsSpace(s[pos]))
        ++pos;
    return pos;
}

// Reads the entity declarations of an internal subset that starts at pos (just after
// "["). Returns the index after the closing "]".
qsizetype ReadInternalSubset(const QByteArray &s, qsizetype pos,
                             QHash<QByteArray, QByteArray> &entities)
{
    while (pos < s.size()) {
        pos = SkipSpaces(s, pos);
        if (pos >= s.size())
            break;
        if (s[pos] == ']')
            return pos + 1;
        if (StartsAt(s, pos, "<!--")) {
            pos = SkipPast(s, pos + 4, "-->");
        } else if (StartsAt(s, pos, "<?")) {
            pos = SkipPast(s, pos + 2, "?>");
        } else if (StartsAt(s, pos, "<!ENTITY")) {
            const qsizetype declStart = pos;
            pos = SkipSpaces(s, pos + 8);
            if (pos < s.size() && s[pos] == '%') {
                // Parameter entities only shape the DTD; nothing of ours uses them.
                pos = SkipDeclaration(s, declStart + 2);
                continue;
            }
            QByteArray name;
            pos = SkipSpaces(s, ReadName(s, pos, name));
            if (pos < s.size() && (s[pos] == '"' || s[pos] == '\'')) {
                const char quote = s[pos];
                const qsizetype end = s.indexOf(quote, pos + 1);
                if (end < 0)
                    return s.size();
                if (!name.isEmpty() && !entities.contains(name))
                    entities.insert(name, s.mid(pos + 1, end - pos - 1));
                pos = SkipDeclaration(s, end + 1);
            } else {
                // External entities (SYSTEM / PUBLIC) are never fetched.
                pos = SkipDeclaration(s, declStart + 2);
            }
        } else if (StartsAt(s, pos, "<!")) {
            pos = SkipDeclaration(s, pos + 2);
        } else {
            ++pos; // parameter-entity references and stray characters
        }
    }
    return pos;
}

class TExpander {
public:
    TExpander(const QHash<QByteArray, QByteArray> &entities, qsizetype limit)
        : FEntities(entities), FLimit(limit) {}

    void Expand(const QByteArray &s, qsizetype from, QByteArray &out, int depth)
    {
        qsizetype pos = from;
        qsizetype copied = from;
        auto flush = [&](qsizetype upto) {
            Append(out, s.constData() + copied, upto - copied);
            copied = upto;
        };
        while (pos < s.size()) {
            const char c = s[pos];
            if (c == '<') {
                qsizetype skipTo = -1;
                if (StartsAt(s, pos, "<!--"))
                    skipTo = SkipPast(s, pos + 4, "-->");
                else if (StartsAt(s, pos, "<![CDATA["))
                    skipTo = SkipPast(s, pos + 9, "]]>");
                else if (StartsAt(s, pos, "<?"))
                    skipTo = SkipPast(s, pos + 2, "?>");
                if (skipTo >= 0) {
                    pos = skipTo;
                    continue;
                }
                ++pos;
            } else if (c == '&') {
                const qsizetype semicolon = s.indexOf(';', pos + 1);
                if (semicolon < 0 || semicolon - pos > 128) {
                    ++pos;
                    continue;
                }
                const QByteArray name = s.mid(pos + 1, semicolon - pos - 1);
                const auto it = FEntities.constFind(name);
                if (it == FEntities.constEnd()) {
                    ++pos;
                    continue;
                }
                if (depth >= MaxEntityDepth || FActive.contains(name))
                    throw EXMLParseError(
                        QStringLiteral("The entity \"%1\" refers to itself")
                            .arg(QString::fromUtf8(name)));
                flush(pos);
                FActive.insert(name);
                Expand(it.value(), 0, out, depth + 1);
                FActive.remove(name);
                pos = semicolon + 1;
                copied = pos;
            } else {
                ++pos;
            }
        }
        flush(s.size());
    }

private:
    void Append(QByteArray &out, const char *data, qsizetype n)
    {
        if (n <= 0)
            return;
        if (out.size() + n > FLimit)
            throw EXMLParseError(
                QStringLiteral("Entity expansion exceeds the size limit of the document"));
        out.append(data, n);
    }

    const QHash<QByteArray, QByteArray> &FEntities;
    QSet<QByteArray> FActive;
    qsizetype FLimit;
};

bool IsWhiteSpaceText(pugi::xml_node node)
{
    if (node.type() != pugi::node_pcdata)
        return false;
    for (const char *p = node.value(); *p; ++p)
        if (!IsSpace(*p))
            return false;
    return true;
}

void CollectText(pugi::xml_node node, QByteArray &out)
{
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            out.append(child.value());
        else if (child.type() == pugi::node_element)
            CollectText(child, out);
    }
}

} // namespace

QByteArray ExpandInternalEntities(const QByteArray &bytes, qsizetype maxOutput)
{
    // Prolog: an optional byte-order mark, the declaration, comments and processing
    // instructions; the DOCTYPE must come before the first element.
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    for (;;) {
        pos = SkipSpaces(bytes, pos);
        if (StartsAt(bytes, pos, "<?"))
            pos = SkipPast(bytes, pos + 2, "?>");
        else if (StartsAt(bytes, pos, "<!--"))
            pos = SkipPast(bytes, pos + 4, "-->");
        else
            break;
    }
    if (!StartsAt(bytes, pos, "<!DOCTYPE"))
        return bytes;

    QHash<QByteArray, QByteArray> entities;
    char quote = 0;
    for (pos += 9; pos < bytes.size(); ++pos) {
        const char c = bytes[pos];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            pos = ReadInternalSubset(bytes, pos + 1, entities) - 1;
        } else if (c == '>') {
            ++pos;
            break;
        }
    }
    if (entities.isEmpty())
        return bytes;

    QByteArray out;
    out.reserve(bytes.size());
    out.append(bytes.constData(), pos);
    TExpander expander(entities, maxOutput);
    expander.Expand(bytes, pos, out, 0);
    return out;
}

std::unique_ptr<pugi::xml_document> Parse(const QByteArray &bytes, bool forceUtf8)
{
    QByteArray data = bytes;
    pugi::xml_encoding encoding = forceUtf8 ? pugi::encoding_utf8 : pugi::encoding_auto;
    // UTF-16 text is turned into UTF-8 first so that entity expansion can work on
    // bytes; the declaration's encoding is then overridden.
    if (!forceUtf8 && data.size() >= 2 &&
        ((uchar(data[0]) == 0xFF && uchar(data[1]) == 0xFE) ||
         (uchar(data[0]) == 0xFE && uchar(data[1]) == 0xFF))) {
        const bool littleEndian = uchar(data[0]) == 0xFF;
        QStringDecoder decoder(littleEndian ? QStringConverter::Utf16LE
                                            : QStringConverter::Utf16BE);
        const QString text = decoder.decode(QByteArrayView(data).sliced(2));
        data = text.toUtf8();
        encoding = pugi::encoding_utf8;
    }
    data = ExpandInternalEntities(data, data.size() + ExpansionAllowance);

    auto document = std::make_unique<pugi::xml_document>();
    const unsigned options = pugi::parse_default | pugi::parse_ws_pcdata;
    const pugi::xml_parse_result result =
        document->load_buffer(data.constData(), size_t(data.size()), options, encoding);
    if (!result)
        throw EXMLParseError(QStringLiteral("XML error at offset %1: %2")
                                 .arg(qlonglong(result.offset))
                                 .arg(QString::fromUtf8(result.description())));
    if (!document->document_element())
        throw EXMLParseError(QStringLiteral("XML error: the document has no root element"));
    return document;
}

QString LocalName(pugi::xml_node node)
{
    if (node.type() != pugi::node_element)
        return QString();
    const char *name = node.name();
    const char *colon = std::strrchr(name, ':');
    return QString::fromUtf8(colon ? colon + 1 : name);
}

bool LocalNameIs(pugi::xml_node node, const char *name)
{
    if (node.type() != pugi::node_element)
        return false;
    const char *full = node.name();
    const char *colon = std::strrchr(full, ':');
    return std::strcmp(colon ? colon + 1 : full, name) == 0;
}

QString LocalName(pugi::xml_attribute attr)
{
    const char *name = attr.name();
    const char *colon = std::strrchr(name, ':');
    return QString::fromUtf8(colon ? colon + 1 : name);
}

QString Prefix(const char *qualifiedName)
{
    const char *colon = std::strchr(qualifiedName, ':');
    return colon ? QString::fromUtf8(qualifiedName, colon - qualifiedName) : QString();
}

bool IsForeignElement(pugi::xml_node node)
{
    if (node.type() != pugi::node_element)
        return false;
    const char *name = node.name();
    const char *colon = std::strchr(name, ':');
    const std::string declaration =
        colon ? "xmlns:" + std::string(name, size_t(colon - name)) : std::string("xmlns");
    for (pugi::xml_node n = node; n && n.type() == pugi::node_element; n = n.parent())
        if (const pugi::xml_attribute a = n.attribute(declaration.c_str()))
            return std::strcmp(a.value(), "http://www.w3.org/2000/svg") != 0;
    return false;
}

QString NodeKindName(pugi::xml_node node)
{
    switch (node.type()) {
    case pugi::node_element: return QStringLiteral("ntElement");
    case pugi::node_pcdata: return QStringLiteral("ntText");
    case pugi::node_cdata: return QStringLiteral("ntCData");
    case pugi::node_comment: return QStringLiteral("ntComment");
    case pugi::node_pi: return QStringLiteral("ntProcessingInstr");
    case pugi::node_declaration: return QStringLiteral("ntProcessingInstr");
    case pugi::node_doctype: return QStringLiteral("ntDocType");
    case pugi::node_document: return QStringLiteral("ntDocument");
    case pugi::node_null: break;
    }
    return QStringLiteral("ntReserved");
}

QString Text(pugi::xml_node node)
{
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata)
        return QString::fromUtf8(node.value());
    QByteArray out;
    CollectText(node, out);
    return QString::fromUtf8(out);
}

QString XMLText(pugi::xml_node node)
{
    std::ostringstream stream;
    node.print(stream, "", pugi::format_raw);
    return QString::fromStdString(stream.str());
}

bool IsTextElement(pugi::xml_node node)
{
    if (node.type() != pugi::node_element)
        return false;
    // White space between tags is kept for text layout but is no child for this test.
    pugi::xml_node only;
    int count = 0, all = 0;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        ++all;
        if (IsWhiteSpaceText(child))
            continue;
        only = child;
        ++count;
    }
    if (count == 0)
        return all == 1 && node.first_child().type() == pugi::node_pcdata;
    return count == 1 && only.type() == pugi::node_pcdata;
}

QString NamespaceOfPrefix(pugi::xml_node node, const QString &prefix)
{
    if (prefix == QLatin1String("xml"))
        return QStringLiteral("http://www.w3.org/XML/1998/namespace");
    const QByteArray attrName =
        prefix.isEmpty() ? QByteArray("xmlns") : ("xmlns:" + prefix.toUtf8());
    for (pugi::xml_node n = node; n && n.type() == pugi::node_element; n = n.parent()) {
        const pugi::xml_attribute a = n.attribute(attrName.constData());
        if (a)
            return QString::fromUtf8(a.value());
    }
    return QString();
}

pugi::xml_attribute FindAttribute(pugi::xml_node node, const QString &localName,
                                  const QString &namespaceURI)
{
    const QByteArray local = localName.toUtf8();
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        const char *name = a.name();
        const char *colon = std::strchr(name, ':');
        if (!colon) {
            if (namespaceURI.isEmpty() && local == name)
                return a;
            continue;
        }
        if (namespaceURI.isEmpty() || local != colon + 1)
            continue;
        const QString prefix = QString::fromUtf8(name, colon - name);
        if (prefix != QLatin1String("xmlns") && NamespaceOfPrefix(node, prefix) == namespaceURI)
            return a;
    }
    return pugi::xml_attribute();
}

} // namespace svgxml
