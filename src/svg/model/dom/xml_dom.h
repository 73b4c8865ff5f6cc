#pragma once
// The XML side of document loading: parsing bytes into a pugixml DOM (entities of an
// internal DTD subset expanded, an external DTD never fetched) and the few node
// queries the element tree needs. Namespaces are resolved by walking the xmlns
// attributes, because pugixml itself is namespace-blind.

#include "errors/errors.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <pugixml.hpp>

// Malformed XML, or a document whose entities would expand beyond the size limit.
class EXMLParseError : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};

namespace svgxml {

// Parses bytes with the encoding taken from the byte-order mark or the XML
// declaration; with forceUtf8 the bytes are UTF-8 whatever the declaration says
// (text that was a QString before). Raises EXMLParseError.
std::unique_ptr<pugi::xml_document> Parse(const QByteArray &bytes, bool forceUtf8 = false);

// Replaces references to general entities declared in the internal DTD subset by
// their text (recursively, in content and attribute values; never inside comments,
// CDATA sections or processing instructions). Returns the input unchanged when it
// declares no entity. Raises EXMLParseError when the expansion would exceed
// maxOutput bytes or entities refer to themselves.
QByteArray ExpandInternalEntities(const QByteArray &bytes, qsizetype maxOutput);

// The element name without its prefix; empty for nodes that are not elements.
QString LocalName(pugi::xml_node node);
QString LocalName(pugi::xml_attribute attr);
// Whether an element's name without prefix is exactly `name` (no allocation).
bool LocalNameIs(pugi::xml_node node, const char *name);
// The prefix of a qualified name ("xlink" for "xlink:href"), empty when there is none.
QString Prefix(const char *qualifiedName);
// Whether an element belongs to a declared namespace other than SVG's (its prefix, or
// the default namespace when it has none, bound by an xmlns attribute on it or an
// ancestor). Elements in no declared namespace count as SVG, so that documents without
// xmlns still load.
bool IsForeignElement(pugi::xml_node node);

// The node kind under its DOM name: "ntElement", "ntText", "ntCData", ...
QString NodeKindName(pugi::xml_node node);

// The concatenated character data of the node and its descendants.
QString Text(pugi::xml_node node);
// The node serialised as XML.
QString XMLText(pugi::xml_node node);

// True for an element whose only child, white space between tags not counted, is
// one text node (a CDATA section does not count).
bool IsTextElement(pugi::xml_node node);

// The namespace URI bound to a prefix at the node (the nearest xmlns:prefix of the
// node or an ancestor; "xml" is predefined); empty when none is bound.
QString NamespaceOfPrefix(pugi::xml_node node, const QString &prefix);

// The attribute with this local name in this namespace (an empty URI: an attribute
// without prefix); a null attribute when absent.
pugi::xml_attribute FindAttribute(pugi::xml_node node, const QString &localName,
                                  const QString &namespaceURI);

inline QString ToQString(const char *text) { return QString::fromUtf8(text); }

} // namespace svgxml
