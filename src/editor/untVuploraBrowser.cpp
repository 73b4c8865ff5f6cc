#include "editor/untVuploraBrowser.h"

#include "editor/untImageControl.h"

#include <QPainter>
#include <QTimer>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QtMath>

namespace {

// Insets inside a cell: the cell's own padding, then the background picture's.
constexpr int CELL_PADDING = 5;
constexpr int THUMBBACK_PADDING = 2;

class TCellDelegate : public QStyledItemDelegate {
public:
    explicit TCellDelegate(TItemBrowser *aoBrowser)
        : QStyledItemDelegate(aoBrowser), moBrowser(aoBrowser) {}

    void paint(QPainter *aoPainter, const QStyleOptionViewItem &aoOption,
               const QModelIndex &aoIndex) const override
    {
        const TBrowserCell *cell = moBrowser->Cell(aoIndex.row());
        if (!cell)
            return;
        aoPainter->save();
        aoPainter->setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF box(aoOption.rect);
        if (aoOption.state & QStyle::State_Selected)
            aoPainter->fillRect(box, aoOption.palette.highlight());
        const QRectF back = box.adjusted(CELL_PADDING, CELL_PADDING, -CELL_PADDING, -CELL_PADDING);
        if (!moBrowser->ThumbBack().isNull())
            aoPainter->drawImage(back, moBrowser->ThumbBack());
        const QRectF thumb = back.adjusted(THUMBBACK_PADDING, THUMBBACK_PADDING,
                                           -THUMBBACK_PADDING, -THUMBBACK_PADDING);
        if (!cell->Thumb().isNull())
            aoPainter->drawImage(FitRect(cell->Thumb().size(), thumb), cell->Thumb());
        aoPainter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        const int size = qFloor(moBrowser->ItemSize());
        return QSize(size, size);
    }

private:
    TItemBrowser *moBrowser;
};

} // namespace

TBrowserCell::TBrowserCell(std::unique_ptr<TFaceItem> aoItem, const QImage &aoThumb)
    : moFaceItem(std::move(aoItem)), moThumb(aoThumb)
{
}

TItemBrowser::TItemBrowser(QWidget *aoParent) : QListWidget(aoParent)
{
    setObjectName(QStringLiteral("changeBox"));
    setViewMode(QListView::IconMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameShape(QFrame::NoFrame);
    setItemDelegate(new TCellDelegate(this));
}

int TItemBrowser::ClientWidth() const
{
    // The scroll bar is always shown, so the client width does not change when
    // a long category needs it.
    return width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width();
}

void TItemBrowser::SetItemSize(qreal arSize, int aiPerRow)
{
    mrItemSize = arSize;
    // Each cell gets an equal share of the client width, its square box centred
    // in it. The list wraps a row that reaches the last pixel, hence the - 1.
    const int size = qFloor(arSize);
    const int share = qMax(size, (ClientWidth() - 1) / qMax(1, aiPerRow));
    setGridSize(QSize(share, size + 10));
    doItemsLayout();
}

void TItemBrowser::AddCell(std::unique_ptr<TFaceItem> aoItem, const QImage &aoThumb)
{
    addItem(new TBrowserCell(std::move(aoItem), aoThumb));
}

TBrowserCell *TItemBrowser::Cell(int aiRow) const
{
    return static_cast<TBrowserCell *>(item(aiRow));
}

void TItemBrowser::ClearItems()
{
    // Deleting a cell frees its TFaceItem with it.
    if (miHolds == 0) {
        clear();
        return;
    }
    while (count() > 0)
        moRetired.emplace_back(takeItem(count() - 1));
}

void TItemBrowser::FreeRetired()
{
    moRetired.clear();
}

TItemBrowser::THold::THold(TItemBrowser *aoBrowser) : moBrowser(aoBrowser)
{
    ++moBrowser->miHolds;
}

TItemBrowser::THold::~THold()
{
    if (!moBrowser)
        return;
    if (--moBrowser->miHolds > 0)
        return;
    // The handler that took the hold is still on the stack when this runs;
    // the cells go once control is back in the event loop.
    QTimer::singleShot(0, moBrowser.data(), [browser = moBrowser] {
        if (browser && browser->miHolds == 0)
            browser->FreeRetired();
    });
}
