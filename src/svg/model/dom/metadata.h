#pragma once
// metadata and script: kept as their XML text, never drawn or styled.

#include "svg/model/dom/element.h"

class TSVGMetadata : public TSVGElement {
public:
    using TSVGElement::TSVGElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGMetadata"); }
    TSVGElementType SVGType() const override { return etMetadata; }
    void AssignProperties(const TSVGElement &Source) override;

    const QString &XMLText() const { return FXMLText; }

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    QString FXMLText;
};

class TSVGScript : public TSVGMetadata {
public:
    using TSVGMetadata::TSVGMetadata;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGScript"); }
    TSVGElementType SVGType() const override { return etScript; }
};
