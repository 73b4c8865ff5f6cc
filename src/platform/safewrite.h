#pragma once
// Writing an output file whole or not at all, the one way every writer of the
// program (the editor's saves, the headless command, the tools) replaces a file.
//
// The bytes go to a temporary file beside the target, which takes the name only
// once it is complete: a full disk or a stopped run leaves an existing file as it
// was. An existing name that is not a regular file (a device, a pipe, a folder, a
// link) is refused and left alone, since renaming over it would swap the thing
// itself for a plain file (run as root over /dev/null, the system's /dev/null).
//
// Failures throw ESafeWriteError whose message is the bare reason, for the caller
// to put in its own sentence: NOT_A_REGULAR_FILE or the system's error text.

#include "errors/errors.h"

#include <QString>
#include <functional>

class QIODevice;

class ESafeWriteError : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};

// The reason given for an output that exists and is not a regular file.
extern const char NOT_A_REGULAR_FILE[];

// Writes the file through aoWrite, which returns an error text, empty when it
// wrote everything it meant to.
void SafeWriteFile(const QString &asPath, const std::function<QString(QIODevice &)> &aoWrite);
void SafeWriteFile(const QString &asPath, const QByteArray &aoData);

// Writes to the standard output the same way ("-" as an output name in the tools).
void SafeWriteStandardOutput(const std::function<QString(QIODevice &)> &aoWrite);
