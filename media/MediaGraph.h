// The preview's media graph over GStreamer (see media/Graph.h), in the media module.
//
// Results come back through the pipeline's bus watch on GLib's default main context. Each file
// gets a pipeline of its own: the one before it is abandoned to a background teardown, so a file
// whose reads have stalled never holds up the next.
#pragma once

#include "media/Graph.h"
#include "media/GstSetup.h"
#include "media/Pipeline.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace media {

class MediaGraph final : public Graph {
public:
    MediaGraph(GraphOptions options, GraphListener& listener);
    ~MediaGraph() override;
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    bool Build(std::string* reason) override;
    bool Render(const std::string& path, double volume) override;
    void Unload() override;
    Load load() const override { return m_load; }
    void Play() override;
    void Pause() override;
    void Rewind() override;
    bool IsRunning() const override;
    bool ReachedEnd() const override { return m_reachedEnd; }
    std::optional<std::int64_t> Position() const override;
    std::optional<std::int64_t> Duration() const override { return m_duration; }
    void SetVolume(double linear) override;
    std::optional<double> Volume() const override;

private:
    bool MakePipeline(std::string* reason);
    void DropPipeline();
    void OnMessage(GstMessage* message);
    void FinishRender(bool ok, const char* why);
    void EndStream();
    void StopStallTimer();
    static gboolean OnRenderStalled(gpointer self);

    GraphOptions m_options;
    GraphListener& m_listener;

    // The current file's pipeline and the elements of it that are used later.
    std::unique_ptr<Pipeline> m_pipeline;
    ElementPtr m_convert;
    ElementPtr m_volumeElement;
    bool m_pipelineUsed = false; // a file has been rendered into it
    std::string m_path;

    Load m_load = Load::Empty;
    bool m_playing = false; // the last state asked for is PLAYING
    guint m_stallTimer = 0;
    std::uint64_t m_rewind = 0; // number of the seek of a rewind under way, 0 for none
    bool m_reachedEnd = false;
    std::optional<std::int64_t> m_duration;
    std::optional<std::int64_t> m_endPosition; // where the stream ended
};

} // namespace media
