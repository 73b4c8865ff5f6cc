#pragma once

// glibc checks /etc/localtime again on every local-time conversion while TZ is
// unset. libzip converts the time stamp of every member when it reads an archive
// directory, and the editor reads the directory of the embedded archive (thousands
// of members) once per thumbnail, so that check dominated opening the archive.
// Naming the system zone file once makes glibc load it once; the local time stays
// the same. A TZ the user has set is kept.
void CacheLocalTimeZone();
