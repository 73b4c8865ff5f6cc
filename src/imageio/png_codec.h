#pragma once
// PNG pictures in and out. Qt's own PNG plugin spends most of a picture's time in
// zlib at its default level and in trying every row filter; pictures here go
// through libspng at a level and with a filter chosen for speed, at a size close to
// Qt's. Everything else about the files matches what Qt's plugin writes and reads,
// so that either side can open the other's pictures unchanged.
//
// Writing: 8 bits a channel; a picture with an alpha channel (premultiplied or not)
// is stored as RGBA with the colours un-premultiplied exactly as Qt converts them, one
// without as RGB. Its resolution goes along (pHYs) when it has one.
// Reading: any valid PNG (all colour types and depths, interlaced or not, tRNS
// applied, no gamma correction, as Qt reads by default), answered straight (not
// premultiplied): Format_RGBA8888, or Format_RGBX8888 when the file has no alpha;
// Format_RGBA64 / Format_RGBX64 for 16-bit files, so no precision is lost before the
// caller converts.
//
// Failures raise EImageIOError with these texts:
//   "Not a PNG picture"                                   (bad signature)
//   "Unreadable PNG picture: %1"                          (libspng's reason)
//   "PNG picture too large: %1 x %2 pixels"               (over PngMaxDecodedBytes)
//   "Out of memory for a %1 x %2 picture"
//   "Cannot write a PNG picture: %1"                      (libspng's or the device's reason)

#include "errors/errors.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

class QIODevice;

class EImageIOError : public EVuploraError {
public:
    using EVuploraError::EVuploraError;
};

// The most bytes a decoded picture may take: 256 MiB, Qt's own default allocation
// limit for pictures it reads.
inline constexpr qint64 PngMaxDecodedBytes = 256 * 1024 * 1024;

// Whether the bytes start with the PNG signature.
bool PngSignature(QByteArrayView data);

// The picture as PNG bytes.
QByteArray PngEncode(const QImage &image);
// The picture as PNG to an open device. Nothing is written for a null picture, which
// raises "Cannot write a PNG picture: the picture is empty".
void PngWrite(QIODevice &device, const QImage &image);

// The picture the PNG bytes hold, in one of the straight formats above.
QImage PngDecode(QByteArrayView data);
// The same, premultiplied ARGB32: what the engine and the pack's items draw with.
QImage PngDecodePremultiplied(QByteArrayView data);
