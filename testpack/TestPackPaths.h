#pragma once
// Where the build put the test pack, for tests that compare against its
// sources. The archive itself is compiled in as the resource "RES_GIRL".

#include <QString>

// The folder of drawn members the archive was built from.
QString TestPackMembersDir();
// The built archive, the same bytes as the resource.
QString TestPackArchivePath();
