// The media graph as the player sees it: one file at a time, played through
// `<source> ! decodebin ! audioconvert ! audioresample ! volume ! <sink>`.
//
// The graph itself lives in the media module (libmirtconfig-media.so, preview/MediaGraph.*),
// the only code that links GStreamer. The module is loaded when the first graph is made, so that
// GStreamer's libraries are neither loaded nor relocated while the program starts and its first
// window appears.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace media {

// What a media graph is built from. The program keeps the defaults; tests play into fakesink,
// unsynchronised to run a file to its end at once or synchronised to play in real time, and
// may read files through a source element of their own.
struct GraphOptions {
    std::string sink = "autoaudiosink";
    bool sync = true; // applied only when the sink has a "sync" property
    std::string source = "filesrc";
    // A render that has not prerolled by then has stalled (a read that never returns) and
    // counts as failed. Files that can be played preroll in milliseconds.
    std::chrono::milliseconds renderTimeout{5000};
};

// Told what becomes of the file being rendered, on the GUI thread.
class GraphListener {
public:
    // The render of the last file asked for finished: it prerolled (ok) or cannot be played.
    virtual void OnRenderFinished(bool ok) = 0;
    // Where the rendered file really ends, in nanoseconds.
    virtual void OnEndFound(std::int64_t end) = 0;

protected:
    ~GraphListener() = default;
};

// Nothing here waits. Rendering a file starts its preroll and returns; whether it worked comes
// back through the event loop (GLib's default main context), and so do the end of the stream and
// the exact end of the track.
class Graph {
public:
    enum class Load { Empty, Rendering, Ready };

    virtual ~Graph() = default;

    // Makes the elements the first render will use, which shows whether every element the graph
    // needs is there. False, with the reason, when one is missing.
    virtual bool Build(std::string* reason) = 0;

    // Starts rendering `path` (raw bytes, as the file system has them) in place of whatever was
    // rendered before. False only when it cannot even start (the graph could not be built, or
    // the name can be no file's); every other failure is reported to the listener.
    virtual bool Render(const std::string& path) = 0;
    // Forgets the file; it is closed in the background.
    virtual void Unload() = 0;
    virtual Load load() const = 0;

    // Play, pause, or pause and go back to the start. Asked for while a render is under way,
    // they decide whether the file starts playing once it is ready. Nothing without a file.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Rewind() = 0;

    virtual bool IsRunning() const = 0;
    virtual bool ReachedEnd() const = 0;
    // Where playback is; the start while a rewind is under way, the end once it is reached.
    virtual std::optional<std::int64_t> Position() const = 0;
    // The decoder's estimate of the length when the file had prerolled.
    virtual std::optional<std::int64_t> Duration() const = 0;

    // Linear amplitude (1.0 is unchanged), kept for every file rendered later too.
    virtual void SetVolume(double linear) = 0;
    virtual double Volume() const = 0;
};

// A new graph from the media module, which is loaded the first time; null, with the reason,
// when the module cannot be loaded.
std::unique_ptr<Graph> MakeGraph(const GraphOptions& options, GraphListener& listener,
                                 std::string* reason);

// Waits up to `timeout` until every abandoned pipeline has been torn down and every other piece
// of background media work (end scans) has finished; true when none is left (also when the
// module was never loaded). For the end of the program and for tests; never needed for
// correctness.
bool WaitForBackgroundWork(std::chrono::milliseconds timeout);

// What the module's entry point (kMediaModuleEntry, extern "C") gives the program.
struct MediaModule {
    int version;
    std::unique_ptr<Graph> (*makeGraph)(const GraphOptions& options, GraphListener& listener);
    bool (*waitForBackgroundWork)(std::chrono::milliseconds timeout);
};
inline constexpr int kMediaModuleVersion = 1;
inline constexpr char kMediaModuleFile[] = "libmirtconfig-media.so";
inline constexpr char kMediaModuleEntry[] = "mirt_media_module";

} // namespace media
