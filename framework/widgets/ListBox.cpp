#include "framework/widgets/ListBox.h"

namespace framework {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_quiet)
            emit userSelectionChanged();
    });
}

void ListBox::selectQuietly(int row) {
    m_quiet = true;
    if (row >= 0 && row < count()) {
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    } else {
        clearSelection();
    }
    m_quiet = false;
}

// Every user action on an item (click, drag, keys, with or without Ctrl) makes that item the one
// selected item; an action that hits no item leaves the selection as it is.
QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index,
                                                              const QEvent* /*event*/) const {
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

int ListBox::selectedRow() const {
    const auto items = selectedItems();
    return items.isEmpty() ? -1 : row(items.first());
}

} // namespace framework
