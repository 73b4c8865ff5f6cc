// Pictures in documents: where they come from, how they fit their viewport, and what a
// document may not reach.

#include "render_helpers.h"

#include "svg/render/image.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace svgtest;

namespace {

// A red picture, W x H pixels, as PNG bytes.
QByteArray RedPng(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(qRgb(255, 0, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

const char *kRedSvg = R"svg(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="10"><rect width="20" height="10" fill="red"/></svg>)svg";

QString PngURI(int w, int h)
{
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(RedPng(w, h).toBase64());
}

QString SvgURI()
{
    return QStringLiteral("data:image/svg+xml,") + QString::fromLatin1(QByteArray(kRedSvg).toPercentEncoding());
}

bool Red(const QImage &img, int x, int y)
{
    return Alpha(img, x, y) > 250 && Colour(img, x, y) == qRgb(255, 0, 0);
}

void Write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A document file in Dir whose body is Body, rendered at 100 x 100 pixels.
QImage RenderFile(const QString &dir, const QString &body, const QString &name = QStringLiteral("doc.svg"))
{
    Write(dir + QLatin1Char('/') + name, Document(body).toUtf8());
    return SVGRenderFile(dir + QLatin1Char('/') + name, TSVGRasterOptions()).convertToFormat(QImage::Format_ARGB32);
}

// Counts the bytes a reader takes from it.
class TCountingDevice : public QIODevice {
public:
    explicit TCountingDevice(QByteArray data) : FData(std::move(data)) { open(ReadOnly | Unbuffered); }
    qint64 Taken = 0;

protected:
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 n = std::min<qint64>(max, FData.size() - Taken);
        std::memcpy(out, FData.constData() + Taken, size_t(n));
        Taken += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray FData;
};

} // namespace

TEST(Image, FitsItsViewportAsPreserveAspectRatioSays)
{
    // A 2:1 picture in the 80 x 80 viewport at (10, 10).
    struct Case {
        const char *ratio;
        bool top, upper, bottom;  // red at (50, 15), (50, 40), (50, 85)
    };
    const Case cases[] = {
        {"", false, true, false},                 // xMidYMid meet: a band from y = 30 to 70
        {"xMidYMin meet", true, true, false},     // from 10 to 50
        {"xMidYMax meet", false, false, true},    // from 50 to 90
        {"none", true, true, true},
        {"xMidYMid slice", true, true, true},     // fills the viewport, cut at its sides
    };
    for (const QString &uri : {PngURI(20, 10), SvgURI()}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.ratio) + (uri.contains(QLatin1String("svg")) ? " svg" : " png"));
            const QImage img = Render(QStringLiteral(R"svg(<image x="10" y="10" width="80" height="80"
                preserveAspectRatio="%1" href="%2"/>)svg").arg(QLatin1String(*c.ratio ? c.ratio : "xMidYMid"), uri));
            EXPECT_EQ(Red(img, 50, 15), c.top);
            EXPECT_EQ(Red(img, 50, 40), c.upper);
            EXPECT_EQ(Red(img, 50, 85), c.bottom);
            EXPECT_EQ(Alpha(img, 5, 50), 0);  // nothing outside the viewport, slice included
            EXPECT_EQ(Alpha(img, 95, 50), 0);
        }
    }
}

TEST(Image, DataURIsInTheirForms)
{
    const QByteArray png = RedPng(4, 4);
    const QStringList uris = {
        QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64()),
        // Without a media type, with white space in the base64 text.
        QStringLiteral("data:;base64,") + QString::fromLatin1(png.toBase64()).insert(8, QStringLiteral("\n  ")),
        QStringLiteral("data:image/png,") + QString::fromLatin1(png.toPercentEncoding()),
        SvgURI(),
        // The same SVG document gzip-compressed.
        QStringLiteral("data:image/svg+xml;base64,H4sIAAAAAAACA3XM2w2AIAxA0VWaDmAr/hlgGUEgwUegsY6vDuD3Pbm2Xwnure7dYRY5"
                       "ZyJVHXQajpbIMDO9AkFLkOzQMEKOJWVxODJ62+IiPxHWUqvDFgOSt9/GPzEkZMpuAAAA"),
    };
    for (const QString &uri : uris) {
        SCOPED_TRACE(uri.left(30).toStdString());
        const QImage img = Render(QStringLiteral(R"svg(<image width="100" height="100"
            preserveAspectRatio="none" xlink:href="%1"/>)svg").arg(uri));
        EXPECT_TRUE(Red(img, 50, 50));
    }
}

TEST(Image, PicturesThatCannotBeHadDrawNothingAndRaiseNothing)
{
    const QStringList hrefs = {
        QStringLiteral("data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAA"),  // cut short
        QStringLiteral("data:image/png;base64,@@@"),
        QStringLiteral("data:text/plain,hello"),
        QStringLiteral("data:image/svg+xml,%3Csvg"),                          // no document
        QStringLiteral("data:image/svg+xml;base64,H4sIAAAAAAACA3XM2w2AIAxA0VWaDmAr"),  // cut short
        QStringLiteral("http://localhost/red.png"),
        QStringLiteral("missing.png"),
    };
    for (const QString &href : hrefs) {
        SCOPED_TRACE(href.toStdString());
        QImage img;
        ASSERT_NO_THROW(img = Render(QStringLiteral(R"svg(<image width="100" height="100" href="%1"/>)svg")
                                         .arg(href.toHtmlEscaped())));
        EXPECT_TRUE(IsBlank(img));
    }
}

TEST(Image, FilesAreReadOnlyFromTheDocumentsOwnFolder)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString root = tmp.path(), docs = root + QStringLiteral("/docs");
    Write(docs + QStringLiteral("/red.png"), RedPng(4, 4));
    Write(docs + QStringLiteral("/pics/red me.png"), RedPng(4, 4));
    Write(docs + QStringLiteral("/red.svg"), kRedSvg);
    Write(root + QStringLiteral("/outside.png"), RedPng(4, 4));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/outside.png"), docs + QStringLiteral("/link.png")));
    struct Case {
        QString href;
        bool drawn;
    };
    const Case cases[] = {
        {QStringLiteral("red.png"), true},   // beside the document, whatever the working folder
        {QStringLiteral("pics/red%20me.png"), true},
        {QStringLiteral("./pics/../red.svg"), true},
        {QStringLiteral("../outside.png"), false},
        {root + QStringLiteral("/outside.png"), false},
        {QStringLiteral("file://") + root + QStringLiteral("/outside.png"), false},
        {QStringLiteral("link.png"), false},  // a link that leads out
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.href.toStdString());
        const QImage img = RenderFile(docs, QStringLiteral(R"svg(<image width="100" height="100"
            preserveAspectRatio="none" href="%1"/>)svg").arg(c.href.toHtmlEscaped()));
        EXPECT_EQ(Red(img, 50, 50), c.drawn);
    }
    // A document read from bytes has no folder, so it reads no file at all.
    EXPECT_TRUE(IsBlank(Render(R"svg(<image width="100" height="100" href="red.png"/>)svg")));
}

TEST(Image, SvgPicturesThatContainThemselvesStop)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString dir = tmp.path();
    // A green square beside a picture of the document itself.
    const QImage self = RenderFile(dir, QStringLiteral(R"svg(<rect width="50" height="50" fill="lime"/>
        <image x="50" y="50" width="50" height="50" href="doc.svg"/>)svg"));
    EXPECT_EQ(Colour(self, 25, 25), qRgb(0, 255, 0));
    EXPECT_EQ(Alpha(self, 60, 60), 0);
    // Two documents that show each other, each with a red square in its top left quarter:
    // the nesting ends, and what is drawn is finite.
    Write(dir + QStringLiteral("/b.svg"), Document(QStringLiteral(R"svg(<rect width="50" height="50" fill="red"/>
        <image x="50" y="50" width="50" height="50" href="a.svg"/>)svg")).toUtf8());
    const QImage a = RenderFile(dir, QStringLiteral(R"svg(<rect width="50" height="50" fill="red"/>
        <image x="50" y="50" width="50" height="50" href="b.svg"/>)svg"), QStringLiteral("a.svg"));
    EXPECT_TRUE(Red(a, 25, 25));
    EXPECT_TRUE(Red(a, 60, 60));   // b's square
    EXPECT_EQ(Alpha(a, 80, 80), 0); // b shows no a again
}

TEST(Image, FilesAreReadOnlyOnceTheirFirstBytesShowAPicture)
{
    TSVGImageKind kind = TSVGImageKind::Raster;
    TCountingDevice text(QByteArray(1 << 20, 'x'));
    EXPECT_TRUE(SVGReadImageBytes(text, kind).isEmpty());
    EXPECT_EQ(kind, TSVGImageKind::None);
    EXPECT_LE(text.Taken, SVGImageSignatureBytes);

    const QByteArray png = RedPng(300, 300) + QByteArray(4096, '\0');
    TCountingDevice picture(png);
    EXPECT_EQ(SVGReadImageBytes(picture, kind), png);
    EXPECT_EQ(kind, TSVGImageKind::Raster);
}

namespace {

// Pictures of the largest size: one decode fills an eighth of a drawing's budget.
TEST(Image, APictureIsDecodedOncePerDrawingAndDecodingHasABudget)
{
    const QString big = PngURI(4096, 4096);
    // Forty uses would decode five times the budget if each decoded again.
    QString body;
    for (int i = 0; i < 40; ++i)
        body += QStringLiteral(R"(<image href="%1" x="%2" width="50" height="50"/>)").arg(big).arg(i);
    const QImage img = Render(body);
    EXPECT_EQ(Colour(img, 45, 25), qRgb(255, 0, 0));

    // Nine different sources of that size (the same bytes, written apart) are nine
    // decodes: past the budget, the drawing fails.
    body.clear();
    for (int i = 0; i < 9; ++i)
        body += QStringLiteral(R"(<image href="%1" width="50" height="50"/>)")
                    .arg(QString(big).insert(QStringLiteral("data:image/png;base64,").size(), QString(i, u' ')));
    try {
        Render(body);
        ADD_FAILURE() << "drawn";
    } catch (const ESVGException &e) {
        EXPECT_EQ(e.Message(), QString::fromLatin1(SVG_TOO_MUCH_DECODED));
    }

    // A picture that fails to decode fails once: forty uses of a cut-short picture of
    // that size (its header read, its pixels counted, its data missing) stay within the
    // budget, and the rest of the drawing shows.
    const QByteArray png = RedPng(4096, 4096);
    const QString cut = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.left(png.size() / 2).toBase64());
    body = QStringLiteral(R"(<rect width="10" height="10" fill="blue"/>)");
    for (int i = 0; i < 40; ++i)
        body += QStringLiteral(R"(<image href="%1" x="%2" width="50" height="50"/>)").arg(cut).arg(i);
    EXPECT_EQ(Colour(Render(body), 5, 5), qRgb(0, 0, 255));
}

} // namespace
