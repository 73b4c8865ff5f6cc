#include "svg/render/image.h"

#include "svg/model/dom/custom_viewbox.h"
#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/model/dom/image.h"
#include "svg/render/canvas.h"
#include "svg/render/draw.h"
#include "svg/render/raster_limits.h"
#include "svg/render/rasterize.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QRegularExpression>
#include <QUrl>
#include <cstring>
#include <functional>
#include <memory>
#include <zlib.h>
#include <vector>

namespace {

// The documents whose SVG pictures are being drawn on this thread and the pictures
// themselves, by canonical file name (a data: picture counts as its document's file),
// and how deep the pictures stand inside each other.
struct TImageNesting {
    std::vector<QString> Files;
    int Depth = 0;
};
thread_local TImageNesting gNesting;

class TNestingEntry {
public:
    TNestingEntry(const QString &document, const QString &picture)
    {
        gNesting.Files.push_back(document);
        gNesting.Files.push_back(picture);
        ++gNesting.Depth;
    }
    ~TNestingEntry()
    {
        gNesting.Files.resize(gNesting.Files.size() - 2);
        --gNesting.Depth;
    }
    TNestingEntry(const TNestingEntry &) = delete;
    TNestingEntry &operator=(const TNestingEntry &) = delete;
};

bool StartsWith(const QByteArray &bytes, const char *prefix, qsizetype at = 0)
{
    const qsizetype n = qsizetype(std::strlen(prefix));
    return bytes.size() >= at + n && std::memcmp(bytes.constData() + at, prefix, size_t(n)) == 0;
}

QString CanonicalFile(const QString &fileName)
{
    return fileName.isEmpty() ? QString() : QFileInfo(fileName).canonicalFilePath();
}

// A gzip stream (a compressed SVG picture) inflated, no further than SVGMaxImageBytes;
// empty when it is damaged or inflates to more.
QByteArray Gunzip(const QByteArray &bytes)
{
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
        return {};
    QByteArray out;
    char chunk[1 << 16];
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.constData()));
    z.avail_in = uInt(bytes.size());
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef *>(chunk);
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        out.append(chunk, qsizetype(sizeof chunk - z.avail_out));
        if (out.size() > SVGMaxImageBytes || (status == Z_OK && z.avail_in == 0 && z.avail_out != 0))
            break;
    }
    inflateEnd(&z);
    return status == Z_STREAM_END && out.size() <= SVGMaxImageBytes ? out : QByteArray();
}

struct TPicture {
    TSVGImageKind Kind = TSVGImageKind::None;
    QImage Raster;
    std::shared_ptr<TSVGDocument> Svg;
    QString Document;  // the referencing document's file
    QString SvgFile;   // what the SVG picture counts as for nesting
    QSizeF Size;      // intrinsic, in user units
};

// Thrown past the decode budget; unlike a picture that cannot be had, it ends the drawing.
class ESVGDecodeBudget : public ESVGException {
public:
    ESVGDecodeBudget() : ESVGException(QString::fromLatin1(SVG_TOO_MUCH_DECODED)) {}
};

} // namespace

struct TSVGPictureCache {
    QHash<QString, TPicture> Pictures;
    qint64 Decoded = 0;     // pixels decoded, against SVGMaxDecodedPixels
    qint64 KeptPixels = 0;  // raster pixels held in Pictures

    void Spend(qint64 pixels)
    {
        if (pixels > SVGMaxDecodedPixels - Decoded)
            throw ESVGDecodeBudget();
        Decoded += pixels;
    }
};

std::shared_ptr<TSVGPictureCache> SVGNewPictureCache()
{
    return std::make_shared<TSVGPictureCache>();
}

namespace {

TPicture Decode(const QByteArray &bytes, TSVGImageKind kind, const TSVGDocument &owner,
                const QString &file, TSVGPictureCache &cache)
{
    TPicture p;
    if (kind == TSVGImageKind::Raster) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (size.isValid()) {
            SVGCheckRasterSize(size);
            cache.Spend(qint64(size.width()) * size.height());
        }
        QImage image = reader.read();
        if (image.isNull())
            return p;
        SVGCheckRasterSize(image.size());
        p.Raster = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        p.Size = QSizeF(p.Raster.size());
        p.Kind = kind;
        return p;
    }
    if (kind == TSVGImageKind::CompressedSvg) {
        const QByteArray inflated = Gunzip(bytes);
        if (SVGImageKindOf(inflated.left(SVGImageSignatureBytes)) != TSVGImageKind::Svg)
            return p;
        return Decode(inflated, TSVGImageKind::Svg, owner, file, cache);
    }
    if (kind == TSVGImageKind::Svg) {
        if (gNesting.Depth >= SVGMaxImageNesting)
            return p;
        cache.Spend(bytes.size() / 4);
        auto doc = std::make_shared<TSVGDocument>();
        doc->SetFileName(file);
        doc->SetDPI(owner.DPI());
        doc->SetOptions(owner.Options());
        if (!(owner.Options() & soUseLocaleForLanguage))
            doc->SetPreferredLanguage(owner.PreferredLanguage());
        doc->LoadFromBytes(bytes);
        if (doc->ViewBoxDisablesRendering())
            return p;
        p.Size = SVGNaturalSize(*doc);
        p.Svg = std::move(doc);
        p.SvgFile = file;
        p.Kind = kind;
    }
    return p;
}

// The picture of a source, decoded on its first use in the drawing. Kept for reuse
// while the kept rasters stay within SVGMaxDrawingPixels; the nesting depth is part
// of the key, since an SVG picture decodes to nothing past the deepest nesting. A
// source that decodes to nothing is kept as such: an svgz inflating past the size
// cap takes as long to fail as to succeed, and would fail again at every use.
TPicture Cached(TSVGPictureCache &cache, const QString &key, const std::function<TPicture()> &decode)
{
    if (const auto it = cache.Pictures.constFind(key); it != cache.Pictures.constEnd())
        return *it;
    TPicture p = decode();
    const qint64 pixels = qint64(p.Raster.width()) * p.Raster.height();
    if (pixels <= SVGMaxDrawingPixels - cache.KeptPixels) {
        cache.KeptPixels += pixels;
        cache.Pictures.insert(key, p);
    }
    return p;
}

TPicture Load(const TSVGDocument *doc, const QString &reference, TSVGPictureCache &cache)
{
    if (!doc)
        return {};
    const QString ownFile = CanonicalFile(doc->FileName());
    const QString keyStart = QString::number(gNesting.Depth) + QLatin1Char('\n') + ownFile + QLatin1Char('\n');
    if (reference.trimmed().startsWith(QLatin1String("data:"), Qt::CaseInsensitive)) {
        return Cached(cache, keyStart + reference, [&] {
            bool isData = false;
            const QByteArray data = SVGDataURIBytes(reference, isData);
            const TSVGImageKind kind = SVGImageKindOf(data.left(SVGImageSignatureBytes));
            TPicture p = Decode(data, kind, *doc, ownFile, cache);
            p.Document = ownFile;
            return p;
        });
    }
    const QString file = SVGImageFilePath(*doc, reference);
    if (file.isEmpty() || file == ownFile)
        return {};
    for (const QString &f : gNesting.Files)
        if (f == file)
            return {};  // a picture that contains itself
    return Cached(cache, keyStart + file, [&]() -> TPicture {
        QFile in(file);
        // Unbuffered: a buffered read of the signature would take a whole block of the file.
        if (!in.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return {};
        TSVGImageKind kind = TSVGImageKind::None;
        const QByteArray bytes = SVGReadImageBytes(in, kind);
        TPicture p = Decode(bytes, kind, *doc, file, cache);
        p.Document = ownFile;
        return p;
    });
}

// The viewport's size where width or height is missing or auto: the picture's own,
// or scaled to keep its proportions when the other is given.
QSizeF ViewportSize(const TSVGImage &image, const QSizeF &intrinsic)
{
    auto given = [&](QStringView name) {
        QString text;
        return image.XMLAttribute(name, text) && text.trimmed() != QLatin1String("auto");
    };
    const bool hasW = given(u"width"), hasH = given(u"height");
    double w = hasW ? image.Width() : intrinsic.width();
    double h = hasH ? image.Height() : intrinsic.height();
    if (hasW && !hasH && intrinsic.width() > 0)
        h = w * intrinsic.height() / intrinsic.width();
    else if (hasH && !hasW && intrinsic.height() > 0)
        w = h * intrinsic.width() / intrinsic.height();
    return QSizeF(w, h);
}

} // namespace

bool SVGSmoothPictures(const TSVGElement &element)
{
    // An inherited property: the nearest element that states it.
    for (const TSVGElement *e = &element; e; e = e->Parent())
        if (const TSVGGraphicElement *g = e->AsGraphic()) {
            const QString v = g->Style().Value(u"image-rendering").trimmed();
            if (v.isEmpty() || v == QLatin1String("inherit"))
                continue;
            return v != QLatin1String("optimizeSpeed") && v != QLatin1String("pixelated") &&
                   v != QLatin1String("crisp-edges");
        }
    return true;
}

QImage SVGLoadRasterPicture(const TSVGDocument &document, const QString &reference, TSVGPictureCache &cache)
{
    TPicture p = Load(&document, reference, cache);
    return p.Kind == TSVGImageKind::Raster ? p.Raster : QImage();
}

TSVGImageKind SVGImageKindOf(const QByteArray &head)
{
    if (StartsWith(head, "\x89PNG\r\n\x1a\n") || StartsWith(head, "\xff\xd8\xff") ||
        StartsWith(head, "GIF87a") || StartsWith(head, "GIF89a") ||
        (StartsWith(head, "RIFF") && StartsWith(head, "WEBP", 8)))
        return TSVGImageKind::Raster;
    if (StartsWith(head, "\x1f\x8b"))
        return TSVGImageKind::CompressedSvg;
    qsizetype i = StartsWith(head, "\xef\xbb\xbf") ? 3 : 0;
    while (i < head.size() && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n'))
        ++i;
    if (StartsWith(head, "<?xml", i) || StartsWith(head, "<svg", i) || StartsWith(head, "<!--", i) ||
        StartsWith(head, "<!DOCTYPE", i))
        return TSVGImageKind::Svg;
    return TSVGImageKind::None;
}

QByteArray SVGReadImageBytes(QIODevice &device, TSVGImageKind &kind)
{
    kind = TSVGImageKind::None;
    QByteArray bytes = device.read(SVGImageSignatureBytes);
    const TSVGImageKind found = SVGImageKindOf(bytes);
    if (found == TSVGImageKind::None)
        return {};
    while (bytes.size() <= SVGMaxImageBytes) {
        const QByteArray chunk = device.read(std::min<qint64>(1 << 20, SVGMaxImageBytes + 1 - bytes.size()));
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (bytes.size() > SVGMaxImageBytes)
        return {};
    kind = found;
    return bytes;
}

QByteArray SVGDataURIBytes(const QString &uri, bool &isDataURI)
{
    const QString text = uri.trimmed();
    isDataURI = text.startsWith(QLatin1String("data:"), Qt::CaseInsensitive);
    if (!isDataURI)
        return {};
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0 || text.size() - comma > SVGMaxImageBytes * 2)
        return {};
    const QString header = text.mid(5, comma - 5);
    const QByteArray payload = text.mid(comma + 1).toUtf8();
    if (header.endsWith(QLatin1String(";base64"), Qt::CaseInsensitive)) {
        QByteArray compact = QByteArray::fromPercentEncoding(payload);
        compact.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
        const auto decoded = QByteArray::fromBase64Encoding(compact);
        return decoded ? *decoded : QByteArray();
    }
    return QByteArray::fromPercentEncoding(payload);
}

QString SVGImageFilePath(const TSVGDocument &document, const QString &reference)
{
    const QString own = document.FileName();
    const QString ref = reference.trimmed();
    if (own.isEmpty() || ref.isEmpty())
        return {};
    // Anything with a scheme is a URL, and URLs are never fetched.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (scheme.match(ref).hasMatch())
        return {};
    const QString name = QUrl::fromPercentEncoding(ref.toUtf8());
    if (name.isEmpty() || QDir::isAbsolutePath(name) || name.startsWith(QLatin1Char('\\')))
        return {};
    const QString folder = QFileInfo(own).absolutePath();
    const QString canonicalFolder = QDir(folder).canonicalPath();
    if (canonicalFolder.isEmpty())
        return {};
    const QFileInfo target(QDir(folder).filePath(name));
    const QString canonical = target.canonicalFilePath();
    if (canonical.isEmpty() || !canonical.startsWith(canonicalFolder + QLatin1Char('/')))
        return {};
    if (!QFileInfo(canonical).isFile())
        return {};
    return canonical;
}

void SVGDrawImage(TSVGPainter &painter, TSVGImage &image, const TMatrix &M)
{
    TPicture picture;
    try {
        picture = Load(image.Document(), image.Reference(), painter.PictureCache());
    } catch (const ESVGDecodeBudget &) {
        throw;
    } catch (const std::exception &) {
        // A picture that cannot be had is left out, whatever the reason.
        return;
    }
    if (picture.Kind == TSVGImageKind::None || !(picture.Size.width() > 0) ||
        !(picture.Size.height() > 0))
        return;
    const QSizeF size = ViewportSize(image, picture.Size);
    if (!(size.width() > 0) || !(size.height() > 0))
        return;
    const QRectF viewport(image.X(), image.Y(), size.width(), size.height());
    const QRectF box(QPointF(0, 0), picture.Size);
    float sx = 1, sy = 1, tx = float(viewport.left()), ty = float(viewport.top());
    ComputeAspect(box, viewport, image.AspectRatio().Value(), sx, sy, tx, ty);
    const TMatrix fit = TMatrix::CreateScaling(sx, sy) * TMatrix::CreateTranslation(tx, ty) * M;

    TSVGCanvas &canvas = painter.Canvas();
    const int state = canvas.SaveState();
    try {
        if (SVGClipsToViewport(image)) {
            canvas.SetMatrix(M);
            QPainterPath clip;
            clip.addRect(viewport);
            canvas.ClipPath(clip);
        }
        canvas.SetMatrix(fit);
        if (picture.Kind == TSVGImageKind::Raster) {
            canvas.DrawBitmap(picture.Raster, QRectF(picture.Raster.rect()), box,
                              painter.OpacityFactor(), SVGSmoothPictures(image));
        } else {
            TSVGDocument &doc = *picture.Svg;
            const TMatrix inner = doc.ViewBoxSpecified() ? SVGViewBoxMatrix(doc, box) : TMatrix();
            const float opacity = painter.OpacityFactor();
            const bool layer = opacity < 1;
            if (layer)
                canvas.BeginLayer();
            TNestingEntry entry(picture.Document, picture.SvgFile);
            TSVGPainter nested(canvas, viewport);
            nested.ShareGuardsWith(painter, QSize());
            nested.Draw(doc, inner * fit);
            if (layer)
                canvas.EndLayer(opacity);
        }
    } catch (...) {
        canvas.RestoreState(state);
        throw;
    }
    canvas.RestoreState(state);
}
