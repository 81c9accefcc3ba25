// Small helpers for tests that drive the program's windows through their real widgets.
#pragma once

#include "framework/Dialog.h"
#include "framework/DialogHost.h"

#include <QAbstractButton>
#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

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

inline void Key(framework::CDialog& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = window.Host()->focusWidget();
    QTest::keyClick(target ? target : window.Host(), key, modifiers);
}

// Runs a test inside a fresh working folder and returns to the previous one afterwards.
class ScopedWorkingDir {
public:
    ScopedWorkingDir() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~ScopedWorkingDir() { QDir::setCurrent(m_previous); }
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace testsupport
