// Track changes in one process, timed by Google Benchmark:
//   NextTrack/N       media::NextTrack with N files in the Music folder (three of them real
//                     30 s tracks, the rest empty), from the call until the graph is PLAYING:
//                     it lists the folder, rebuilds the graph, prerolls and plays.
//   BareListing/10000 one reading of that Music folder (opendir and readdir, nothing else): the
//                     floor of what a press in a large folder adds.
//   ReferencePreroll  a bare `filesrc ! decodebin ! audioconvert ! audioresample ! volume !
//                     fakesink` pipeline built for the same files and prerolled (PAUSED).
//   PlayFile/30s      the play press (PlayCurrentTrack) until PLAYING, in a Music folder that
//   PlayFile/1h       holds one file: a 30 s track, or a one-hour 320 kbit/s CBR file made of
//                     copies of a one-minute lame file.
// All render into fakesink (sync=true). Repetitions are interleaved at random.
// With --file-memory the program instead plays each of the two files once in a fresh graph and
// prints, as JSON, the resident memory before the press and its peak from the press until the
// track has played for a second.
// Usage: mirt_bench_tracks --data DIR [--repetitions N] [--file-memory] [Google Benchmark flags]
#include "bench/BenchMedia.h"
#include "bench/ReferencePipeline.h"
#include "media/Graph.h"
#include "media/GstHandles.h"
#include "media/GstSetup.h"
#include "preview/Preview.h"
#include "support/ResourceUse.h"
#include "support/media/TestMedia.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <dirent.h>

namespace fs = std::filesystem;

namespace {

std::string g_dataDir;
std::array<std::string, 3> g_tracks;

// The sizes of the Music folders of NextTrack/N.
constexpr std::array<int, 4> kFolderSizes{3, 100, 1000, 10000};

class SilentLabel final : public media::TrackLabel {
public:
    void SetText(std::string) override {}
    void Show() override {}
};

// The working directory NextTrack reads, restored when the benchmark ends.
class WorkingDir {
public:
    explicit WorkingDir(const std::string& folder) : m_previous(fs::current_path()) {
        fs::current_path(folder);
    }
    ~WorkingDir() { fs::current_path(m_previous); }
    WorkingDir(const WorkingDir&) = delete;
    WorkingDir& operator=(const WorkingDir&) = delete;

private:
    fs::path m_previous;
};

// Turns GLib's default main context, which delivers the preview's bus messages, until the
// player plays the track or gives up on it. False when it did not play.
bool RunUntilPlaying(const CMp3Player& player) {
    while (!player.IsPlaying()) {
        if (!player.IsLoading() && player.m_bLoaded == 0)
            return false;
        g_main_context_iteration(nullptr, TRUE);
    }
    return true;
}

// A person's presses are far apart: the previous press's background work (the teardown of the
// track before) is over when the next one comes. Back to back, each teardown overlapped the
// next preroll.
void SettleBetweenPresses() {
    media::WaitForBackgroundWork(std::chrono::seconds(5));
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

// Runs `body` with a preview whose working folder is `folder` (none: `error` says why) and
// whose graph is built, into fakesink; skips the benchmark when either cannot be had.
template <typename Body>
void WithPreview(benchmark::State& state, const std::string& folder, const std::string& error,
                 Body body) {
    if (folder.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    WorkingDir workingDir(folder);
    media::Preview preview(media::GraphOptions{"fakesink", true});
    if (InitDirectShow(preview) != 0) {
        state.SkipWithError("no media graph");
        return;
    }
    body(preview);
}

// NextTrack presses onto the real tracks of a folder of `count` files, one after the other.
void BM_NextTrack(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    std::string error;
    const std::string folder = bench::EnsureMusicFolder(g_dataDir, count, g_tracks, error);
    WithPreview(state, folder, error, [&](media::Preview& preview) {
        const std::array<int, 3> real = bench::RealTrackIndices(count);
        SilentLabel label;
        std::size_t next = 0;
        for (auto _ : state) {
            state.PauseTiming();
            // NextTrack moves one on: start just before a real track (before the first: at the
            // last, so that it wraps round).
            const int target = real[next++ % real.size()];
            preview.m_nTrack = target == 0 ? static_cast<int>(count) - 1 : target - 1;
            SettleBetweenPresses();
            state.ResumeTiming();

            preview.NextTrack(label);
            if (!RunUntilPlaying(preview.Player())) {
                state.SkipWithError("the track did not play");
                break;
            }
        }
    });
}

void BM_BareListing(benchmark::State& state) {
    std::string error;
    const std::string music =
        bench::EnsureMusicFolder(g_dataDir, static_cast<std::size_t>(state.range(0)), g_tracks,
                                 error) +
        "/Music";
    for (auto _ : state) {
        const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(music.c_str()), &closedir);
        int entries = 0;
        while (dir && readdir(dir.get()) != nullptr)
            ++entries;
        benchmark::DoNotOptimize(entries);
    }
}

// A folder `dataDir`/`name` whose Music folder holds only `track` (a hard link).
std::string SingleTrackFolder(const std::string& name, const std::string& track,
                              std::string& error) {
    const std::string folder = g_dataDir + "/" + name;
    const fs::path link = fs::path(folder) / "Music" / fs::path(track).filename();
    std::error_code ec;
    fs::create_directories(link.parent_path(), ec);
    if (!ec && !fs::exists(link))
        fs::create_hard_link(track, link, ec);
    if (ec) {
        error = "cannot make " + link.string() + ": " + ec.message();
        return {};
    }
    return folder;
}

// The one-hour file, made once (it takes a few seconds).
bool EnsureHourFile(std::string& path, std::string& error) {
    path = g_dataDir + "/tracks/hour-320k.mp3";
    if (fs::exists(path))
        return true;
    std::int64_t end = 0;
    const std::string partial = path + ".partial";
    if (!testmedia::MakeLongMp3(partial, 60, 320, end, error))
        return false;
    fs::rename(partial, path);
    return true;
}

// The play press on the one track of the folder, until it plays: each press renders the file
// anew, in place of the one playing.
void BM_PlayFile(benchmark::State& state, bool hour) {
    std::string error;
    std::string track;
    if (!hour)
        track = g_tracks[0];
    else if (!EnsureHourFile(track, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::string folder = SingleTrackFolder(hour ? "play-1h" : "play-30s", track, error);
    WithPreview(state, folder, error, [&](media::Preview& preview) {
        SilentLabel label;
        for (auto _ : state) {
            state.PauseTiming();
            SettleBetweenPresses();
            state.ResumeTiming();
            preview.PlayCurrentTrack(label);
            if (!RunUntilPlaying(preview.Player())) {
                state.SkipWithError("the track did not play");
                break;
            }
        }
    });
}

long StatusKiB(const char* field) {
    std::ifstream status("/proc/self/status");
    const std::string prefix = std::string(field) + ":";
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

// Starts a new peak of the resident memory (VmHWM) at the present resident memory.
bool ResetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

// How long the track plays before the peak is read.
constexpr auto kPlayingFor = std::chrono::seconds(1);

// Plays `track` with the play press in a fresh graph (after one warm-up play of it) and reads the
// resident memory before the press, and its peak from the press until the track has played for
// a second.
std::string FileMemory(const std::string& name, const std::string& track) {
    std::string error;
    const std::string folder = SingleTrackFolder(name, track, error);
    if (folder.empty())
        return "{\"error\": \"" + error + "\"}";
    WorkingDir workingDir(folder);
    media::Preview preview(media::GraphOptions{"fakesink", true});
    SilentLabel label;
    // Warm-up: the plugins, the threads and the allocator's pools of a first play.
    InitDirectShow(preview);
    preview.PlayCurrentTrack(label);
    RunUntilPlaying(preview.Player());
    FreeDirectShow(preview);
    media::WaitForBackgroundWork(std::chrono::seconds(30));
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    InitDirectShow(preview);

    const bool reset = ResetPeakMemory();
    const auto before = static_cast<long>(testsupport::ResidentBytes() / 1024);
    preview.PlayCurrentTrack(label);
    const bool played = RunUntilPlaying(preview.Player());
    const auto until = std::chrono::steady_clock::now() + kPlayingFor;
    while (played && std::chrono::steady_clock::now() < until) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const long peak = StatusKiB("VmHWM");
    const bool stillPlaying = preview.Player().IsPlaying();
    FreeDirectShow(preview);
    media::WaitForBackgroundWork(std::chrono::seconds(30));
    return "{\"file\": \"" + name + "\", \"bytes\": " + std::to_string(fs::file_size(track)) +
           ", \"peak_reset\": " + (reset ? "true" : "false") +
           ", \"played\": " + (played ? "true" : "false") + ", \"playing_after_ms\": " +
           std::to_string(std::chrono::milliseconds(kPlayingFor).count()) +
           ", \"still_playing\": " + (stillPlaying ? "true" : "false") +
           ", \"rss_before_kib\": " + std::to_string(before) +
           ", \"peak_kib\": " + std::to_string(peak) + "}";
}

void BM_ReferencePreroll(benchmark::State& state) {
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string& path = g_tracks[next++ % g_tracks.size()];
        GstElement* pipeline = bench::MakeReferencePipeline(path.c_str(), "fakesink");
        gst_element_set_state(pipeline, GST_STATE_PAUSED);
        const GstStateChangeReturn result =
            gst_element_get_state(pipeline, nullptr, nullptr, 5 * GST_SECOND);

        state.PauseTiming();
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
        if (result != GST_STATE_CHANGE_SUCCESS) {
            state.SkipWithError(("the reference pipeline did not preroll: " +
                                 std::string(gst_element_state_change_return_get_name(result)))
                                    .c_str());
            break;
        }
        state.ResumeTiming();
    }
}

double Min(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}
double Max(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}

void Configure(benchmark::internal::Benchmark* b, int repetitions) {
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinWarmUpTime(0.3)
        ->Repetitions(repetitions)
        ->ComputeStatistics("min", Min)
        ->ComputeStatistics("max", Max)
        ->DisplayAggregatesOnly();
}

} // namespace

int main(int argc, char** argv) {
    int repetitions = 10;
    bool fileMemory = false;
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--data" && i + 1 < argc) {
            g_dataDir = argv[++i];
        } else if (arg == "--file-memory") {
            fileMemory = true;
        } else if (arg.rfind("--repetitions=", 0) == 0) {
            repetitions = std::max(1, std::atoi(argv[i] + 14));
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (g_dataDir.empty()) {
        std::fprintf(stderr,
                     "usage: %s --data DIR [--repetitions=N] [--file-memory] [benchmark flags]\n",
                     argv[0]);
        return 2;
    }
    g_dataDir = fs::absolute(g_dataDir).string();
    std::string error;
    if (!media::EnsureGstInit(&error) || !bench::EnsureTracks(g_dataDir, g_tracks, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::string hour;
    if (!EnsureHourFile(hour, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    // Every folder is made here, before anything is timed.
    for (const int size : kFolderSizes) {
        if (bench::EnsureMusicFolder(g_dataDir, static_cast<std::size_t>(size), g_tracks, error)
                .empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    if (fileMemory) {
        std::printf("[%s,\n %s]\n", FileMemory("memory-30s", g_tracks[0]).c_str(),
                    FileMemory("memory-1h", hour).c_str());
        return 0;
    }
    auto* nextTrack = benchmark::RegisterBenchmark("NextTrack", BM_NextTrack);
    for (const int count : kFolderSizes)
        nextTrack->Arg(count);
    Configure(nextTrack, repetitions);
    Configure(benchmark::RegisterBenchmark("BareListing", BM_BareListing)->Arg(10000), repetitions);
    Configure(benchmark::RegisterBenchmark("ReferencePreroll", BM_ReferencePreroll), repetitions);
    Configure(benchmark::RegisterBenchmark("PlayFile/30s", BM_PlayFile, false), repetitions);
    Configure(benchmark::RegisterBenchmark("PlayFile/1h", BM_PlayFile, true), repetitions);

    int restArgc = static_cast<int>(rest.size());
    benchmark::Initialize(&restArgc, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restArgc, rest.data()))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
