// The environment for a copy of the program that a test starts as a process of its own. Under
// the sanitizers its leak check is left off: run at the process's exit, it races with the exits
// of GStreamer's and Qt's background threads and now and then takes what one of them is just
// releasing for a leak. The code of the windows and the preview is leak-checked in-process by
// the other tests. Under ThreadSanitizer its reports go to files of their own
// (<temporary folder>/mirt-tsan.PID), not to the standard error that tests read: GLib,
// GStreamer and Qt are not instrumented, and their hand-offs between threads are reported too.
#pragma once

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#if defined(__SANITIZE_THREAD__)
#define TESTSUPPORT_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TESTSUPPORT_TSAN 1
#endif
#endif

namespace testsupport {

inline QProcessEnvironment
ChildEnvironment(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) {
    const QString name = QStringLiteral("ASAN_OPTIONS");
    if (environment.contains(name))
        environment.insert(name, environment.value(name) + QStringLiteral(":detect_leaks=0"));
#ifdef TESTSUPPORT_TSAN
    const QString tsan = QStringLiteral("TSAN_OPTIONS");
    environment.insert(tsan, environment.value(tsan) + QStringLiteral(":log_path=") +
                                 QDir::tempPath() + QStringLiteral("/mirt-tsan"));
#endif
    return environment;
}

// Waits up to `milliseconds` for `program` to end; true when it did. Otherwise ends it, asking
// first, and gives false.
inline bool RunToTheEnd(QProcess& program, int milliseconds) {
    if (program.waitForFinished(milliseconds))
        return true;
    program.terminate();
    if (!program.waitForFinished(5000)) {
        program.kill();
        program.waitForFinished();
    }
    return false;
}

} // namespace testsupport
