#include "editor/untStartup.h"
#include "compose/untVuploraHeadless.h"
#include "editor/untVuploraPortraitFile.h"
#include "editor/untVuploraRecovery.h"
#include "platform_ui/errorreport.h"
#include "platform/localtime.h"

#include <QIcon>

#include <cstring>

// vuplora                 the pack selection, then the editor (after the
//                         question whether to restore an unsaved portrait)
// vuplora FILE.vuplora    the editor with the portrait of that file
// vuplora portrait ...    portraits without a window (compose/untVuploraHeadless.h)
int main(int argc, char **argv)
{
    // Before any application object: the command makes its own, without a window.
    if (argc >= 2 && std::strcmp(argv[1], "portrait") == 0)
        return RunPortraitCommand(argc, argv);

    CacheLocalTimeZone();
    TVuploraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vuplora"));
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
        icon.addFile(QStringLiteral(":/editor/icons/vuplora-%1.png").arg(size));
    QApplication::setWindowIcon(icon);
    // The program ends with the editor window, not with whichever window closed
    // last: the editor is hidden while the pack selection is shown again.
    QApplication::setQuitOnLastWindowClosed(false);

    // Qt has taken its own options out of the list by now.
    const QStringList args = QApplication::arguments();
    std::unique_ptr<TfrmVuplora> frm;
    try {
        frm = args.size() >= 2 ? StartUpWithPortraitFile(args.at(1)) : StartUpOrRecover();
    } catch (...) {
        // Start-up failed (a missing resource, a pack that does not load): say
        // why instead of vanishing.
        TVuploraApplication::ReportError(CurrentExceptionMessage());
        return 1;
    }
    QObject::connect(frm.get(), &TfrmVuplora::Closed, &app, &QApplication::quit);
    return app.exec();
}
