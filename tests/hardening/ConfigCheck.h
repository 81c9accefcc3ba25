// What the hardening tests of Config.cfg share: the bytes a record becomes and running the
// settings window once with OK.
#pragma once

#include "SystemFaults.h"
#include "app/SettingsDlg.h"
#include "res/SettingsControls.h"
#include "settings/ConfigFormat.h"
#include "settings/GameSettings.h"
#include "support/ConfigFileBytes.h"
#include "support/GuiHelpers.h"
#include "support/ModalScript.h"
#include "support/SettingValues.h"
#include "support/SettingsRoad.h"
#include "support/SmallFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <iterator>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace hardening {

using namespace framework::win32;
using testsupport::ConfigFileBytes;
using testsupport::Raw;
using testsupport::ReadFile;
using testsupport::WriteFile;

inline const QString kSaveError =
    QStringLiteral("ОШИБКА|Не удалось сохранить настройки в файл Config.cfg!");

// The record the window holds: its three switches as shown, the rest from the globals.
inline settings::ConfigRecord RecordShown(framework::CDialog& w) {
    settings::ConfigRecord rec{g_nVolume, g_bAlwaysRandom};
    rec.mp3Player = testsupport::ControlAs<QAbstractButton>(w, res::IDC_MP3_PLAYER)->isChecked();
    rec.sound = testsupport::ControlAs<QAbstractButton>(w, res::IDC_SOUND)->isChecked();
    rec.playXm = testsupport::ControlAs<QAbstractButton>(w, res::IDC_PLAY_XM)->isChecked();
    std::copy(std::begin(g_nItemChance), std::end(g_nItemChance), rec.itemChance);
    return rec;
}

// One run of the settings window in the current folder: it opens, the test notes what it
// shows, OK is pressed, and when the window stays open after that (a failed save) it is
// cancelled. A watchdog fails the test at once if opening or saving blocks.
struct WindowRun {
    settings::ConfigRecord shown;
    qint64 openMs = -1;
    int result = 0;
    QStringList messages;
    bool pressOk = true;
    // Changes made in the window before OK (nothing by default).
    std::function<void(framework::CDialog&)> edit;

    void run() {
        testsupport::SettingsRoad road;
        QElapsedTimer clock;
        clock.start();
        Watchdog opening(std::chrono::seconds(20), "the settings window did not open");
        std::optional<Watchdog> saving;
        result = road.Run([&](CSettingsDlg& w) {
            openMs = clock.elapsed();
            opening.disarm();
            shown = RecordShown(w);
            saving.emplace(std::chrono::seconds(20), "OK did not return");
            if (edit) {
                edit(w);
            }
            if (pressOk) {
                testsupport::Click(w, IDOK);
            }
            if (w.Host()->isVisible()) {
                testsupport::Click(w, IDCANCEL);
            }
            saving->disarm();
        });
        messages = road.boxes().lines();
    }
};

} // namespace hardening
