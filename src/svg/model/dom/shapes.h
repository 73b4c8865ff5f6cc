#pragma once
// The basic shapes: circle, ellipse, rect, line, polyline, polygon and path.

#include "svg/model/dom/graphic_element.h"

#include <QList>
#include <QPointF>

// cx, cy in X, Y; r in Width and Height. A percentage radius is a share of the
// viewport's normalised diagonal.
class TSVGCircle : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGCircle"); }
    TSVGElementType SVGType() const override { return etCircle; }
    float Width() const override;
    float Height() const override;
    float Radius() const { return Width(); }
    QRectF BoundsRect() const override;

protected:
    void LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &Factors) override;
};

// cx, cy in X, Y; rx, ry in Width, Height.
class TSVGEllipse : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGEllipse"); }
    TSVGElementType SVGType() const override { return etEllipse; }
    QRectF BoundsRect() const override;

protected:
    void LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &Factors) override;
};

class TSVGRectangle : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGRectangle"); }
    TSVGElementType SVGType() const override { return etRectangle; }
    void AssignProperties(const TSVGElement &Source) override;

    // Corner radii: a missing one takes the other's value; limited to half the width
    // (height); negative values count as 0.
    float RX() const;
    float RY() const;
    bool RXIsPercent() const { return FRX.IsPercent; }
    bool RYIsPercent() const { return FRY.IsPercent; }
    void SetRX(float Value);
    void SetRY(float Value);

protected:
    void LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &Factors) override;

private:
    TSVGLength FRX;
    TSVGLength FRY;
};

// x1, y1 in X, Y; the end point kept as x2 - x1 and y2 - y1 in the stored width and
// height, whose Width and Height are the absolute values.
class TSVGLine : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGLine"); }
    TSVGElementType SVGType() const override { return etLine; }
    void AssignProperties(const TSVGElement &Source) override;

    float StartX() const { return X(); }
    float StartY() const { return Y(); }
    float EndX() const;
    float EndY() const;
    void SetStartX(float Value) { SetX(Value); }
    void SetStartY(float Value) { SetY(Value); }
    void SetEndX(float Value);
    void SetEndY(float Value);
    float Width() const override;
    float Height() const override;
    // (x1, y1, x2, y2) as given, one unit wide (high) when the line is vertical
    // (horizontal).
    QRectF BoundsRect() const override;

protected:
    void LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &Factors) override;

private:
    // A percentage end point is kept as given (it cannot be subtracted from x1).
    TSVGLength FEndX;
    TSVGLength FEndY;
};

class TSVGPolyline : public TSVGGraphicElement {
public:
    using TSVGGraphicElement::TSVGGraphicElement;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGPolyline"); }
    TSVGElementType SVGType() const override { return etPolyline; }
    void AssignProperties(const TSVGElement &Source) override;

    const QList<QPointF> &Points() const { return FPoints; }
    void SetPoints(const QList<QPointF> &Value);
    QRectF BoundsRect() const override;

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    QList<QPointF> FPoints;
};

class TSVGPolygon : public TSVGPolyline {
public:
    using TSVGPolyline::TSVGPolyline;
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGPolygon"); }
    TSVGElementType SVGType() const override { return etPolygon; }
};

class TSVGPath : public TSVGGraphicElement {
public:
    explicit TSVGPath(TSVGDocument *aOwner);
    std::unique_ptr<TSVGElement> CreateNew(TSVGDocument *aOwner) const override;
    QString ClassName() const override { return QStringLiteral("TSVGPath"); }
    TSVGElementType SVGType() const override { return etPath; }
    void AssignProperties(const TSVGElement &Source) override;

    TRSPathData &Path() { return FPath; }
    const TRSPathData &Path() const { return FPath; }
    QString Data() const { return FPath.Data(); }
    void SetData(const QString &Value) { FPath.SetData(Value); }
    QRectF BoundsRect() const override;

protected:
    void LoadAttributes(pugi::xml_node Node) override;

private:
    TRSPathData FPath;
};
