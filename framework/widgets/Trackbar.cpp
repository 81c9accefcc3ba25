#include "framework/widgets/Trackbar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>

namespace framework {

Trackbar::Trackbar(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    setRangeAndPage(0, 100);
    setFocusPolicy(Qt::StrongFocus);
    // The classic vertical trackbar has its minimum at the top (its keys and wheel are below).
    setInvertedAppearance(orientation == Qt::Vertical);
}

Trackbar* Trackbar::create(DWORD style, QWidget* parent) {
    const bool vertical = style & TBS_VERT;
    auto* slider = new Trackbar(vertical ? Qt::Vertical : Qt::Horizontal, parent);
    if ((style & TBS_NOTICKS) || !(style & TBS_AUTOTICKS))
        slider->setTickPosition(QSlider::NoTicks);
    else if (style & TBS_BOTH)
        slider->setTickPosition(QSlider::TicksBothSides);
    else
        slider->setTickPosition(vertical ? QSlider::TicksRight : QSlider::TicksBelow);
    slider->setTickInterval(1);
    return slider;
}

void Trackbar::setPositionQuietly(int pos) {
    const QSignalBlocker blocker(this);
    setValue(pos); // limited to the range by the slider itself
}

void Trackbar::setRangeAndPage(int minimum, int maximum) {
    const QSignalBlocker blocker(this);
    setRange(minimum, maximum);
    setPageStep(std::max(1, (maximum - minimum) / 5));
}

// Left and Up move towards the minimum, Right and Down towards the maximum, whatever the
// orientation; Page Up/Down move a page, Home and End go to the ends. The slider keeps each
// move within its range.
void Trackbar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        setValue(value() - singleStep());
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        setValue(value() + singleStep());
        break;
    case Qt::Key_PageUp:
        setValue(value() - pageStep());
        break;
    case Qt::Key_PageDown:
        setValue(value() + pageStep());
        break;
    case Qt::Key_Home:
        setValue(minimum());
        break;
    case Qt::Key_End:
        setValue(maximum());
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    m_keyMoved = true;
    event->accept();
}

void Trackbar::keyReleaseEvent(QKeyEvent* event) {
    if (m_keyMoved && !event->isAutoRepeat()) {
        m_keyMoved = false;
        emit endTrack();
    }
    QSlider::keyReleaseEvent(event);
}

// Whichever button pressed on the control owns the move until it goes up; presses of other
// buttons meanwhile belong to that move. The slider itself decides what each button does (the
// left one pages or drags, the middle one jumps to the point and drags).
void Trackbar::mousePressEvent(QMouseEvent* event) {
    // A move whose button went up unseen (the mouse was taken away meanwhile) ends first.
    if (m_pressedButton != Qt::NoButton && !(event->buttons() & m_pressedButton))
        emit endTrack();
    if (m_pressedButton == Qt::NoButton || !(event->buttons() & m_pressedButton))
        m_pressedButton = event->button();
    QSlider::mousePressEvent(event);
}

void Trackbar::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    if (event->button() == m_pressedButton) {
        m_pressedButton = Qt::NoButton;
        emit endTrack();
    }
}

void Trackbar::wheelEvent(QWheelEvent* event) {
    // One notch (120) moves one line; turning the wheel away from the user moves towards the
    // minimum, which is the top of a vertical trackbar.
    m_wheelRemainder +=
        event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    const int notches = m_wheelRemainder / 120;
    m_wheelRemainder -= notches * 120;
    if (notches != 0) {
        const int before = value();
        setValue(value() - notches * singleStep());
        if (value() != before)
            emit endTrack();
    }
    event->accept();
}

} // namespace framework
