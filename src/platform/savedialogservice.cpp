#include "platform/savedialogservice.h"

#include <QStringList>

QStringList SaveDialogNameFilters(const QString &asFilter)
{
    QStringList loResult;
    const QStringList loParts = asFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < loParts.size(); i += 2) {
        // Several patterns in one entry are separated by ";" in the pair form and
        // by spaces in Qt's form.
        QStringList loPatterns = loParts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &lsPattern : loPatterns)
            lsPattern = lsPattern.trimmed();
        loResult.append(loParts[i] + QStringLiteral(" (") + loPatterns.join(QLatin1Char(' ')) +
                        QLatin1Char(')'));
    }
    return loResult;
}
