#pragma once
// Where the art build of this build folder put its results: the pack cards of
// the selection window (pack1.png, pack2.png, 344 x 734) and the archive that
// is compiled in as "RES_GIRL". Paths are absolute; the files exist once the
// art build has run.

#include <QString>

QString ArtCardsDir();
QString ArtArchivePath();
