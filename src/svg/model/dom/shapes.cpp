#include "svg/model/dom/shapes.h"

#include "svg/model/values/lists.h"
#include "svg/model/dom/xml_dom.h"

#include <algorithm>

// --- circle

std::unique_ptr<TSVGElement> TSVGCircle::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGCircle>(aOwner);
}

float TSVGCircle::Width() const
{
    return ResolvePercent(StoredWidthLength(), TSVGAxis::Diagonal);
}

float TSVGCircle::Height() const
{
    return Width();
}

QRectF TSVGCircle::BoundsRect() const
{
    const float x = X(), y = Y(), r = Width();
    return QRectF(QPointF(x - r, y - r), QPointF(x + r, y + r));
}

void TSVGCircle::LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &factors)
{
    TSVGGraphicElement::LoadLengths(Node, factors);
    const TSVGLength cx = ReadLengthAttribute(Node, "cx", factors, StoredXLength());
    SetX(cx.Value);
    SetXIsPercent(cx.IsPercent);
    const TSVGLength cy = ReadLengthAttribute(Node, "cy", factors, StoredYLength());
    SetY(cy.Value);
    SetYIsPercent(cy.IsPercent);
    const TSVGLength r = ReadLengthAttribute(Node, "r", factors, StoredWidthLength());
    SetWidth(r.Value);
    SetHeight(r.Value);
    SetWidthIsPercent(r.IsPercent);
    SetHeightIsPercent(r.IsPercent);
}

// --- ellipse

std::unique_ptr<TSVGElement> TSVGEllipse::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGEllipse>(aOwner);
}

QRectF TSVGEllipse::BoundsRect() const
{
    const float x = X(), y = Y(), rx = Width(), ry = Height();
    return QRectF(QPointF(x - rx, y - ry), QPointF(x + rx, y + ry));
}

void TSVGEllipse::LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &factors)
{
    TSVGGraphicElement::LoadLengths(Node, factors);
    const TSVGLength cx = ReadLengthAttribute(Node, "cx", factors, StoredXLength());
    SetX(cx.Value);
    SetXIsPercent(cx.IsPercent);
    const TSVGLength cy = ReadLengthAttribute(Node, "cy", factors, StoredYLength());
    SetY(cy.Value);
    SetYIsPercent(cy.IsPercent);
    const TSVGLength rx = ReadLengthAttribute(Node, "rx", factors, StoredWidthLength());
    SetWidth(rx.Value);
    SetWidthIsPercent(rx.IsPercent);
    const TSVGLength ry = ReadLengthAttribute(Node, "ry", factors, StoredHeightLength());
    SetHeight(ry.Value);
    SetHeightIsPercent(ry.IsPercent);
}

// --- rect

std::unique_ptr<TSVGElement> TSVGRectangle::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGRectangle>(aOwner);
}

void TSVGRectangle::AssignProperties(const TSVGElement &Source)
{
    TSVGGraphicElement::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGRectangle *>(&Source)) {
        FRX = src->FRX;
        FRY = src->FRY;
    }
}

float TSVGRectangle::RX() const
{
    const float rx = ResolvePercent(FRX, TSVGAxis::Horizontal);
    return std::clamp(rx, 0.0f, std::max(0.0f, Width() / 2));
}

float TSVGRectangle::RY() const
{
    const float ry = ResolvePercent(FRY, TSVGAxis::Vertical);
    return std::clamp(ry, 0.0f, std::max(0.0f, Height() / 2));
}

void TSVGRectangle::SetRX(float Value)
{
    Value = std::max(Value, 0.0f);
    if (FRX == TSVGLength{Value})
        return;
    FRX = TSVGLength{Value};
    Changed();
}

void TSVGRectangle::SetRY(float Value)
{
    Value = std::max(Value, 0.0f);
    if (FRY == TSVGLength{Value})
        return;
    FRY = TSVGLength{Value};
    Changed();
}

void TSVGRectangle::LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &factors)
{
    TSVGGraphicElement::LoadLengths(Node, factors);
    const bool hasRX = HasAttribute(Node, "rx");
    const bool hasRY = HasAttribute(Node, "ry");
    if (!hasRX && !hasRY)
        return;
    FRX = ReadLengthAttribute(Node, "rx", factors, FRX);
    FRX.Value = std::max(0.0f, FRX.Value);
    FRY = ReadLengthAttribute(Node, "ry", factors, FRY);
    FRY.Value = std::max(0.0f, FRY.Value);
    // A single radius is used for both; a percentage keeps referring to the axis it
    // was written for, so the value is resolved before it is shared.
    if (!hasRY) {
        FRY = TSVGLength{ResolvePercent(FRX, TSVGAxis::Horizontal)};
    } else if (!hasRX) {
        FRX = TSVGLength{ResolvePercent(FRY, TSVGAxis::Vertical)};
    }
}

// --- line

std::unique_ptr<TSVGElement> TSVGLine::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGLine>(aOwner);
}

void TSVGLine::AssignProperties(const TSVGElement &Source)
{
    TSVGGraphicElement::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGLine *>(&Source)) {
        FEndX = src->FEndX;
        FEndY = src->FEndY;
    }
}

float TSVGLine::EndX() const
{
    if (FEndX.IsPercent || XIsPercent())
        return ResolvePercent(FEndX, TSVGAxis::Horizontal);
    return X() + StoredWidth();
}

float TSVGLine::EndY() const
{
    if (FEndY.IsPercent || YIsPercent())
        return ResolvePercent(FEndY, TSVGAxis::Vertical);
    return Y() + StoredHeight();
}

void TSVGLine::SetEndX(float Value)
{
    FEndX = TSVGLength{Value};
    TSVGGraphicElement::SetWidth(Value - X());
}

void TSVGLine::SetEndY(float Value)
{
    FEndY = TSVGLength{Value};
    TSVGGraphicElement::SetHeight(Value - Y());
}

float TSVGLine::Width() const
{
    return std::abs(EndX() - X());
}

float TSVGLine::Height() const
{
    return std::abs(EndY() - Y());
}

QRectF TSVGLine::BoundsRect() const
{
    const float x1 = X(), y1 = Y(), x2 = EndX(), y2 = EndY();
    return QRectF(QPointF(x1, y1), QPointF(x1 == x2 ? x2 + 1 : x2, y1 == y2 ? y2 + 1 : y2));
}

void TSVGLine::LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &factors)
{
    TSVGGraphicElement::LoadLengths(Node, factors);
    const TSVGLength x1 = ReadLengthAttribute(Node, "x1", factors, StoredXLength());
    SetX(x1.Value);
    SetXIsPercent(x1.IsPercent);
    const TSVGLength y1 = ReadLengthAttribute(Node, "y1", factors, StoredYLength());
    SetY(y1.Value);
    SetYIsPercent(y1.IsPercent);
    // An absent end keeps the current end point.
    const float endX = EndX(), endY = EndY();
    FEndX = ReadLengthAttribute(Node, "x2", factors, TSVGLength{endX, FEndX.IsPercent});
    FEndY = ReadLengthAttribute(Node, "y2", factors, TSVGLength{endY, FEndY.IsPercent});
    TSVGGraphicElement::SetWidth(FEndX.Value - StoredX());
    TSVGGraphicElement::SetHeight(FEndY.Value - StoredY());
}

// --- polyline, polygon

std::unique_ptr<TSVGElement> TSVGPolyline::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGPolyline>(aOwner);
}

void TSVGPolyline::AssignProperties(const TSVGElement &Source)
{
    TSVGGraphicElement::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGPolyline *>(&Source))
        FPoints = src->FPoints;
}

void TSVGPolyline::SetPoints(const QList<QPointF> &Value)
{
    FPoints = Value;
    Changed();
}

QRectF TSVGPolyline::BoundsRect() const
{
    if (FPoints.isEmpty())
        return QRectF();
    qreal left = FPoints[0].x(), right = left, top = FPoints[0].y(), bottom = top;
    for (const QPointF &p : FPoints) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

void TSVGPolyline::LoadAttributes(pugi::xml_node Node)
{
    TSVGGraphicElement::LoadAttributes(Node);
    const pugi::xml_attribute points = Node.attribute("points");
    FPoints = points ? ParsePoints(svgxml::ToQString(points.value())) : QList<QPointF>();
}

std::unique_ptr<TSVGElement> TSVGPolygon::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGPolygon>(aOwner);
}

// --- path

TSVGPath::TSVGPath(TSVGDocument *aOwner) : TSVGGraphicElement(aOwner)
{
    FPath.SetOnChanged([this](TRSPathData *) { Changed(); });
}

std::unique_ptr<TSVGElement> TSVGPath::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGPath>(aOwner);
}

void TSVGPath::AssignProperties(const TSVGElement &Source)
{
    TSVGGraphicElement::AssignProperties(Source);
    if (const auto *src = dynamic_cast<const TSVGPath *>(&Source))
        FPath.Assign(src->FPath);
}

QRectF TSVGPath::BoundsRect() const
{
    return FPath.GetBounds();
}

void TSVGPath::LoadAttributes(pugi::xml_node Node)
{
    TSVGGraphicElement::LoadAttributes(Node);
    if (const pugi::xml_attribute d = Node.attribute("d"))
        FPath.SetData(svgxml::ToQString(d.value()));
}
