#pragma once
// Small documents rendered for the tests: a 100 x 100 viewBox shown at 100 x 100 pixels.

#include "svg/model/dom/document.h"
#include "svg/model/values/exception.h"
#include "svg/render/canvas.h"
#include "svg/render/draw.h"
#include "svg/render/rasterize.h"

#include <QImage>
#include <QString>

namespace svgtest {

inline QString Document(const QString &body, const QString &size = QStringLiteral("100"))
{
    return QStringLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" )"
                          R"(xmlns:xlink="http://www.w3.org/1999/xlink" width="%2" height="%2" )"
                          R"(viewBox="0 0 100 100">%1</svg>)")
        .arg(body, size);
}

inline QImage Render(const QString &body, int pixels = 100)
{
    TSVGDocument doc;
    doc.LoadFromText(Document(body, QString::number(pixels)));
    TSVGRasterOptions options;
    return SVGRasterize(doc, options).convertToFormat(QImage::Format_ARGB32);
}

inline QImage Render(const char *body, int pixels = 100)
{
    return Render(QString::fromUtf8(body), pixels);
}

inline int Alpha(const QImage &img, int x, int y)
{
    return qAlpha(img.pixel(x, y));
}

// The opaque colour at a pixel (alpha ignored).
inline QRgb Colour(const QImage &img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return qRgb(qRed(p), qGreen(p), qBlue(p));
}

inline bool IsBlank(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)))
                return false;
    return true;
}

// Pixels whose alpha differs by more than Threshold.
inline int Differences(const QImage &a, const QImage &b, int threshold = 64)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += std::abs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y))) > threshold;
    return n;
}

} // namespace svgtest
