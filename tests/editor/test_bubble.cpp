// The speech bubble in the editor: choosing bubbles (placed, sized, without
// text, broken), its selection and buttons, moving and resizing the frame, the
// text dialog's confirm and cancel rules, and what a save holds of it.

#include "editortestsupport.h"

#include "assets/untVuploraPaopaoDoc.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraPaopao.h"
#include "svg/controls/svg_document_component.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

class TBubbleTest : public TEditorTest {
protected:
    void SetUp() override
    {
        TEditorTest::SetUp();
        mFrm = std::make_unique<TfrmVuplora>();
        mFrm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(mFrm.get()));
        mFrm->imgTabPaopaoClick();
    }
    void TearDown() override
    {
        mFrm.reset();
        TEditorTest::TearDown();
    }
    void Choose(int aiItem) { RunReportingErrors([&] { mFrm->changeBoxItemClick(nullptr, mFrm->changeBox->item(aiItem)); }); }
    TPaopaoFrame *Frame() const { return mFrm->slCanvas->slPaopao; }
    QString DocumentText() const { return QString::fromUtf8(goPaopaoStream->data()); }

    std::unique_ptr<TfrmVuplora> mFrm;
};

TEST_F(TBubbleTest, ChoosingBubblesPlacesSizesAndCaptionsThem)
{
    Choose(1);
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->pos(), QPointF(440, 300));
    EXPECT_EQ(QSizeF(Frame()->Width(), Frame()->Height()), QSizeF(200, 200));
    EXPECT_EQ(gsPaopaoText, QStringLiteral("What a day!"));
    EXPECT_TRUE(Frame()->imgPaopaoEdit->isVisible());
    EXPECT_FALSE(Frame()->imgPaopaoClose->isVisible());
    EXPECT_FALSE(Frame()->SelectionShown());
    // The caption gives the bubble image's size before this load.
    EXPECT_EQ(mFrm->windowTitle(), QStringLiteral("w:273.00, h:209.00, x:0.00, y:0.00"));
    EXPECT_EQ(mFrm->slCanvas->slPaopao->imgPaopao->FaceItem()->miIndex, 1);

    // No text and no start point: at the origin, without the edit button; a
    // click on it shows the selection and the close button only.
    Choose(2);
    EXPECT_EQ(mFrm->windowTitle(), QStringLiteral("w:200.00, h:200.00, x:0.00, y:0.00"));
    EXPECT_EQ(Frame()->pos(), QPointF(0, 0));
    EXPECT_TRUE(gsPaopaoText.isEmpty());
    EXPECT_FALSE(Frame()->imgPaopaoEdit->isVisible());
    mFrm->slPaopaoClick(Frame());
    EXPECT_TRUE(Frame()->SelectionShown());
    EXPECT_TRUE(Frame()->imgPaopaoClose->isVisible());
    EXPECT_FALSE(Frame()->imgPaopaoEdit->isVisible());

    // Bubble 0 is no bubble: the frame goes, whatever its state.
    Choose(0);
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_TRUE(moErrors.isEmpty());
}

TEST_F(TBubbleTest, ABrokenBubbleLeavesTheCurrentOneAndTheBrowserWorks)
{
    Choose(1);
    mFrm->imgPaopaoCloseClick(Frame());
    const QString document = DocumentText();
    Choose(3);
    ASSERT_EQ(moErrors.size(), 1);
    EXPECT_TRUE(moErrors[0].startsWith(QStringLiteral("XML error"))) << moErrors[0];
    // The closed bubble stays closed and keeps its document and place.
    EXPECT_FALSE(Frame()->isVisible());
    EXPECT_EQ(Frame()->pos(), QPointF(440, 300));
    EXPECT_EQ(DocumentText(), document);
    EXPECT_EQ(gsPaopaoText, QStringLiteral("What a day!"));
    EXPECT_FALSE(mFrm->FChanging);

    Choose(2);
    EXPECT_EQ(moErrors.size(), 1);
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->pos(), QPointF(0, 0));
}

TEST_F(TBubbleTest, TheFrameMovesAndResizesByDragAndLeavesTheCanvas)
{
    Choose(1);
    TLayerCanvas *c = mFrm->slCanvas;
    const auto drag = [&](const QPointF &aoFrom, const QPointF &aoTo) { DragOnCanvas(c, aoFrom, aoTo); };
    const qreal unit = 1 / c->CanvasScale(); // one screen pixel in canvas units
    // Moved by its middle, beyond the right edge of the canvas.
    drag(QPointF(540, 400), QPointF(740, 400));
    EXPECT_NEAR(Frame()->x(), 640, 2 * unit);
    EXPECT_NEAR(Frame()->y(), 300, 2 * unit);
    // The drag counts as a click on the frame: it is selected now.
    EXPECT_TRUE(Frame()->SelectionShown());
    // Its bottom-right grip makes it wider and lower; width and height apart.
    const QPointF corner = Frame()->pos() + QPointF(Frame()->Width(), Frame()->Height());
    drag(corner, corner + QPointF(-100, 50));
    EXPECT_NEAR(Frame()->Width(), 100, 2 * unit);
    EXPECT_NEAR(Frame()->Height(), 250, 2 * unit);
    // The edit button stays over the bottom-left corner.
    EXPECT_NEAR(Frame()->imgPaopaoEdit->y(), Frame()->Height() - 26, 1e-9);
    EXPECT_TRUE(moErrors.isEmpty());
}

TEST_F(TBubbleTest, TheBubblesPictureIsOfItsFrameNotOfTheSizesItPassedThrough)
{
    Choose(1);
    TLayerCanvas *c = mFrm->slCanvas;
    const QImage before = c->MakeScreenshot();
    // Made larger and shown there, on screen and in a picture, then back: the
    // bubble is drawn for its frame again, not the larger drawing scaled down.
    Frame()->SetSize(QSizeF(420, 390));
    mFrm->grab();
    EXPECT_NE(c->MakeScreenshot(), before);
    Frame()->SetSize(QSizeF(200, 200));
    mFrm->grab();
    EXPECT_EQ(c->MakeScreenshot(), before);
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TBubbleTest, ABubbleBeyondTheCanvasEdgeShowsOverTheSurroundAndStaysInReach)
{
    Choose(1);
    TLayerCanvas *c = mFrm->slCanvas;
    // At 0.62 the canvas starts 47.6 pixels from the window's left edge, under
    // the toolbar; the free window left of the panel is the reach.
    const qreal scale = c->CanvasScale();
    const QRectF reach = c->Reach();
    EXPECT_NEAR(reach.left(), -qRound(c->Position().x()) / scale, 1e-6);
    EXPECT_EQ(reach.top(), 0);
    EXPECT_NEAR(reach.right(), (mFrm->width() - mFrm->plPreview->width() - qRound(c->Position().x())) / scale, 1e-6);
    EXPECT_NEAR(reach.bottom(), (mFrm->height() - 50) / scale, 1e-6);

    // Half off the left edge, the bubble's outer half shows over the surround.
    Frame()->setPos(-100, 300);
    const QRect surround(0, 50 + qRound(320 * scale), qRound(c->Position().x()), qRound(160 * scale));
    Frame()->setVisible(false);
    const QImage without = mFrm->grab(surround).toImage();
    Frame()->setVisible(true);
    const QImage with = mFrm->grab(surround).toImage();
    ASSERT_EQ(with.size(), without.size());
    int changed = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            changed += with.pixel(x, y) != without.pixel(x, y);
    EXPECT_GT(changed, with.width() * with.height() / 20);
    // The saved picture is the canvas alone.
    EXPECT_EQ(mFrm->PortraitPicture(1.0).size(), QSize(640, 1136));

    // However far a drag goes, a grip's width of the frame stays in reach; a
    // grip shrinking a frame that sticks out stops there too.
    const qreal keep = TPaopaoFrame::KEEP_IN_REACH;
    const auto right = [&] { return Frame()->x() + Frame()->Width(); };
    const auto bottom = [&] { return Frame()->y() + Frame()->Height(); };
    const auto left = [&] { return Frame()->x(); };
    const auto top = [&] { return Frame()->y(); };
    const struct {
        const char *Name;
        QPointF At;
        QPointF Press; // relative to the frame's top-left
        QPointF By;
        std::function<qreal()> Edge;
        qreal Expected;
    } drags[] = {
        {"moved left", {200, 300}, {100, 100}, {-5000, 0}, right, reach.left() + keep},
        {"moved right", {200, 300}, {100, 100}, {5000, 0}, left, reach.right() - keep},
        {"moved up", {200, 300}, {100, 100}, {0, -5000}, bottom, reach.top() + keep},
        {"moved down", {200, 300}, {100, 100}, {0, 5000}, top, reach.bottom() - keep},
        {"top-left grip right", {600, 300}, {0, 0}, {5000, 0}, left, reach.right() - keep},
        {"top-left grip down", {200, 1100}, {0, 0}, {0, 5000}, top, reach.bottom() - keep},
        {"bottom-right grip left", {-150, 300}, {200, 200}, {-5000, 0}, right, reach.left() + keep},
        {"bottom-right grip up", {200, -150}, {200, 200}, {0, -5000}, bottom, reach.top() + keep},
    };
    for (const auto &drag : drags) {
        SCOPED_TRACE(drag.Name);
        Frame()->setPos(drag.At);
        Frame()->SetSize(QSizeF(200, 200));
        // The buttons a click shows lie over the left grips.
        Frame()->imgPaopaoClose->setVisible(false);
        Frame()->imgPaopaoEdit->setVisible(false);
        const QPointF from = drag.At + drag.Press;
        DragOnCanvas(c, from, from + drag.By);
        EXPECT_NEAR(drag.Edge(), drag.Expected, 2 / scale);
    }
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TBubbleTest, EditingFollowsTheConfirmAndCancelRules)
{
    Choose(1);
    QString shown;
    const struct {
        const char *Name;
        QString Typed;
        bool Confirm;
        QString Stored;     // gsNewPaopaoText afterwards
        QString InDocument; // the text element afterwards
        QString Shown;      // what the dialog showed when it opened
    } steps[] = {
        {"blanks are not stored", QStringLiteral("  \n\t "), true, QString(), QStringLiteral("What a day!"),
         QStringLiteral("What a day!")},
        {"the unchanged text is not stored", QStringLiteral("What a day!"), true, QString(),
         QStringLiteral("What a day!"), QStringLiteral("What a day!")},
        {"a cancel stores nothing", QStringLiteral("No"), false, QString(), QStringLiteral("What a day!"),
         QStringLiteral("What a day!")},
        {"a new text is stored and shown", QStringLiteral("Tom & <Jerry>"), true, QStringLiteral("Tom & <Jerry>"),
         QStringLiteral("Tom &amp; &lt;Jerry&gt;"), QStringLiteral("What a day!")},
        // The next dialog opens with the text from before the edit, and a cancel
        // applies the confirmed text again.
        {"cancel after a confirm", QString(), false, QStringLiteral("Tom & <Jerry>"),
         QStringLiteral("Tom &amp; &lt;Jerry&gt;"), QStringLiteral("What a day!")},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.Name);
        const auto answer = AnswerDialog(s.Typed, s.Confirm, &shown);
        RunReportingErrors([&] { mFrm->imgPaopaoEditClick(Frame()->imgPaopaoEdit); });
        EXPECT_EQ(shown, s.Shown);
        EXPECT_EQ(gsNewPaopaoText, s.Stored);
        EXPECT_TRUE(DocumentText().contains(QStringLiteral(">") + s.InDocument + QStringLiteral("</text>")))
            << DocumentText();
    }
    // Another bubble forgets the confirmed text; its first cancel changes nothing.
    Choose(2);
    Choose(1);
    EXPECT_TRUE(gsNewPaopaoText.isEmpty());
    const auto answer = AnswerDialog(QString(), false);
    RunReportingErrors([&] { mFrm->imgPaopaoEditClick(Frame()->imgPaopaoEdit); });
    EXPECT_TRUE(DocumentText().contains(QStringLiteral(">What a day!</text>")));
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

TEST_F(TBubbleTest, ChineseInterfaceLoadsTheChineseBubble)
{
    gbLangCN = true;
    Choose(1);
    EXPECT_EQ(gsPaopaoText, QStringLiteral("今天天气真好"));
    EXPECT_TRUE(DocumentText().contains(QStringLiteral("Noto Sans CJK SC")));
}

TEST_F(TBubbleTest, ASaveHoldsTheBubbleButNeverItsSelectionOrButtons)
{
    QTemporaryDir dir;
    Choose(1);
    const auto save = [&](const QString &asName) {
        moFake.SaveDialog.ChosenFile = dir.filePath(asName);
        RunReportingErrors([&] { mFrm->imgTabSaveClick(); });
        return Premultiplied(QImage(moFake.SaveDialog.ChosenFile));
    };
    const QImage plain = save(QStringLiteral("plain.png"));
    mFrm->slPaopaoClick(Frame());
    const QImage selected = save(QStringLiteral("selected.png"));
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
    EXPECT_EQ(plain, selected);
    // Still selected, with its buttons, after the save.
    EXPECT_TRUE(Frame()->SelectionShown());
    EXPECT_TRUE(Frame()->imgPaopaoClose->isVisible());
    EXPECT_TRUE(Frame()->imgPaopaoEdit->isVisible());
    // The bubble is in the picture: its white balloon over the portrait.
    mFrm->imgPaopaoCloseClick(Frame());
    const QImage without = save(QStringLiteral("without.png"));
    EXPECT_NE(plain.copy(440, 300, 200, 200), without.copy(440, 300, 200, 200));
}

} // namespace
