#include "imageio/picture_writer.h"

#include "imageio/png_codec.h"

#include <QFileDevice>
#include <QImage>
#include <QImageWriter>

std::function<QString(QIODevice &)> PictureWriter(const QImage &aoPicture, const QByteArray &asFormat)
{
    return [&aoPicture, asFormat](QIODevice &device) {
        // The device's own error (a full disk) says more than the writer's.
        const auto deviceError = [&device]() {
            const auto *file = qobject_cast<QFileDevice *>(&device);
            return file && file->error() != QFileDevice::NoError ? file->errorString() : QString();
        };
        if (asFormat.compare("png", Qt::CaseInsensitive) == 0) {
            try {
                PngWrite(device, aoPicture);
                return QString();
            } catch (const EImageIOError &e) {
                const QString reason = deviceError();
                return reason.isEmpty() ? e.Message() : reason;
            }
        }
        QImageWriter writer(&device, asFormat);
        if (writer.write(aoPicture))
            return QString();
        const QString reason = deviceError();
        return reason.isEmpty() ? writer.errorString() : reason;
    };
}
