#include "framework/ToolkitStart.h"

#include <QString>
#include <QtGlobal>

#include <mutex>
#include <unistd.h>
#include <vector>

namespace framework {
namespace {

// One message of the toolkit, kept with copies of its context so it can be passed on later.
struct HeldMessage {
    QtMsgType type;
    std::string file;
    int line;
    std::string function;
    std::string category;
    QString text;
};

struct GuardState {
    std::mutex mutex;
    QtMessageHandler previous = nullptr;
    std::string failureLine;
    std::vector<HeldMessage> held;
};

GuardState& State() {
    static GuardState state;
    return state;
}

const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

void PassOn(QtMessageHandler handler, const HeldMessage& message) {
    const QMessageLogContext context(OrNull(message.file), message.line, OrNull(message.function),
                                     OrNull(message.category));
    handler(message.type, context, message.text);
}

// Qt ends the start with a fatal message about its platform plugin when no window system
// answers: no display named, a display that names no server, or no usable plugin at all.
bool IsWindowSystemFailure(QtMsgType type, const QString& text) {
    return type == QtFatalMsg &&
           text.contains(QLatin1String("platform plugin"), Qt::CaseInsensitive);
}

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    GuardState& state = State();
    if (IsWindowSystemFailure(type, text)) {
        // Nothing else is printed: not the held warnings, not Qt's own text.
        const std::string& line = state.failureLine;
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
        ::_exit(1);
    }
    const std::lock_guard lock(state.mutex);
    state.held.push_back({type, context.file ? context.file : "", context.line,
                          context.function ? context.function : "",
                          context.category ? context.category : "", text});
    if (type == QtFatalMsg) {
        // Any other fatal message is the toolkit's own business: show everything as it came.
        for (const HeldMessage& message : state.held)
            PassOn(state.previous, message);
        state.held.clear();
    }
}

} // namespace

ToolkitStartGuard::ToolkitStartGuard(const std::string& programName) {
    GuardState& state = State();
    const std::lock_guard lock(state.mutex);
    state.failureLine =
        programName + ": no display available; start it from a desktop session or under Xvfb\n";
    state.held.clear();
    state.previous = qInstallMessageHandler(HoldMessage);
}

ToolkitStartGuard::~ToolkitStartGuard() {
    GuardState& state = State();
    std::vector<HeldMessage> held;
    QtMessageHandler previous = nullptr;
    {
        const std::lock_guard lock(state.mutex);
        previous = state.previous;
        qInstallMessageHandler(previous);
        held.swap(state.held);
    }
    for (const HeldMessage& message : held)
        PassOn(previous, message);
}

} // namespace framework
