// Helpers shared by the item chances tests: running a window modally under a script, reaching
// its widgets by control number, and recording the message boxes it shows.
#pragma once

#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "framework/MessageBox.h"
#include "res/ItemChanceControls.h"
#include "support/GuiHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalScript.h"
#include "support/ScriptedRun.h"

#include <QAbstractButton>
#include <QSlider>
#include <QTest>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace itemtest {

using namespace framework::win32;

using testsupport::Click;
using testsupport::Control;
using testsupport::Key;

using testsupport::Closing;
using testsupport::kLeftOpen;
using testsupport::MessageBoxRecorder;
using testsupport::RunScripted;

inline QSlider* Slider(framework::CDialog& window, int row) {
    return qobject_cast<QSlider*>(
        Control(window, res::kChanceSliders[static_cast<std::size_t>(row)]));
}

// Moves a slider to `pos` the way a user would: focus it, Home, then Right arrow steps.
inline void SetByKeys(framework::CDialog& window, int row, int pos) {
    QSlider* slider = Slider(window, row);
    QVERIFY2(slider != nullptr, "no slider in that row");
    slider->setFocus(Qt::TabFocusReason);
    QTest::keyClick(slider, Qt::Key_Home);
    for (int step = 0; step < pos; ++step)
        QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), pos);
}

// The message a refused OK shows for a given sum in percent.
inline std::string SumMessage(int percent) {
    return "Вероятность появления для всех предметов \n в сумме должна равняться 100%! "
           "Сейчас: " +
           std::to_string(percent) + "%";
}

} // namespace itemtest
