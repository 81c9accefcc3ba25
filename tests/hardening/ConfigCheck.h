// What the hardening tests of Config.cfg share: the bytes a record becomes, reading a path
// without ever blocking on it, and running the settings window once with OK.
#pragma once

#include "SystemFaults.h"
#include "app/SettingsDlg.h"
#include "res/SettingsControls.h"
#include "settings/ConfigFormat.h"
#include "settings/GameSettings.h"
#include "support/GuiHelpers.h"
#include "support/ModalScript.h"
#include "support/SettingsRoad.h"

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

inline const QString kSaveError =
    QStringLiteral("ОШИБКА|Не удалось сохранить настройки в файл Config.cfg!");

inline QByteArray Encoded(const settings::ConfigRecord& rec) {
    const settings::ConfigBytes bytes = settings::EncodeConfig(rec);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// The contents of a regular file (links followed) or a marker saying what is there instead.
// Never opens anything but a regular file, so a FIFO or device cannot block or flood it. The
// path is taken as raw bytes, so names that are not UTF-8 work too.
inline QByteArray Contents(const QByteArray& raw) {
    struct stat st {};
    if (::lstat(raw.constData(), &st) != 0) {
        return "<missing>";
    }
    if (S_ISLNK(st.st_mode) && ::stat(raw.constData(), &st) != 0) {
        return "<dangling or looping link>";
    }
    if (!S_ISREG(st.st_mode)) {
        return "<not a regular file>";
    }
    if (st.st_size > 4096) {
        return "<" + QByteArray::number(qint64(st.st_size)) + " bytes>";
    }
    const int fd = ::open(raw.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return "<unreadable>";
    }
    QByteArray bytes(4096, '\0');
    qsizetype got = 0;
    for (ssize_t n; (n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got))) > 0;) {
        got += n;
    }
    ::close(fd);
    bytes.truncate(got);
    return bytes;
}

inline QByteArray Contents(const QString& path) {
    return Contents(QFile::encodeName(path));
}

// Sets the values that live outside the settings window; a failed load must keep them.
inline void SetGlobals(const settings::ConfigRecord& rec) {
    g_nVolume = rec.volume;
    g_bAlwaysRandom = rec.alwaysRandom;
    std::copy(std::begin(rec.itemChance), std::end(rec.itemChance), g_nItemChance);
}

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
