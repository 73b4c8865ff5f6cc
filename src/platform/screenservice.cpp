#include "platform/screenservice.h"

#include "platform/platform.h"

#include <QGuiApplication>
#include <QScreen>

QSizeF TQtScreenService::GetScreenSize() const
{
    const QScreen *loScreen = QGuiApplication::primaryScreen();
    return loScreen ? QSizeF(loScreen->size()) : QSizeF();
}

bool QueryScreenSize(int &aiWidth, int &aiHeight)
{
    const IScreenService *loService = Platform().Screen;
    if (!loService)
        return false;
    const QSizeF loSize = loService->GetScreenSize();
    // A platform without any screen answers with an empty size; sizing the window
    // to it would be worse than keeping the designed size.
    if (!(loSize.width() >= 1 && loSize.height() >= 1))
        return false;
    aiWidth = static_cast<int>(loSize.width());
    aiHeight = static_cast<int>(loSize.height());
    return true;
}
