#pragma once
// The writer of a picture in a format of its file name ("png", "jpg", ...), for the
// safe-write routines of platform/safewrite.h: PNG through our own codec
// (png_codec.h), every other format through Qt's image writers. It returns the
// error text, empty when the whole picture was written.

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;
class QImage;

// The picture must outlive the returned writer.
std::function<QString(QIODevice &)> PictureWriter(const QImage &aoPicture, const QByteArray &asFormat);
