#pragma once
// Reading CSS text: the one quote-aware scan that every splitter of style sheets,
// selector lists and declaration blocks goes through, and the style sheet reader.

#include <QChar>
#include <QString>
#include <QStringView>
#include <functional>

// Walks Text from From, skipping quoted strings ("..." or '...', where a backslash
// escapes the next character, so \" does not end one). Visit(index, character) sees
// every character outside quotes, the opening quote characters included; the scan
// stops at the first one for which it returns true. Answers that index, or -1 at the
// end of the text.
template <typename TVisit>
qsizetype SVGScanCss(QStringView Text, qsizetype From, TVisit &&Visit)
{
    QChar quote;
    for (qsizetype i = From; i < Text.size(); ++i) {
        const QChar c = Text[i];
        if (!quote.isNull()) {
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == quote)
                quote = QChar();
            continue;
        }
        if (Visit(i, c))
            return i;
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            quote = c;
    }
    return -1;
}

// The rules of a style sheet in order: Rule(selector, declarations) once for every
// selector of a rule's selector list (split at commas outside brackets, parentheses and
// quotes). Comments and the HTML comment markers around a sheet are skipped, and so
// are at-rules (@import, @media, @font-face ...) with their blocks; an unclosed block
// ends the sheet.
void SVGParseStyleSheet(const QString &Text,
                        const std::function<void(const QString &Selector, const QString &Body)> &Rule);
