#pragma once
// The portrait's history: undo and redo of every change the user makes to the
// picture. A step is recorded after it has happened, as the difference between
// the portrait before and after it; the history keeps the portrait as of its
// last record, so a step needs to name itself only once it is done.
//
// What a step keeps are values (the portrait as a file records it, and the
// pictures the window showed), never the layer objects, so a command stays
// valid whatever the window reloads or replaces in between.

#include "assets/untVuploraPortrait.h"
#include "editor/untVuploraForm.h"

#include <QObject>
#include <QString>

class QUndoStack;
class TfrmVuplora;

// A step's end: the portrait's value and what the window showed with it.
struct TPortraitState {
    TPortrait Portrait;
    TPortraitShown Shown;
};

// The portrait shown by the window now.
TPortraitState CapturePortrait(const TfrmVuplora &aoWindow);
// True when the two states show the same picture; the bubble's texts do not
// count, as they change nothing on the canvas.
bool SamePicture(const TPortraitState &aoA, const TPortraitState &aoB);

class TPortraitHistory : public QObject {
    Q_OBJECT
public:
    // Steps kept; the oldest beyond it are forgotten.
    static constexpr int UNDO_LIMIT = 100;
    // Steps that keep their pictures; older ones reload theirs from the pack.
    static constexpr int STEPS_WITH_PICTURES = 20;
    // The most bytes of pictures those steps keep beside what the window shows (each
    // picture counted once): past it, older steps reload theirs as well. A bubble
    // frame drawn at the largest buffer takes 64 MiB.
    static constexpr qint64 PICTURE_BYTES = 256 * 1024 * 1024;

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
    // The bytes of pictures the steps keep beyond what the window shows.
    qint64 KeptPictureBytes() const;

    // Puts the portrait to the given state (ApplyPortrait) and shows the layer
    // that came back in the browser; used by the steps.
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
