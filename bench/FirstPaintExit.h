// Ends a benchmarked process right after the first paint of its main window, so that the time
// from process start to exit is the time to the first paint. The paint itself has been drawn
// and flushed by the time the event loop comes back to posted work, which is when the process
// ends; `delayMs` lets work queued after the first paint run as well (for memory readings).
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <utility>

namespace bench {

class FirstPaintExit : public QObject {
public:
    // `isMainWindow` tells which top-level widget counts; `onExit` runs just before the exit.
    FirstPaintExit(std::function<bool(const QWidget&)> isMainWindow, int delayMs,
                   std::function<void(const QWidget&)> onExit)
        : m_isMainWindow(std::move(isMainWindow)), m_delayMs(delayMs), m_onExit(std::move(onExit)) {
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (!widget->isWindow() || !m_isMainWindow(*widget))
            return false;
        // One paint is enough: stop looking at every event of the process.
        QCoreApplication::instance()->removeEventFilter(this);
        QTimer::singleShot(m_delayMs, widget, [this, widget] {
            if (m_onExit)
                m_onExit(*widget);
            std::fflush(stdout);
            std::fflush(stderr);
            // No teardown: the measurement ends here.
            std::_Exit(0);
        });
        return false;
    }

private:
    std::function<bool(const QWidget&)> m_isMainWindow;
    int m_delayMs;
    std::function<void(const QWidget&)> m_onExit;
};

} // namespace bench
