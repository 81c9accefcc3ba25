// main() for the tests that open the program's windows: QTEST_MAIN's (a QApplication at 96 DPI),
// in the program's own style, Fusion, with the windows' templates and pictures registered before
// the test object is made, so that no test needs an initTestCase() for them.
#pragma once

#include "res/Resources.h"

#include <QApplication>
#include <QStyleFactory>
#include <QtTest>

namespace testsupport {

template <class TestObject>
int RunWindowTests(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    res::RegisterResources();
    TestObject test;
    return QTest::qExec(&test, argc, argv);
}

} // namespace testsupport

#define WINDOW_TEST_MAIN(TestObject)                                                               \
    int main(int argc, char** argv) {                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return testsupport::RunWindowTests<TestObject>(argc, argv);                                \
    }
