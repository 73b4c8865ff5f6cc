// Input on the canvas and the colour bar: strokes measured in canvas units at
// a reduced on-screen scale, nudging within its range, stepping through the
// browser with wrap-around, the watermark drag, and recolouring.

#include "editortestsupport.h"

#include "assets/untVuploraProcs.h"
#include "editor/untVuploraForm.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

namespace {

using TCanvasInputTest = TEditorTest;

// Sends a press or release to the canvas at a point given in canvas units,
// through the view's own event handling and its on-screen scale.
void SendToCanvas(TLayerCanvas *aoCanvas, QEvent::Type aeType, Qt::MouseButton aeButton,
                  const QPointF &aoCanvasPos)
{
    QWidget *viewport = aoCanvas->viewport();
    const QPointF local = aoCanvasPos * aoCanvas->CanvasScale();
    const Qt::MouseButtons held = aeType == QEvent::MouseButtonPress ? Qt::MouseButtons(aeButton) : Qt::NoButton;
    QMouseEvent event(aeType, local, viewport->mapToGlobal(local), aeButton, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

void Stroke(TLayerCanvas *aoCanvas, const QPointF &aoFrom, const QPointF &aoTo,
            Qt::MouseButton aeButton = Qt::LeftButton)
{
    SendToCanvas(aoCanvas, QEvent::MouseButtonPress, aeButton, aoFrom);
    SendToCanvas(aoCanvas, QEvent::MouseButtonRelease, aeButton, aoTo);
}

TEST_F(TCanvasInputTest, StrokesNudgeAndStepInCanvasUnitsAtAnyScale)
{
    moFake.Screen.Size = QSizeF(1920, 1080);
    TfrmVuplora frm;
    frm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    TLayerCanvas *c = frm.slCanvas;
    ASSERT_DOUBLE_EQ(c->CanvasScale(), 0.62);
    frm.imgTabEyesClick();
    ASSERT_EQ(frm.changeBox->count(), 3);

    const QPointF at(300, 500);
    const struct {
        const char *Name;
        QPointF To;
        Qt::MouseButton Button;
        qreal EyesY;
        int Row; // selected browser cell afterwards
    } strokes[] = {
        {"down 30 nudges by one", QPointF(300, 530), Qt::LeftButton, 217, -1},
        {"down 20 is no stroke", QPointF(300, 520), Qt::LeftButton, 217, -1},
        {"up 30 nudges back", QPointF(300, 470), Qt::LeftButton, 216, -1},
        {"left 49 is no stroke", QPointF(251, 500), Qt::LeftButton, 216, -1},
        {"left 51 from no cell takes the first", QPointF(249, 500), Qt::LeftButton, 216, 0},
        {"right from the first wraps to the last", QPointF(351, 500), Qt::LeftButton, 216, 2},
        {"left from the last wraps to the first", QPointF(240, 500), Qt::LeftButton, 216, 0},
        {"a diagonal nudges and steps", QPointF(240, 560), Qt::LeftButton, 217, 1},
        {"the right button does nothing", QPointF(300, 600), Qt::RightButton, 217, 1},
        {"nor to the side", QPointF(200, 500), Qt::RightButton, 217, 1},
    };
    for (const auto &s : strokes) {
        SCOPED_TRACE(s.Name);
        Stroke(c, at, s.To, s.Button);
        EXPECT_EQ(c->imgEyes->y(), s.EyesY);
        EXPECT_EQ(frm.changeBox->currentRow(), s.Row);
        if (s.Row >= 0) {
            EXPECT_EQ(c->imgEyes->FaceItem()->miIndex, s.Row);
            EXPECT_EQ(c->imgEyes->Bitmap(), TestPackItem(1, fiEye, s.Row));
            EXPECT_EQ(c->imgEyes->x(), 170);
        }
    }

    // Nudging stops 20 units from the default Y, either way.
    for (int i = 0; i < 25; ++i)
        Stroke(c, at, at + QPointF(0, 30));
    EXPECT_EQ(c->imgEyes->y(), 236);
    for (int i = 0; i < 50; ++i)
        Stroke(c, at, at - QPointF(0, 30));
    EXPECT_EQ(c->imgEyes->y(), 196);

    // Hair, face and hand do not nudge.
    for (void (TfrmVuplora::*tab)() : {&TfrmVuplora::imgTabHairClick, &TfrmVuplora::imgTabFaceClick,
                                       &TfrmVuplora::imgTabHandClick}) {
        (frm.*tab)();
        TLayerImage *layer = frm.FCurrentImage.Image;
        const qreal y = layer->y();
        Stroke(c, at, at + QPointF(0, 30));
        EXPECT_EQ(layer->y(), y) << layer->objectName();
    }
    EXPECT_TRUE(moErrors.isEmpty());
}

TEST_F(TCanvasInputTest, WithTheBubbleTabCurrentStrokesStepBubblesAndNudgeTheLastLayer)
{
    TfrmVuplora frm;
    TLayerCanvas *c = frm.slCanvas;
    frm.imgTabMouthClick();
    frm.imgTabPaopaoClick();
    frm.slCanvasMouseDown(c, Qt::LeftButton, 300, 500);
    frm.slCanvasMouseUp(c, Qt::LeftButton, 200, 530);
    EXPECT_EQ(frm.changeBox->currentRow(), 0);
    EXPECT_EQ(frm.changeBox->Cell(0)->FaceItem()->moType, fiPaopao);
    EXPECT_EQ(c->imgMouth->y(), 317);
}

TEST_F(TCanvasInputTest, TheWatermarkDragStaysWithinItsLimits)
{
    TfrmVuplora frm;
    TLayerImage *icon = frm.slCanvas->imgIcon;
    EXPECT_TRUE(icon->AutoCapture());
    const struct {
        QPointF Move; // pointer in the watermark's coordinates, pressed at (20, 20)
        QPointF Pos;
    } moves[] = {
        {QPointF(-1000, -2000), QPointF(-30, -30)},
        {QPointF(50, 60), QPointF(0, 10)},
        {QPointF(5000, 5000), QPointF(382, 994)},
    };
    frm.imgIconMouseDown(icon, Qt::LeftButton, 20, 20);
    for (const auto &m : moves) {
        frm.imgIconMouseMove(icon, float(m.Move.x()), float(m.Move.y()));
        EXPECT_EQ(icon->pos(), m.Pos);
    }
    frm.imgIconMouseUp(icon, Qt::LeftButton, 0, 0);
    frm.imgIconMouseMove(icon, 0, 0);
    EXPECT_EQ(icon->pos(), QPointF(382, 994));
    // A right press does not start a drag.
    frm.imgIconMouseDown(icon, Qt::RightButton, 20, 20);
    frm.imgIconMouseMove(icon, -100, -100);
    EXPECT_EQ(icon->pos(), QPointF(382, 994));
}

TEST_F(TCanvasInputTest, TheWatermarkFollowsARealDragBeyondItsOwnBox)
{
    TfrmVuplora frm;
    frm.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frm));
    TLayerCanvas *c = frm.slCanvas;
    // Shown and with nothing above it that takes input.
    TLayerImage *icon = c->imgIcon;
    icon->setVisible(true);
    icon->setPos(100, 100);
    QWidget *viewport = c->viewport();
    const QPoint grip = c->mapFromScene(QPointF(110, 110));
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, grip);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip) + QPointF(400, 0), viewport->mapToGlobal(QPointF(grip) + QPointF(400, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, grip + QPoint(400, 0));
    EXPECT_EQ(icon->pos(), QPointF(382, 100));
    EXPECT_FALSE(frm.DownLogo);
}

// Every pixel the layer covers shows the colour at the pixel's own opacity.
void ExpectSilhouette(const QImage &aoBitmap, const QImage &aoOriginal, QRgb aiColor)
{
    ASSERT_EQ(aoBitmap.size(), aoOriginal.size());
    int covered = 0;
    for (int y = 0; y < aoBitmap.height(); y += 3) {
        for (int x = 0; x < aoBitmap.width(); x += 3) {
            const int alpha = qAlpha(aoOriginal.pixel(x, y));
            const QRgb px = aoBitmap.pixel(x, y);
            ASSERT_EQ(qAlpha(px), alpha);
            if (alpha < 64)
                continue;
            ++covered;
            const QRgb plain = qUnpremultiply(px);
            ASSERT_NEAR(qRed(plain), qRed(aiColor), 4);
            ASSERT_NEAR(qGreen(plain), qGreen(aiColor), 4);
            ASSERT_NEAR(qBlue(plain), qBlue(aiColor), 4);
        }
    }
    EXPECT_GT(covered, 100);
}

TEST_F(TCanvasInputTest, SwatchesRecolourTheCurrentLayerButNotTheBackground)
{
    TfrmVuplora frm;
    TLayerCanvas *c = frm.slCanvas;
    TVuploraColorBar *bar = frm.rgColor;
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(SwatchColor(11), 0xFFD22A2Au);
    EXPECT_EQ(SwatchColor(0), 0u);
    EXPECT_EQ(SwatchColor(17), 0u);

    frm.imgTabHairClick();
    const int hair = c->imgHair->FaceItem()->miIndex;
    const QImage own = TestPackItem(1, fiHair, hair);
    frm.imgColor1Click(bar->imgColor[10]);
    EXPECT_EQ(c->imgHair->FaceItem()->miColor, 0xFFD22A2Au);
    ExpectSilhouette(c->imgHair->Bitmap(), own, 0xFFD22A2A);
    // The same swatch again starts from the picture, not from the silhouette.
    frm.imgColor1Click(bar->imgColor[10]);
    ExpectSilhouette(c->imgHair->Bitmap(), own, 0xFFD22A2A);
    frm.imgColor1Click(bar->imgColor[0]);
    EXPECT_EQ(c->imgHair->Bitmap(), own);
    EXPECT_EQ(c->imgHair->FaceItem()->miColor, 0u);

    // Only the swatches themselves count as swatches.
    frm.imgColor1Click(bar->cmbColor);
    frm.imgColor1Click(nullptr);
    EXPECT_EQ(c->imgHair->Bitmap(), own);

    frm.imgTabBKGClick();
    const QImage back = c->imgBack->Bitmap();
    frm.imgColor1Click(bar->imgColor[4]);
    EXPECT_EQ(c->imgBack->Bitmap(), back);
    EXPECT_EQ(c->imgBack->FaceItem()->miColor, 0u);

    // The face stores its colour and is shown in its own.
    frm.imgTabFaceClick();
    frm.imgColor1Click(bar->imgColor[2]);
    EXPECT_EQ(c->imgFace->FaceItem()->miColor, 0xFF434343u);
    EXPECT_EQ(c->imgFace->Bitmap(), TestPackItem(1, fiFace, c->imgFace->FaceItem()->miIndex));
    EXPECT_TRUE(moErrors.isEmpty());
}

TEST_F(TCanvasInputTest, AStoredColourFollowsTheLayerToItsNextItemAndShowsInThePicker)
{
    TfrmVuplora frm;
    TLayerCanvas *c = frm.slCanvas;
    frm.imgTabEyesClick();
    // A half-transparent pick from the picker.
    frm.rgColor->cmbColor->SetColor(0x801F3F74);
    const QImage stored = c->imgEyes->Bitmap();

    frm.imgTabHairClick();
    EXPECT_EQ(frm.rgColor->cmbColor->Color(), 0u);
    EXPECT_EQ(c->imgEyes->Bitmap(), stored);
    // Filling the browser shows the colour without recolouring again.
    frm.imgTabEyesClick();
    EXPECT_EQ(frm.rgColor->cmbColor->Color(), 0x801F3F74u);
    EXPECT_EQ(c->imgEyes->Bitmap(), stored);

    const int next = (c->imgEyes->FaceItem()->miIndex + 1) % 3;
    frm.changeBoxItemClick(nullptr, frm.changeBox->item(next));
    const QImage own = TestPackItem(1, fiEye, next);
    const QImage shown = c->imgEyes->Bitmap();
    ASSERT_EQ(shown.size(), own.size());
    for (int y = 0; y < own.height(); y += 5)
        for (int x = 0; x < own.width(); x += 5)
            ASSERT_EQ(qAlpha(shown.pixel(x, y)), qAlpha(own.pixel(x, y)) * 0x80 / 255);
}

} // namespace
