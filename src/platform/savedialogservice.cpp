#include "platform/savedialogservice.h"

#include <QFileDialog>
#include <QStringList>

QStringList SaveDialogNameFilters(const QString &asFilter)
{
    QStringList loResult;
    const QStringList loParts = asFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < loParts.size(); i += 2) {
        // Several patterns in one entry are separated by ";" in the pair form and
        // by spaces in Qt's form.
        QStringList loPatterns = loParts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &lsPattern : loPatterns)
            lsPattern = lsPattern.trimmed();
        loResult.append(loParts[i] + QStringLiteral(" (") + loPatterns.join(QLatin1Char(' ')) +
                        QLatin1Char(')'));
    }
    return loResult;
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
    if (loDialog.exec() != QDialog::Accepted)
        return false;
    const QStringList loFiles = loDialog.selectedFiles();
    if (loFiles.isEmpty())
        return false;
    asFileName = loFiles.first();
    return true;
}
