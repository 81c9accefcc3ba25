#include "support/ModalScript.h"

#include "framework/Dialog.h"
#include "framework/DialogHost.h"

#include <QTimer>

#include <deque>

namespace testsupport {
namespace {

std::deque<ModalScript>& Pending() {
    static std::deque<ModalScript> scripts;
    return scripts;
}

// Runs the next script once the event loop of the modal run that has just begun turns.
void RunNextScript(framework::CDialog& window) {
    if (Pending().empty())
        return;
    ModalScript script = std::move(Pending().front());
    Pending().pop_front();
    QTimer::singleShot(0, window.Host(), [script = std::move(script), &window] { script(window); });
}

} // namespace

void WhenNextDialogShows(ModalScript script) {
    framework::SetModalRunObserver(&RunNextScript);
    Pending().push_back(std::move(script));
}
bool HasPendingScripts() {
    return !Pending().empty();
}
void ClearPendingScripts() {
    Pending().clear();
}

} // namespace testsupport
