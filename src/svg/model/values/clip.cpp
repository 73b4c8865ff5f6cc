#include "svg/model/values/clip.h"

#include "svg/model/values/inherit.h"
#include "svg/model/values/lists.h"

QRectF ParseClip(const QString &text, const QRectF &current, bool &inherited,
                 const TSVGUnitFactors &factors)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return current;
    if (t == QLatin1String("auto"))
        return QRectF();
    const QLatin1String prefix("rect(");
    if (!t.startsWith(prefix, Qt::CaseInsensitive))
        return current;
    QString inner = t.mid(prefix.size());
    if (inner.endsWith(QLatin1Char(')')))
        inner.chop(1);
    // Only spaces separate the values; "1px," is not a length and reads 0.
    const QStringList values = SplitList(inner, QStringLiteral(" "));
    float edges[4] = {0, 0, 0, 0}; // top, right, bottom, left
    for (qsizetype i = 0; i < values.size() && i < 4; ++i)
        edges[i] = ParseUnitValue(values[i], factors, 0);
    return QRectF(QPointF(edges[3], edges[0]), QPointF(edges[1], edges[2]));
}
