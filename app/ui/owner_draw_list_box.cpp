// The owner-drawn list: a model of item pointers and a delegate that lets each item draw
// itself and handle the mouse over its row.
#include "app/ui/owner_draw_list_box.h"

#include <QAbstractListModel>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

class OwnerDrawModel : public QAbstractListModel {
public:
    explicit OwnerDrawModel(QObject* parent) : QAbstractListModel(parent) {}
    ~OwnerDrawModel() override
    {
        for (CROwnerDrawItemBase* item : m_items)
            delete item;
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_items.size()); }
    QVariant data(const QModelIndex&, int) const override { return {}; }

    CROwnerDrawItemBase* At(int row) const { return row >= 0 && row < int(m_items.size()) ? m_items[row] : nullptr; }

    int Find(const CROwnerDrawItemBase* item) const
    {
        for (size_t row = 0; row < m_items.size(); ++row) {
            if (m_items[row] == item)
                return int(row);
        }
        return -1;
    }

    void Insert(int row, std::unique_ptr<CROwnerDrawItemBase> item)
    {
        beginInsertRows({}, row, row);
        m_items.insert(m_items.begin() + row, item.release());
        endInsertRows();
    }

    std::unique_ptr<CROwnerDrawItemBase> Take(int row)
    {
        beginRemoveRows({}, row, row);
        std::unique_ptr<CROwnerDrawItemBase> item(m_items[row]);
        m_items.erase(m_items.begin() + row);
        endRemoveRows();
        return item;
    }

private:
    std::vector<CROwnerDrawItemBase*> m_items;
};

namespace {

class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    OwnerDrawDelegate(CROwnerDrawListBox* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (CROwnerDrawItemBase* item = m_list->GetItem(index.row()))
            item->Draw(*painter, option.rect, option);
    }

    // As narrow as can be: a row then spans the viewport's width.
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {1, m_list->GetRowHeight()};
    }

    bool editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override
    {
        CROwnerDrawItemBase* item = m_list->GetItem(index.row());
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            return item && item->OnMouse(*mouse, mouse->position().toPoint() - option.rect.topLeft());
        }
        default:
            return false;
        }
    }

private:
    CROwnerDrawListBox* m_list;
};

}  // namespace

CROwnerDrawItemBase::~CROwnerDrawItemBase() = default;

void CROwnerDrawItemBase::Draw(QPainter&, const QRect&, const QStyleOptionViewItem&) {}

bool CROwnerDrawItemBase::OnMouse(const QMouseEvent&, const QPoint&)
{
    return false;
}

CROwnerDrawListBox::CROwnerDrawListBox(QWidget* parent) : QListView(parent), m_model(new OwnerDrawModel(this))
{
    setModel(m_model);
    setItemDelegate(new OwnerDrawDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

CROwnerDrawListBox::~CROwnerDrawListBox() = default;

void CROwnerDrawListBox::SetRowHeight(int height)
{
    m_rowHeight = std::max(1, height);
    scheduleDelayedItemsLayout();
}

int CROwnerDrawListBox::GetCount() const
{
    return m_model->rowCount();
}

int CROwnerDrawListBox::GetTopIndex() const
{
    const QModelIndex top = indexAt(QPoint(0, 0));
    return top.isValid() ? top.row() : 0;
}

int CROwnerDrawListBox::InsertItem(int index, std::unique_ptr<CROwnerDrawItemBase> item)
{
    const int count = GetCount();
    if (!item || index > count || index < -1)
        return -1;
    const int row = index == -1 ? count : index;
    m_model->Insert(row, std::move(item));
    return row;
}

std::unique_ptr<CROwnerDrawItemBase> CROwnerDrawListBox::RemoveItem(int index)
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_model->Take(index);
}

CROwnerDrawItemBase* CROwnerDrawListBox::GetItem(int index) const
{
    return m_model->At(index);
}

int CROwnerDrawListBox::FindItem(const CROwnerDrawItemBase* item) const
{
    return m_model->Find(item);
}

bool CROwnerDrawListBox::GetRowRect(int index, QRect* rect) const
{
    const int shown = index - GetTopIndex();
    if (shown < 0 || index >= GetCount())
        return false;
    *rect = QRect(0, shown * m_rowHeight, viewport()->width(), m_rowHeight);
    return true;
}

void CROwnerDrawListBox::InvalidateItem(const CROwnerDrawItemBase* item, const QRect* rect)
{
    QRect row;
    if (!GetRowRect(FindItem(item), &row))
        return;
    viewport()->update(rect ? rect->translated(row.topLeft()) : row);
}

bool CROwnerDrawListBox::RemoveAll()
{
    for (int row = GetCount() - 1; row >= 0; --row) {
        if (!CanDeleteItem(GetItem(row)))
            return false;
        RemoveItem(row);
    }
    return true;
}

bool CROwnerDrawListBox::CanDeleteItem(CROwnerDrawItemBase*)
{
    return true;
}
