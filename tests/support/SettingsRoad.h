// The settings window run end to end, as the program runs it, in the current folder: the
// fixture of the tests that follow a user from the settings window through its sub-windows to
// Config.cfg. Message boxes are answered with OK and recorded.
#pragma once

#include "app/SettingsDlg.h"
#include "support/MessageBoxRecorder.h"
#include "support/QuietPreview.h"
#include "support/ScriptedRun.h"

#include <utility>

namespace testsupport {

class SettingsRoad {
public:
    explicit SettingsRoad(media::GraphOptions preview = QuietPreview())
        : m_preview(std::move(preview)) {}

    // Runs the settings window with `script` driving it (it reaches the window's preview through
    // the CSettingsDlg it is given); returns how the window ended.
    int Run(std::function<void(CSettingsDlg&)> script) {
        CSettingsDlg window(m_preview);
        return RunScripted(
            window, [&window, script = std::move(script)](framework::CDialog&) { script(window); });
    }

    MessageBoxRecorder& boxes() { return m_boxes; }

private:
    media::GraphOptions m_preview;
    MessageBoxRecorder m_boxes;
};

} // namespace testsupport
