// Helpers shared by the item chances tests: running a window modally under a script, reaching
// its widgets by control number, and recording the message boxes it shows.
#pragma once

#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "framework/MessageBox.h"
#include "framework/testing/ModalScript.h"
#include "res/ItemChanceControls.h"
#include "support/GuiHelpers.h"

#include <QAbstractButton>
#include <QSlider>
#include <QTest>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace itemtest {

using namespace framework::win32;

using testsupport::Click;
using testsupport::Control;
using testsupport::Key;

// What a run returns when its script left the window open, so the test fails visibly
// instead of hanging in the modal loop.
inline constexpr int kLeftOpen = 9999;

// Wraps a script so the window always ends, even when a check inside it failed.
inline framework::testing::ModalScript Closing(std::function<void(framework::CDialog&)> script) {
    return [script = std::move(script)](framework::CDialog& window) {
        script(window);
        if (window.Host() && window.Host()->isVisible())
            window.EndDialog(kLeftOpen);
    };
}

inline int Run(framework::CDialog& window, std::function<void(framework::CDialog&)> script) {
    framework::testing::WhenNextDialogShows(Closing(std::move(script)));
    return window.DoModal();
}

inline QSlider* Slider(framework::CDialog& window, int row) {
    return qobject_cast<QSlider*>(
        Control(window, res::kChanceSliders[static_cast<std::size_t>(row)]));
}

// Moves a slider to `pos` the way a user would: focus it, Home, then Right arrow steps.
inline void SetByKeys(framework::CDialog& window, int row, int pos) {
    QSlider* slider = Slider(window, row);
    QVERIFY2(slider != nullptr, "no slider in that row");
    slider->setFocus(Qt::TabFocusReason);
    QTest::keyClick(slider, Qt::Key_Home);
    for (int step = 0; step < pos; ++step)
        QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), pos);
}

// Answers every message box with OK and keeps what it said.
class MessageBoxRecorder {
public:
    struct Shown {
        std::string text;
        std::string caption;
    };

    MessageBoxRecorder() {
        framework::SetMessageBoxHook([this](const std::string& text, const std::string& caption) {
            m_shown.push_back({text, caption});
            return IDOK;
        });
    }
    ~MessageBoxRecorder() { framework::SetMessageBoxHook(nullptr); }
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<Shown>& shown() const { return m_shown; }
    std::vector<Shown> withCaption(const std::string& caption) const {
        std::vector<Shown> matching;
        for (const Shown& box : m_shown) {
            if (box.caption == caption)
                matching.push_back(box);
        }
        return matching;
    }

private:
    std::vector<Shown> m_shown;
};

// The message a refused OK shows for a given sum in percent.
inline std::string SumMessage(int percent) {
    return "Вероятность появления для всех предметов \n в сумме должна равняться 100%! "
           "Сейчас: " +
           std::to_string(percent) + "%";
}

} // namespace itemtest
