// The environment for a copy of the program that a test starts as a process of its own. Under
// the sanitizers its leak check is left off: run at the process's exit, it races with the exits
// of GStreamer's and Qt's background threads and now and then takes what one of them is just
// releasing for a leak. The code of the windows and the preview is leak-checked in-process by
// the other tests.
#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace testsupport {

inline QProcessEnvironment
ChildEnvironment(QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) {
    const QString name = QStringLiteral("ASAN_OPTIONS");
    if (environment.contains(name))
        environment.insert(name, environment.value(name) + QStringLiteral(":detect_leaks=0"));
    return environment;
}

} // namespace testsupport
