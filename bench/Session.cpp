// The program's windows in use, started like mirtconfig (the application object runs the
// settings window modally), with the user's clicks made through the real buttons:
//   idle-settings      the settings window, open and idle
//   idle-mp3           the MP3 options window open over it, nothing playing
//   play               the MP3 options window playing a 60 s track (the only one in Music)
//   soak N             N track changes with the MP3 options window's "next" button, after a
//                      warm-up of 50; prints resident memory, open files and threads as JSON
// The idle and play modes print "ready" once settled and stay open until the process is ended.
// Usage: mirt_bench_session --data DIR [--sink FACTORY] MODE [N]
#include "app/SettingsDlg.h"
#include "bench/BenchMedia.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "framework/testing/ModalScript.h"
#include "preview/Pipeline.h"
#include "preview/Preview.h"
#include "res/Resources.h"
#include "settings/ConfigFile.h"

#include <QAbstractButton>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;
using framework::CDialog;
using framework::testing::WhenNextDialogShows;

namespace {

constexpr int kMp3Options = 1005;
constexpr int kPlay = 1010;
constexpr int kStop = 1011;
constexpr int kNext = 1013;
constexpr int kSoakWarmUp = 50;
constexpr int kSoakSampleEvery = 50;

enum class Mode { IdleSettings, IdleMp3, Play, Soak };

Mode g_mode = Mode::IdleSettings;
int g_soakChanges = 1000;
media::GraphOptions g_media;
CMp3Player* g_sessionPlayer = nullptr; // the settings window's preview player

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
    int files;
    int threads;
};

Reading Read() {
    return {bench::ResidentKiB(), bench::OpenFiles(), bench::Threads()};
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
            m_samples.push_back(bench::ResidentKiB());
        if (m_done == kSoakWarmUp + g_soakChanges) {
            Finish();
            return;
        }
        Click(m_window, kNext);
        WhenPlaying(m_window, "after track change " + std::to_string(m_done), [this] {
            ++m_done;
            Step();
        });
    }

    void Finish() {
        const Reading end = Read();
        Click(m_window, kStop);
        const Reading stopped = Read();
        std::string samples;
        for (long s : m_samples)
            samples += (samples.empty() ? "" : ", ") + std::to_string(s);
        std::printf("{\"warm_up\": %d, \"changes\": %d, \"before\": %s, \"after_warm_up\": %s, "
                    "\"end\": %s, \"stopped\": %s, \"rss_samples_kib\": [%s]}\n",
                    kSoakWarmUp, g_soakChanges, Json(m_before).c_str(), Json(m_warm).c_str(),
                    Json(end).c_str(), Json(stopped).c_str(), samples.c_str());
        std::fflush(stdout);
        m_window.EndDialog(framework::win32::IDCANCEL);
    }

    CDialog& m_window;
    int m_done = 0;
    Reading m_before{};
    Reading m_warm{};
    std::vector<long> m_samples;
};

void OnMp3OptionsShown(CDialog& options) {
    switch (g_mode) {
    case Mode::IdleMp3:
        SayReadyAfter(options, 1000);
        break;
    case Mode::Play:
        Click(options, kPlay);
        WhenPlaying(options, "the 60 s track", [&options] { SayReadyAfter(options, 2000); });
        break;
    case Mode::Soak: {
        auto* soak = new Soak(options);
        soak->Start();
        break;
    }
    case Mode::IdleSettings:
        break;
    }
}

void OnSettingsShown(CDialog& settings) {
    g_sessionPlayer = &dynamic_cast<CSettingsDlg&>(settings).Preview().Player();
    if (g_mode == Mode::IdleSettings) {
        SayReadyAfter(settings, 1000);
        return;
    }
    WhenNextDialogShows(OnMp3OptionsShown);
    Click(settings, kMp3Options);
    // The MP3 options window has closed (soak only): close the settings window as well.
    settings.EndDialog(framework::win32::IDCANCEL);
}

// The program's own application object, with the sink given on the command line.
class SessionApp : public framework::CWinApp {
public:
    BOOL InitInstance() override {
        WhenNextDialogShows(OnSettingsShown);
        CSettingsDlg dialog(g_media);
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
};

SessionApp theApp;

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
    else
        dataDir.clear();
    if (words.size() > 1)
        g_soakChanges = std::max(1, std::atoi(std::string(words[1]).c_str()));
    if (dataDir.empty()) {
        std::fprintf(stderr,
                     "usage: %s --data DIR [--sink FACTORY] idle-settings|idle-mp3|play|soak [N]\n",
                     argv[0]);
        return 2;
    }
    fs::current_path(PrepareFolder(fs::absolute(dataDir).string()));

    res::RegisterResources();
    return framework::RunApplication(argv[0]);
}
