// The document component: the order of its change chain, loading through Lines and
// Filename, and what its viewers see when it goes.

#include "controls_support.h"

#include "svg/controls/svg_document_component.h"
#include "svg/controls/svg_image.h"
#include "svg/model/values/exception.h"
#include "svg/model/dom/xml_dom.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ctltest;

namespace {

// Writes its name into a shared log on every change; may drop another viewer meanwhile.
class TLogViewer : public ISVGViewer {
public:
    TLogViewer(QStringList &log, const QString &name) : FLog(log), FName(name) {}
    void DocumentChanged(TRSFmxSVGDocument *Sender) override
    {
        FLog << FName;
        if (FDrop)
            Sender->RemoveViewer(FDrop);
    }
    void DocumentDestroying(TRSFmxSVGDocument *) override { FLog << FName + QStringLiteral(" gone"); }
    ISVGViewer *FDrop = nullptr;

private:
    QStringList &FLog;
    QString FName;
};

} // namespace

TEST(DocumentComponent, ChangeRunsChangingThenViewersInOrderThenChange)
{
    QStringList log;
    TLogViewer a(log, QStringLiteral("a")), b(log, QStringLiteral("b")), c(log, QStringLiteral("c"));
    TRSFmxSVGDocument doc;
    QObject::connect(&doc, &TRSFmxSVGDocument::Changing, [&] { log << QStringLiteral("changing"); });
    QObject::connect(&doc, &TRSFmxSVGDocument::Change, [&] { log << QStringLiteral("change"); });
    doc.AddViewer(&b);
    doc.AddViewer(&a);
    doc.AddViewer(&b);  // a second registration is ignored
    doc.AddViewer(&c);
    a.FDrop = &c;       // c leaves while a handles the change: c is not called

    doc.SetLines(Lines(Solid(10, 10)));

    // Lines clear the document, then load it: two finished changes.
    const QStringList once{QStringLiteral("changing"), QStringLiteral("b"), QStringLiteral("a"),
                           QStringLiteral("change")};
    EXPECT_EQ(log, once + once);
    EXPECT_EQ(doc.ViewerCount(), 2);
}

TEST(DocumentComponent, DestroyingTellsViewersAndControlsLetGo)
{
    QStringList log;
    TLogViewer a(log, QStringLiteral("a"));
    TRSSVGImage image;
    {
        TRSFmxSVGDocument doc;
        doc.AddViewer(&a);
        image.SetSize(QSizeF(20, 20));
        image.SetSVGDocument(&doc);
        doc.SetLines(Lines(Solid(10, 10)));
        ASSERT_FALSE(image.Bitmap().isNull());
    }
    EXPECT_EQ(log.last(), QStringLiteral("a gone"));
    EXPECT_EQ(image.SVGDocument(), nullptr);
    EXPECT_TRUE(image.Bitmap().isNull());
}

TEST(DocumentComponent, FilenameLoadsTheFileAndEmptiesLines)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("blue.svg"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Document(10, 10, QStringLiteral(R"(<rect id="fromfile" width="5" height="5"/>)"))
                       .toUtf8());
    }
    TRSFmxSVGDocument doc;
    doc.SetLines(Lines(Document(10, 10, QStringLiteral(R"(<rect id="fromlines" width="5" height="5"/>)"))));
    ASSERT_NE(doc.SVG()->FindElement(QStringLiteral("fromlines")), nullptr);

    doc.SetFilename(path);

    EXPECT_TRUE(doc.Lines().isEmpty());
    EXPECT_EQ(doc.Filename(), path);
    EXPECT_NE(doc.SVG()->FindElement(QStringLiteral("fromfile")), nullptr);
    EXPECT_EQ(doc.SVG()->FindElement(QStringLiteral("fromlines")), nullptr);

    // Lines again: the file name goes, the lines load.
    doc.SetLines(Lines(Solid(10, 10)));
    EXPECT_TRUE(doc.Filename().isEmpty());
    EXPECT_EQ(doc.SVG()->FindElement(QStringLiteral("fromfile")), nullptr);
}

TEST(DocumentComponent, LoadErrorsReachTheCallerWithTheDocumentCleared)
{
    TRSFmxSVGDocument doc;
    doc.SetLines(Lines(Document(10, 10, QStringLiteral(R"(<rect id="old" width="5" height="5"/>)"))));
    EXPECT_THROW(doc.SetLines({QStringLiteral("<svg><rect></svg>")}), EXMLParseError);
    EXPECT_EQ(doc.SVG()->FindElement(QStringLiteral("old")), nullptr);
    try {
        doc.SetLines({QStringLiteral("<html/>")});
        ADD_FAILURE() << "no exception";
    } catch (const ESVGException &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Not a valid SVG document"));
    }
    try {
        doc.SetFilename(QStringLiteral("/nonexistent/x.svg"));
        ADD_FAILURE() << "no exception";
    } catch (const EVuploraError &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"/nonexistent/x.svg\".")))
            << e.Message().toStdString();
    }
}

TEST(DocumentComponent, ControlsLeaveWhenTheyGoOrSwitch)
{
    TRSFmxSVGDocument first, second;
    {
        TRSSVGImage image;
        image.SetSVGDocument(&first);
        QSignalSpy repaints(&image, &TRSSVGImage::Repainted);
        image.SetSVGDocument(&second);
        repaints.clear();
        first.SetLines(Lines(Solid(10, 10)));
        EXPECT_EQ(repaints.count(), 0);
        EXPECT_EQ(first.ViewerCount(), 0);
        EXPECT_EQ(second.ViewerCount(), 1);
    }
    EXPECT_EQ(second.ViewerCount(), 0);
    // A change after the control is gone reaches nobody (the sanitizer build would report
    // a call into the freed control).
    second.SetLines(Lines(Solid(10, 10)));
}
