#include "editor/untVuploraSettings.h"

#include <QSettings>

namespace {

const char COLORS_SHOWN[] = "editor/colorsShown";
const char PICTURE_FOLDER[] = "editor/pictureFolder";

} // namespace

bool SettingColorsShown()
{
    return QSettings().value(QLatin1String(COLORS_SHOWN), false).toBool();
}

void SetSettingColorsShown(bool abShown)
{
    QSettings().setValue(QLatin1String(COLORS_SHOWN), abShown);
}

QString SettingPictureFolder()
{
    return QSettings().value(QLatin1String(PICTURE_FOLDER)).toString();
}

void SetSettingPictureFolder(const QString &asFolder)
{
    QSettings().setValue(QLatin1String(PICTURE_FOLDER), asFolder);
}
