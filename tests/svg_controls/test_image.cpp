// The image control in both forms: buffer sizes, where the buffer is painted, the resize
// rule, repaints per load, nine-slice margins, and that no picture outlives its content.

#include "controls_support.h"

#include "svg/controls/svg_document_component.h"
#include "svg/controls/svg_image.h"

#include <QBuffer>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace ctltest;

namespace {

struct TItemForm {
    TRSSVGImage Control;
    void Resize(int w, int h) { Control.SetSize(QSizeF(w, h)); }
    QImage Paint()
    {
        QImage image = Transparent(int(Control.Width()), int(Control.Height()));
        QPainter painter(&image);
        Control.paint(&painter, nullptr, nullptr);
        return image;
    }
};

struct TWidgetForm {
    TRSSVGImageWidget Control;
    // A hidden widget hears of a resize only when it is shown.
    TWidgetForm() { Control.show(); }
    void Resize(int w, int h) { Control.resize(w, h); }
    QImage Paint()
    {
        QImage image = Transparent(Control.width(), Control.height());
        Control.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    }
};

template <class TForm>
class ImageForms : public ::testing::Test {
protected:
    void Show(const QString &source, int w, int h)
    {
        Form.Resize(w, h);
        Form.Control.SetSVGDocument(&Doc);
        Doc.SetLines(Lines(source));
    }
    TRSFmxSVGDocument Doc;
    TForm Form;
};

using TForms = ::testing::Types<TItemForm, TWidgetForm>;
TYPED_TEST_SUITE(ImageForms, TForms);

} // namespace

TYPED_TEST(ImageForms, FitsTheBubbleIntoItsBoxCentred)
{
    this->Show(Solid(141.802, 100.402), 273, 209);
    EXPECT_EQ(this->Form.Control.Bitmap().size(), QSize(273, 193));
    const QImage painted = this->Form.Paint();
    Keep(painted, "fit_273x209");
    EXPECT_EQ(OpaqueBounds(painted), QRect(QPoint(0, 8), QPoint(272, 200)));
    EXPECT_EQ(ColourAt(painted, 0, 8), Red());
    EXPECT_EQ(ColourAt(painted, 272, 200), Red());
    EXPECT_EQ(ColourAt(painted, 136, 7), Clear());
    EXPECT_EQ(ColourAt(painted, 136, 201), Clear());
}

TYPED_TEST(ImageForms, ShrinkingKeepsTheBufferGrowingRendersAgain)
{
    this->Show(Solid(141.802, 100.402), 273, 209);
    this->Form.Resize(200, 150);
    EXPECT_EQ(this->Form.Control.Bitmap().size(), QSize(273, 193));
    // 273 x 193 shrunk by 1.365 is 200 x 141.4, centred: rows 4.3 .. 145.7, rounded.
    const QImage painted = this->Form.Paint();
    EXPECT_EQ(OpaqueBounds(painted), QRect(QPoint(0, 4), QPoint(199, 145)));

    this->Form.Resize(300, 209);
    EXPECT_EQ(this->Form.Control.Bitmap().size(), QSize(295, 209));
    EXPECT_EQ(OpaqueBounds(this->Form.Paint()), QRect(QPoint(3, 0), QPoint(297, 208)));
}

TYPED_TEST(ImageForms, NothingOutlivesTheContentItShowed)
{
    // Each source replaces a picture that was there; none may leave it on show.
    const QString sources[] = {
        QString(),  // no lines at all: the document is only cleared
        QStringLiteral(R"(<svg xmlns="http://www.w3.org/2000/svg"/>)"),  // no size
        Document(40, 0, QString()),                                       // no height
    };
    for (const QString &source : sources) {
        SCOPED_TRACE(source.toStdString());
        this->Show(Solid(40, 20), 100, 100);
        ASSERT_FALSE(OpaqueBounds(this->Form.Paint()).isEmpty());
        this->Doc.SetLines(source.isEmpty() ? QStringList() : Lines(source));
        EXPECT_TRUE(OpaqueBounds(this->Form.Paint()).isEmpty());
    }
    // A root id naming no element shows nothing either.
    this->Show(Solid(40, 20), 100, 100);
    this->Form.Control.SetSVGRootID(QStringLiteral("missing"));
    EXPECT_TRUE(OpaqueBounds(this->Form.Paint()).isEmpty());
}

TEST(Image, EveryLinkedControlRepaintsOncePerLoad)
{
    TRSFmxSVGDocument doc;
    TRSSVGImage item;
    TRSSVGImageWidget widget;
    item.SetSVGDocument(&doc);
    widget.SetSVGDocument(&doc);
    QSignalSpy itemSpy(&item, &TRSSVGImage::Repainted);
    QSignalSpy widgetSpy(&widget, &TRSSVGImageWidget::Repainted);

    QByteArray bytes = Solid(30, 20).toUtf8();
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    doc.SVG()->LoadFromStream(stream);

    EXPECT_EQ(itemSpy.count(), 1);
    EXPECT_EQ(widgetSpy.count(), 1);
    EXPECT_EQ(item.Bitmap().size(), QSize(100, 67));
}

// An item that takes back a drawing it made, as undo does.
class TRedrawingItem : public TRSSVGImage {
public:
    using TRSSVGImage::SetSVGDocumentDrawn;
};

TEST(Image, ALinkWithAnEarlierDrawingShowsItAndFollowsLaterChanges)
{
    TRSFmxSVGDocument doc;
    TRedrawingItem item;
    item.SetSize(QSizeF(60, 40));
    item.SetSVGDocument(&doc);
    doc.SetLines(Lines(Solid(30, 20)));
    const QImage drawn = item.Bitmap();
    ASSERT_EQ(drawn.size(), QSize(60, 40));
    item.SetSVGDocument(nullptr);
    ASSERT_TRUE(item.Bitmap().isNull());

    QSignalSpy repaints(&item, &TRSSVGImage::Repainted);
    item.SetSVGDocumentDrawn(&doc, drawn);
    EXPECT_EQ(item.Bitmap().cacheKey(), drawn.cacheKey());
    EXPECT_EQ(repaints.count(), 1);
    // Linked again for real: the next change of the document is drawn.
    doc.SetLines(Lines(Solid(30, 20, QStringLiteral("#0000ff"))));
    EXPECT_EQ(item.Bitmap().pixelColor(30, 20), QColor(0, 0, 255));
}

TEST(Image, WrapModesSizeAndPlaceTheBuffer)
{
    // A 40 x 20 document in a 100 x 100 control.
    struct TCase {
        TSVGImageWrapMode Mode;
        bool Buffered;
        float Scale;
        QSize Buffer;  // empty: painted without a buffer
        QRect Painted;
    };
    const TCase cases[] = {
        {iwOriginal, true, 1, QSize(40, 20), QRect(0, 0, 40, 20)},
        {iwOriginal, true, 2, QSize(80, 40), QRect(0, 0, 80, 40)},
        {iwOriginal, true, 5, QSize(200, 100), QRect(0, 0, 100, 100)},
        {iwFit, true, 1, QSize(100, 50), QRect(0, 25, 100, 50)},
        {iwStretch, true, 1, QSize(100, 100), QRect(0, 0, 100, 100)},
        {iwTile, true, 1, QSize(40, 20), QRect(0, 0, 100, 100)},
        {iwCenter, true, 1, QSize(40, 20), QRect(30, 40, 40, 20)},
        {iwOriginal, false, 1, QSize(), QRect(0, 0, 40, 20)},
        {iwFit, false, 1, QSize(), QRect(0, 25, 100, 50)},
        {iwStretch, false, 1, QSize(), QRect(0, 0, 100, 100)},
        {iwCenter, false, 2, QSize(), QRect(10, 30, 80, 40)},
        {iwTile, false, 1, QSize(40, 20), QRect(0, 0, 100, 100)},  // tiling always buffers
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.Mode << " buffered " << c.Buffered
                                        << " scale " << c.Scale);
        TRSFmxSVGDocument doc;
        TItemForm form;
        form.Control.SetWrapMode(c.Mode);
        form.Control.SetBuffered(c.Buffered);
        form.Control.SetScaleOriginal(c.Scale);
        form.Control.SetSVGDocument(&doc);
        doc.SetLines(Lines(Solid(40, 20)));
        EXPECT_EQ(form.Control.Bitmap().size(), c.Buffer.isEmpty() ? QSize(0, 0) : c.Buffer);
        EXPECT_EQ(OpaqueBounds(form.Paint()), c.Painted);
    }
}

TEST(Image, TileRepeatsTheBuffer)
{
    TRSFmxSVGDocument doc;
    TItemForm form;
    form.Control.SetWrapMode(iwTile);
    form.Control.SetSVGDocument(&doc);
    // A 20 x 20 tile whose top-left quarter alone is red.
    doc.SetLines(Lines(Document(20, 20, QStringLiteral(R"(<rect width="10" height="10" fill="red"/>)"))));
    const QImage painted = form.Paint();
    for (const QPoint p : {QPoint(5, 5), QPoint(25, 45), QPoint(85, 65)})
        EXPECT_EQ(ColourAt(painted, p.x(), p.y()), Red()) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(15, 5), QPoint(35, 55), QPoint(95, 95)})
        EXPECT_EQ(ColourAt(painted, p.x(), p.y()), Clear()) << p.x() << "," << p.y();
}

TEST(Image, HugeDocumentsAreCappedWithTheirAspect)
{
    TRSFmxSVGDocument doc;
    TRSSVGImage image;
    image.SetWrapMode(iwOriginal);
    image.SetSVGDocument(&doc);
    doc.SetLines(Lines(Document(10000, 5000, QString())));
    // Within the engine's raster cap, as wide as it is high twice.
    EXPECT_EQ(image.Bitmap().size(), QSize(5792, 2896));
    EXPECT_LE(qint64(image.Bitmap().width()) * image.Bitmap().height(), 16777216);
}

TEST(Image, ScaleOriginalStaysInItsRange)
{
    const std::pair<float, float> cases[] = {
        {0, 0.01f}, {-3, 0.01f}, {0.5f, 0.5f}, {99.5f, 99.5f}, {100, 100}, {250, 100}};
    TRSSVGImage image;
    for (const auto &[given, kept] : cases) {
        image.SetScaleOriginal(given);
        EXPECT_FLOAT_EQ(image.ScaleOriginal(), kept) << given;
    }
}

TEST(Image, RootIdShowsOneElementFilled)
{
    TRSFmxSVGDocument doc;
    TItemForm form;
    form.Control.SetWrapMode(iwStretch);
    form.Control.SetSVGDocument(&doc);
    doc.SetLines(Lines(Document(100, 100,
                                QStringLiteral(R"(<rect id="a" width="50" height="50" fill="red"/>)"
                                               R"(<rect id="b" x="60" y="60" width="20" height="10" fill="blue"/>)"))));
    form.Control.SetSVGRootID(QStringLiteral("b"));
    const QImage painted = form.Paint();
    EXPECT_EQ(OpaqueBounds(painted), QRect(0, 0, 100, 100));
    EXPECT_EQ(ColourAt(painted, 50, 50), QStringLiteral("#ff0000ff"));
}

TEST(Image, TranslucentItemsBufferEvenWhenAskedNotTo)
{
    TRSFmxSVGDocument doc;
    TItemForm form;
    form.Control.SetBuffered(false);
    form.Control.SetSVGDocument(&doc);
    doc.SetLines(Lines(Solid(40, 20)));
    ASSERT_TRUE(form.Control.Bitmap().isNull());
    form.Control.setOpacity(0.5);
    EXPECT_TRUE(form.Control.IsBuffered());
    EXPECT_EQ(form.Control.Bitmap().size(), QSize(100, 50));
}

TEST(Image, NineSliceKeepsCornersAndFillsEdgesAndCentre)
{
    // 30 x 30 with 10-unit margins: red corners, green edges, a blue centre. The top edge
    // and the centre each have a different right half (yellow, cyan), which tells
    // stretching (the left half covers the left of the span) from tiling (the halves
    // alternate every 5 units).
    const QString source = Document(
        30, 30,
        QStringLiteral(R"(<rect width="30" height="30" fill="#00ff00"/>)"
                       R"(<rect width="10" height="10" fill="red"/><rect x="20" width="10" height="10" fill="red"/>)"
                       R"(<rect y="20" width="10" height="10" fill="red"/><rect x="20" y="20" width="10" height="10" fill="red"/>)"
                       R"(<rect x="15" width="5" height="10" fill="yellow"/>)"
                       R"(<rect x="10" y="10" width="10" height="10" fill="blue"/>)"
                       R"(<rect x="15" y="10" width="5" height="10" fill="cyan"/>)"));
    const QString green = QStringLiteral("#ff00ff00"), yellow = QStringLiteral("#ffffff00");
    const QString blue = QStringLiteral("#ff0000ff"), cyan = QStringLiteral("#ff00ffff");
    struct TCase {
        TSVGImageWrapMode Centre, Edges;
        QString TopEdgeAt17, CentreAt17;
    };
    const TCase cases[] = {
        {iwOriginal, iwStretch, green, blue},
        {iwOriginal, iwTile, yellow, blue},
        {iwTile, iwStretch, green, cyan},
        {iwTile, iwTile, yellow, cyan},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(testing::Message() << "centre " << c.Centre << " edges " << c.Edges);
        TRSFmxSVGDocument doc;
        TItemForm form;
        form.Resize(90, 60);
        form.Control.SetWrapMode(c.Centre);
        form.Control.SetMarginWrapMode(c.Edges);
        form.Control.SetSVGMargins(QMarginsF(10, 10, 10, 10));
        form.Control.SetSVGDocument(&doc);
        doc.SetLines(Lines(source));
        ASSERT_EQ(form.Control.Bitmap().size(), QSize(30, 30));
        const QImage painted = form.Paint();
        if (c.Centre == iwOriginal && c.Edges == iwTile)
            Keep(painted, "nine_slice_tiled_edges");
        for (const QPoint p : {QPoint(5, 5), QPoint(85, 5), QPoint(5, 55), QPoint(85, 55)})
            EXPECT_EQ(ColourAt(painted, p.x(), p.y()), Red()) << p.x() << "," << p.y();
        EXPECT_EQ(ColourAt(painted, 17, 5), c.TopEdgeAt17);
        EXPECT_EQ(ColourAt(painted, 17, 30), c.CentreAt17);
        EXPECT_EQ(ColourAt(painted, 5, 30), green);   // left edge
        EXPECT_EQ(ColourAt(painted, 60, 55), green);  // bottom edge
    }
}

TEST(Image, MarginsWiderThanTheBufferKeepOnlyWhatItHolds)
{
    TRSFmxSVGDocument doc;
    TItemForm form;
    form.Resize(90, 60);
    form.Control.SetWrapMode(iwOriginal);
    form.Control.SetSVGMargins(QMarginsF(40, 40, 40, 40));
    form.Control.SetSVGDocument(&doc);
    doc.SetLines(Lines(Solid(30, 30)));
    EXPECT_EQ(OpaqueBounds(form.Paint()), QRect(0, 0, 30, 30));
}

TEST(Image, TargetSizeByModeWithTheCap)
{
    struct TCase {
        TSVGImageWrapMode Mode;
        qreal Scale, SvgW, SvgH, BoxW, BoxH;
        QSizeF Expected;
    };
    const TCase cases[] = {
        {iwFit, 1, 141.802, 100.402, 273, 209, QSizeF(273, 193.296)},
        {iwFit, 1, 10, 10, 0, 50, QSizeF(0, 0)},                    // no box: no buffer
        {iwStretch, 1, 10, 10, 30, 40, QSizeF(30, 40)},
        {iwCenter, 3, 10, 20, 1, 1, QSizeF(30, 60)},
        {iwTile, 1, 0, 20, 30, 40, QSizeF(30, 40)},                 // no area: the box
        // Capped at 8096 on a side, then to 16,777,216 whole pixels, the aspect kept.
        {iwOriginal, 1, 10000, 5000, 1, 1, QSizeF(5791.546, 2895.773)},
        {iwOriginal, 1, 5000, 10000, 1, 1, QSizeF(2895.773, 5791.546)},
        {iwStretch, 1, 1, 1, 20000, 20000, QSizeF(4095.494, 4095.494)},
        {iwStretch, 1, 1, 1, 4096, 4096, QSizeF(4096, 4096)},       // the largest raster: as it is
    };
    for (const TCase &c : cases) {
        const QSizeF s = ComputeTargetSize(c.Mode, c.Scale, c.SvgW, c.SvgH, c.BoxW, c.BoxH);
        EXPECT_NEAR(s.width(), c.Expected.width(), 0.001) << c.Mode << " " << c.SvgW;
        EXPECT_NEAR(s.height(), c.Expected.height(), 0.001) << c.Mode << " " << c.SvgW;
    }
}
