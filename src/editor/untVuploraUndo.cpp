#include "editor/untVuploraUndo.h"

#include "editor/untVuploraCategories.h"

#include <QSet>
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

    // The bytes of the pictures this step keeps that Seen does not hold yet; adds them
    // to it. Steps share most pictures (a step changes one layer), so each counts once.
    qint64 PictureBytes(QSet<qint64> &aoSeen) const
    {
        qint64 bytes = 0;
        const auto count = [&](const QImage &image) {
            if (!image.isNull() && !aoSeen.contains(image.cacheKey())) {
                aoSeen.insert(image.cacheKey());
                bytes += image.sizeInBytes();
            }
        };
        for (const TPortraitState *state : {&moBefore, &moAfter}) {
            for (const QImage &picture : state->Shown.Pictures)
                count(picture);
        }
        return bytes;
    }

    void DropPictures()
    {
        for (TPortraitState *state : {&moBefore, &moAfter}) {
            state->Shown.Pictures = {};
            state->Shown.Dropped = true;
        }
    }

private:
    TPortraitHistory *moHistory;
    TPortraitState moBefore;
    TPortraitState moAfter;
    bool mbDone = true;
};

bool SameBitmap(const QImage &aoA, const QImage &aoB)
{
    // Reloading an item gives a new image of the same pixels.
    return aoA.cacheKey() == aoB.cacheKey() || aoA == aoB;
}

bool SameLayers(const TPortraitState &aoA, const TPortraitState &aoB)
{
    if (aoA.Shown.Dropped != aoB.Shown.Dropped)
        return false;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
        if (t == fiPaopao)
            continue;
        if (!(aoA.Portrait.Layers[t] == aoB.Portrait.Layers[t])
            || !SameBitmap(aoA.Shown.Pictures[t], aoB.Shown.Pictures[t]))
            return false;
    }
    return true;
}

bool SameBubble(const TPortraitState &aoA, const TPortraitState &aoB)
{
    const TPortraitBubble &a = aoA.Portrait.Bubble;
    const TPortraitBubble &b = aoB.Portrait.Bubble;
    return a.Shown == b.Shown && a.Index == b.Index && a.Frame == b.Frame
           && aoA.Shown.EditShown == aoB.Shown.EditShown
           && (a.Document.constData() == b.Document.constData() || a.Document == b.Document);
}

// The browser and the colour picker show the current tab's item and colour,
// quietly: nothing is applied again.
void ShowCurrentChoice(TfrmVuplora &aoWindow)
{
    const TYPE_FACE_ITEM type = aoWindow.CurrentCategory();
    const TFaceItem *item = aoWindow.slCanvas->FaceItemHolder(type)->FaceItem();
    if (!item)
        return;
    if (item->miIndex >= 0 && item->miIndex < aoWindow.changeBox->count())
        aoWindow.changeBox->setCurrentRow(item->miIndex);
    if (CategoryOf(type).Layer) {
        const QSignalBlocker quiet(aoWindow.rgColor->cmbColor);
        aoWindow.rgColor->cmbColor->SetColor(item->miColor);
    }
}

} // namespace

TPortraitState CapturePortrait(const TfrmVuplora &aoWindow)
{
    return {aoWindow.CapturePortrait(), aoWindow.CaptureShown()};
}

bool SamePicture(const TPortraitState &aoA, const TPortraitState &aoB)
{
    return aoA.Portrait.Pack == aoB.Portrait.Pack && SameLayers(aoA, aoB) && SameBubble(aoA, aoB)
           && aoA.Portrait.Watermark == aoB.Portrait.Watermark;
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

namespace {

// Walks the steps from the newest back with the bytes of pictures they keep beyond
// what the window shows, each picture counted once.
template <typename Visit>
void ForKeptPictures(const QUndoStack &aoStack, const TPortraitState &aoNow, Visit aoVisit)
{
    QSet<qint64> seen;
    for (const QImage &picture : aoNow.Shown.Pictures)
        seen.insert(picture.cacheKey());
    qint64 bytes = 0;
    for (int i = aoStack.count() - 1; i >= 0; --i) {
        // The stack hands its commands out read-only; they are ours.
        auto *step = static_cast<TPortraitCommand *>(const_cast<QUndoCommand *>(aoStack.command(i)));
        bytes += step->PictureBytes(seen);
        aoVisit(i, *step, bytes);
    }
}

} // namespace

void TPortraitHistory::DropOldPictures()
{
    ForKeptPictures(*moStack, moState, [&](int aiStep, TPortraitCommand &aoStep, qint64 aiBytes) {
        if (aiStep < moStack->count() - STEPS_WITH_PICTURES || aiBytes > PICTURE_BYTES)
            aoStep.DropPictures();
    });
}

qint64 TPortraitHistory::KeptPictureBytes() const
{
    qint64 total = 0;
    ForKeptPictures(*moStack, moState, [&](int, TPortraitCommand &, qint64 aiBytes) { total = aiBytes; });
    return total;
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
    TfrmVuplora &w = *moWindow;
    // The one layer whose item, colour or place comes back, to show it in the
    // browser.
    const TPortrait now = w.CapturePortrait();
    int changedLayers = 0;
    TYPE_FACE_ITEM changed = fiEmoji;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t) {
        const TPortraitLayer &a = now.Layers[t];
        const TPortraitLayer &b = aoState.Portrait.Layers[t];
        if (t != fiPaopao && (a.Index != b.Index || a.Color != b.Color || a.Pos != b.Pos)) {
            ++changedLayers;
            changed = TYPE_FACE_ITEM(t);
        }
    }
    const bool bubbleChanged = now.Bubble.Index != aoState.Portrait.Bubble.Index;

    w.ApplyPortrait(aoState.Portrait, &aoState.Shown);

    // A step of one layer shows that layer's tab, so the keys and the colour
    // bar go on working on what just came back.
    if (changedLayers == 1 && w.FCurrentTab != w.rgtToolbar->Tab(changed))
        w.TabClick(changed);
    if (changedLayers > 0 || bubbleChanged)
        ShowCurrentChoice(w);
    moState = aoState.Shown.Dropped ? CapturePortrait(w) : aoState;
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
