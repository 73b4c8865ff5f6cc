#pragma once
// The save-file dialog.

#include <QString>

class QWidget;

struct TSaveDialogOptions {
    // Pairs of description and pattern separated by "|": "png gile|*.png".
    QString Filter;
    // Appended when the user types a name without extension (".png" or "png").
    QString DefaultExt;
    // Suggested file name, without folder.
    QString FileName;
    QString InitialDir;
};

class ISaveDialogService {
public:
    virtual ~ISaveDialogService() = default;
    // Shows the dialog modally. Returns false when the user cancels; otherwise
    // the chosen file's full path goes into asFileName. Choosing an existing
    // file asks no question.
    virtual bool Execute(QWidget *aoParent, const TSaveDialogOptions &aoOptions,
                         QString &asFileName) = 0;
};

// Qt name filters ("png gile (*.png)") from "description|pattern|..." pairs.
// A trailing description without pattern is dropped.
QStringList SaveDialogNameFilters(const QString &asFilter);
