// Running a window modally under a test's script, always to its end.
#pragma once

#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "support/ModalScript.h"

#include <functional>
#include <utility>

namespace testsupport {

using WindowScript = std::function<void(framework::CDialog&)>;

// What a run returns when its script left the window open (a check in it failed, say), so the
// test fails visibly instead of hanging in the modal loop.
inline constexpr int kLeftOpen = 9999;

// Wraps a script so that its window always ends, whatever happened in the script.
inline testsupport::ModalScript Closing(WindowScript script) {
    return [script = std::move(script)](framework::CDialog& window) {
        script(window);
        if (window.Host() && window.Host()->isVisible())
            window.EndDialog(kLeftOpen);
    };
}

// Runs `window` modally with `script` driving it once it shows; returns how it ended.
inline int RunScripted(framework::CDialog& window, WindowScript script) {
    testsupport::WhenNextDialogShows(Closing(std::move(script)));
    return window.DoModal();
}

} // namespace testsupport
