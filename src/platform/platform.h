#pragma once
// The operating-system services the application asks for, reached through one
// place so that tests can put doubles in. A null service means the platform does
// not offer it (QueryScreenSize then fails, the language is not Chinese, ...).

#include "platform/localeservice.h"
#include "platform/opendialogservice.h"
#include "platform/savedialogservice.h"
#include "platform/screenservice.h"
#include "platform/shellservice.h"
#include "platform/soundservice.h"

struct TPlatform {
    IScreenService *Screen = nullptr;
    ILocaleService *Locale = nullptr;
    ISoundService *Sound = nullptr;
    IShellService *Shell = nullptr;
    ISaveDialogService *SaveDialog = nullptr;
    IOpenDialogService *OpenDialog = nullptr;
};

// The services in force; initially the Qt implementations that need Qt Gui only
// (screen, locale, shell), created on first use and kept for the whole run. The
// widget application adds the dialogs and the sound (platform_ui/errorreport.h).
TPlatform &Platform();

// Puts other services in force for its lifetime and restores the previous ones
// when it ends. Fields left null in the given set are taken over as "no service".
class TPlatformOverride {
public:
    explicit TPlatformOverride(const TPlatform &aoServices);
    ~TPlatformOverride();
    TPlatformOverride(const TPlatformOverride &) = delete;
    TPlatformOverride &operator=(const TPlatformOverride &) = delete;

private:
    TPlatform moSaved;
};
