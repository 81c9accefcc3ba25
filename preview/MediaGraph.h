// The preview's media graph: one file at a time, played through
// `<source> ! decodebin ! audioconvert ! audioresample ! volume ! <sink>`.
//
// Nothing here waits. Rendering a file starts its preroll and returns; whether it worked comes
// back through the event loop (the pipeline's bus watch), and so do the end of the stream and
// the exact end of the track. Each file gets a pipeline of its own: the one before it is
// abandoned to a background teardown, so a file whose reads have stalled never holds up the next.
#pragma once

#include "preview/GstSetup.h"
#include "preview/Pipeline.h"
#include "preview/TrackEnd.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace media {

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

class MediaGraph {
public:
    enum class Load { Empty, Rendering, Ready };

    MediaGraph(GraphOptions options, GraphListener& listener);
    ~MediaGraph();
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    // Makes the elements the first render will use, which shows whether every element the graph
    // needs is there. False, with the reason, when one is missing.
    bool Build(std::string* reason);

    // Starts rendering `path` (raw bytes, as the file system has them) in place of whatever was
    // rendered before. False only when it cannot even start (the graph could not be built, or
    // the name can be no file's); every other failure is reported to the listener.
    bool Render(const std::string& path);
    // Forgets the file; it is closed in the background.
    void Unload();
    Load load() const { return m_load; }

    // Play, pause, or pause and go back to the start. Asked for while a render is under way,
    // they decide whether the file starts playing once it is ready. Nothing without a file.
    void Play();
    void Pause();
    void Rewind();

    bool IsRunning() const;
    bool ReachedEnd() const { return m_reachedEnd; }
    // Where playback is; the start while a rewind is under way, the end once it is reached.
    std::optional<std::int64_t> Position() const;
    // The decoder's estimate of the length when the file had prerolled.
    std::optional<std::int64_t> Duration() const { return m_duration; }

    // Linear amplitude (1.0 is unchanged), kept for every file rendered later too.
    void SetVolume(double linear);
    double Volume() const { return m_volume; }

private:
    bool MakePipeline(std::string* reason);
    void OnMessage(GstMessage* message);
    void FinishRender(bool ok, const char* why);
    void StartEndScan();
    void StopStallTimer();
    static gboolean OnRenderStalled(gpointer self);
    void StopScanTimer();
    static gboolean OnScanDue(gpointer self);

    GraphOptions m_options;
    GraphListener& m_listener;
    double m_volume = 1.0;

    // The current file's pipeline and the elements of it that are used later.
    std::unique_ptr<Pipeline> m_pipeline;
    ElementPtr m_convert;
    ElementPtr m_volumeElement;
    bool m_pipelineUsed = false; // a file has been rendered into it
    std::unique_ptr<TrackEndScan> m_scan;
    std::string m_path;

    Load m_load = Load::Empty;
    bool m_playing = false; // the last state asked for is PLAYING
    guint m_stallTimer = 0;
    guint m_scanTimer = 0;      // the end scan is due to start
    std::uint64_t m_rewind = 0; // number of the seek of a rewind under way, 0 for none
    bool m_reachedEnd = false;
    std::optional<std::int64_t> m_duration;
    std::optional<std::int64_t> m_end;
};

} // namespace media
