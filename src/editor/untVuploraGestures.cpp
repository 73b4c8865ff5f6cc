// The editor window's pointer strokes on the canvas (step through the current
// category, nudge the current layer) and the watermark drag.

#include "editor/untVuploraForm.h"

#include "editor/untVuploraUndo.h"

void TfrmVuplora::slCanvasMouseDown(QObject *, Qt::MouseButton Button, float X, float Y)
{
    if (FChanging)
        return;
    FisMouseDown = false;
    if (Button != Qt::LeftButton)
        return;
    FisMouseDown = true;
    FDownX = X;
    FDownY = Y;
}

void TfrmVuplora::slCanvasMouseUp(QObject *, Qt::MouseButton Button, float X, float Y)
{
    if (FChanging)
        return;
    TLayerImage *L = FCurrentImage.Image;
    if (!L || !L->FaceItem())
        return;
    if (Button != Qt::LeftButton)
        return;
    if (FisMouseDown) {
        // A diagonal stroke that nudges and changes the item is one step.
        const TRecordStep step(FHistory, QStringLiteral("Stroke"));
        if (Y - FDownY > STROKE_VERTICAL)
            NudgeLayer(1);
        if (FDownY - Y > STROKE_VERTICAL)
            NudgeLayer(-1);
        if (FDownX - X > STROKE_HORIZONTAL)
            StepItem(1);
        else if (X - FDownX > STROKE_HORIZONTAL)
            StepItem(-1);
    }
    FisMouseDown = false;
}

void TfrmVuplora::NudgeLayer(int aiDirection)
{
    TLayerImage *L = FCurrentImage.Image;
    if (FChanging || !L || !L->FaceItem())
        return;
    if (!CategoryRules(L->FaceItem()->moType).Moves)
        return;
    const TRecordStep step(FHistory, QStringLiteral("Nudge"));
    const qreal defaultY = L->FaceItem()->miY;
    if (aiDirection > 0 && defaultY + NUDGE_RANGE > L->y())
        L->setY(L->y() + 1);
    if (aiDirection < 0 && defaultY - NUDGE_RANGE < L->y())
        L->setY(L->y() - 1);
}

void TfrmVuplora::StepItem(int aiStep)
{
    const int count = changeBox->count();
    if (FChanging || aiStep == 0 || count <= 0)
        return;
    const int current = changeBox->currentRow();
    int next;
    if (aiStep > 0)
        next = current >= 0 && current < count - 1 ? current + 1 : 0;
    else
        next = current > 0 ? current - 1 : count - 1;
    changeBox->setCurrentRow(next);
    changeBoxItemClick(nullptr, changeBox->item(next));
}

void TfrmVuplora::slCanvasClick(QObject *)
{
    // A click beside the bubble dismisses its selection.
    TPaopaoFrame *frame = slCanvas->slPaopao;
    if (frame->isVisible() && frame->SelectionShown())
        HidePaopaoSelection();
}

void TfrmVuplora::imgIconMouseDown(QObject *, Qt::MouseButton Button, float X, float Y)
{
    if (Button != Qt::LeftButton)
        return;
    DownLogoPos = QPointF(X, Y);
    DownLogo = true;
}

void TfrmVuplora::imgIconMouseMove(QObject *Sender, float X, float Y)
{
    TLayerImage *icon = slCanvas->imgIcon;
    qreal x = X - DownLogoPos.x() + icon->x();
    qreal y = Y - DownLogoPos.y() + icon->y();
    x = qMax<qreal>(x, -WATERMARK_OVERHANG);
    y = qMax<qreal>(y, -WATERMARK_OVERHANG);
    // The far edges win over the overhang when both apply.
    x = qMin<qreal>(x, CANVAS_WIDTH - icon->Width());
    y = qMin<qreal>(y, CANVAS_HEIGHT - icon->Height());
    if (Sender == icon && DownLogo)
        icon->setPos(x, y);
}

void TfrmVuplora::imgIconMouseUp(QObject *, Qt::MouseButton, float, float)
{
    DownLogo = false;
    if (FHistory)
        FHistory->Record(QStringLiteral("Move watermark"));
}
