#include "platform_ui/widgetservices.h"

#include "platform/platform.h"

#include <QFileDialog>
#include <QStringList>

namespace {

// Shows the dialog; an accepted dialog's first file is the answer, anything else a cancel.
bool Chosen(QFileDialog &aoDialog, QString &asFileName)
{
    if (aoDialog.exec() != QDialog::Accepted)
        return false;
    const QStringList loFiles = aoDialog.selectedFiles();
    if (loFiles.isEmpty())
        return false;
    asFileName = loFiles.first();
    return true;
}

} // namespace

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
    return Chosen(loDialog, asFileName);
}

bool TQtSaveDialogService::Execute(QWidget *aoParent, const TSaveDialogOptions &aoOptions,
                                   QString &asFileName)
{
    QFileDialog loDialog(aoParent);
    loDialog.setAcceptMode(QFileDialog::AcceptSave);
    loDialog.setFileMode(QFileDialog::AnyFile);
    loDialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList loFilters = SaveDialogNameFilters(aoOptions.Filter);
    if (!loFilters.isEmpty())
        loDialog.setNameFilters(loFilters);
    QString lsSuffix = aoOptions.DefaultExt;
    if (lsSuffix.startsWith(QLatin1Char('.')))
        lsSuffix.remove(0, 1);
    loDialog.setDefaultSuffix(lsSuffix);
    if (!aoOptions.InitialDir.isEmpty())
        loDialog.setDirectory(aoOptions.InitialDir);
    if (!aoOptions.FileName.isEmpty())
        loDialog.selectFile(aoOptions.FileName);
    return Chosen(loDialog, asFileName);
}

void InstallWidgetServices()
{
    static TQtSoundService soSound;
    static TQtSaveDialogService soSaveDialog;
    static TQtOpenDialogService soOpenDialog;
    TPlatform &platform = Platform();
    platform.Sound = &soSound;
    platform.SaveDialog = &soSaveDialog;
    platform.OpenDialog = &soOpenDialog;
}
