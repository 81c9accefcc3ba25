// main() for the hardening tests: like QTEST_MAIN, but first moves the process into a mount
// namespace of its own (before any thread exists), where tests may mount file systems.
#pragma once

#include "SystemFaults.h"

#include <QApplication>
#include <QtTest>

#define HARDENING_TEST_MAIN(TestObject)                                                            \
    int main(int argc, char** argv) {                                                              \
        const bool privateMounts = hardening::EnterPrivateMountNamespace();                        \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        if (!privateMounts)                                                                        \
            qInfo("no private mount namespace (root only): the cases that mount will skip");       \
        TestObject test;                                                                           \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
