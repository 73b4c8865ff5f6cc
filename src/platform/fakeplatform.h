#pragma once
// Test doubles of the platform services: scripted answers, recorded calls.
//
//   TFakePlatform loFake;                 // every service present
//   loFake.Screen.Size = QSizeF(1920, 1080);
//   TPlatformOverride loUse(loFake.Services());

#include "platform/platform.h"

#include <QSizeF>
#include <QStringList>
#include <QList>

class TFakeScreenService : public IScreenService {
public:
    QSizeF Size{1920, 1080};
    QSizeF GetScreenSize() const override { return Size; }
};

class TFakeLocaleService : public ILocaleService {
public:
    QString LangID = QStringLiteral("en");
    QStringList PreferredLanguages{QStringLiteral("en-US")};
    QString GetCurrentLangID() const override { return LangID; }
    QStringList GetPreferredLanguages() const override { return PreferredLanguages; }
};

class TFakeSoundService : public ISoundService {
public:
    QList<QUrl> Played;
    void PlaySound(const QUrl &aoSource) override { Played.append(aoSource); }
};

class TFakeShellService : public IShellService {
public:
    QStringList Opened;
    QString Documents = QStringLiteral("/home/user/Documents");
    QString Pictures = QStringLiteral("/home/user/Pictures");
    void Open(const QString &asCommand) override { Opened.append(asCommand); }
    QString DocumentsFolder() const override { return Documents; }
    QString PicturesFolder() const override { return Pictures; }
};

class TFakeSaveDialogService : public ISaveDialogService {
public:
    // The answer: false is a cancel; otherwise ChosenFile is returned.
    bool Accept = true;
    QString ChosenFile;
    // What the last Execute was given, and how often it ran.
    TSaveDialogOptions LastOptions;
    int Shown = 0;
    bool Execute(QWidget *, const TSaveDialogOptions &aoOptions, QString &asFileName) override
    {
        ++Shown;
        LastOptions = aoOptions;
        if (!Accept)
            return false;
        asFileName = ChosenFile;
        return true;
    }
};

class TFakeOpenDialogService : public IOpenDialogService {
public:
    // The answer: false is a cancel; otherwise ChosenFile is returned.
    bool Accept = true;
    QString ChosenFile;
    TOpenDialogOptions LastOptions;
    int Shown = 0;
    bool Execute(QWidget *, const TOpenDialogOptions &aoOptions, QString &asFileName) override
    {
        ++Shown;
        LastOptions = aoOptions;
        if (!Accept)
            return false;
        asFileName = ChosenFile;
        return true;
    }
};

struct TFakePlatform {
    TFakeScreenService Screen;
    TFakeLocaleService Locale;
    TFakeSoundService Sound;
    TFakeShellService Shell;
    TFakeSaveDialogService SaveDialog;
    TFakeOpenDialogService OpenDialog;

    TPlatform Services() { return TPlatform{&Screen, &Locale, &Sound, &Shell, &SaveDialog, &OpenDialog}; }
};
