#pragma once
// image: a picture file (or another SVG document) placed in a viewport. The picture
// itself is loaded by the renderer.

#include "svg/model/dom/custom_viewbox.h"

class TSVGImage : public TSVGCustomViewBox {
public:
    explicit TSVGImage(TSVGDocument *aOwner);
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGImage"); }
    TSVGElementType SVGType() const override { return etImage; }
    void AssignProperties(const TSVGElement &Source) override;
    void Clear() override;

    // The href with a leading "#" removed.
    const QString &Reference() const { return FReference; }
    void SetReference(const QString &Value);

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    QString FReference;
};
