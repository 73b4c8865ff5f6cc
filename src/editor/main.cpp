#include "editor/untStartup.h"
#include "platform/errorreport.h"
#include "platform/localtime.h"

int main(int argc, char **argv)
{
    CacheLocalTimeZone();
    TVuploraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vuplora"));
    // The program ends with the editor window, not with whichever window closed
    // last: the editor is hidden while the pack selection is shown again.
    QApplication::setQuitOnLastWindowClosed(false);

    std::unique_ptr<TfrmVuplora> frm;
    try {
        frm = StartUp();
    } catch (...) {
        // Start-up failed (a missing resource, a pack that does not load): say
        // why instead of vanishing.
        TVuploraApplication::ReportError(CurrentExceptionMessage());
        return 1;
    }
    QObject::connect(frm.get(), &TfrmVuplora::Closed, &app, &QApplication::quit);
    return app.exec();
}
