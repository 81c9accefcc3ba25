// main() for the hardening tests: WINDOW_TEST_MAIN's, after moving the process into a mount
// namespace of its own (before any thread exists), where tests may mount file systems.
#pragma once

#include "SystemFaults.h"
#include "support/WindowTestMain.h"

#define HARDENING_TEST_MAIN(TestObject)                                                            \
    int main(int argc, char** argv) {                                                              \
        if (!hardening::EnterPrivateMountNamespace())                                              \
            qInfo("no private mount namespace (root only): the cases that mount will skip");       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return testsupport::RunWindowTests<TestObject>(argc, argv);                                \
    }
