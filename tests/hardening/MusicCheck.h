// What the hardening tests of the MP3 preview share: timing each transport operation under a
// watchdog, and the label and player state expected after it.
#pragma once

#include "SystemFaults.h"
#include "framework/Dialog.h"
#include "preview/Preview.h"
#include "res/Mp3OptionsControls.h"
#include "support/GuiHelpers.h"

#include <QLabel>
#include <QString>

#include <chrono>
#include <string>
#include <vector>

namespace hardening {

// Whether what the last press started is done: no render under way, and a file that is to
// play is playing.
inline bool Settled(const CMp3Player& player) {
    return !player.IsLoading() && (!player.m_bLoaded || player.IsStopped() || player.IsPlaying());
}

// Presses transport buttons one at a time, each under a watchdog that fails the test if the
// press does not return (how long presses take is measured in bench/). After each press it lets
// the render that the press started finish (untimed), so that the state can be checked.
class Transport {
public:
    Transport(framework::CDialog& window, media::Preview& preview)
        : m_window(window), m_preview(preview) {}

    void press(int button) {
        static const char* const names[] = {"play", "stop", "previous", "next"};
        const char* name = names[button - res::IDC_PLAY];
        Watchdog dog(std::chrono::seconds(10), QByteArray("the ") + name + " button");
        testsupport::Click(m_window, button);
        if (!testsupport::WaitUntil([this] { return Settled(m_preview.Player()); }) &&
            m_unsettled == nullptr)
            m_unsettled = name;
        ++m_count;
    }
    QString label() const {
        return testsupport::ControlAs<QLabel>(m_window, res::IDC_TRACK_LABEL)->text();
    }
    int count() const { return m_count; }
    media::Preview& preview() const { return m_preview; }
    // The first press whose render neither finished nor failed within ten seconds, if any.
    const char* unsettled() const { return m_unsettled; }

private:
    framework::CDialog& m_window;
    media::Preview& m_preview;
    int m_count = 0;
    const char* m_unsettled = nullptr;
};

// Whether a file is expected to play once it is the current track.
enum class Expect { Plays, DoesNotPlay, EitherWay };

struct Track {
    std::string name; // raw bytes of the file name
    Expect expect = Expect::Plays;
    QString label; // what the track label must show
};

// Checks the state after an operation that made the current track of `tracks` current; empty
// when right.
inline QString CheckCurrent(const Transport& transport, const std::vector<Track>& tracks,
                            bool playing) {
    const int current = transport.preview().m_nTrack;
    const CMp3Player& player = transport.preview().Player();
    if (transport.unsettled() != nullptr)
        return QString("the %1 button's track never settled").arg(transport.unsettled());
    if (current < 0 || current >= int(tracks.size())) {
        return QString("track number %1 out of 0..%2").arg(current).arg(tracks.size() - 1);
    }
    const Track& track = tracks[size_t(current)];
    if (transport.label() != track.label) {
        return QString("track %1: the label shows \"%2\", not \"%3\"")
            .arg(current)
            .arg(transport.label(), track.label);
    }
    if (track.expect == Expect::Plays && (player.m_bLoaded != 1 || player.IsPlaying() != playing)) {
        return QString("track %1 (%2) should be loaded and %3")
            .arg(current)
            .arg(track.label, playing ? "playing" : "stopped");
    }
    if (track.expect == Expect::DoesNotPlay && player.m_bLoaded != 0) {
        return QString("track %1 (%2) cannot be played but counts as loaded")
            .arg(current)
            .arg(track.label);
    }
    return {};
}

} // namespace hardening
