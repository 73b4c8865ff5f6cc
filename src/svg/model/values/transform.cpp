#include "svg/model/values/transform.h"

#include "svg/model/values/exception.h"
#include "svg/model/values/lists.h"
#include "svg/model/values/numbers.h"

#include <QStringList>
#include <cmath>
#include <numbers>

namespace {

float Number(const QString &text) { return SVGToSingle(SVGStrToFloat(text)); }

double Radians(float degrees) { return double(degrees) * std::numbers::pi / 180.0; }

[[noreturn]] void InvalidArguments(const char *kind, const QString &arguments)
{
    throw ESVGException(QStringLiteral("Invalid %1 transformation matrix: %2")
                            .arg(QLatin1String(kind), arguments));
}

TMatrix Rotation(double radians)
{
    TMatrix m;
    const float c = float(std::cos(radians)), s = float(std::sin(radians));
    m.m11 = c;
    m.m12 = s;
    m.m21 = -s;
    m.m22 = c;
    return m;
}

TMatrix Skew(const QStringList &numbers, bool alongX)
{
    TMatrix m;
    if (numbers.isEmpty())
        return m;
    const float t = float(std::tan(Radians(Number(numbers[0]))));
    (alongX ? m.m21 : m.m12) = t;
    return m;
}

TMatrix OneTransform(const QString &name, const QString &arguments)
{
    const QStringList n = SplitNumbers(arguments);
    if (name == QLatin1String("matrix")) {
        if (n.size() != 6)
            throw ESVGException(QStringLiteral("Invalid matrix: %1").arg(arguments));
        TMatrix m;
        m.m11 = Number(n[0]);
        m.m12 = Number(n[1]);
        m.m21 = Number(n[2]);
        m.m22 = Number(n[3]);
        m.m31 = Number(n[4]);
        m.m32 = Number(n[5]);
        return m;
    }
    if (name == QLatin1String("translate")) {
        if (n.size() != 1 && n.size() != 2)
            InvalidArguments("translate", arguments);
        return TMatrix::CreateTranslation(Number(n[0]), n.size() == 2 ? Number(n[1]) : 0.0f);
    }
    if (name == QLatin1String("scale")) {
        if (n.size() != 1 && n.size() != 2)
            InvalidArguments("scale", arguments);
        const float sx = Number(n[0]);
        return TMatrix::CreateScaling(sx, n.size() == 2 ? Number(n[1]) : sx);
    }
    if (name == QLatin1String("rotate")) {
        if (n.size() != 1 && n.size() != 3)
            InvalidArguments("rotation", arguments);
        const TMatrix r = Rotation(Radians(Number(n[0])));
        if (n.size() == 1)
            return r;
        const float cx = Number(n[1]), cy = Number(n[2]);
        return TMatrix::CreateTranslation(-cx, -cy) * r * TMatrix::CreateTranslation(cx, cy);
    }
    if (name == QLatin1String("skewX"))
        return Skew(n, true);
    if (name == QLatin1String("skewY"))
        return Skew(n, false);
    throw ESVGException(QStringLiteral("Invalid transformation: %1").arg(name));
}

} // namespace

TMatrix ParseTransform(const QString &text)
{
    TMatrix result;
    bool first = true;
    const QString t = text.trimmed();
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = t.indexOf(QLatin1Char('('), from);
        if (open < 0)
            break;
        const qsizetype close = t.indexOf(QLatin1Char(')'), open + 1);
        if (close < 0)
            break;
        QString name = t.mid(from, open - from).trimmed();
        // The SVG grammar separates transforms by white space and at most one comma.
        if (!first && name.startsWith(QLatin1Char(',')))
            name = name.mid(1).trimmed();
        const TMatrix m = OneTransform(name, t.mid(open + 1, close - open - 1));
        result = first ? m : m * result;
        first = false;
        from = close + 1;
    }
    return result;
}
