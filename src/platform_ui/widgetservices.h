#pragma once
// The platform services that need Qt Widgets or Qt Multimedia: the file dialogs
// and the sound. The application object (errorreport.h) puts them in force, so
// programs without widgets (the portrait command) never link them.

#include "platform/opendialogservice.h"
#include "platform/savedialogservice.h"
#include "platform/soundservice.h"

#include <memory>

// Plays through Qt Multimedia's sound effect, one at a time.
class TQtSoundService : public ISoundService {
public:
    TQtSoundService();
    ~TQtSoundService() override;
    void PlaySound(const QUrl &aoSource) override;

private:
    struct TPlayback;
    std::unique_ptr<TPlayback> moPlayback;
};

// QFileDialog.
class TQtSaveDialogService : public ISaveDialogService {
public:
    bool Execute(QWidget *aoParent, const TSaveDialogOptions &aoOptions, QString &asFileName) override;
};

// QFileDialog.
class TQtOpenDialogService : public IOpenDialogService {
public:
    bool Execute(QWidget *aoParent, const TOpenDialogOptions &aoOptions, QString &asFileName) override;
};

// Puts these services in force in Platform(); created on first call and kept
// for the whole run.
void InstallWidgetServices();
