// CROwnerDrawListBox: a list of rows of equal height, each drawn by its own item object
// (CROwnerDrawItemBase), which also gets the mouse events over its row. The list owns its
// items: removing a row with RemoveItem hands the item back, RemoveAll deletes them.
#pragma once

#include <QListView>
#include <QStyleOptionViewItem>
#include <memory>

class QMouseEvent;
class OwnerDrawModel;

class CROwnerDrawItemBase {
public:
    virtual ~CROwnerDrawItemBase();
    // Draws the row into rect; option carries the row's state (selected and others).
    virtual void Draw(QPainter& painter, const QRect& rect, const QStyleOptionViewItem& option);
    // A mouse event over the row, at point relative to the row's top-left corner: true
    // when the row handled it (the list then leaves its selection alone).
    virtual bool OnMouse(const QMouseEvent& event, const QPoint& point);
};

class CROwnerDrawListBox : public QListView {
public:
    explicit CROwnerDrawListBox(QWidget* parent = nullptr);
    ~CROwnerDrawListBox() override;

    void SetRowHeight(int height);
    int GetRowHeight() const { return m_rowHeight; }
    int GetCount() const;
    // The first row shown.
    int GetTopIndex() const;

    // Inserts the item as row index (-1: at the end): the row; -1 for a null item or an
    // index past the end, when the item is deleted.
    int InsertItem(int index, std::unique_ptr<CROwnerDrawItemBase> item);
    // Takes the row out and hands its item back; null past the end.
    std::unique_ptr<CROwnerDrawItemBase> RemoveItem(int index);
    // The row's item, null past the end.
    CROwnerDrawItemBase* GetItem(int index) const;
    // The lowest row holding the item, or -1.
    int FindItem(const CROwnerDrawItemBase* item) const;
    // The row's rectangle in the viewport: the viewport's width, one row high, counted
    // from the top row; false for rows above the top row or past the end.
    bool GetRowRect(int index, QRect* rect) const;
    // Repaints the item's row, or only rect (relative to the row) within it; rows above
    // the top row are not repainted.
    void InvalidateItem(const CROwnerDrawItemBase* item, const QRect* rect = nullptr);
    // Removes and deletes every item, from the last row up, while CanDeleteItem allows:
    // false at the first it refuses (the rows above it stay).
    bool RemoveAll();

protected:
    // Whether RemoveAll may delete the item; the base allows every one.
    virtual bool CanDeleteItem(CROwnerDrawItemBase* item);

private:
    OwnerDrawModel* m_model;
    int m_rowHeight = 16;
};
