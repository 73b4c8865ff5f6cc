#pragma once
// Whole documents to images: what the command-line renderer, the tests and the fuzzer
// share, and the natural size an `image` element gives an SVG picture.

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

class QIODevice;
class TSVGDocument;

// The most bytes of one document the renderer reads: 32 MiB.
inline constexpr qint64 SVGMaxDocumentBytes = 32 * 1024 * 1024;

struct TSVGRasterOptions {
    int Width = 0;          // scale to this width (height follows the aspect ratio)
    int Height = 0;         // or to this height
    float Zoom = 0;         // or by this factor; none of the three: the natural size
    QRgb Background = 0;    // filled first; 0 leaves the image transparent
    QString Languages;      // for systemLanguage tests ("en,de"); empty: the user's own
};

// The size the document asks for: its width and height, a missing or percentage one
// taken from the viewBox (100 x 100 without either).
QSizeF SVGNaturalSize(const TSVGDocument &document);
// The pixel size of a rendering: at least 1 x 1. Raises ESVGException "Invalid image
// size" for a size beyond 32768 pixels on a side, and the error of SVGCheckRasterSize
// for more pixels than a raster may have.
QSize SVGRasterSize(const TSVGDocument &document, const TSVGRasterOptions &options);
// Draws the document into a new premultiplied image of SVGRasterSize.
QImage SVGRasterize(TSVGDocument &document, const TSVGRasterOptions &options);
// The bytes of a document to render. Only a regular file is read (a device, a pipe or
// a folder under the name could give no end), and only up to SVGMaxDocumentBytes:
// ESVGException "Not a regular file: %1", "Cannot open file \"%1\". <reason>" or
// "Document too large: more than 33554432 bytes".
QByteArray SVGReadDocumentFile(const QString &fileName);
// The same from an open stream (standard input), read up to SVGMaxDocumentBytes.
QByteArray SVGReadDocumentStream(QIODevice &device);
// Loads a document from its bytes and rasterizes it; load errors reach the caller.
QImage SVGRenderBytes(const QByteArray &bytes, const TSVGRasterOptions &options);
// SVGRenderBytes of SVGReadDocumentFile.
QImage SVGRenderFile(const QString &fileName, const TSVGRasterOptions &options);
