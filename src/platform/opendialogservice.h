#pragma once
// The open-file dialog.

#include <QString>

class QWidget;

struct TOpenDialogOptions {
    // Pairs of description and pattern separated by "|", as for the save dialog.
    QString Filter;
    QString InitialDir;
};

class IOpenDialogService {
public:
    virtual ~IOpenDialogService() = default;
    // Shows the dialog modally. Returns false when the user cancels; otherwise
    // the chosen existing file's full path goes into asFileName.
    virtual bool Execute(QWidget *aoParent, const TOpenDialogOptions &aoOptions, QString &asFileName) = 0;
};
