#include "platform_ui/errorreport.h"

#include "errors/errors.h"
#include "platform_ui/widgetservices.h"

#include <QMessageBox>
#include <exception>

namespace {

void ShowMessageBox(const QString &asMessage)
{
    QMessageBox loBox(QMessageBox::Critical, QApplication::applicationDisplayName(), asMessage,
                      QMessageBox::Ok, QApplication::activeWindow());
    loBox.exec();
}

TErrorReporter &Reporter()
{
    static TErrorReporter soReporter = ShowMessageBox;
    return soReporter;
}

} // namespace

TVuploraApplication::TVuploraApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    InstallWidgetServices();
}

bool TVuploraApplication::notify(QObject *aoReceiver, QEvent *aoEvent)
{
    try {
        return QApplication::notify(aoReceiver, aoEvent);
    } catch (...) {
        // The framework's last line: whatever a handler let escape is shown to the
        // user and the loop goes on. The handler did not finish, so a caller that
        // sent the event directly learns that it was not handled.
        ReportError(CurrentExceptionMessage());
        return false;
    }
}

TErrorReporter TVuploraApplication::SetErrorReporter(TErrorReporter aoReporter)
{
    TErrorReporter loPrevious = Reporter();
    Reporter() = aoReporter ? std::move(aoReporter) : TErrorReporter(ShowMessageBox);
    return loPrevious;
}

void TVuploraApplication::ReportError(const QString &asMessage)
{
    // A copy: the reporter may replace itself while it runs.
    const TErrorReporter loReporter = Reporter();
    loReporter(asMessage);
}

QString CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const EVuploraError &e) {
        return e.Message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown exception");
    }
}

void RunReportingErrors(const std::function<void()> &aoAction)
{
    try {
        aoAction();
    } catch (...) {
        TVuploraApplication::ReportError(CurrentExceptionMessage());
    }
}
