#pragma once
// The application object. An exception that escapes an event handler is caught
// here, its message is passed to the error reporter, and the event loop goes on.

#include <QApplication>
#include <QString>
#include <functional>

using TErrorReporter = std::function<void(const QString &asMessage)>;

class TVuploraApplication : public QApplication {
public:
    TVuploraApplication(int &argc, char **argv);
    bool notify(QObject *aoReceiver, QEvent *aoEvent) override;

    // Replaces the reporter; an empty function restores the default, which shows
    // the message in a message box. Returns the reporter that was in force.
    static TErrorReporter SetErrorReporter(TErrorReporter aoReporter);
    // Passes the message to the reporter in force.
    static void ReportError(const QString &asMessage);
};

// The message text of the exception being handled (call inside a catch block).
QString CurrentExceptionMessage();
