#include "editor/untHelper.h"

#include "platform/platform.h"

void TMisc::Open(const QString &sCommand)
{
    if (IShellService *shell = Platform().Shell)
        shell->Open(sCommand);
}
