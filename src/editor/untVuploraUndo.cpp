#include "editor/untVuploraUndo.h"

#include "assets/untVuplora.h"
#include "assets/untVuploraPaopaoDoc.h"
#include "assets/untVuploraProcs.h"
#include "editor/untVuploraCategories.h"
#include "editor/untVuploraForm.h"
#include "svg/controls/svg_document_component.h"
#include "svg/model/document.h"

#include <QSignalBlocker>
#include <QUndoStack>

namespace {

class TPortraitCommand : public QUndoCommand {
public:
    TPortraitCommand(TPortraitHistory *aoHistory, const QString &asText, TPortraitState aoBefore,
                     TPortraitState aoAfter)
        : QUndoCommand(asText), moHistory(aoHistory), moBefore(std::move(aoBefore)), moAfter(std::move(aoAfter))
    {
    }

    void undo() override { moHistory->Restore(moBefore); }
    void redo() override
    {
        // The step has happened already when it is pushed.
        if (mbDone) {
            mbDone = false;
            return;
        }
        moHistory->Restore(moAfter);
    }

    void DropPictures()
    {
        for (TPortraitState *state : {&moBefore, &moAfter})
        {
            for (TLayerState &layer : state->Layers) {
                layer.Bitmap = QImage();
                layer.Dropped = true;
            }
            state->Bubble.Picture = QImage();
        }
    }

private:
    TPortraitHistory *moHistory;
    TPortraitState moBefore;
    TPortraitState moAfter;
    bool mbDone = true;
};

bool SameBytes(const QByteArray &aoA, const QByteArray &aoB)
{
    return aoA.constData() == aoB.constData() || aoA == aoB;
}

bool SameBitmap(const QImage &aoA, const QImage &aoB)
{
    // Reloading an item gives a new image of the same pixels.
    return aoA.cacheKey() == aoB.cacheKey() || aoA == aoB;
}

bool SameLayer(const TLayerState &aoA, const TLayerState &aoB)
{
    return aoA.Index == aoB.Index && aoA.Color == aoB.Color && aoA.Y == aoB.Y && aoA.Visible == aoB.Visible
           && aoA.Dropped == aoB.Dropped && SameBitmap(aoA.Bitmap, aoB.Bitmap);
}

bool SameBubble(const TBubbleState &aoA, const TBubbleState &aoB)
{
    return aoA.Index == aoB.Index && aoA.Shown == aoB.Shown && aoA.EditShown == aoB.EditShown
           && aoA.Rect == aoB.Rect && aoA.Buffer == aoB.Buffer && SameBytes(aoA.Document, aoB.Document);
}

// The picture of an item as the layer shows it, read from the pack.
QImage LoadItem(const QImage &aoCurrent, TYPE_FACE_ITEM fiType, const TLayerState &aoLayer)
{
    QImage bitmap = aoCurrent;
    const TFaceItemDataList *items = goFaceRes->GetFaceItem(fiType);
    if (!items || aoLayer.Index < 0 || size_t(aoLayer.Index) >= items->size()) {
        if (!bitmap.isNull())
            bitmap.fill(Qt::transparent);
        return bitmap;
    }
    goFaceRes->GetBitmap(bitmap, fiType, aoLayer.Index, ifFile, false);
    if (aoLayer.Color != 0)
        ReplaceOpaqueColor(bitmap, aoLayer.Color);
    return bitmap;
}

TLayerImage *BitmapLayer(const TfrmVuplora &aoWindow, const TCategory &aoCategory)
{
    return aoCategory.Layer ? aoWindow.slCanvas->*aoCategory.Layer : nullptr;
}

// The browser and the colour picker show the current tab's item and colour,
// quietly: nothing is applied again.
void ShowCurrentChoice(TfrmVuplora &aoWindow)
{
    for (const TCategory &category : Categories()) {
        if (aoWindow.rgtToolbar->Tab(category.Type) != aoWindow.FCurrentTab)
            continue;
        const TFaceItem *item = aoWindow.slCanvas->FaceItemHolder(category.Type)->FaceItem();
        if (!item)
            return;
        if (item->miIndex >= 0 && item->miIndex < aoWindow.changeBox->count())
            aoWindow.changeBox->setCurrentRow(item->miIndex);
        if (category.Layer) {
            const QSignalBlocker quiet(aoWindow.rgColor->cmbColor);
            aoWindow.rgColor->cmbColor->SetColor(item->miColor);
        }
        return;
    }
}

} // namespace

TPortraitState CapturePortrait(const TfrmVuplora &aoWindow)
{
    TPortraitState state;
    for (const TCategory &category : Categories()) {
        const TLayerImage *layer = BitmapLayer(aoWindow, category);
        if (!layer)
            continue;
        TLayerState &s = state.Layers[category.Type];
        if (const TFaceItem *item = layer->FaceItem()) {
            s.Index = item->miIndex;
            s.Color = item->miColor;
        }
        s.Y = layer->y();
        s.Visible = layer->isVisible();
        s.Bitmap = layer->Bitmap();
    }
    state.FaceIndex = giFaceIndex;

    const TPaopaoFrame *frame = aoWindow.slCanvas->slPaopao;
    TBubbleState &b = state.Bubble;
    if (const TFaceItem *item = frame->imgPaopao->FaceItem())
        b.Index = item->miIndex;
    b.Shown = frame->isVisible();
    b.EditShown = frame->imgPaopaoEdit->isVisible();
    b.Rect = QRectF(frame->pos(), QSizeF(frame->Width(), frame->Height()));
    if (goPaopaoStream)
        b.Document = goPaopaoStream->data();
    // Without a document the image shows nothing, whatever buffer it kept.
    if (!b.Document.isEmpty()) {
        b.Picture = frame->imgPaopao->Bitmap();
        b.Buffer = b.Picture.size();
    }
    b.Text = gsPaopaoText;
    b.NewText = gsNewPaopaoText;
    state.Watermark = aoWindow.slCanvas->imgIcon->pos();
    return state;
}

bool SamePicture(const TPortraitState &aoA, const TPortraitState &aoB)
{
    for (const TCategory &category : Categories())
        if (category.Layer && !SameLayer(aoA.Layers[category.Type], aoB.Layers[category.Type]))
            return false;
    return aoA.FaceIndex == aoB.FaceIndex && SameBubble(aoA.Bubble, aoB.Bubble) && aoA.Watermark == aoB.Watermark;
}

TPortraitHistory::TPortraitHistory(TfrmVuplora *aoWindow)
    : QObject(aoWindow), moWindow(aoWindow), moStack(new QUndoStack(this))
{
    moStack->setUndoLimit(UNDO_LIMIT);
}

void TPortraitHistory::Record(const QString &asText)
{
    if (miDepth > 0)
        return;
    TPortraitState now = CapturePortrait(*moWindow);
    if (SamePicture(moState, now)) {
        // What changed shows nowhere (the dialog's texts): the next step starts
        // from it without a step of its own.
        moState = std::move(now);
        return;
    }
    TPortraitState before = std::move(moState);
    moState = now;
    moStack->push(new TPortraitCommand(this, asText, std::move(before), std::move(now)));
    DropOldPictures();
    Q_EMIT Changed();
}

void TPortraitHistory::DropOldPictures()
{
    for (int i = 0; i < moStack->count() - STEPS_WITH_PICTURES; ++i)
        // The stack hands its commands out read-only; this one is ours.
        static_cast<TPortraitCommand *>(const_cast<QUndoCommand *>(moStack->command(i)))->DropPictures();
}

void TPortraitHistory::Reset()
{
    moStack->clear();
    moState = CapturePortrait(*moWindow);
    Q_EMIT Changed();
}

void TPortraitHistory::Undo()
{
    if (moWindow->FChanging || !moStack->canUndo())
        return;
    moStack->undo();
    Q_EMIT Changed();
}

void TPortraitHistory::Redo()
{
    if (moWindow->FChanging || !moStack->canRedo())
        return;
    moStack->redo();
    Q_EMIT Changed();
}

bool TPortraitHistory::CanUndo() const
{
    return moStack->canUndo();
}

bool TPortraitHistory::CanRedo() const
{
    return moStack->canRedo();
}

QString TPortraitHistory::UndoText() const
{
    return moStack->undoText();
}

QString TPortraitHistory::RedoText() const
{
    return moStack->redoText();
}

int TPortraitHistory::Count() const
{
    return moStack->count();
}

void TPortraitHistory::Restore(const TPortraitState &aoState)
{
    // Only what differs is touched: undoing a small step stays as cheap as
    // the step was.
    TfrmVuplora &w = *moWindow;
    TLayerCanvas *canvas = w.slCanvas;
    // The one layer whose item, colour or place came back, to show it in the
    // browser; and whether the state lacks pictures the window now has.
    int changedLayers = 0;
    TYPE_FACE_ITEM changed = fiEmoji;
    bool reloaded = false;
    for (const TCategory &category : Categories()) {
        TLayerImage *layer = BitmapLayer(w, category);
        TFaceItem *item = layer ? layer->FaceItem() : nullptr;
        if (!item)
            continue;
        const TLayerState &s = aoState.Layers[category.Type];
        if (item->miIndex != s.Index || item->miColor != s.Color || layer->y() != s.Y) {
            ++changedLayers;
            changed = category.Type;
        }
        reloaded |= s.Dropped;
        if (!s.Dropped) {
            if (layer->Bitmap().cacheKey() != s.Bitmap.cacheKey())
                layer->SetBitmap(s.Bitmap);
        } else if (category.Type == fiFace) {
            if (giFaceIndex != aoState.FaceIndex)
                w.SetFace(aoState.FaceIndex);
        } else if (item->miIndex != s.Index || item->miColor != s.Color) {
            layer->SetBitmap(LoadItem(layer->Bitmap(), category.Type, s));
        }
        item->miIndex = s.Index;
        item->miColor = s.Color;
        if (layer->y() != s.Y)
            layer->setY(s.Y);
        if (layer->isVisible() != s.Visible)
            layer->setVisible(s.Visible);
    }
    giFaceIndex = aoState.FaceIndex;

    const TBubbleState &b = aoState.Bubble;
    TPaopaoFrame *frame = canvas->slPaopao;
    TFaceItem *bubble = frame->imgPaopao->FaceItem();
    const bool bubbleChanged = bubble && bubble->miIndex != b.Index;
    if (bubble)
        bubble->miIndex = b.Index;
    const auto placeFrame = [&] {
        if (frame->pos() != b.Rect.topLeft())
            frame->setPos(b.Rect.topLeft());
        if (QSizeF(frame->Width(), frame->Height()) != b.Rect.size())
            frame->SetSize(b.Rect.size());
    };
    if (goPaopaoStream && !SameBytes(goPaopaoStream->data(), b.Document)) {
        // One drawing of the document that comes back, at the buffer it had.
        frame->imgPaopao->ReloadAt(
            [&] {
                goPaopaoStream->buffer() = b.Document;
                goPaopaoStream->seek(0);
                if (b.Document.isEmpty())
                    w.SVGDoc->SVG()->Clear();
                else
                    w.SVGDoc->SVG()->LoadFromStream(*goPaopaoStream);
                goPaopaoStream->seek(0);
                placeFrame();
            },
            b.Buffer, b.Picture);
    } else {
        placeFrame();
    }
    if (frame->imgPaopao->Bitmap().size() != b.Buffer && !b.Buffer.isEmpty())
        frame->imgPaopao->RenderBufferAt(b.Buffer);
    if (!b.Shown && frame->isVisible()) {
        frame->SetSelectionShown(false);
        frame->imgPaopaoClose->setVisible(false);
    }
    if (frame->isVisible() != b.Shown)
        frame->setVisible(b.Shown);
    if (frame->imgPaopaoEdit->isVisible() != b.EditShown)
        frame->imgPaopaoEdit->setVisible(b.EditShown);
    gsPaopaoText = b.Text;
    gsNewPaopaoText = b.NewText;
    if (canvas->imgIcon->pos() != aoState.Watermark)
        canvas->imgIcon->setPos(aoState.Watermark);

    // A step of one layer shows that layer's tab, so the keys and the colour
    // bar go on working on what just came back.
    if (changedLayers == 1 && w.FCurrentTab != w.rgtToolbar->Tab(changed))
        w.TabClick(changed);
    if (changedLayers > 0 || bubbleChanged)
        ShowCurrentChoice(w);
    moState = reloaded ? CapturePortrait(w) : aoState;
}

TRecordStep::TRecordStep(TPortraitHistory *aoHistory, const QString &asText)
    : moHistory(aoHistory), msText(asText)
{
    if (moHistory)
        ++moHistory->miDepth;
}

TRecordStep::~TRecordStep()
{
    if (!moHistory)
        return;
    if (--moHistory->miDepth == 0)
        moHistory->Record(msText);
}
