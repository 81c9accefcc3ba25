// Lets a test drive modal windows: a script queued here runs inside the next modal run that
// starts, once its window is initialised, and may end it or open further windows.
#pragma once

#include <functional>

namespace framework {
class CDialog;
}

namespace testsupport {

using ModalScript = std::function<void(framework::CDialog& window)>;

void WhenNextDialogShows(ModalScript script);
bool HasPendingScripts();
void ClearPendingScripts();

} // namespace testsupport
