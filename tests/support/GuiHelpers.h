// Small helpers for tests that drive the program's windows through their real widgets.
#pragma once

#include "framework/Dialog.h"
#include "framework/DialogHost.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace testsupport {

inline QWidget* Control(framework::CDialog& window, int id) {
    return window.Host() ? window.Host()->control(id) : nullptr;
}

template <class T>
T* ControlAs(framework::CDialog& window, int id) {
    return qobject_cast<T*>(Control(window, id));
}

inline void Click(framework::CDialog& window, int id) {
    auto* button = ControlAs<QAbstractButton>(window, id);
    QVERIFY2(button != nullptr, "no button with that number");
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

inline void ClickListRow(framework::CDialog& window, int id, int row) {
    auto* list = ControlAs<QListWidget>(window, id);
    QVERIFY2(list != nullptr, "no list with that number");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

// Moves the slider `id` to `pos` as a user would: focus it, Home, then Right arrow steps.
inline void MoveSliderByKeys(framework::CDialog& window, int id, int pos) {
    auto* slider = ControlAs<QSlider>(window, id);
    QVERIFY2(slider != nullptr, "no slider with that number");
    slider->setFocus(Qt::TabFocusReason);
    QTest::keyClick(slider, Qt::Key_Home);
    for (int step = 0; step < pos; ++step)
        QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), pos);
}

inline void Key(framework::CDialog& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = window.Host()->focusWidget();
    QTest::keyClick(target ? target : window.Host(), key, modifiers);
}

// Turns the event loop until `done` holds or `timeoutMs` have passed; whether it holds. Unlike
// QTest::qWaitFor it sleeps only until the next event, so a run of bus messages, each of which
// takes a turn of the loop, is handled at once.
template <class Predicate>
bool WaitUntil(Predicate done, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= timeoutMs)
            return false;
        QTimer wakeUp; // a bound on each wait, in case no event comes
        wakeUp.start(20);
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace testsupport
