#include "svg/model/values/viewbox.h"

#include "svg/model/values/lists.h"

void ParseViewBox(const QString &text, const TSVGUnitFactors &factors, QRectF &rect)
{
    const QStringList items = SplitList(text, QStringLiteral(", "));
    if (items.size() != 4)
        return;
    // An unreadable item keeps that part of the current rectangle.
    bool inherited = false;
    const float left = ParseNumber(items[0], inherited, factors, float(rect.left()));
    const float top = ParseNumber(items[1], inherited, factors, float(rect.top()));
    const float width = ParseNumber(items[2], inherited, factors, float(rect.width()));
    const float height = ParseNumber(items[3], inherited, factors, float(rect.height()));
    rect = QRectF(QPointF(left, top), QPointF(left + width, top + height));
}

void ParseAspectRatio(const QString &text, TSVGAspectRatioValue &aspectRatio)
{
    const QStringList words = SplitList(text.trimmed(), QStringLiteral(" "));
    if (words.isEmpty())
        return;
    aspectRatio.Defer = words.size() >= 2 && words[0] == QLatin1String("defer");
    const qsizetype alignAt = aspectRatio.Defer ? 1 : 0;
    aspectRatio.Align = SVGAlignByName(words[alignAt]);
    aspectRatio.Slice =
        words.size() > alignAt + 1 && words[alignAt + 1] == QLatin1String("slice");
}
