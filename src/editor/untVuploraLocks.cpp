#include "editor/untVuploraLocks.h"

#include "editor/untVuploraCategories.h"
#include "editor/untVuploraToolbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace {

constexpr int BADGE_SIZE = 18;

// A padlock drawn over the tab's top-right corner; a click on it unlocks.
class TLockBadge : public QWidget {
public:
    TLockBadge(QWidget *aoTab, std::function<void()> aoUnlock) : QWidget(aoTab), moUnlock(std::move(aoUnlock))
    {
        setGeometry(aoTab->width() - BADGE_SIZE - 2, 2, BADGE_SIZE, BADGE_SIZE);
        setCursor(Qt::PointingHandCursor);
        setVisible(false);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE0, 0x40, 0x30));
        p.drawEllipse(rect());
        const qreal s = BADGE_SIZE / 18.0;
        // Shackle, then the body with its keyhole.
        QPen shackle(Qt::white, 1.6 * s);
        p.setPen(shackle);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(6 * s, 3.5 * s, 6 * s, 7 * s), 0, 180 * 16);
        p.drawLine(QPointF(6 * s, 7 * s), QPointF(6 * s, 8.5 * s));
        p.drawLine(QPointF(12 * s, 7 * s), QPointF(12 * s, 8.5 * s));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(4.5 * s, 8 * s, 9 * s, 6.5 * s), 1.2 * s, 1.2 * s);
        p.setBrush(QColor(0xE0, 0x40, 0x30));
        p.drawEllipse(QPointF(9 * s, 11 * s), 1.1 * s, 1.1 * s);
    }
    void mousePressEvent(QMouseEvent *aoEvent) override { aoEvent->accept(); }
    void mouseReleaseEvent(QMouseEvent *aoEvent) override
    {
        aoEvent->accept();
        if (aoEvent->button() == Qt::LeftButton && rect().contains(aoEvent->position().toPoint()))
            moUnlock();
    }

private:
    std::function<void()> moUnlock;
};

} // namespace

TLayerLocks::TLayerLocks(TVuploraToolbar *aoToolbar, QObject *aoParent) : QObject(aoParent), moToolbar(aoToolbar)
{
    for (const TCategory &category : Categories()) {
        if (!Lockable(category.Type))
            continue;
        QWidget *tab = moToolbar->Tab(category.Type);
        moBadges[category.Type] = new TLockBadge(tab, [this, type = category.Type] { SetLocked(type, false); });
        moBadges[category.Type]->setObjectName(QStringLiteral("lock") + QLatin1String(category.TabName));
        tab->installEventFilter(this);
    }
}

bool TLayerLocks::Lockable(TYPE_FACE_ITEM fiType)
{
    return CategoryRules(fiType).Roll == TRandomRoll::EveryRoll;
}

bool TLayerLocks::Locked(TYPE_FACE_ITEM fiType) const
{
    return size_t(fiType) < mbLocked.size() && mbLocked[size_t(fiType)];
}

void TLayerLocks::SetLocked(TYPE_FACE_ITEM fiType, bool abLocked)
{
    if (!Lockable(fiType))
        return;
    mbLocked[fiType] = abLocked;
    moBadges[fiType]->setVisible(abLocked);
}

void TLayerLocks::Toggle(TYPE_FACE_ITEM fiType)
{
    SetLocked(fiType, !Locked(fiType));
}

void TLayerLocks::Clear()
{
    for (const TCategory &category : Categories())
        SetLocked(category.Type, false);
}

QWidget *TLayerLocks::Badge(TYPE_FACE_ITEM fiType) const
{
    return Lockable(fiType) ? moBadges[fiType] : nullptr;
}

bool TLayerLocks::eventFilter(QObject *aoWatched, QEvent *aoEvent)
{
    if (aoEvent->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(aoEvent)->button() == Qt::RightButton) {
        for (const TCategory &category : Categories())
            if (moToolbar->Tab(category.Type) == aoWatched) {
                Toggle(category.Type);
                return true;
            }
    }
    return QObject::eventFilter(aoWatched, aoEvent);
}
