// A single-selection list whose itemSelectionChanged tells only of the user's changes. As in
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

protected:
    // Paints the frame's edges over the style's (see PaintEdges).
    bool event(QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
};

} // namespace framework
