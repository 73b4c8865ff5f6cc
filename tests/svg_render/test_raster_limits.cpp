// Limits on what a document or an option can make the renderer allocate or read.

#include "render_helpers.h"

#include "errors/errors.h"
#include "svg/render/raster_limits.h"
#include "svg/render/raster_pool.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace svgtest;

template <typename Call>
QString MessageOf(Call call)
{
    try {
        call();
    } catch (const EVuploraError &e) {
        return e.Message();
    }
    return QString();
}

TEST(SVGRasterLimits, PicturesBeyondThePixelCapAreRefusedBeforeAllocation)
{
    struct TCase {
        const char *Document;
        int Width;
        const char *Message; // "" for a size within the cap
    };
    const TCase cases[] = {
        {"<svg width='32768' height='32768'/>", 0, "Picture too large: 32768 x 32768 pixels (at most 16777216)"},
        {"<svg width='100' height='100'/>", 32768, "Picture too large: 32768 x 32768 pixels (at most 16777216)"},
        {"<svg width='4097' height='4096'/>", 0, "Picture too large: 4097 x 4096 pixels (at most 16777216)"},
        {"<svg width='4096' height='4096'/>", 0, ""},
        {"<svg width='32768' height='1'/>", 0, ""},
        {"<svg width='32769' height='1'/>", 0, "Invalid image size"},
    };
    for (const TCase &c : cases) {
        TSVGDocument doc;
        doc.LoadFromText(QString::fromUtf8(c.Document));
        TSVGRasterOptions options;
        options.Width = c.Width;
        EXPECT_EQ(MessageOf([&] { SVGRasterSize(doc, options); }), QString::fromUtf8(c.Message)) << c.Document;
    }
}

TEST(SVGRasterLimits, LayersAndTilesHeldAtOnceAreCounted)
{
    // Group layers take the picture's size each; nested ones all live at once. (Each
    // group has two children, so that its opacity needs a layer.)
    TSVGDocument doc;
    doc.LoadFromText(Document(QStringLiteral("<g opacity='0.5'><rect width='1' height='1'/><g opacity='0.5'>"
                                             "<rect width='1' height='1'/><g opacity='0.5'><rect width='1' height='1'/>"
                                             "<rect id='r' width='10' height='10'/></g></g></g>")));
    qint64 live = -1;
    doc.SetOnDrawing([&](TSVGElement *sender, const TMatrix &, TSVGCanvas *, const QRectF &) {
        if (sender->ID() == QLatin1String("r"))
            live = TSVGRasterReservation::Live();
    });
    (void)SVGRasterize(doc, TSVGRasterOptions());
    EXPECT_EQ(live, 3 * 100 * 100);
    EXPECT_EQ(TSVGRasterReservation::Live(), 0);

    std::vector<TSVGRasterReservation> held;
    for (int i = 0; i < 4; ++i)
        held.emplace_back(QSize(4096, 4096));
    EXPECT_EQ(MessageOf([] { TSVGRasterReservation(QSize(1, 1)); }),
              QStringLiteral("Drawing too large: its layers and tiles need more than 67108864 pixels at once"));
    held.pop_back();
    EXPECT_EQ(MessageOf([] { TSVGRasterReservation(QSize(4096, 4096)); }), QString());
}

bool AllTransparent(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != 0)
                return false;
    return true;
}

TEST(SVGRasterPool, RasterMemoryIsKeptBetweenDrawingsAndComesBackTransparent)
{
    QImage first = SVGNewRaster(QSize(300, 200));
    const uchar *memory = first.constBits();
    first.fill(Qt::red);
    first = QImage();
    // Another shape of the same size takes the same memory, with nothing of the last
    // drawing left on it.
    QImage second = SVGNewRaster(QSize(200, 300));
    EXPECT_EQ(second.constBits(), memory);
    EXPECT_TRUE(AllTransparent(second));
    second.fill(Qt::blue);
    // A copy keeps the memory lent until the last one goes.
    QImage copy = second;
    second = QImage();
    QImage third = SVGNewRaster(QSize(300, 200));
    EXPECT_NE(third.constBits(), memory);
    EXPECT_EQ(copy.pixel(10, 10), QColor(Qt::blue).rgba());
    copy = QImage();
    // A small raster does not pin a large block; one at least half its size takes it.
    EXPECT_NE(SVGNewRaster(QSize(10, 10)).constBits(), memory);
    const QImage smaller = SVGNewRaster(QSize(300, 150));
    EXPECT_EQ(smaller.constBits(), memory);
    EXPECT_TRUE(AllTransparent(smaller));
}

TEST(SVGRasterPool, RastersComeBackFromOtherThreadsAndThePoolStaysBounded)
{
    const qint64 before = SVGRasterPoolFreeBytes();
    // Let go of on another thread: back to the pool of the thread that took it.
    QImage here = SVGNewRaster(QSize(64, 64));
    std::thread([picture = std::move(here)]() mutable { picture = QImage(); }).join();
    EXPECT_EQ(SVGRasterPoolFreeBytes(), before + 64 * 64 * 4);
    // Taken on a thread that has ended since: let go of safely (the sanitizers watch).
    QImage fromWorker;
    std::thread([&] { fromWorker = SVGNewRaster(QSize(50, 50)); fromWorker.fill(Qt::green); }).join();
    EXPECT_EQ(fromWorker.pixel(49, 49), QColor(Qt::green).rgba());
    fromWorker = QImage();
    // Large rasters let go of together: the pool keeps no more than its size.
    {
        std::vector<QImage> large;
        for (int i = 0; i < 4; ++i)
            large.push_back(SVGNewRaster(QSize(4096, 2048)));
    }
    EXPECT_LE(SVGRasterPoolFreeBytes(), SVGRasterPoolBytes);
    EXPECT_GE(SVGRasterPoolFreeBytes(), 2 * 4096 * 2048 * 4);
}

TEST(SVGRasterLimits, DocumentsAreReadOnlyFromRegularFilesOfBoundedSize)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A sparse file: one byte over the limit costs no disk.
    QFile big(dir.filePath(QStringLiteral("big.svg")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(SVGMaxDocumentBytes + 1));
    big.close();
    const struct {
        QString Name;
        QString Message;
    } cases[] = {
        {QStringLiteral("/dev/zero"), QStringLiteral("Not a regular file: /dev/zero")},
        {dir.path(), QStringLiteral("Not a regular file: ") + dir.path()},
        {big.fileName(), QStringLiteral("Document too large: more than 33554432 bytes")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MessageOf([&] { SVGReadDocumentFile(c.Name); }), c.Message);

    QFile small(dir.filePath(QStringLiteral("small.svg")));
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write("<svg width='3' height='2'/>");
    small.close();
    EXPECT_EQ(SVGRenderFile(small.fileName(), TSVGRasterOptions()).size(), QSize(3, 2));
}

// A stream that tells neither its size nor its end beforehand, as standard input.
class TPipe : public QIODevice {
public:
    explicit TPipe(const QByteArray &data) : FData(data) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        // A pipe hands over what it has, in pieces smaller than asked for.
        const qint64 n = std::min<qint64>({maxSize, 70000, FData.size() - FAt});
        memcpy(data, FData.constData() + FAt, size_t(n));
        FAt += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray FData;
    qint64 FAt = 0;
};

TEST(SVGRasterLimits, StreamsAreReadWholeUpToTheLimit)
{
    const qint64 sizes[] = {0, 27, 3 * 1024 * 1024 + 5, SVGMaxDocumentBytes, SVGMaxDocumentBytes + 1};
    for (const qint64 size : sizes) {
        QByteArray data(size, 'x');
        for (qint64 i = 0; i < size; i += 4093)
            data[i] = char('a' + i % 26);
        TPipe pipe(data);
        QBuffer buffer(&data);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        // A device read from its middle gives what follows; the largest is read whole.
        buffer.seek(size > SVGMaxDocumentBytes ? 0 : size / 3);
        for (QIODevice *device : {static_cast<QIODevice *>(&pipe), static_cast<QIODevice *>(&buffer)}) {
            const QByteArray expected = data.mid(device->pos());
            const QString tooLarge = expected.size() > SVGMaxDocumentBytes
                                         ? QStringLiteral("Document too large: more than 33554432 bytes")
                                         : QString();
            QByteArray read;
            EXPECT_EQ(MessageOf([&] { read = SVGReadDocumentStream(*device); }), tooLarge) << size;
            if (tooLarge.isEmpty()) {
                EXPECT_TRUE(read == expected) << size << " read " << read.size();
            }
        }
    }
}

} // namespace
