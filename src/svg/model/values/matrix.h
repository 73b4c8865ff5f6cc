#pragma once
// 3 x 3 single-precision affine matrix used with row vectors:
// (x, y) maps to (x*m11 + y*m21 + m31, x*m12 + y*m22 + m32).
// A product A * B applies A first, which is also QTransform's convention, so the
// conversion at the canvas boundary is a plain copy.

#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <cmath>

struct TMatrix {
    float m11 = 1, m12 = 0, m13 = 0;
    float m21 = 0, m22 = 1, m23 = 0;
    float m31 = 0, m32 = 0, m33 = 1;

    static constexpr TMatrix Identity() { return TMatrix{}; }

    static TMatrix CreateTranslation(float dx, float dy)
    {
        TMatrix m;
        m.m31 = dx;
        m.m32 = dy;
        return m;
    }

    static TMatrix CreateScaling(float sx, float sy)
    {
        TMatrix m;
        m.m11 = sx;
        m.m22 = sy;
        return m;
    }

    // Angle in radians; positive angles turn the x axis towards the y axis.
    static TMatrix CreateRotation(float angle)
    {
        TMatrix m;
        const float c = std::cos(angle), s = std::sin(angle);
        m.m11 = c;
        m.m12 = s;
        m.m21 = -s;
        m.m22 = c;
        return m;
    }

    friend TMatrix operator*(const TMatrix &a, const TMatrix &b)
    {
        TMatrix r;
        r.m11 = a.m11 * b.m11 + a.m12 * b.m21 + a.m13 * b.m31;
        r.m12 = a.m11 * b.m12 + a.m12 * b.m22 + a.m13 * b.m32;
        r.m13 = a.m11 * b.m13 + a.m12 * b.m23 + a.m13 * b.m33;
        r.m21 = a.m21 * b.m11 + a.m22 * b.m21 + a.m23 * b.m31;
        r.m22 = a.m21 * b.m12 + a.m22 * b.m22 + a.m23 * b.m32;
        r.m23 = a.m21 * b.m13 + a.m22 * b.m23 + a.m23 * b.m33;
        r.m31 = a.m31 * b.m11 + a.m32 * b.m21 + a.m33 * b.m31;
        r.m32 = a.m31 * b.m12 + a.m32 * b.m22 + a.m33 * b.m32;
        r.m33 = a.m31 * b.m13 + a.m32 * b.m23 + a.m33 * b.m33;
        return r;
    }

    friend bool operator==(const TMatrix &, const TMatrix &) = default;

    bool IsIdentity() const { return *this == Identity(); }

    float Determinant() const
    {
        return m11 * (m22 * m33 - m23 * m32) - m12 * (m21 * m33 - m23 * m31) +
               m13 * (m21 * m32 - m22 * m31);
    }

    // The inverse, or the identity when the matrix is singular (nothing sensible to undo).
    TMatrix Inverse() const
    {
        const float det = Determinant();
        if (det == 0.0f)
            return Identity();
        const float k = 1.0f / det;
        TMatrix r;
        r.m11 = (m22 * m33 - m23 * m32) * k;
        r.m12 = (m13 * m32 - m12 * m33) * k;
        r.m13 = (m12 * m23 - m13 * m22) * k;
        r.m21 = (m23 * m31 - m21 * m33) * k;
        r.m22 = (m11 * m33 - m13 * m31) * k;
        r.m23 = (m13 * m21 - m11 * m23) * k;
        r.m31 = (m21 * m32 - m22 * m31) * k;
        r.m32 = (m12 * m31 - m11 * m32) * k;
        r.m33 = (m11 * m22 - m12 * m21) * k;
        return r;
    }

    QPointF Map(const QPointF &p) const
    {
        const float x = float(p.x()), y = float(p.y());
        return QPointF(x * m11 + y * m21 + m31, x * m12 + y * m22 + m32);
    }

    QTransform ToQTransform() const
    {
        return QTransform(m11, m12, m13, m21, m22, m23, m31, m32, m33);
    }

    static TMatrix FromQTransform(const QTransform &t)
    {
        TMatrix m;
        m.m11 = float(t.m11()); m.m12 = float(t.m12()); m.m13 = float(t.m13());
        m.m21 = float(t.m21()); m.m22 = float(t.m22()); m.m23 = float(t.m23());
        m.m31 = float(t.m31()); m.m32 = float(t.m32()); m.m33 = float(t.m33());
        return m;
    }
};
