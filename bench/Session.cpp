// The program's windows in use, started like mirtconfig (its own application object, CConfigApp,
// and RunProgram), with the user's clicks made through the real buttons by modal scripts:
//   idle-settings      the settings window, open and idle
//   idle-mp3           the MP3 options window open over it, nothing playing
//   play               the MP3 options window playing a 60 s track (the only one in Music)
//   soak N             N track changes with the MP3 options window's "next" button, after a
//                      warm-up of 50; prints resident memory, open files and threads as JSON
//   presses N          N rounds of play, stop, next and previous on good tracks, then on a
//                      picture named .mp3, then N / 4 (at least one) rounds on a track whose
//                      reads are held back for 2 s; prints how long each press kept the window's
//                      thread, and how the window's event loop kept turning during the holds,
//                      as JSON
// The idle and play modes print "ready" once settled and stay open until the process is ended.
// Usage: mirt_bench_session --data DIR [--sink FACTORY] MODE [N]
#include "app/ConfigApp.h"
#include "app/Program.h"
#include "app/SettingsDlg.h"
#include "bench/BenchMedia.h"
#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "media/Graph.h"
#include "preview/Preview.h"
#include "res/Mp3OptionsControls.h"
#include "res/SettingsControls.h"
#include "settings/ConfigFile.h"
#include "support/ModalScript.h"
#include "support/ResourceUse.h"
#include "support/media/HeldSource.h"
#include "support/media/TestMedia.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using namespace framework::win32;

namespace fs = std::filesystem;
using framework::CDialog;
using testsupport::WhenNextDialogShows;

namespace {

constexpr int kSoakWarmUp = 50;
constexpr int kSoakSampleEvery = 50;

enum class Mode { IdleSettings, IdleMp3, Play, Soak, Presses };

Mode g_mode = Mode::IdleSettings;
int g_soakChanges = 1000;
int g_pressRounds = 20;
media::GraphOptions g_media;
media::Preview* g_sessionPreview = nullptr; // the settings window's preview
CMp3Player* g_sessionPlayer = nullptr;      // and its player

[[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "mirt_bench_session: %s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(1);
}

void Click(CDialog& window, int id) {
    auto* button = qobject_cast<QAbstractButton*>(window.Host()->control(id));
    if (button == nullptr || !button->isEnabled())
        Fail("button " + std::to_string(id) + " is missing or disabled");
    button->click();
}

void SayReadyAfter(CDialog& window, int ms) {
    QTimer::singleShot(ms, window.Host(), [] {
        std::printf("ready\n");
        std::fflush(stdout);
    });
}

struct Reading {
    long rssKiB;
    long files;
    long threads;
};

long ResidentKiB() {
    return static_cast<long>(testsupport::ResidentBytes() / 1024);
}

Reading Read() {
    return {ResidentKiB(), testsupport::OpenFiles(), testsupport::Threads()};
}

std::string Json(const Reading& r) {
    return "{\"rss_kib\": " + std::to_string(r.rssKiB) + ", \"files\": " + std::to_string(r.files) +
           ", \"threads\": " + std::to_string(r.threads) + "}";
}

// Runs `then` once the track that a press started plays, turning the event loop meanwhile;
// fails when it has not started within about five seconds.
void WhenPlaying(CDialog& window, std::string when, std::function<void()> then, int tries = 5000) {
    if (g_sessionPlayer->IsPlaying()) {
        then();
        return;
    }
    if (tries == 0 || (!g_sessionPlayer->IsLoading() && g_sessionPlayer->m_bLoaded == 0))
        Fail("not playing " + when);
    QTimer::singleShot(1, window.Host(), [&window, when = std::move(when), then, tries]() mutable {
        WhenPlaying(window, std::move(when), std::move(then), tries - 1);
    });
}

// Clicks "next" once per turn of the event loop, so the window repaints and its timer runs
// between track changes as it would for a user.
class Soak {
public:
    explicit Soak(CDialog& window) : m_window(window) {}

    void Start() {
        m_before = Read();
        Step();
    }

private:
    void Step() {
        if (m_done == kSoakWarmUp)
            m_warm = Read();
        if (m_done >= kSoakWarmUp && (m_done - kSoakWarmUp) % kSoakSampleEvery == 0)
            m_samples.push_back(ResidentKiB());
        if (m_done == kSoakWarmUp + g_soakChanges) {
            Finish();
            return;
        }
        Click(m_window, res::IDC_NEXT);
        WhenPlaying(m_window, "after track change " + std::to_string(m_done), [this] {
            ++m_done;
            Step();
        });
    }

    void Finish() {
        const Reading end = Read();
        Click(m_window, res::IDC_STOP);
        const Reading stopped = Read();
        std::string samples;
        for (long s : m_samples)
            samples += (samples.empty() ? "" : ", ") + std::to_string(s);
        std::printf("{\"warm_up\": %d, \"changes\": %d, \"before\": %s, \"after_warm_up\": %s, "
                    "\"end\": %s, \"stopped\": %s, \"rss_samples_kib\": [%s]}\n",
                    kSoakWarmUp, g_soakChanges, Json(m_before).c_str(), Json(m_warm).c_str(),
                    Json(end).c_str(), Json(stopped).c_str(), samples.c_str());
        std::fflush(stdout);
        m_window.EndDialog(IDCANCEL);
    }

    CDialog& m_window;
    int m_done = 0;
    Reading m_before{};
    Reading m_warm{};
    std::vector<long> m_samples;
};

// The tracks of the presses folder, in name order: three good ones, a picture named .mp3 and a
// good track whose reads can be held back.
constexpr int kGoodTracks = 3;
constexpr int kNoAudioTrack = 3;
constexpr int kHeldTrack = 4;
constexpr int kPressTracks = 5;
constexpr char kHeldLocation[] = "Music/5-held.mp3";
constexpr int kPressSpacingMs = 30;
constexpr int kHoldMs = 2000;
constexpr int kTickMs = 10;

// Presses the transport buttons one per turn of the event loop, each landing on a track of the
// kind under test, and times each from the click until control goes back to the event loop.
// While a held track's reads wait, a 10 ms timer of the window asks for a repaint at every tick;
// the largest gap between ticks and the paints that followed show whether the window went on.
class Presses : public QObject {
public:
    explicit Presses(CDialog& window) : m_window(window) {
        m_window.Host()->installEventFilter(this);
        m_ticker.setTimerType(Qt::PreciseTimer);
        m_ticker.setInterval(kTickMs);
        connect(&m_ticker, &QTimer::timeout, this, [this] { OnTick(); });
    }

    void Start() {
        for (int r = 0; r < g_pressRounds; ++r)
            Queue("good", r % kGoodTracks);
        for (int r = 0; r < g_pressRounds; ++r)
            Queue("no_audio", kNoAudioTrack);
        m_heldRounds = std::max(1, g_pressRounds / 4);
        Step();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched == m_window.Host() && m_ticker.isActive())
            ++m_paints;
        return false;
    }

private:
    struct Press {
        std::string kind;
        int button;
        int track; // the track the press is to land on
    };

    void Queue(const std::string& kind, int track) {
        for (int button : {res::IDC_PLAY, res::IDC_STOP, res::IDC_NEXT, res::IDC_PREVIOUS})
            m_queue.push_back({kind, button, track});
    }

    // NextTrack and PrevTrack move one on from the current track: start one before or after.
    void Aim(const Press& press) {
        int current = press.track;
        if (press.button == res::IDC_NEXT)
            current = (press.track + kPressTracks - 1) % kPressTracks;
        else if (press.button == res::IDC_PREVIOUS)
            current = (press.track + 1) % kPressTracks;
        if (press.button != res::IDC_STOP)
            g_sessionPreview->m_nTrack = current;
    }

    void Step() {
        if (m_next < m_queue.size()) {
            const Press press = m_queue[m_next++];
            Aim(press);
            QElapsedTimer clock;
            clock.start();
            Click(m_window, press.button);
            m_times[press.kind].push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
            QTimer::singleShot(kPressSpacingMs, m_window.Host(), [this] { Step(); });
            return;
        }
        if (m_holding)
            return; // EndHold goes on
        if (m_heldDone < m_heldRounds) {
            StartHold();
            return;
        }
        Finish();
    }

    // One round of presses on the held track, all while its reads wait; released after 2 s.
    void StartHold() {
        testmedia::HoldReads(kHeldLocation);
        m_holding = true;
        m_tickClock.start();
        m_lastTick = 0;
        m_ticker.start();
        Queue("held", kHeldTrack);
        QTimer::singleShot(kHoldMs, m_window.Host(), [this] { EndHold(); });
        Step();
    }

    void OnTick() {
        const qint64 now = m_tickClock.nsecsElapsed();
        m_largestGapMs = std::max(m_largestGapMs, static_cast<double>(now - m_lastTick) / 1e6);
        m_lastTick = now;
        ++m_ticks;
        m_window.Host()->update();
    }

    void EndHold() {
        m_ticker.stop();
        m_heldHeld = std::max(m_heldHeld, testmedia::HeldReads());
        testmedia::ReleaseReads();
        m_holding = false;
        ++m_heldDone;
        // The last press of the round played the held track: it starts once its reads go on.
        WhenPlaying(m_window, "after the held reads were let go", [this] { Step(); });
    }

    static std::string List(const std::vector<double>& values) {
        std::string text;
        for (double v : values)
            text += (text.empty() ? "" : ", ") + std::to_string(v);
        return "[" + text + "]";
    }

    void Finish() {
        Click(m_window, res::IDC_STOP);
        std::string kinds;
        for (const auto& [kind, times] : m_times)
            kinds += (kinds.empty() ? "" : ", ") + ("\"" + kind + "\": ") + List(times);
        std::printf("{\"press_ms\": {%s}, \"hold_ms\": %d, \"holds\": %d, \"tick_ms\": %d, "
                    "\"ticks\": %d, \"paints\": %d, \"largest_tick_gap_ms\": %f, "
                    "\"reads_held_at_once\": %d}\n",
                    kinds.c_str(), kHoldMs, m_heldDone, kTickMs, m_ticks, m_paints, m_largestGapMs,
                    m_heldHeld);
        std::fflush(stdout);
        m_window.EndDialog(IDCANCEL);
    }

    CDialog& m_window;
    std::vector<Press> m_queue;
    std::size_t m_next = 0;
    std::map<std::string, std::vector<double>> m_times;
    int m_heldRounds = 1;
    int m_heldDone = 0;
    int m_heldHeld = 0;
    bool m_holding = false;
    QTimer m_ticker;
    QElapsedTimer m_tickClock;
    qint64 m_lastTick = 0;
    int m_ticks = 0;
    int m_paints = 0;
    double m_largestGapMs = 0;
};

void OnMp3OptionsShown(CDialog& options) {
    switch (g_mode) {
    case Mode::IdleMp3:
        SayReadyAfter(options, 1000);
        break;
    case Mode::Play:
        Click(options, res::IDC_PLAY);
        WhenPlaying(options, "the 60 s track", [&options] { SayReadyAfter(options, 2000); });
        break;
    case Mode::Soak: {
        auto* soak = new Soak(options);
        soak->Start();
        break;
    }
    case Mode::Presses: {
        auto* presses = new Presses(options);
        presses->Start();
        break;
    }
    case Mode::IdleSettings:
        break;
    }
}

void OnSettingsShown(CDialog& settings) {
    g_sessionPreview = &dynamic_cast<CSettingsDlg&>(settings).Preview();
    g_sessionPlayer = &g_sessionPreview->Player();
    if (g_mode == Mode::IdleSettings) {
        SayReadyAfter(settings, 1000);
        return;
    }
    WhenNextDialogShows(OnMp3OptionsShown);
    Click(settings, res::IDC_MP3_OPTIONS);
    // The MP3 options window has closed (soak only): close the settings window as well.
    settings.EndDialog(IDCANCEL);
}

// A working folder as a player of the game has it: Config.cfg with the MP3 player switched on
// and a Music folder.
std::string PrepareFolder(const std::string& dataDir) {
    std::string error;
    std::string folder;
    if (g_mode == Mode::Play) {
        const std::string track = dataDir + "/tracks/tone-60s.mp3";
        if (!bench::EnsureMp3(track, 60, 440.0, error))
            Fail(error);
        folder = dataDir + "/play";
        fs::create_directories(folder + "/Music");
        if (!fs::exists(folder + "/Music/tone-60s.mp3"))
            fs::create_hard_link(track, folder + "/Music/tone-60s.mp3");
    } else if (g_mode == Mode::Presses) {
        std::array<std::string, 3> tracks;
        if (!bench::EnsureTracks(dataDir, tracks, error))
            Fail(error);
        folder = dataDir + "/presses";
        const std::string music = folder + "/Music/";
        fs::create_directories(music);
        const std::string links[] = {"1-tone0.mp3", "2-tone1.mp3", "3-tone2.mp3", "5-held.mp3"};
        for (int i = 0; i < 4; ++i) {
            if (!fs::exists(music + links[i]))
                fs::create_hard_link(tracks[static_cast<std::size_t>(i % 3)], music + links[i]);
        }
        if (!fs::exists(music + "4-no-audio.mp3") &&
            !testmedia::MakePng(music + "4-no-audio.mp3", error))
            Fail(error);
        // Every file is read through the source whose reads can be held back.
        if (!testmedia::RegisterHeldSource())
            Fail("the held source cannot be registered");
        g_media.source = testmedia::kHeldSourceFactory;
    } else {
        std::array<std::string, 3> tracks;
        if (!bench::EnsureTracks(dataDir, tracks, error))
            Fail(error);
        folder = bench::EnsureMusicFolder(dataDir, 3, tracks, error);
        if (folder.empty())
            Fail(error);
    }
    settings::ConfigRecord record;
    record.mp3Player = 1;
    if (!settings::SaveConfigFile((folder + "/Config.cfg").c_str(), record, &error))
        Fail(error);
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    std::string dataDir;
    std::vector<std::string_view> words;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--data" && i + 1 < argc)
            dataDir = argv[++i];
        else if (arg == "--sink" && i + 1 < argc)
            g_media.sink = argv[++i];
        else
            words.push_back(arg);
    }
    const std::string_view mode = words.empty() ? "" : words[0];
    if (mode == "idle-settings")
        g_mode = Mode::IdleSettings;
    else if (mode == "idle-mp3")
        g_mode = Mode::IdleMp3;
    else if (mode == "play")
        g_mode = Mode::Play;
    else if (mode == "soak")
        g_mode = Mode::Soak;
    else if (mode == "presses")
        g_mode = Mode::Presses;
    else
        dataDir.clear();
    if (words.size() > 1) {
        g_soakChanges = std::max(1, std::atoi(std::string(words[1]).c_str()));
        g_pressRounds = g_soakChanges;
    }
    if (dataDir.empty()) {
        std::fprintf(stderr,
                     "usage: %s --data DIR [--sink FACTORY] idle-settings|idle-mp3|play|soak "
                     "[N]|presses [N]\n",
                     argv[0]);
        return 2;
    }
    fs::current_path(PrepareFolder(fs::absolute(dataDir).string()));

    // The program's own application object and start (app/main.cpp), with the graph options of
    // the mode; the script takes over once the settings window shows.
    CConfigApp application(g_media);
    WhenNextDialogShows(OnSettingsShown);
    return RunProgram(argv[0]);
}
