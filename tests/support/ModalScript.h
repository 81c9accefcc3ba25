// Lets a test drive modal windows: a script queued here runs inside the next modal run that
// starts, once its window is initialised, and may end it or open further windows. A script
// belongs to the QtTest function and data row that queued it: one still waiting when another
// test starts (its test failed before the window opened) is dropped with a warning, so that it
// never drives the next test's window.
#pragma once

#include <functional>

namespace framework {
class CDialog;
}

namespace testsupport {

using ModalScript = std::function<void(framework::CDialog& window)>;

void WhenNextDialogShows(ModalScript script);
// Whether scripts of the current test wait for their windows.
bool HasPendingScripts();

} // namespace testsupport
