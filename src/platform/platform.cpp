#include "platform/platform.h"

namespace {

TPlatform &CurrentServices()
{
    // Function-local statics: created on first use, after the application object
    // exists, and never copied.
    static TQtScreenService soScreen;
    static TQtLocaleService soLocale;
    static TQtSoundService soSound;
    static TQtShellService soShell;
    static TQtSaveDialogService soSaveDialog;
    static TQtOpenDialogService soOpenDialog;
    static TPlatform soPlatform{&soScreen, &soLocale, &soSound, &soShell, &soSaveDialog, &soOpenDialog};
    return soPlatform;
}

} // namespace

TPlatform &Platform()
{
    return CurrentServices();
}

TPlatformOverride::TPlatformOverride(const TPlatform &aoServices) : moSaved(Platform())
{
    Platform() = aoServices;
}

TPlatformOverride::~TPlatformOverride()
{
    Platform() = moSaved;
}
