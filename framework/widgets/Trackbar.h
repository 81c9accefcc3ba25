// A slider that behaves like the classic trackbar: its keys, its page size of a fifth of the
// range, and its notification that a move finished.
#pragma once

#include "framework/Win32Types.h"

#include <QSlider>

namespace framework {

class Trackbar : public QSlider {
    Q_OBJECT
public:
    Trackbar(Qt::Orientation orientation, QWidget* parent);
    // A trackbar with the orientation and tick marks that a style asks for.
    static Trackbar* create(DWORD style, QWidget* parent);

    // Sets the position without notifying, limited to the range.
    void setPositionQuietly(int pos);
    // The page size follows the range, as the classic control's default does.
    void setRangeAndPage(int minimum, int maximum);

signals:
    void endTrack(); // a move by any mouse button, the keyboard or the wheel finished

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    Qt::MouseButton m_pressedButton = Qt::NoButton;
    bool m_keyMoved = false;
    int m_wheelRemainder = 0;
};

} // namespace framework
