#include "platform/localtime.h"

#include <QByteArray>
#include <QtGlobal>
#include <ctime>

void CacheLocalTimeZone()
{
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    qputenv("TZ", QByteArrayLiteral(":/etc/localtime"));
    tzset();
}
