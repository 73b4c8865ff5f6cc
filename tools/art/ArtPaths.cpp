#include "ArtPaths.h"

QString ArtCardsDir()
{
    return QStringLiteral(VUPLORA_ART_CARDS_DIR);
}

QString ArtArchivePath()
{
    return QStringLiteral(VUPLORA_ART_ZIP);
}
