// The media graph as the preview sees it: one file at a time, played through
// `<source> ! decodebin ! audioconvert ! audioresample ! volume ! <sink>`.
//
// This folder is the only code that knows GStreamer; the preview sees it through this header.
// GStreamer starts when the first graph is built, after the settings window's first paint.
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

protected:
    ~GraphListener() = default;
};

// Nothing here waits. Rendering a file starts its preroll and returns; whether it worked comes
// back through the event loop (GLib's default main context), and so does the end of the stream.
class Graph {
public:
    enum class Load { Empty, Rendering, Ready };

    virtual ~Graph() = default;

    // Makes the elements the first render will use, which shows whether every element the graph
    // needs is there. False, with the reason, when one is missing.
    virtual bool Build(std::string* reason) = 0;

    // Starts rendering `path` (raw bytes, as the file system has them) at `volume` (linear
    // amplitude, 1.0 unchanged) in place of whatever was rendered before. False when it cannot
    // even start: the graph could not be built, the name can be no file's, or too many earlier
    // files are still stuck in reads that never returned. Every other failure is reported to
    // the listener.
    virtual bool Render(const std::string& path, double volume) = 0;
    // Forgets the file; it is closed in the background.
    virtual void Unload() = 0;
    virtual Load load() const = 0;

    // Play, pause, or pause and go back to the start. Asked for while a render is under way,
    // they decide whether the file starts playing once it is ready. Nothing without a file.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Rewind() = 0;

    virtual bool IsRunning() const = 0;
    // Whether the stream has ended: played to its end, or stopped by an error on the way.
    virtual bool ReachedEnd() const = 0;
    // Where playback is; the start while a rewind is under way, where the stream ended once it
    // has.
    virtual std::optional<std::int64_t> Position() const = 0;
    // The decoder's estimate of the length when the file had prerolled.
    virtual std::optional<std::int64_t> Duration() const = 0;

    // Whether the file plays into no sound output: when its render started, the audio sink
    // could reach no sound server or device and fell back to playing into nothing, in real
    // time (autoaudiosink does so with a warning). Only a new render looks for the output again.
    virtual bool Silent() const = 0;

    // The current file's volume (linear amplitude); nothing without a file.
    virtual void SetVolume(double linear) = 0;
    virtual std::optional<double> Volume() const = 0;
};

// A new graph over GStreamer, not yet built.
std::unique_ptr<Graph> MakeGraph(const GraphOptions& options, GraphListener& listener);

// Waits up to `timeout` until every abandoned pipeline has been torn down; true when none is
// left. For tests; never needed for correctness.
bool WaitForBackgroundWork(std::chrono::milliseconds timeout);

} // namespace media
