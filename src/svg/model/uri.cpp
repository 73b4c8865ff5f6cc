#include "svg/model/uri.h"

#include "svg/model/inherit.h"

QString ParseURI(const QString &text)
{
    const QString t = text.trimmed();
    if (!t.endsWith(QLatin1Char(')')))
        return QString();
    if (!t.startsWith(QLatin1String("url("), Qt::CaseInsensitive) &&
        !t.startsWith(QLatin1String("uri("), Qt::CaseInsensitive))
        return QString();
    // CSS allows white space inside the parentheses and a quoted address.
    QString inner = t.mid(4, t.size() - 5).trimmed();
    if (inner.size() >= 2 && (inner.front() == QLatin1Char('\'') || inner.front() == QLatin1Char('"')) &&
        inner.back() == inner.front())
        inner = inner.mid(1, inner.size() - 2);
    if (!inner.startsWith(QLatin1Char('#')))
        return QString();
    return inner.mid(1);
}

QString ParsePaintURI(const QString &text, const QString &defaultValue, bool &inherited)
{
    QString t;
    if (!SVGInheritStep(text, inherited, t))
        return defaultValue;
    const QString id = ParseURI(t);
    return id.isEmpty() ? defaultValue : id;
}
