// Limits on what a document or an option can make the renderer allocate or read.

#include "render_helpers.h"

#include "errors/errors.h"
#include "svg/render/raster_limits.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

} // namespace
