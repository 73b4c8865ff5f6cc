#pragma once
// changeBox: the item browser. One square cell per item of the current
// category, in rows; each cell carries the TFaceItem of its item and shows the
// item's thumbnail over the common cell background.

#include "assets/untVuplora.h"

#include <QImage>
#include <QListWidget>
#include <QPointer>

#include <memory>
#include <vector>

class TBrowserCell : public QListWidgetItem {
public:
    TBrowserCell(std::unique_ptr<TFaceItem> aoItem, const QImage &aoThumb);
    TFaceItem *FaceItem() const { return moFaceItem.get(); }
    const QImage &Thumb() const { return moThumb; }

private:
    std::unique_ptr<TFaceItem> moFaceItem;
    QImage moThumb;
};

class TItemBrowser : public QListWidget {
    Q_OBJECT
public:
    explicit TItemBrowser(QWidget *aoParent = nullptr);

    // Width of the area the cells are laid out in.
    int ClientWidth() const;
    // Cells are arSize x arSize, aiPerRow of them in a row.
    void SetItemSize(qreal arSize, int aiPerRow);
    qreal ItemSize() const { return mrItemSize; }

    // The picture behind every cell's thumbnail (imgThumbback).
    void SetThumbBack(const QImage &aoPicture) { moThumbBack = aoPicture; }
    const QImage &ThumbBack() const { return moThumbBack; }

    void AddCell(std::unique_ptr<TFaceItem> aoItem, const QImage &aoThumb);
    TBrowserCell *Cell(int aiRow) const;
    // Removes every cell and frees its TFaceItem. While a hold is in force the
    // removed cells are kept alive until the last hold ends: a cell's click
    // handler may still be running when its browser is refilled.
    void ClearItems();

    // Keeps removed cells alive for its lifetime.
    class THold {
    public:
        explicit THold(TItemBrowser *aoBrowser);
        ~THold();
        THold(const THold &) = delete;
        THold &operator=(const THold &) = delete;

    private:
        QPointer<TItemBrowser> moBrowser;
    };
    // Cells removed under a hold and not yet freed.
    int RetiredCount() const { return static_cast<int>(moRetired.size()); }

private:
    void FreeRetired();
    int miHolds = 0;
    std::vector<std::unique_ptr<QListWidgetItem>> moRetired;
    qreal mrItemSize = 0;
    QImage moThumbBack;
};
