#pragma once
// Documents and pixel helpers shared by the control tests. Documents are plain rectangles
// in solid colours, so every painted pixel says where the buffer landed.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>

namespace ctltest {

// A document of W x H user units (viewBox and size alike) holding Body.
inline QString Document(double w, double h, const QString &body)
{
    return QStringLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg" width="%1" height="%2" )"
                          R"(viewBox="0 0 %1 %2">%3</svg>)")
        .arg(w)
        .arg(h)
        .arg(body);
}

// The whole document in one colour.
inline QString Solid(double w, double h, const QString &colour = QStringLiteral("#ff0000"))
{
    return Document(w, h, QStringLiteral(R"(<rect width="%1" height="%2" fill="%3"/>)")
                              .arg(w)
                              .arg(h)
                              .arg(colour));
}

inline QStringList Lines(const QString &text)
{
    return text.split(QLatin1Char('\n'));
}

inline QImage Transparent(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The smallest rectangle holding every pixel with alpha above Threshold.
inline QRect OpaqueBounds(const QImage &image, int threshold = 127)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > threshold)
                r |= QRect(x, y, 1, 1);
    return r;
}

// The colour at a pixel, alpha included, as #aarrggbb.
inline QString ColourAt(const QImage &image, int x, int y)
{
    return QColor::fromRgba(image.pixel(x, y)).name(QColor::HexArgb);
}

// Set VUPLORA_CONTROLS_PNG to a folder to keep the painted images for a look.
inline void Keep(const QImage &image, const char *name)
{
    const QString dir = qEnvironmentVariable("VUPLORA_CONTROLS_PNG");
    if (!dir.isEmpty())
        image.save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

inline QString Red() { return QStringLiteral("#ffff0000"); }
inline QString Clear() { return QStringLiteral("#00000000"); }

} // namespace ctltest
