// The preview's media graph: a pipeline whose fixed tail is
// `audioconvert ! audioresample ! volume ! <sink>`, into which one file at a time is rendered as a
// `filesrc ! decodebin` source branch. Everything runs on the caller's thread; the bus is polled.
#pragma once

#include "preview/GstSetup.h"
#include "preview/Pipeline.h"

#include <cstdint>
#include <optional>
#include <string>

namespace media {

class MediaGraph {
public:
    MediaGraph() = default;
    ~MediaGraph();
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    // Builds the bare tail ending in the chosen sink (replacing anything built before). False,
    // with the reason, on failure.
    bool Build(const SinkChoice& sink, std::string& error);
    bool IsBuilt() const { return m_pipeline.valid(); }

    // Replaces any source branch by one reading `path` (raw bytes, as the file system has them)
    // and prerolls it: on success the graph is PAUSED with audio waiting at the sink. On failure
    // the graph is back to its bare tail and error says why.
    bool Render(const std::string& path, std::string& error);
    // Takes the source branch out again (the graph ends up in NULL). Nothing when there is none.
    void RemoveSource();
    bool HasSource() const { return m_source != nullptr; }

    // State changes wait until they are complete. All of them do nothing without a source.
    bool Run();
    bool Pause();
    bool IsRunning() const;
    // Flushing, accurate seek to [start, stop] in nanoseconds; a negative stop means the end.
    // Waits for the pipeline to settle again; false when it failed to (an error). A stream that
    // refuses the seek stays where it was. Clears the end-of-stream mark.
    bool Seek(std::int64_t start, std::int64_t stop);

    std::optional<std::int64_t> Position() const;
    std::optional<std::int64_t> Duration() const;

    // Linear amplitude of the volume element (1.0 is unchanged); clamped to what it accepts.
    void SetVolume(double linear);
    double Volume() const;

    // Reads every pending bus message: notes end of stream and keeps the last error.
    void PollBus();
    bool ReachedEnd() const { return m_reachedEnd; }
    const std::string& LastError() const { return m_lastError; }

private:
    bool ChangeSourceState(GstState state);
    void ReadBus(bool noteEnd);

    Pipeline m_pipeline;
    ElementPtr m_convert;
    ElementPtr m_volume;
    ElementPtr m_source;
    ElementPtr m_decoder;
    bool m_reachedEnd = false;
    std::string m_lastError;
};

} // namespace media
