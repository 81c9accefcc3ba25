// A single-selection list that reports a selection change only when the user makes it.
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

private:
    bool m_quiet = false;
};

} // namespace framework
