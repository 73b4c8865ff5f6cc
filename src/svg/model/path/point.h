#pragma once
// A single-precision point. Path geometry is stored and combined in single precision,
// so relative coordinates and the textual form of a path come out as the stored floats.

#include <QPointF>

struct TPointF {
    float X = 0;
    float Y = 0;

    constexpr TPointF() = default;
    constexpr TPointF(float x, float y) : X(x), Y(y) {}
    explicit TPointF(const QPointF &p) : X(float(p.x())), Y(float(p.y())) {}

    QPointF ToQPointF() const { return QPointF(X, Y); }

    friend constexpr TPointF operator+(TPointF a, TPointF b) { return {a.X + b.X, a.Y + b.Y}; }
    friend constexpr TPointF operator-(TPointF a, TPointF b) { return {a.X - b.X, a.Y - b.Y}; }
    friend constexpr TPointF operator*(TPointF a, float k) { return {a.X * k, a.Y * k}; }
    friend constexpr bool operator==(TPointF a, TPointF b) = default;
};
