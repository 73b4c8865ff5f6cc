#include "svg/model/values/lists.h"

#include "svg/model/values/inherit.h"
#include "svg/model/values/numbers.h"

QStringList SplitList(const QString &text, const QString &delimiters)
{
    QStringList result;
    qsizetype start = 0;
    const qsizetype n = text.size();
    // A space delimiter stands for any white space: attribute text that did not pass
    // through XML normalisation (a style sheet, a character reference) may hold tabs
    // and line breaks between its items.
    const bool anySpace = delimiters.contains(QLatin1Char(' '));
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && !delimiters.contains(text[i]) && !(anySpace && text[i].isSpace()))
            continue;
        const QString piece = text.mid(start, i - start).trimmed();
        if (!piece.isEmpty())
            result.append(piece);
        start = i + 1;
    }
    return result;
}

QStringList SplitNumbers(const QString &text)
{
    QStringList result;
    for (const QString &piece : SplitList(text, QStringLiteral(", "))) {
        qsizetype split = -1;
        for (qsizetype i = 1; i < piece.size(); ++i) {
            const QChar c = piece[i];
            if ((c == QLatin1Char('+') || c == QLatin1Char('-')) &&
                piece[i - 1] != QLatin1Char('e') && piece[i - 1] != QLatin1Char('E')) {
                split = i;
                break;
            }
        }
        if (split < 0) {
            result.append(piece);
        } else {
            result.append(piece.left(split));
            result.append(piece.mid(split));
        }
    }
    return result;
}

QList<QPointF> ParsePoints(const QString &text)
{
    const QStringList numbers = SplitNumbers(text.trimmed());
    QList<QPointF> points;
    if (numbers.size() % 2 != 0)
        return points;
    points.reserve(numbers.size() / 2);
    for (qsizetype i = 0; i + 1 < numbers.size(); i += 2) {
        const float x = SVGToSingle(SVGStrToFloat(numbers[i]));
        const float y = SVGToSingle(SVGStrToFloat(numbers[i + 1]));
        points.append(QPointF(x, y));
    }
    return points;
}

QList<float> ParseDashArray(const QString &text, const TSVGUnitFactors &factors)
{
    QList<float> dashes;
    for (const QString &item : SplitNumbers(text))
        dashes.append(ParseLength(item, factors, 1, 0, 0));
    if (dashes.size() % 2 != 0)
        dashes.append(QList<float>(dashes));
    return dashes;
}

void ParseStrokeDash(const QString &dashArrayText, const QString &dashOffsetText,
                     TSVGStrokeDash &pen, const TSVGUnitFactors &factors,
                     bool &arrayInherited, bool &offsetInherited)
{
    pen.Offset = ParseLength(dashOffsetText, offsetInherited, factors, 1, 0, pen.Offset);

    QString t;
    if (SVGInheritStep(dashArrayText, arrayInherited, t)) {
        if (t == QLatin1String("none")) {
            pen.Pattern.clear();
        } else {
            QList<float> dashes = ParseDashArray(t, factors);
            double sum = 0;
            bool negative = false;
            for (float d : dashes) {
                sum += d;
                negative = negative || d < 0;
            }
            if (negative || !(sum > 0))
                dashes.clear();
            pen.Pattern = dashes;
        }
    }
}

QString StripComments(const QString &text)
{
    QString result;
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1String("/*"), from);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QLatin1String("*/"), open + 2);
        if (close < 0)
            break;
        result += QStringView(text).mid(from, open - from);
        from = close + 2;
    }
    result += QStringView(text).mid(from);
    return result;
}
