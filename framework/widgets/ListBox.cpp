#include "framework/widgets/ListBox.h"

#include "framework/widgets/Static.h"

#include <QEvent>
#include <QSignalBlocker>

namespace framework {

ListBox::ListBox(QWidget* parent) : QListWidget(parent) {
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
}

// The list's signals are held back meanwhile: itemSelectionChanged tells of the user's changes.
void ListBox::selectQuietly(int row) {
    const QSignalBlocker quiet(this);
    if (row >= 0 && row < count())
        setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    else
        clearSelection();
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

bool ListBox::event(QEvent* event) {
    const bool handled = QListWidget::event(event);
    if (event->type() == QEvent::Paint)
        PaintEdges(*this, palette().color(QPalette::Mid), palette().color(QPalette::Mid));
    return handled;
}

} // namespace framework
