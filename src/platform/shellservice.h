#pragma once
// Hands documents and web addresses to the desktop.

#include <QString>

class IShellService {
public:
    virtual ~IShellService() = default;
    // Opens a web address or document with the desktop's handler. The outcome is
    // not reported: a failure passes silently.
    virtual void Open(const QString &asCommand) = 0;
    // The user's personal documents folder.
    virtual QString DocumentsFolder() const = 0;
    // The user's pictures folder.
    virtual QString PicturesFolder() const = 0;
};

// QDesktopServices and QStandardPaths.
class TQtShellService : public IShellService {
public:
    void Open(const QString &asCommand) override;
    QString DocumentsFolder() const override;
    QString PicturesFolder() const override;
};
