#include "platform/safewrite.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

const char NOT_A_REGULAR_FILE[] = "it exists and is not a regular file";

void SafeWriteFile(const QString &asPath, const std::function<QString(QIODevice &)> &aoWrite)
{
    const QFileInfo info(asPath);
    if (info.isSymLink() || (info.exists() && !info.isFile()))
        throw ESafeWriteError(QString::fromLatin1(NOT_A_REGULAR_FILE));
    QSaveFile file(asPath);
    if (!file.open(QIODevice::WriteOnly))
        throw ESafeWriteError(file.errorString());
    QString error = aoWrite(file);
    if (error.isEmpty() && file.error() != QFileDevice::NoError)
        error = file.errorString();
    if (!error.isEmpty()) {
        file.cancelWriting();
        throw ESafeWriteError(error);
    }
    if (!file.commit())
        throw ESafeWriteError(file.errorString());
}

void SafeWriteFile(const QString &asPath, const QByteArray &aoData)
{
    SafeWriteFile(asPath, [&](QIODevice &device) {
        return device.write(aoData) == aoData.size() ? QString() : device.errorString();
    });
}

void SafeWriteStandardOutput(const std::function<QString(QIODevice &)> &aoWrite)
{
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly))
        throw ESafeWriteError(out.errorString());
    QString error = aoWrite(out);
    if (error.isEmpty() && !out.flush())
        error = out.errorString();
    if (!error.isEmpty())
        throw ESafeWriteError(error);
}
