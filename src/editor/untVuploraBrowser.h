#pragma once
// changeBox: the item browser. One square cell per item of the current
// category, in rows; each cell carries the TFaceItem of its item and shows the
// item's thumbnail over the common cell background.

#include "assets/untVuplora.h"

#include <QImage>
#include <QListWidget>

#include <memory>

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
    // Removes every cell and frees its TFaceItem.
    void ClearItems();

private:
    qreal mrItemSize = 0;
    QImage moThumbBack;
};
