#pragma once
// The portrait's history: undo and redo of every change the user makes to the
// picture. A step is recorded after it has happened, as the difference between
// the portrait before and after it; the history keeps the portrait as of its
// last record, so a step needs to name itself only once it is done.
//
// What a step keeps are values (item indexes, colours, positions, the bubble's
// document, the pictures the layers showed), never the layer objects, so a
// command stays valid whatever the window reloads or replaces in between.

#include "assets/untVuploraTypes.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <array>

class QUndoStack;
class TfrmVuplora;

// One bitmap layer as the user sees it.
struct TLayerState {
    qint32 Index = 0;
    quint32 Color = 0;
    qreal Y = 0;
    bool Visible = true;
    // The picture the layer showed; may be dropped from old steps to save
    // memory, and is then loaded again from the pack by index and colour.
    QImage Bitmap;
    bool Dropped = false;
};

struct TBubbleState {
    qint32 Index = 0;
    bool Shown = false;
    bool EditShown = false;
    QRectF Rect;
    QByteArray Document;
    // Size of the image's drawing buffer, which its past sizes decide.
    QSize Buffer;
    // What the image showed, kept so that taking a step back need not draw it
    // again; dropped with the layers' pictures on old steps.
    QImage Picture;
    // The texts the text dialog works with; restored with the bubble but not a
    // change of their own, since they change nothing on the canvas.
    QString Text;
    QString NewText;
};

struct TPortraitState {
    // By category; the bubble's entry is unused.
    std::array<TLayerState, FACE_ITEM_TYPE_COUNT> Layers;
    qint32 FaceIndex = 0;
    TBubbleState Bubble;
    QPointF Watermark;
};

// The portrait shown by the window now.
TPortraitState CapturePortrait(const TfrmVuplora &aoWindow);
// True when the two states show the same picture.
bool SamePicture(const TPortraitState &aoA, const TPortraitState &aoB);

class TPortraitHistory : public QObject {
    Q_OBJECT
public:
    // Steps kept; the oldest beyond it are forgotten.
    static constexpr int UNDO_LIMIT = 100;
    // Steps that keep their pictures; older ones reload theirs from the pack.
    static constexpr int STEPS_WITH_PICTURES = 20;

    explicit TPortraitHistory(TfrmVuplora *aoWindow);

    // Records what changed since the last record as one step named asText; no
    // step when the picture did not change. Inside a TRecordStep the step is
    // recorded when the outermost one ends.
    void Record(const QString &asText);
    // Forgets every step and takes the portrait shown now as the start.
    void Reset();

    // Both do nothing while an item is being applied (its slide is running) or
    // when there is no step to go to.
    void Undo();
    void Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    // The names of the steps Undo and Redo would take; empty when there is none.
    QString UndoText() const;
    QString RedoText() const;
    int Count() const;

    // Puts the portrait to the given state; used by the steps.
    void Restore(const TPortraitState &aoState);

Q_SIGNALS:
    // A step was recorded, undone or redone, or the history started anew.
    void Changed();

private:
    friend class TRecordStep;
    void DropOldPictures();

    TfrmVuplora *moWindow;
    QUndoStack *moStack;
    TPortraitState moState;
    int miDepth = 0;
};

// Records one step when it ends, also when the code it covers fails halfway:
// what did change can be undone. Nested scopes make a single step, named by
// the outermost one.
class TRecordStep {
public:
    TRecordStep(TPortraitHistory *aoHistory, const QString &asText);
    ~TRecordStep();
    TRecordStep(const TRecordStep &) = delete;
    TRecordStep &operator=(const TRecordStep &) = delete;

private:
    TPortraitHistory *moHistory;
    QString msText;
};
