#include "svg/model/css/style_sheet.h"

#include "svg/model/values/lists.h"

#include <QStringList>

namespace {

// The index of the "}" closing the block that opens at Open, over nested blocks; -1
// when it is not closed.
qsizetype BlockEnd(const QString &text, qsizetype open)
{
    int depth = 0;
    return SVGScanCss(text, open, [&](qsizetype, QChar c) {
        if (c == QLatin1Char('{'))
            ++depth;
        return c == QLatin1Char('}') && --depth == 0;
    });
}

// The first of the characters outside quotes, or -1.
qsizetype FindOutsideQuotes(const QString &text, qsizetype from, QStringView characters)
{
    return SVGScanCss(text, from, [&](qsizetype, QChar c) { return characters.contains(c); });
}

// A selector list splits at commas outside brackets, parentheses and quotes.
QStringList SplitSelectorList(const QString &text)
{
    QStringList result;
    int depth = 0;
    qsizetype start = 0;
    auto take = [&](qsizetype end) {
        const QString selector = text.mid(start, end - start).simplified();
        if (!selector.isEmpty())
            result.append(selector);
        start = end + 1;
    };
    SVGScanCss(text, 0, [&](qsizetype i, QChar c) {
        if (c == QLatin1Char('[') || c == QLatin1Char('('))
            ++depth;
        else if ((c == QLatin1Char(']') || c == QLatin1Char(')')) && depth > 0)
            --depth;
        else if (c == QLatin1Char(',') && depth == 0)
            take(i);
        return false;
    });
    take(text.size());
    return result;
}

} // namespace

void SVGParseStyleSheet(const QString &Text,
                        const std::function<void(const QString &Selector, const QString &Body)> &Rule)
{
    const QString text = StripComments(Text);
    qsizetype pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos].isSpace())
            ++pos;
        if (pos >= text.size())
            break;
        // The markers that hid style sheets from old browsers.
        if (text.mid(pos, 4) == QLatin1String("<!--")) {
            pos += 4;
            continue;
        }
        if (text.mid(pos, 3) == QLatin1String("-->")) {
            pos += 3;
            continue;
        }
        if (text[pos] == QLatin1Char('@')) {
            // At-rules are not followed.
            const qsizetype stop = FindOutsideQuotes(text, pos, u";{");
            if (stop < 0)
                break;
            if (text[stop] == QLatin1Char(';')) {
                pos = stop + 1;
                continue;
            }
            const qsizetype end = BlockEnd(text, stop);
            if (end < 0)
                break;
            pos = end + 1;
            continue;
        }
        const qsizetype open = FindOutsideQuotes(text, pos, u"{");
        if (open < 0)
            break;
        const qsizetype close = BlockEnd(text, open);
        if (close < 0)
            break;
        const QString body = text.mid(open + 1, close - open - 1);
        for (const QString &selector : SplitSelectorList(text.mid(pos, open - pos)))
            Rule(selector, body);
        pos = close + 1;
    }
}
