// Speech-bubble documents: reading and replacing the text, the start point,
// and handing a bubble of the test pack to a view (the editor's bubble), also
// when the document is broken.

#include "ResTestSupport.h"
#include "TestPackPaths.h"

#include "assets/untVuplora.h"
#include "errors/errors.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

const QByteArray HAPPY = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"100\">\n"
                         "  <!-- keep me -->\n"
                         "  <text width=\"100\" height=\"40\">HAPPY</text>\n"
                         "  <startPointX>440</startPointX><startPointY>300</startPointY>\n"
                         "</svg>\n";

QString TextIn(const QByteArray &aoDocument)
{
    const qsizetype start = aoDocument.indexOf("\">", aoDocument.indexOf("<text")) + 2;
    return QString::fromUtf8(aoDocument.mid(start, aoDocument.indexOf("</text>") - start));
}

struct TBuffer {
    QByteArray Data;
    QBuffer Stream{&Data};
    explicit TBuffer(const QByteArray &aoContent) : Data(aoContent) { Stream.open(QIODevice::ReadWrite); }
};

TEST(PaopaoDoc, SetPaopaoTextRecordsTheOldTextAndStoresTheNewOneAsText)
{
    const struct {
        const char *Name;
        QString Text;
        QString Stored; // what the text element holds afterwards, read back as XML text
    } cases[] = {
        {"empty text keeps the document's", QString(), QStringLiteral("HAPPY")},
        {"plain text", QStringLiteral("Hi there"), QStringLiteral("Hi there")},
        {"markup is escaped", QStringLiteral("Tom & <b>Jerry</b>"), QStringLiteral("Tom &amp; &lt;b&gt;Jerry&lt;/b&gt;")},
        {"control characters are left out", QStringLiteral("a\x01" "b\tc\nd\x1f"), QStringLiteral("ab\tc\nd")},
        {"Chinese", QStringLiteral("你好"), QStringLiteral("你好")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        gsPaopaoText = QStringLiteral("before");
        TBuffer b(HAPPY);
        SetPaopaoText(b.Stream, c.Text);
        EXPECT_EQ(gsPaopaoText, QStringLiteral("HAPPY"));
        EXPECT_EQ(TextIn(b.Data), c.Stored);
        // The rest of the document is written back as it was.
        EXPECT_TRUE(b.Data.contains("<!-- keep me -->"));
        EXPECT_TRUE(b.Data.startsWith("<?xml"));
        // And the result reads back with the new text.
        SetPaopaoText(b.Stream, QString());
        EXPECT_EQ(gsPaopaoText, c.Text.isEmpty() ? QStringLiteral("HAPPY") : QString(c.Text).remove(QChar(1)).remove(QChar(0x1f)));
    }
}

TEST(PaopaoDoc, SetPaopaoTextOnOtherDocuments)
{
    // No text element: the text is empty and nothing changes.
    gsPaopaoText = QStringLiteral("before");
    TBuffer none("<svg><rect/></svg>");
    SetPaopaoText(none.Stream, QStringLiteral("new"));
    EXPECT_EQ(gsPaopaoText, QString());
    EXPECT_EQ(none.Data, QByteArray("<svg><rect/></svg>"));

    // Another root: the text is not even looked at.
    gsPaopaoText = QStringLiteral("before");
    TBuffer other("<html><text>x</text></html>");
    SetPaopaoText(other.Stream, QStringLiteral("new"));
    EXPECT_EQ(gsPaopaoText, QStringLiteral("before"));
    EXPECT_EQ(other.Data, QByteArray("<html><text>x</text></html>"));

    const struct {
        const char *Document;
        QString Message;
    } failures[] = {
        {"<svg><text>a <tspan>b</tspan></text></svg>",
         QStringLiteral("Element \"text\" does not contain a single text node")},
        {"<svg><text>Tom and Jerry</txet></svg>", QString()},
        {"", QString()},
    };
    for (const auto &f : failures) {
        SCOPED_TRACE(f.Document);
        TBuffer b(f.Document);
        try {
            SetPaopaoText(b.Stream, QStringLiteral("new"));
            ADD_FAILURE() << "no error";
        } catch (const EVuploraError &e) {
            if (f.Message.isEmpty())
                EXPECT_TRUE(e.Message().startsWith(QStringLiteral("XML error at offset"))) << e.what();
            else
                EXPECT_EQ(e.Message(), f.Message);
        }
        EXPECT_EQ(gsPaopaoText, QStringLiteral("before"));
        EXPECT_EQ(b.Data, QByteArray(f.Document));
    }
}

TEST(PaopaoDoc, StartPoint)
{
    const struct {
        const char *Document;
        float X, Y;
        QString Error;
    } cases[] = {
        {"<svg><startPointX>440</startPointX><startPointY> 300 </startPointY></svg>", 440, 300, {}},
        {"<svg><startPointY>12.5</startPointY><rect/><startPointX>220</startPointX></svg>", 220, 12.5, {}},
        {"<svg><rect/></svg>", 0, 0, {}},
        {"<html><startPointX>5</startPointX></html>", 0, 0, {}},
        {"<svg><startPointX>left</startPointX></svg>", 0, 0,
         QStringLiteral("'left' is not a valid floating point value")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Document);
        TBuffer b(c.Document);
        float x = -1;
        float y = -1;
        try {
            GetPaopaoStartPoint(b.Stream, x, y);
            EXPECT_TRUE(c.Error.isEmpty());
            EXPECT_EQ(x, c.X);
            EXPECT_EQ(y, c.Y);
        } catch (const EConvertError &e) {
            EXPECT_EQ(e.Message(), c.Error);
        }
    }
}

// Records what GetSVG does to the bubble; refuses to load a document that
// holds the Refuse text.
class TFakeView : public IPaopaoView {
public:
    QStringList Calls;
    QByteArray Loaded;
    QByteArray Refuse;
    void ClearDocument() override { Calls << QStringLiteral("clear"); }
    void LoadDocument(QIODevice &aoData) override
    {
        const QByteArray data = aoData.readAll();
        Calls << QStringLiteral("load");
        if (!Refuse.isEmpty() && data.contains(Refuse))
            throw EVuploraError(QStringLiteral("refused"));
        Loaded = data;
    }
    void ShowEditButton(bool abShown) override { Calls << QStringLiteral("edit %1").arg(abShown); }
    void MoveFrame(const QPointF &aoPos) override
    {
        Calls << QStringLiteral("move %1,%2").arg(aoPos.x()).arg(aoPos.y());
    }
    void SizeFrameToDocument() override { Calls << QStringLiteral("size"); }
};

class PaopaoGetSVGTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        giPackIndex = 1;
        mRes.LoadRes(QStringLiteral("res_girl"));
        mStream.open(QIODevice::ReadWrite);
        goPaopaoStream = &mStream;
        gsPaopaoText.clear();
    }
    void TearDown() override { goPaopaoStream = nullptr; }

    TFaceRes mRes;
    QBuffer mStream;
    TFakeView mView;
};

TEST_F(PaopaoGetSVGTest, ABubbleIsLoadedPlacedAndKept)
{
    const struct {
        int Item;
        bool LangCN;
        QString Text;
        QString Move;
    } cases[] = {
        {1, false, QStringLiteral("What a day!"), QStringLiteral("move 440,300")},
        {1, true, QStringLiteral("今天天气真好"), QStringLiteral("move 440,300")},
        {0, false, QStringLiteral("Hello!"), QStringLiteral("move 0,400")},
        {2, true, QString(), QStringLiteral("move 0,0")}, // no text, no start point, no Chinese variant
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Item);
        mView.Calls.clear();
        mRes.GetSVG(mView, fiPaopao, c.Item, ifFile, c.LangCN);
        EXPECT_EQ(gsPaopaoText, c.Text);
        EXPECT_EQ(mView.Calls, (QStringList{QStringLiteral("load"), QStringLiteral("edit %1").arg(!c.Text.isEmpty()),
                                             c.Move, QStringLiteral("size")}));
        EXPECT_EQ(mStream.data(), mView.Loaded);
        if (c.Text.isEmpty())
            EXPECT_FALSE(mView.Loaded.contains("<text"));
        else
            EXPECT_EQ(TextIn(mView.Loaded), c.Text);
    }
}

TEST_F(PaopaoGetSVGTest, ABrokenBubbleLeavesTheCurrentOneAsItWas)
{
    mRes.GetSVG(mView, fiPaopao, 1, ifFile, false);
    const QByteArray current = mStream.data();
    mView.Calls.clear();

    // Not well-formed: nothing reaches the view.
    EXPECT_THROW(mRes.GetSVG(mView, fiPaopao, 3, ifFile, false), EVuploraError);
    EXPECT_TRUE(mView.Calls.isEmpty());
    EXPECT_EQ(gsPaopaoText, QStringLiteral("What a day!"));
    EXPECT_EQ(mStream.data(), current);

    // Well-formed but refused by the view: the current document is loaded
    // back and the frame is not touched.
    mRes.GetSVG(mView, fiPaopao, 0, ifFile, false);
    const QByteArray hello = mStream.data();
    mView.Calls.clear();
    mView.Refuse = "What a day!";
    try {
        mRes.GetSVG(mView, fiPaopao, 1, ifFile, false);
        ADD_FAILURE() << "no error";
    } catch (const EVuploraError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("refused"));
    }
    EXPECT_EQ(mView.Calls, (QStringList{QStringLiteral("load"), QStringLiteral("load")}));
    EXPECT_EQ(mView.Loaded, hello);
    EXPECT_EQ(mStream.data(), hello);
    EXPECT_EQ(gsPaopaoText, QStringLiteral("Hello!"));
}

TEST_F(PaopaoGetSVGTest, AnItemTheIndexDoesNotNameClearsTheBubble)
{
    TFaceRes empty;
    empty.GetSVG(mView, fiPaopao, 0, ifFile, false);
    EXPECT_EQ(mView.Calls, QStringList{QStringLiteral("clear")});
}

} // namespace
