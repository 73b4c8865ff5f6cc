#include "svg/model/shapes.h"

#include "svg/model/lists.h"
#include "svg/model/xml_dom.h"

#include <algorithm>

// --- circle

std::unique_ptr<TSVGElement> TSVGCircle::CreateNew(TSVGDocument *aOwner) const
{
    return std::make_unique<TSVGCircle>(aOwner);
}

float TSVGCircle::Width() const
{
    return ResolvePercent(StoredWidth(), WidthIsPercent(), TSVGAxis::Diagonal);
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
    bool percent = XIsPercent();
    SetX(ReadLengthAttribute(Node, "cx", percent, factors, StoredX()));
    SetXIsPercent(percent);
    percent = YIsPercent();
    SetY(ReadLengthAttribute(Node, "cy", percent, factors, StoredY()));
    SetYIsPercent(percent);
    percent = WidthIsPercent();
    const float r = ReadLengthAttribute(Node, "r", percent, factors, StoredWidth());
    SetWidth(r);
    SetHeight(r);
    SetWidthIsPercent(percent);
    SetHeightIsPercent(percent);
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
    bool percent = XIsPercent();
    SetX(ReadLengthAttribute(Node, "cx", percent, factors, StoredX()));
    SetXIsPercent(percent);
    percent = YIsPercent();
    SetY(ReadLengthAttribute(Node, "cy", percent, factors, StoredY()));
    SetYIsPercent(percent);
    percent = WidthIsPercent();
    SetWidth(ReadLengthAttribute(Node, "rx", percent, factors, StoredWidth()));
    SetWidthIsPercent(percent);
    percent = HeightIsPercent();
    SetHeight(ReadLengthAttribute(Node, "ry", percent, factors, StoredHeight()));
    SetHeightIsPercent(percent);
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
        FRXIsPercent = src->FRXIsPercent;
        FRYIsPercent = src->FRYIsPercent;
    }
}

float TSVGRectangle::RX() const
{
    const float rx = ResolvePercent(FRX, FRXIsPercent, TSVGAxis::Horizontal);
    return std::clamp(rx, 0.0f, std::max(0.0f, Width() / 2));
}

float TSVGRectangle::RY() const
{
    const float ry = ResolvePercent(FRY, FRYIsPercent, TSVGAxis::Vertical);
    return std::clamp(ry, 0.0f, std::max(0.0f, Height() / 2));
}

void TSVGRectangle::SetRX(float Value)
{
    Value = std::max(Value, 0.0f);
    if (FRX == Value && !FRXIsPercent)
        return;
    FRX = Value;
    FRXIsPercent = false;
    Changed();
}

void TSVGRectangle::SetRY(float Value)
{
    Value = std::max(Value, 0.0f);
    if (FRY == Value && !FRYIsPercent)
        return;
    FRY = Value;
    FRYIsPercent = false;
    Changed();
}

void TSVGRectangle::LoadLengths(pugi::xml_node Node, const TSVGUnitFactors &factors)
{
    TSVGGraphicElement::LoadLengths(Node, factors);
    const bool hasRX = HasAttribute(Node, "rx");
    const bool hasRY = HasAttribute(Node, "ry");
    if (!hasRX && !hasRY)
        return;
    FRX = std::max(0.0f, ReadLengthAttribute(Node, "rx", FRXIsPercent, factors, FRX));
    FRY = std::max(0.0f, ReadLengthAttribute(Node, "ry", FRYIsPercent, factors, FRY));
    // A single radius is used for both; a percentage keeps referring to the axis it
    // was written for, so the value is resolved before it is shared.
    if (!hasRY) {
        FRY = ResolvePercent(FRX, FRXIsPercent, TSVGAxis::Horizontal);
        FRYIsPercent = false;
    } else if (!hasRX) {
        FRX = ResolvePercent(FRY, FRYIsPercent, TSVGAxis::Vertical);
        FRXIsPercent = false;
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
        FEndXIsPercent = src->FEndXIsPercent;
        FEndYIsPercent = src->FEndYIsPercent;
    }
}

float TSVGLine::EndX() const
{
    if (FEndXIsPercent || XIsPercent())
        return ResolvePercent(FEndX, FEndXIsPercent, TSVGAxis::Horizontal);
    return X() + StoredWidth();
}

float TSVGLine::EndY() const
{
    if (FEndYIsPercent || YIsPercent())
        return ResolvePercent(FEndY, FEndYIsPercent, TSVGAxis::Vertical);
    return Y() + StoredHeight();
}

void TSVGLine::SetEndX(float Value)
{
    FEndX = Value;
    FEndXIsPercent = false;
    TSVGGraphicElement::SetWidth(Value - X());
}

void TSVGLine::SetEndY(float Value)
{
    FEndY = Value;
    FEndYIsPercent = false;
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
    bool percent = XIsPercent();
    SetX(ReadLengthAttribute(Node, "x1", percent, factors, StoredX()));
    SetXIsPercent(percent);
    percent = YIsPercent();
    SetY(ReadLengthAttribute(Node, "y1", percent, factors, StoredY()));
    SetYIsPercent(percent);
    // An absent end keeps the current end point.
    const float endX = EndX(), endY = EndY();
    FEndX = ReadLengthAttribute(Node, "x2", FEndXIsPercent, factors, endX);
    FEndY = ReadLengthAttribute(Node, "y2", FEndYIsPercent, factors, endY);
    TSVGGraphicElement::SetWidth(FEndX - StoredX());
    TSVGGraphicElement::SetHeight(FEndY - StoredY());
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
