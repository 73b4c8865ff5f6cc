#include "svg/render/rasterize.h"

#include "svg/model/values/color.h"
#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/render/canvas.h"
#include "svg/render/draw.h"
#include "svg/render/raster_limits.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxSide = 32768;

bool HasLength(const TSVGDocument &doc, QStringView name, bool isPercent)
{
    QString text;
    return doc.XMLAttribute(name, text) && !isPercent;
}

} // namespace

QSizeF SVGNaturalSize(const TSVGDocument &document)
{
    const bool vb = document.ViewBoxSpecified() && !document.ViewBoxDisablesRendering();
    const QRectF box = document.ViewBox();
    double w = HasLength(document, u"width", document.WidthIsPercent()) ? document.Width() : -1;
    double h = HasLength(document, u"height", document.HeightIsPercent()) ? document.Height() : -1;
    if (w < 0 && h < 0) {
        w = vb ? box.width() : 100;
        h = vb ? box.height() : 100;
    } else if (w < 0) {
        w = vb && box.height() > 0 ? h * box.width() / box.height() : 100;
    } else if (h < 0) {
        h = vb && box.width() > 0 ? w * box.height() / box.width() : 100;
    }
    return QSizeF(w, h);
}

QSize SVGRasterSize(const TSVGDocument &document, const TSVGRasterOptions &options)
{
    const QSizeF natural = SVGNaturalSize(document);
    double w = natural.width(), h = natural.height();
    if (options.Width > 0) {
        h = w > 0 ? h * options.Width / w : options.Width;
        w = options.Width;
    } else if (options.Height > 0) {
        w = h > 0 ? w * options.Height / h : options.Height;
        h = options.Height;
    } else if (options.Zoom > 0) {
        w *= options.Zoom;
        h *= options.Zoom;
    }
    if (!std::isfinite(w) || !std::isfinite(h) || w > kMaxSide || h > kMaxSide)
        throw ESVGException(QStringLiteral("Invalid image size"));
    const QSize size(std::max(1, int(std::lround(w))), std::max(1, int(std::lround(h))));
    SVGCheckRasterSize(size);
    return size;
}

QImage SVGRasterize(TSVGDocument &document, const TSVGRasterOptions &options)
{
    const QSize size = SVGRasterSize(document, options);
    QImage image = SVGNewRaster(size);
    if (options.Background)
        image.fill(QColor::fromRgba(options.Background));
    {
        // The root element's CSS background colours the whole picture, under the drawing.
        const QString background = document.Style().Value(u"background-color").trimmed();
        if (!background.isEmpty()) {
            bool isNone = false, inherited = false;
            TAlphaColor color = 0;
            try {
                color = ParseColor(background, 0, isNone, inherited);
            } catch (const EConvertError &) {
                // An unreadable background is ignored, as CSS ignores an invalid
                // declaration; the drawing itself is unaffected.
                isNone = true;
            }
            if (!isNone && qAlpha(color) > 0) {
                QPainter p(&image);
                p.fillRect(image.rect(), QColor::fromRgba(color));
            }
        }
    }
    TSVGCanvas canvas(image);
    const QSizeF natural = SVGNaturalSize(document);
    const QRectF target(0, 0, size.width(), size.height());
    TSVGPainter painter(canvas, target);
    if (document.ViewBoxDisablesRendering())
        return image;
    if (document.ViewBoxSpecified()) {
        // The viewBox fills the whole picture as its preserveAspectRatio says.
        painter.Draw(document, SVGViewBoxMatrix(document, target));
    } else {
        const TMatrix scale = TMatrix::CreateScaling(float(size.width() / natural.width()),
                                                     float(size.height() / natural.height()));
        painter.Draw(document, scale);
    }
    return image;
}

QByteArray SVGReadDocumentFile(const QString &fileName)
{
    // The check follows links, so a link to a regular file is read like the file.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        throw ESVGException(QStringLiteral("Not a regular file: %1").arg(fileName));
    if (info.size() > SVGMaxDocumentBytes)
        throw ESVGException(QStringLiteral("Document too large: more than %1 bytes").arg(SVGMaxDocumentBytes));
    QFile file(fileName);
    // Read in one go into the document's buffer: Qt's own read buffer would only be
    // one more allocation and copy per document.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ESVGException(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    return SVGReadDocumentStream(file);
}

QByteArray SVGReadDocumentStream(QIODevice &device)
{
    // One byte more than allowed tells a document that is too large from one that
    // fills the limit exactly; the file may also have grown since it was looked at.
    // The text goes straight into one buffer sized for what the device says it holds:
    // a chunk buffer of its own for each read cost each document of a batch a large
    // allocation that the allocator handed back to the system and took again.
    constexpr qint64 kCap = SVGMaxDocumentBytes + 1;
    const qint64 expected = device.isSequential() ? -1 : std::max<qint64>(0, device.size() - device.pos());
    QByteArray bytes;
    qint64 have = 0;
    while (have < kCap) {
        // A file is read in one go for what it holds and one byte more, which normally
        // comes back empty and tells the end; a stream, or a file grown since, in chunks.
        const qint64 want = std::min(kCap - have, have <= expected ? expected + 1 - have : qint64(1) << 20);
        if (bytes.size() < have + want)
            bytes.resize(have + want);
        const qint64 got = device.read(bytes.data() + have, want);
        if (got <= 0)
            break;
        have += got;
    }
    bytes.resize(have);
    if (have > SVGMaxDocumentBytes)
        throw ESVGException(QStringLiteral("Document too large: more than %1 bytes").arg(SVGMaxDocumentBytes));
    return bytes;
}

namespace {

QImage RenderBytes(const QByteArray &bytes, const TSVGRasterOptions &options, const QString &fileName)
{
    TSVGDocument document;
    document.SetFileName(fileName);
    if (!options.Languages.isEmpty()) {
        document.SetOptions(document.Options() & ~TSVGOptions(soUseLocaleForLanguage));
        document.SetPreferredLanguage(options.Languages);
    }
    document.LoadFromBytes(bytes);
    return SVGRasterize(document, options);
}

} // namespace

QImage SVGRenderBytes(const QByteArray &bytes, const TSVGRasterOptions &options)
{
    return RenderBytes(bytes, options, QString());
}

QImage SVGRenderFile(const QString &fileName, const TSVGRasterOptions &options)
{
    return RenderBytes(SVGReadDocumentFile(fileName), options, QFileInfo(fileName).absoluteFilePath());
}
