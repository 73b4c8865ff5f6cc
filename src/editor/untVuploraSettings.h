#pragma once
// What the editor remembers across runs (QSettings of the application): whether
// the colour bar is shown and the folder pictures were last saved to. Reading a
// setting that was never written gives its default. Tests point the settings at
// a folder of their own through XDG_CONFIG_HOME before the application starts.

#include <QString>

// The colour bar is hidden until the user shows it.
bool SettingColorsShown();
void SetSettingColorsShown(bool abShown);

// The folder of the last picture saved; empty when none was saved yet.
QString SettingPictureFolder();
void SetSettingPictureFolder(const QString &asFolder);
