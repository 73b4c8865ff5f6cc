#pragma once
// Layer locks: a locked category keeps its item and colour when a random
// portrait is rolled. The categories a random portrait changes can be locked;
// a locked tab carries a padlock badge. A right click on the tab (or the key of
// the keyboard unit) toggles the lock; a click on the badge unlocks.

#include "assets/untVuploraTypes.h"

#include <QObject>

#include <array>

class QWidget;
class TVuploraToolbar;

class TLayerLocks : public QObject {
    Q_OBJECT
public:
    TLayerLocks(TVuploraToolbar *aoToolbar, QObject *aoParent);

    // The categories a random portrait changes.
    static bool Lockable(TYPE_FACE_ITEM fiType);

    bool Locked(TYPE_FACE_ITEM fiType) const;
    // Does nothing for a category that cannot be locked.
    void SetLocked(TYPE_FACE_ITEM fiType, bool abLocked);
    void Toggle(TYPE_FACE_ITEM fiType);
    void Clear();

    // The badge shown on a lockable tab while it is locked.
    QWidget *Badge(TYPE_FACE_ITEM fiType) const;

protected:
    bool eventFilter(QObject *aoWatched, QEvent *aoEvent) override;

private:
    TVuploraToolbar *moToolbar;
    std::array<bool, FACE_ITEM_TYPE_COUNT> mbLocked{};
    std::array<QWidget *, FACE_ITEM_TYPE_COUNT> moBadges{};
};
