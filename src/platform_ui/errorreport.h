#pragma once
// The application object of the widget programs. It puts the services that need
// widgets (the file dialogs and the sound, widgetservices.h) in force. An
// exception that escapes an event handler is caught here, its message is passed
// to the error reporter, and the event loop goes on.
//
// Qt Widgets is built without exception support: an exception on its way to
// notify() skips the destructors in the Qt frames it crosses (for a mouse event,
// the event copies Qt makes while propagating it), so each such report leaks a
// few hundred bytes and whatever those frames would have restored. Handlers
// reached through mouse or key events should therefore catch at their own
// boundary with Reporting() / RunReportingErrors(); notify() is the last line.

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

// The message text of the exception being handled. Only valid inside a catch
// block (outside one there is nothing to rethrow and the program terminates).
QString CurrentExceptionMessage();

// Runs aoAction; an exception it lets escape is reported exactly as one that
// reaches notify(), without passing through Qt's frames.
void RunReportingErrors(const std::function<void()> &aoAction);

// Wraps a handler taking no arguments for connect():
//   connect(button, &QPushButton::clicked, this, Reporting([this] { imgTabSaveClick(); }));
template <class F>
auto Reporting(F aoHandler)
{
    return [loHandler = std::move(aoHandler)]() mutable { RunReportingErrors(loHandler); };
}
