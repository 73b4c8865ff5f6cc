#include "editor/untVuploraSettings.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

const char COLORS_SHOWN[] = "editor/colorsShown";
const char PICTURE_FOLDER[] = "editor/pictureFolder";

// The program has no organisation: its settings go to a folder of its own
// name, not to Qt's "Unknown Organization".
QSettings Settings()
{
    return QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName());
}

} // namespace

bool SettingColorsShown()
{
    return Settings().value(QLatin1String(COLORS_SHOWN), false).toBool();
}

void SetSettingColorsShown(bool abShown)
{
    Settings().setValue(QLatin1String(COLORS_SHOWN), abShown);
}

QString SettingPictureFolder()
{
    return Settings().value(QLatin1String(PICTURE_FOLDER)).toString();
}

void SetSettingPictureFolder(const QString &asFolder)
{
    Settings().setValue(QLatin1String(PICTURE_FOLDER), asFolder);
}
