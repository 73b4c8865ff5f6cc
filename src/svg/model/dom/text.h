#pragma once
// Text content: text and tspan (both TSVGText) and tref.

#include "svg/model/dom/structure.h"

// One piece of a text element's content in document order: a run of character data
// (raw, white space untouched) or a child element.
struct TSVGTextContent {
    QString Text;        // the characters of a text or CDATA node
    int ChildIndex = -1; // index in Items of a child element, -1 for character data
    friend bool operator==(const TSVGTextContent &, const TSVGTextContent &) = default;
};

class TSVGText : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGText"); }
    TSVGElementType SVGType() const override { return etText; }
    void AssignProperties(const TSVGElement &Source) override;
    void Clear() override;

    // The trimmed text, taken only when the element holds exactly one text node.
    const QString &Text() const { return FText; }
    void SetText(const QString &Value);
    // Every text and CDATA run and child element in order (for text layout).
    const QList<TSVGTextContent> &Content() const { return FContent; }

protected:
    void LoadAttributes(pugi::xml_node Node) override;
    int CreateChild(pugi::xml_node Node) override;
    void ChildNodeRead(pugi::xml_node Child, int Index) override;

private:
    QString FText;
    QList<TSVGTextContent> FContent;
};

class TSVGTextRef : public TSVGUse {
public:
    using TSVGUse::TSVGUse;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGTextRef"); }
    TSVGElementType SVGType() const override { return etTRef; }
};
