#include "platform/opendialogservice.h"

#include "platform/savedialogservice.h"

#include <QFileDialog>
#include <QStringList>

bool TQtOpenDialogService::Execute(QWidget *aoParent, const TOpenDialogOptions &aoOptions,
                                   QString &asFileName)
{
    QFileDialog loDialog(aoParent);
    loDialog.setAcceptMode(QFileDialog::AcceptOpen);
    loDialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList loFilters = SaveDialogNameFilters(aoOptions.Filter);
    if (!loFilters.isEmpty())
        loDialog.setNameFilters(loFilters);
    if (!aoOptions.InitialDir.isEmpty())
        loDialog.setDirectory(aoOptions.InitialDir);
    if (loDialog.exec() != QDialog::Accepted)
        return false;
    const QStringList loFiles = loDialog.selectedFiles();
    if (loFiles.isEmpty())
        return false;
    asFileName = loFiles.first();
    return true;
}
