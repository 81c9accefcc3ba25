#include "framework/ToolkitStart.h"

#include <QString>
#include <QtGlobal>

#include <unistd.h>

namespace framework {
namespace {

struct GuardState {
    QtMessageHandler previous = nullptr;
    std::string failureLine;
    StandardErrorHold* hold = nullptr;
};

GuardState& State() {
    static GuardState state;
    return state;
}

// Only async-signal-safe calls: it runs inside Qt's fatal message, which aborts on return.
[[noreturn]] void PrintOneLineAndEnd() noexcept {
    GuardState& state = State();
    if (state.hold != nullptr)
        state.hold->Discard();
    const std::string& line = state.failureLine;
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    ::_exit(1);
}

// The toolkit's start ends with a fatal message only when no window system answers: no
// plugin of the name asked for, a display that names no server, no graphics or framebuffer
// device. Everything else goes its usual way, into the held standard error.
void WatchMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg)
        PrintOneLineAndEnd();
    State().previous(type, context, text);
}

} // namespace

ToolkitStartGuard::ToolkitStartGuard(const std::string& programName) {
    GuardState& state = State();
    state.failureLine =
        programName + ": no display available; start it from a desktop session or under Xvfb\n";
    state.hold = &m_hold;
    state.previous = qInstallMessageHandler(WatchMessage);
}

ToolkitStartGuard::~ToolkitStartGuard() {
    GuardState& state = State();
    qInstallMessageHandler(state.previous);
    state.hold = nullptr;
}

void ToolkitStartGuard::EndForWantOfDisplay() const noexcept {
    PrintOneLineAndEnd();
}

} // namespace framework
