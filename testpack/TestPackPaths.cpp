#include "TestPackPaths.h"

QString TestPackMembersDir()
{
    return QStringLiteral(VUPLORA_TESTPACK_MEMBERS);
}

QString TestPackArchivePath()
{
    return QStringLiteral(VUPLORA_TESTPACK_ZIP);
}
