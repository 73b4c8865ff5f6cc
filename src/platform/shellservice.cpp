#include "platform/shellservice.h"

#include <QDesktopServices>
#include <QStandardPaths>
#include <QUrl>

void TQtShellService::Open(const QString &asCommand)
{
    // fromUserInput turns both "https://..." and a local path into a URL.
    QDesktopServices::openUrl(QUrl::fromUserInput(asCommand));
}

QString TQtShellService::DocumentsFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString TQtShellService::PicturesFolder() const
{
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
}
