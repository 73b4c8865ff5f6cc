#pragma once
// Whole documents to images: what the command-line renderer, the suite test and the
// benchmarks share.

#include <QImage>
#include <QSizeF>
#include <QString>

class TSVGDocument;

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
// size" for a size beyond 32768 pixels on a side.
QSize SVGRasterSize(const TSVGDocument &document, const TSVGRasterOptions &options);
// Draws the document into a new premultiplied image of SVGRasterSize.
QImage SVGRasterize(TSVGDocument &document, const TSVGRasterOptions &options);
// Loads a file and rasterizes it; load errors reach the caller.
QImage SVGRenderFile(const QString &fileName, const TSVGRasterOptions &options);
