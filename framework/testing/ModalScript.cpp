#include "framework/testing/ModalScript.h"

#include "framework/Dialog.h"
#include "framework/DialogHost.h"

#include <QTimer>

#include <deque>

namespace framework::testing {
namespace {

std::deque<ModalScript>& Pending() {
    static std::deque<ModalScript> scripts;
    return scripts;
}

} // namespace

void WhenNextDialogShows(ModalScript script) {
    Pending().push_back(std::move(script));
}
bool HasPendingScripts() {
    return !Pending().empty();
}
void ClearPendingScripts() {
    Pending().clear();
}

namespace detail {

void ModalShown(CDialog& window) {
    if (Pending().empty())
        return;
    ModalScript script = std::move(Pending().front());
    Pending().pop_front();
    QTimer::singleShot(0, window.Host(), [script = std::move(script), &window] { script(window); });
}

} // namespace detail
} // namespace framework::testing
