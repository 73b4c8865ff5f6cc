// The panel's generated items (kinds, ids, placement, copied paint and visibility, when
// they are rebuilt) and the path item's tiling of straight lines.

#include "controls_support.h"

#include "svg/controls/svg_image.h"
#include "svg/controls/svg_panel.h"

#include <QBuffer>
#include <QGraphicsScene>
#include <gtest/gtest.h>

using namespace ctltest;

namespace {

const QString kShapes = Document(
    100, 100,
    QStringLiteral(R"svg(<g id="grp" transform="translate(10,0)">)svg"
                   R"(<rect id="r" x="10" y="10" width="20" height="20" fill="red" fill-opacity="0.5"/>)"
                   R"(<circle id="c" cx="50" cy="50" r="10" stroke="blue" stroke-width="2" fill="none"/>)"
                   R"(</g>)"
                   R"(<path id="p" d="M0 90 H100" stroke="black"/>)"
                   R"(<ellipse id="hidden" display="none" cx="5" cy="5" rx="2" ry="1"/>)"
                   R"(<text id="t">words</text>)"
                   R"(<linearGradient id="lg"/>)"
                   R"(<use id="u" href="#r" x="50"/>)"));

// Runs of opaque pixels along a row (Vertical false) or a column.
int Runs(const QImage &image, int at, bool vertical)
{
    int runs = 0;
    bool inside = false;
    const int n = vertical ? image.height() : image.width();
    for (int i = 0; i < n; ++i) {
        const bool opaque = qAlpha(vertical ? image.pixel(at, i) : image.pixel(i, at)) > 127;
        runs += opaque && !inside;
        inside = opaque;
    }
    return runs;
}

} // namespace

TEST(Panel, GeneratesOneItemPerDrawableElement)
{
    TRSFmxSVGDocument doc;
    doc.SetLines(Lines(kShapes));
    QGraphicsScene scene;
    auto *panel = new TRSSVGPanel;
    scene.addItem(panel);
    panel->SetSize(QSizeF(200, 200));
    QStringList reported;
    panel->SetOnGenerateControl([&](TRSSVGPanel *, TRSSVGControl *control, TSVGElement *element) {
        EXPECT_EQ(control->SVGID(), element->ID());
        reported << element->ID();
    });
    panel->SetSVGDocument(&doc);

    EXPECT_EQ(reported.mid(1), (QStringList{"grp", "r", "c", "p", "hidden", "t", "u", "r"}));
    auto *rect = dynamic_cast<TRSSVGRectangle *>(panel->FindControl(QStringLiteral("r")));
    ASSERT_NE(rect, nullptr);
    EXPECT_NE(dynamic_cast<TRSSVGLayout *>(panel->FindControl(QStringLiteral("grp"))), nullptr);
    EXPECT_EQ(rect->parentItem(), panel->FindControl(QStringLiteral("grp")));
    EXPECT_NE(dynamic_cast<TRSSVGCircle *>(panel->FindControl(QStringLiteral("c"))), nullptr);
    auto *path = dynamic_cast<TRSSVGPath *>(panel->FindControl(QStringLiteral("p")));
    ASSERT_NE(path, nullptr);
    EXPECT_FALSE(path->Data().IsEmpty());
    EXPECT_FALSE(panel->FindControl(QStringLiteral("hidden"))->isVisible());
    auto *text = dynamic_cast<TRSSVGText *>(panel->FindControl(QStringLiteral("t")));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text(), QStringLiteral("words"));
    EXPECT_FALSE(text->Bitmap().isNull());
    EXPECT_EQ(panel->FindControl(QStringLiteral("lg")), nullptr);

    // The panel fits the 100-unit document into 200 units: scale 2 after the group's move.
    EXPECT_EQ(rect->mapRectToScene(rect->Outline().boundingRect()), QRectF(40, 20, 40, 40));
    TRSSVGControl *used = panel->FindControl(QStringLiteral("u"));
    const auto *usedRect = dynamic_cast<TRSSVGRectangle *>(used->childItems().value(0));
    ASSERT_NE(usedRect, nullptr);
    EXPECT_EQ(usedRect->mapRectToScene(usedRect->Outline().boundingRect()), QRectF(120, 20, 40, 40));

    EXPECT_EQ(rect->Fill().color().red(), 255);
    EXPECT_NEAR(rect->Fill().color().alpha(), 128, 1);
    EXPECT_EQ(rect->Stroke().style(), Qt::NoPen);
    const auto *circle = static_cast<TRSSVGShape *>(panel->FindControl(QStringLiteral("c")));
    EXPECT_EQ(circle->Fill().style(), Qt::NoBrush);
    EXPECT_EQ(circle->Stroke().color(), QColor(Qt::blue));
    EXPECT_EQ(circle->Stroke().widthF(), 2);
}

TEST(Panel, TextItemCarriesItsResolvedFontAndColour)
{
    // Size, weight and style come from the group; the colour from the text itself.
    TRSFmxSVGDocument doc;
    doc.SetLines(Lines(Document(
        100, 100,
        QStringLiteral(R"svg(<g font-size="24" font-weight="bold" font-style="italic">)svg"
                       R"svg(<text id="t" x="5" y="40" fill="#00ff00" fill-opacity="0.5">ab<tspan>cd</tspan></text></g>)svg"))));
    QGraphicsScene scene;
    auto *panel = new TRSSVGPanel;
    scene.addItem(panel);
    panel->SetSVGDocument(&doc);
    const auto *text = dynamic_cast<TRSSVGText *>(panel->FindControl(QStringLiteral("t")));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text(), QStringLiteral("abcd"));
    EXPECT_EQ(text->Font().pixelSize(), 24);
    EXPECT_TRUE(text->Font().bold());
    EXPECT_TRUE(text->Font().italic());
    EXPECT_EQ(text->FontColor().green(), 255);
    EXPECT_NEAR(text->FontColor().alpha(), 128, 1);
    // The glyphs stand above the baseline at y = 40, from x = 5 on.
    const QRectF shown = text->mapRectToItem(panel, text->Place());
    EXPECT_LT(shown.top(), 40 - 12);
    EXPECT_GT(shown.bottom(), 40);
    EXPECT_LT(shown.left(), 5);
}

TEST(Panel, RebuildsWithTheDocumentAndLetsGoOfIt)
{
    QGraphicsScene scene;
    auto *panel = new TRSSVGPanel;
    scene.addItem(panel);
    {
        TRSFmxSVGDocument doc;
        panel->SetSVGDocument(&doc);
        doc.SetLines(Lines(kShapes));
        ASSERT_NE(panel->FindControl(QStringLiteral("r")), nullptr);
        doc.SetLines(Lines(Document(100, 100, QStringLiteral(R"(<rect id="other" width="5" height="5"/>)"))));
        EXPECT_EQ(panel->FindControl(QStringLiteral("r")), nullptr);
        EXPECT_NE(panel->FindControl(QStringLiteral("other")), nullptr);
        panel->SetSVGRootID(QStringLiteral("other"));
        EXPECT_NE(panel->FindControl(QStringLiteral("other")), nullptr);
    }
    EXPECT_EQ(panel->SVGDocument(), nullptr);
    EXPECT_TRUE(panel->childItems().isEmpty());
}

namespace {

// A 2 x 2 PNG, yellow above blue, as a data: URI.
QString PngURI()
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.fill(QColor(255, 255, 0));
    picture.setPixelColor(0, 1, QColor(0, 0, 255));
    picture.setPixelColor(1, 1, QColor(0, 0, 255));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

} // namespace

TEST(Panel, ItsItemsLookLikeTheDrawing)
{
    // The same document drawn by the engine into an image control and built from items by
    // the panel, both fitted into 200 x 160: only antialiased edges may differ. Each case
    // also names a pixel (in the 200 x 160 output) and the colour both must show there,
    // except text, whose glyphs land where the installed fonts put them.
    struct TCase {
        const char *Name;
        QString Body;
        QPoint At;
        QColor Expected;
    };
    const TCase cases[] = {
        {"shapes",
         QStringLiteral(R"svg(<g transform="translate(10,5) rotate(10)">)svg"
                        R"svg(<rect x="5" y="5" width="40" height="30" rx="5" fill="#2080ff"/>)svg"
                        R"svg(<circle cx="60" cy="40" r="15" fill="none" stroke="red" stroke-width="4"/>)svg"
                        R"svg(</g><path d="M10 70 L90 60 L50 20 Z" fill="green" fill-opacity="0.6"/>)svg"),
         QPoint(60, 40), QColor(32, 128, 255)},
        {"text",
         QStringLiteral(R"svg(<text x="5" y="50" font-family="sans-serif" font-size="30" font-weight="bold" )svg"
                        R"svg(fill="#c00000" transform="rotate(-5)">HIM<tspan fill="blue">x</tspan></text>)svg"),
         QPoint(-1, -1), QColor()},
        {"image",
         QStringLiteral(R"svg(<image x="10" y="10" width="80" height="40" preserveAspectRatio="xMidYMid meet" )svg"
                        R"svg(style="image-rendering:optimizeSpeed" href="%1"/>)svg")
             .arg(PngURI()),
         QPoint(100, 40), QColor(255, 255, 0)},
        {"image far wider than the panel",
         QStringLiteral(R"svg(<image x="-1000000" width="2000100" height="80" preserveAspectRatio="none" )svg"
                        R"svg(href="%1"/>)svg")
             .arg(PngURI()),
         QPoint(100, 40), QColor(255, 255, 0)},
        {"linear gradient",
         QStringLiteral(R"svg(<linearGradient id="g"><stop offset="0" stop-color="red"/>)svg"
                        R"svg(<stop offset="1" stop-color="blue"/></linearGradient>)svg"
                        R"svg(<rect x="10" y="10" width="80" height="60" fill="url(#g)" stroke="url(#g)" )svg"
                        R"svg(stroke-width="6" transform="skewX(10)"/>)svg"),
         QPoint(60, 80), QColor(214, 0, 41)},
        {"pattern",
         QStringLiteral(R"svg(<pattern id="p" width="20" height="20" patternUnits="userSpaceOnUse">)svg"
                        R"svg(<rect width="10" height="20" fill="orange"/></pattern>)svg"
                        R"svg(<circle cx="50" cy="40" r="35" fill="url(#p)"/>)svg"),
         QPoint(84, 80), QColor(255, 165, 0)},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TRSFmxSVGDocument doc;
        doc.SetLines(Lines(Document(100, 80, c.Body)));
        QGraphicsScene scene;
        auto *image = new TRSSVGImage;
        auto *panel = new TRSSVGPanel;
        for (QGraphicsObject *item : {static_cast<QGraphicsObject *>(image), static_cast<QGraphicsObject *>(panel)})
            scene.addItem(item);
        image->SetSize(QSizeF(200, 160));
        panel->SetSize(QSizeF(200, 160));
        image->SetSVGDocument(&doc);
        panel->SetSVGDocument(&doc);
        auto draw = [&](QGraphicsObject *shown) {
            image->setVisible(shown == image);
            panel->setVisible(shown == panel);
            QImage out = Transparent(200, 160);
            QPainter painter(&out);
            painter.setRenderHint(QPainter::Antialiasing);
            scene.render(&painter, QRectF(0, 0, 200, 160), QRectF(0, 0, 200, 160));
            return out;
        };
        const QImage drawn = draw(image), built = draw(panel);
        const QByteArray name = QByteArray(c.Name).replace(' ', '_');
        Keep(drawn, QByteArray("panel_reference_" + name).constData());
        Keep(built, QByteArray("panel_items_" + name).constData());
        int differing = 0, painted = 0;
        for (int y = 0; y < 160; ++y)
            for (int x = 0; x < 200; ++x) {
                const QRgb a = drawn.pixel(x, y), b = built.pixel(x, y);
                painted += qAlpha(a) > 0;
                differing += std::abs(qAlpha(a) - qAlpha(b)) > 64 || std::abs(qRed(a) - qRed(b)) > 64 ||
                             std::abs(qGreen(a) - qGreen(b)) > 64 || std::abs(qBlue(a) - qBlue(b)) > 64;
            }
        EXPECT_GT(painted, 1000);
        EXPECT_LT(differing, painted / 50) << differing << " of " << painted;
        for (const QImage *out : {&drawn, &built}) {
            if (c.At.x() < 0)
                break;
            SCOPED_TRACE(ColourAt(*out, c.At.x(), c.At.y()).toStdString());
            const QColor seen = out->pixelColor(c.At);
            EXPECT_NEAR(seen.red(), c.Expected.red(), 24);
            EXPECT_NEAR(seen.green(), c.Expected.green(), 24);
            EXPECT_NEAR(seen.blue(), c.Expected.blue(), 24);
        }
    }
}

TEST(PathItem, TilesAStraightLineOnceAcrossIt)
{
    // A 30-unit line with a 2-unit stroke in a 100 x 100 item: copies every 32 units along
    // the line (4 runs in view), one copy across it.
    struct TCase {
        const char *Data;
        bool Vertical;
    };
    for (const TCase c : {TCase{"M0 0 H30", false}, TCase{"M0 0 V30", true}}) {
        SCOPED_TRACE(c.Data);
        TRSSVGPath path;
        path.SetSize(QSizeF(100, 100));
        path.SetData(TRSPathData(QString::fromLatin1(c.Data)));
        path.SetStroke(QPen(Qt::red, 2, Qt::SolidLine, Qt::FlatCap));
        path.SetFill(Qt::NoBrush);
        path.SetWrapMode(pwTile);
        QImage image = Transparent(100, 100);
        {
            QPainter painter(&image);
            path.paint(&painter, nullptr, nullptr);
        }
        EXPECT_EQ(Runs(image, 1, c.Vertical), 4);
        EXPECT_EQ(Runs(image, 10, !c.Vertical), 1);
        EXPECT_EQ(Runs(image, 10, c.Vertical), 0);
    }
}
