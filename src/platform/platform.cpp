#include "platform/platform.h"

namespace {

TPlatform &CurrentServices()
{
    // Function-local statics: created on first use, after the application object
    // exists, and never copied.
    // The dialogs and the sound need widgets: the application object puts them
    // in (platform_ui/widgetservices.h).
    static TQtScreenService soScreen;
    static TQtLocaleService soLocale;
    static TQtShellService soShell;
    static TPlatform soPlatform{&soScreen, &soLocale, nullptr, &soShell, nullptr, nullptr};
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
