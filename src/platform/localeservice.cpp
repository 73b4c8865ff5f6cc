#include "platform/localeservice.h"

#include <QLocale>

QString TQtLocaleService::GetCurrentLangID() const
{
    // "zh_CN" -> "zh"; the C locale gives "C", which matches no language.
    return QLocale::system().name().section(QLatin1Char('_'), 0, 0);
}

QStringList TQtLocaleService::GetPreferredLanguages() const
{
    return QLocale::system().uiLanguages();
}
