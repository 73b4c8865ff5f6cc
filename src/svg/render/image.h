#pragma once
// The `image` element: a raster picture (PNG, JPEG, GIF) or another SVG document (also
// gzip-compressed), from a data: URI or from a file beside the document, fitted into the
// element's viewport as its preserveAspectRatio says. A document reads no file outside its own folder, nothing
// from the network, and a file only once its first bytes show a picture. A picture that
// cannot be had draws nothing and raises nothing.

#include "svg/model/values/matrix.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <memory>

class QIODevice;
class TSVGDocument;
class TSVGElement;
class TSVGImage;
class TSVGPainter;

// A gzip stream counts as a compressed SVG picture until it inflates to something else.
enum class TSVGImageKind { None, Raster, Svg, CompressedSvg };

// The most bytes of one picture that are read: 32 MiB.
inline constexpr qint64 SVGMaxImageBytes = 32 * 1024 * 1024;
// How many SVG pictures may stand inside each other.
inline constexpr int SVGMaxImageNesting = 3;
// How many leading bytes decide what a picture is.
inline constexpr qint64 SVGImageSignatureBytes = 256;

// The pixels of pictures one drawing may decode, an SVG picture counting a pixel per
// four bytes of its text: 134,217,728 (eight pictures of the largest size). Each
// picture is decoded once per drawing however often it is shown (pictures kept for
// reuse hold at most SVGMaxDrawingPixels); past the budget the drawing fails with
// ESVGException SVG_TOO_MUCH_DECODED.
inline constexpr qint64 SVGMaxDecodedPixels = 134'217'728;
inline constexpr char SVG_TOO_MUCH_DECODED[] =
    "Drawing too complex: its pictures decode to more than 134217728 pixels";

// The pictures one drawing has decoded, by source; painters of one drawing share it.
struct TSVGPictureCache;
std::shared_ptr<TSVGPictureCache> SVGNewPictureCache();

// What the first bytes of a file or data: URI hold.
TSVGImageKind SVGImageKindOf(const QByteArray &head);

// A picture's bytes: the signature first, and the rest only when the signature shows a
// picture (None leaves the device after at most SVGImageSignatureBytes bytes). Empty for
// anything else or for more than SVGMaxImageBytes.
QByteArray SVGReadImageBytes(QIODevice &device, TSVGImageKind &kind);

// The payload of a data: URI, base64 or percent-encoded; IsDataURI tells whether the
// text was one at all (an empty payload may also mean a malformed one).
QByteArray SVGDataURIBytes(const QString &uri, bool &isDataURI);

// The canonical path of the regular file a reference names when the document may read
// it: a relative name, inside the folder of the document's own file once links are
// followed. Empty for anything else (no file behind the document, URLs, absolute
// names, climbing out, missing files).
QString SVGImageFilePath(const TSVGDocument &document, const QString &reference);

// Whether pictures are drawn smoothly where Element is: image-rendering (inherited)
// optimizeSpeed, pixelated and crisp-edges ask for the nearest pixel instead.
bool SVGSmoothPictures(const TSVGElement &element);

// The raster picture (premultiplied) a reference names, read by the same rules as an
// `image` element's and through the drawing's picture cache; null for anything else or
// what cannot be had.
QImage SVGLoadRasterPicture(const TSVGDocument &document, const QString &reference, TSVGPictureCache &cache);

// Draws the picture; M maps the element's user space (its transform applied) to the canvas.
void SVGDrawImage(TSVGPainter &painter, TSVGImage &image, const TMatrix &M);
