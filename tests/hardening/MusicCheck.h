// What the hardening tests of the MP3 preview share: timing each transport operation under a
// watchdog, and the label and player state expected after it.
#pragma once

#include "SystemFaults.h"
#include "framework/Dialog.h"
#include "preview/Player.h"
#include "preview/TrackCursor.h"
#include "support/GuiHelpers.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QString>

#include <chrono>
#include <string>
#include <vector>

namespace hardening {

enum ButtonId { kPlay = 1010, kStop = 1011, kPrevious = 1012, kNext = 1013, kTrackLabel = 1009 };

// Presses transport buttons one at a time, each under a watchdog that fails the test if the
// press does not return, and keeps the slowest time for the report.
class Transport {
public:
    explicit Transport(framework::CDialog& window) : m_window(window) {}

    void press(int button) {
        static const char* const names[] = {"play", "stop", "previous", "next"};
        const char* name = names[button - kPlay];
        Watchdog dog(std::chrono::seconds(10), QByteArray("the ") + name + " button");
        QElapsedTimer clock;
        clock.start();
        testsupport::Click(m_window, button);
        const qint64 ms = clock.elapsed();
        ++m_count;
        if (ms > m_slowestMs) {
            m_slowestMs = ms;
            m_slowest = name;
        }
    }
    QString label() const { return testsupport::ControlAs<QLabel>(m_window, kTrackLabel)->text(); }
    int count() const { return m_count; }
    qint64 slowestMs() const { return m_slowestMs; }
    const char* slowest() const { return m_slowest; }

private:
    framework::CDialog& m_window;
    int m_count = 0;
    qint64 m_slowestMs = 0;
    const char* m_slowest = "none";
};

// Whether a file is expected to play once it is the current track.
enum class Expect { Plays, DoesNotPlay, EitherWay };

struct Track {
    std::string name; // raw bytes of the file name
    Expect expect = Expect::Plays;
    QString label; // what the track label must show
};

// Checks the state after an operation that made `tracks[g_nTrack]` current; empty when right.
inline QString CheckCurrent(const Transport& transport, const std::vector<Track>& tracks,
                            bool playing) {
    if (g_nTrack < 0 || g_nTrack >= int(tracks.size())) {
        return QString("track number %1 out of 0..%2").arg(g_nTrack).arg(tracks.size() - 1);
    }
    const Track& track = tracks[size_t(g_nTrack)];
    if (transport.label() != track.label) {
        return QString("track %1: the label shows \"%2\", not \"%3\"")
            .arg(g_nTrack)
            .arg(transport.label(), track.label);
    }
    if (track.expect == Expect::Plays &&
        (g_player.m_bLoaded != 1 || g_player.IsPlaying() != playing)) {
        return QString("track %1 (%2) should be loaded and %3")
            .arg(g_nTrack)
            .arg(track.label, playing ? "playing" : "stopped");
    }
    if (track.expect == Expect::DoesNotPlay && g_player.m_bLoaded != 0) {
        return QString("track %1 (%2) cannot be played but counts as loaded")
            .arg(g_nTrack)
            .arg(track.label);
    }
    return {};
}

} // namespace hardening
