#include "support/ModalScript.h"

#include "framework/Dialog.h"
#include "framework/DialogHost.h"

#include <QByteArray>
#include <QTest>
#include <QTimer>

#include <deque>

namespace testsupport {
namespace {

struct Queued {
    ModalScript script;
    QByteArray test; // the test function and data row that queued it
};

std::deque<Queued>& Pending() {
    static std::deque<Queued> scripts;
    return scripts;
}

// The QtTest function and data row under way; "()" outside a QtTest run.
QByteArray CurrentTest() {
    return QByteArray(QTest::currentTestFunction()) + '(' + QTest::currentDataTag() + ')';
}

void DropScriptsOfOtherTests() {
    const QByteArray current = CurrentTest();
    while (!Pending().empty() && Pending().front().test != current) {
        qWarning("a modal script of %s never ran: dropped", Pending().front().test.constData());
        Pending().pop_front();
    }
}

// Runs the next script once the event loop of the modal run that has just begun turns.
void RunNextScript(framework::CDialog& window) {
    DropScriptsOfOtherTests();
    if (Pending().empty())
        return;
    ModalScript script = std::move(Pending().front().script);
    Pending().pop_front();
    QTimer::singleShot(0, window.Host(), [script = std::move(script), &window] { script(window); });
}

} // namespace

void WhenNextDialogShows(ModalScript script) {
    framework::SetModalRunObserver(&RunNextScript);
    DropScriptsOfOtherTests();
    Pending().push_back({std::move(script), CurrentTest()});
}
bool HasPendingScripts() {
    DropScriptsOfOtherTests();
    return !Pending().empty();
}

} // namespace testsupport
