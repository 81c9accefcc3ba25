// A single-selection list that reports a selection change only when the user makes it. As in
// the classic list box, the user can move the selection but never take it away: a click below
// the items only takes the focus, and Ctrl changes nothing. Only the code clears it.
#pragma once

#include <QListWidget>

namespace framework {

class ListBox : public QListWidget {
    Q_OBJECT
public:
    explicit ListBox(QWidget* parent);

    void selectQuietly(int row); // -1 clears the selection
    int selectedRow() const;

signals:
    void userSelectionChanged();

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    bool m_quiet = false;
};

} // namespace framework
