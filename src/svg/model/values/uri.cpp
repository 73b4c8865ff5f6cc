#include "svg/model/values/uri.h"

#include "svg/model/values/inherit.h"

QString ParseURI(const QString &text)
{
    const QString t = text.trimmed();
    if (!t.endsWith(QLatin1Char(')')))
        return QString();
    if (!t.startsWith(QLatin1String("url(#"), Qt::CaseInsensitive) &&
        !t.startsWith(QLatin1String("uri(#"), Qt::CaseInsensitive))
        return QString();
    if (t.size() < 6)
        return QString();
    return t.mid(5, t.size() - 6);
}

QString ParsePaintURI(const QString &text, const QString &defaultValue, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultValue;
    const QString id = ParseURI(t);
    return id.isEmpty() ? defaultValue : id;
}
