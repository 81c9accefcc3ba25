// The preview's media graph over GStreamer (see media/Graph.h).
//
// Results come back through the pipeline's bus watch on GLib's default main context. Each file
// gets a pipeline of its own: the one before it is abandoned to a background teardown, so a file
// whose reads have stalled never holds up the next.
#include "media/Graph.h"
#include "media/GstSetup.h"
#include "media/Pipeline.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace media {
namespace {

constexpr char kNoAudioMessage[] = "mirt-no-audio";
constexpr double kMaxVolume = 10.0; // the volume element's upper limit

bool HasProperty(GstElement* element, const char* name) {
    return g_object_class_find_property(G_OBJECT_GET_CLASS(element), name) != nullptr;
}

bool IsLinked(GstElement* element) {
    const PadPtr sinkPad(gst_element_get_static_pad(element, "sink"));
    return sinkPad && gst_pad_is_linked(sinkPad.get());
}

// What decodebin's signals, which come from a streaming thread, work on: the first element of
// the audio tail, and the gate of the pipeline's links. They keep both for as long as the
// decoder may emit them.
struct Tail {
    ElementPtr input;
    std::shared_ptr<LinkGate> links;
};

gpointer NewTail(GstElement* input, std::shared_ptr<LinkGate> links) {
    auto tail = std::make_unique<Tail>(
        Tail{ElementPtr(GST_ELEMENT(gst_object_ref(input))), std::move(links)});
    return tail.release(); // owned by the signal handler, freed by FreeTail
}

void FreeTail(gpointer tail, GClosure* /*closure*/) {
    const std::unique_ptr<Tail> owned(static_cast<Tail*>(tail));
}

// decodebin exposes its streams from a streaming thread: the first audio stream is linked to
// the tail, everything else (pictures, video) is left alone. Nothing else is touched here.
void OnDecodedPad(GstElement* /*decoder*/, GstPad* pad, gpointer data) {
    const Tail& tail = *static_cast<Tail*>(data);
    if (!IsAudioPad(pad))
        return;
    tail.links->Run([&] {
        if (IsLinked(tail.input.get()))
            return;
        const PadPtr sinkPad(gst_element_get_static_pad(tail.input.get(), "sink"));
        gst_pad_link(pad, sinkPad.get());
    });
}

// Once decodebin has exposed every stream without an audio one, the file will never preroll:
// say so at once instead of waiting for a timeout.
void OnAllPadsExposed(GstElement* decoder, gpointer data) {
    if (IsLinked(static_cast<Tail*>(data)->input.get()))
        return;
    gst_element_post_message(
        decoder,
        gst_message_new_application(GST_OBJECT(decoder), gst_structure_new_empty(kNoAudioMessage)));
}

// Removes the timeout source `id` names, if any, and forgets it.
void RemoveTimeout(guint& id) {
    if (id != 0)
        g_source_remove(id);
    id = 0;
}

bool IsResourceWarningFrom(GstMessage* message, GstElement* element) {
    GError* raw = nullptr;
    gst_message_parse_warning(message, &raw, nullptr);
    const ErrorPtr error(raw);
    GstObject* source = GST_MESSAGE_SRC(message);
    return error && error->domain == GST_RESOURCE_ERROR && source != nullptr &&
           (source == GST_OBJECT(element) ||
            gst_object_has_as_ancestor(source, GST_OBJECT(element)));
}

std::string Describe(GstMessage* message) {
    GError* raw = nullptr;
    gchar* rawDebug = nullptr;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
        gst_message_parse_error(message, &raw, &rawDebug);
    else
        gst_message_parse_warning(message, &raw, &rawDebug);
    const ErrorPtr error(raw);
    const GCharPtr debug(rawDebug);
    std::string text = GST_MESSAGE_SRC_NAME(message) ? GST_MESSAGE_SRC_NAME(message) : "?";
    text += ": ";
    text += (error && error->message) ? error->message : "unknown error";
    return text;
}

} // namespace

class MediaGraph final : public Graph {
public:
    MediaGraph(GraphOptions options, GraphListener& listener)
        : m_options(std::move(options)), m_listener(listener) {}
    ~MediaGraph() override { RemoveTimeout(m_stallTimer); }
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    bool Build(std::string* reason) override;
    bool Render(const std::string& path, double volume) override;
    void Unload() override;
    Load load() const override { return m_load; }
    void Play() override { SetPlaying(true); }
    void Pause() override { SetPlaying(false); }
    void Rewind() override;
    bool IsRunning() const override;
    bool ReachedEnd() const override { return m_reachedEnd; }
    bool Silent() const override { return m_silent; }
    std::optional<std::int64_t> Position() const override;
    std::optional<std::int64_t> Duration() const override { return m_duration; }
    void SetVolume(double linear) override;
    std::optional<double> Volume() const override;

private:
    bool MakePipeline(std::string* reason);
    void DropPipeline();
    void SetPlaying(bool playing);
    void OnMessage(GstMessage* message);
    void FinishRender(bool ok, const char* why);
    void EndStream();
    static gboolean OnRenderStalled(gpointer self);

    GraphOptions m_options;
    GraphListener& m_listener;

    // The current file's pipeline and the elements of it that are used later.
    std::unique_ptr<Pipeline> m_pipeline;
    ElementPtr m_convert;
    ElementPtr m_volumeElement;
    ElementPtr m_sink;
    bool m_pipelineUsed = false; // a file has been rendered into it
    std::string m_path;

    Load m_load = Load::Empty;
    bool m_playing = false; // the last state asked for is PLAYING
    guint m_stallTimer = 0;
    std::uint64_t m_rewind = 0; // number of the seek of a rewind under way, 0 for none
    bool m_reachedEnd = false;
    bool m_silent = false; // the sink found no sound output when the render started
    std::optional<std::int64_t> m_duration;
    std::optional<std::int64_t> m_endPosition; // where the stream ended
};

bool MediaGraph::Build(std::string* reason) {
    std::string why;
    if (EnsureGstInit(&why) && MakePipeline(&why))
        return true;
    if (mirt_preview_debug != nullptr) // null when GStreamer itself could not start
        GST_CAT_WARNING(mirt_preview_debug, "cannot build the media graph: %s", why.c_str());
    if (reason != nullptr)
        *reason = why;
    return false;
}

// A new pipeline holding the tail `audioconvert ! audioresample ! volume ! <sink>`; the one
// before it, if any, is abandoned.
bool MediaGraph::MakePipeline(std::string* reason) {
    const auto fail = [&](std::string why) {
        if (reason != nullptr)
            *reason = std::move(why);
        return false;
    };
    DropPipeline();
    auto pipeline = std::make_unique<Pipeline>([this](GstMessage* message) { OnMessage(message); });
    ElementPtr convert = MakeElement("audioconvert");
    ElementPtr resample = MakeElement("audioresample");
    ElementPtr volume = MakeElement("volume");
    ElementPtr sink = MakeElement(m_options.sink.c_str());
    if (!pipeline->valid())
        return fail("no pipeline could be made");
    if (!convert || !resample || !volume)
        return fail("the audio conversion elements are missing");
    if (!sink)
        return fail("there is no audio sink \"" + m_options.sink + "\"");
    if (HasProperty(sink.get(), "sync"))
        g_object_set(sink.get(), "sync", m_options.sync ? TRUE : FALSE, nullptr);
    gst_bin_add_many(pipeline->bin(), convert.get(), resample.get(), volume.get(), sink.get(),
                     nullptr);
    if (!LinkUnchecked(convert.get(), resample.get()) ||
        !LinkUnchecked(resample.get(), volume.get()) || !LinkUnchecked(volume.get(), sink.get()))
        return fail("the audio tail could not be linked");
    m_pipeline = std::move(pipeline);
    m_convert = std::move(convert);
    m_volumeElement = std::move(volume);
    m_sink = std::move(sink);
    return true;
}

bool MediaGraph::Render(const std::string& path, double volume) {
    Unload();
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    // Each file stuck in a read that never returns (a share that stopped answering) keeps its
    // pipeline's threads and descriptors until the read returns. Past a few of them, nothing
    // more is started until one lets go: the window stays as light as it was, however long the
    // presses go on.
    if (StuckPipelines() >= kMaxStuckPipelines) {
        GST_CAT_WARNING(mirt_preview_debug,
                        "not rendering \"%s\": %d earlier files are still stuck in their reads",
                        path.c_str(), StuckPipelines());
        return false;
    }
    std::string reason;
    if ((!m_pipeline || m_pipelineUsed) && !MakePipeline(&reason)) {
        GST_CAT_WARNING(mirt_preview_debug, "cannot render \"%s\": %s", path.c_str(),
                        reason.c_str());
        return false;
    }
    ElementPtr source = MakeElement(m_options.source.c_str());
    ElementPtr decoder = MakeElement("decodebin");
    if (!source || !decoder || !HasProperty(source.get(), "location")) {
        GST_CAT_WARNING(mirt_preview_debug, "the file source or the decoder is missing");
        return false;
    }
    m_pipelineUsed = true;
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    g_object_set(m_volumeElement.get(), "volume", std::clamp(volume, 0.0, kMaxVolume), nullptr);
    g_signal_connect_data(decoder.get(), "pad-added", G_CALLBACK(OnDecodedPad),
                          NewTail(m_convert.get(), m_pipeline->links()), FreeTail,
                          GConnectFlags(0));
    g_signal_connect_data(decoder.get(), "no-more-pads", G_CALLBACK(OnAllPadsExposed),
                          NewTail(m_convert.get(), m_pipeline->links()), FreeTail,
                          GConnectFlags(0));
    gst_bin_add_many(m_pipeline->bin(), source.get(), decoder.get(), nullptr);
    if (!LinkUnchecked(source.get(), decoder.get()))
        return false;

    m_path = path;
    m_load = Load::Rendering;
    m_playing = false;
    m_pipeline->SetState(GST_STATE_PAUSED);
    const auto timeout =
        static_cast<guint>(std::max<std::int64_t>(m_options.renderTimeout.count(), 1));
    m_stallTimer = g_timeout_add(timeout, &MediaGraph::OnRenderStalled, this);
    return true;
}

void MediaGraph::Unload() {
    RemoveTimeout(m_stallTimer);
    if (m_pipelineUsed)
        DropPipeline(); // the next render makes a fresh one
    m_load = Load::Empty;
    m_playing = false;
    m_rewind = 0;
    m_reachedEnd = false;
    m_silent = false;
    m_duration.reset();
    m_endPosition.reset();
}

// The pipeline is abandoned: it is torn down in the background.
void MediaGraph::DropPipeline() {
    m_convert.reset();
    m_volumeElement.reset();
    m_sink.reset();
    m_pipeline.reset();
    m_pipelineUsed = false;
}

// Asked for while the file prerolls, playing starts once the preroll is done: a state change
// during the preroll would walk the pipeline's elements while decodebin links its stream.
void MediaGraph::SetPlaying(bool playing) {
    if (m_load == Load::Empty)
        return;
    if (m_load == Load::Ready)
        m_pipeline->SetState(playing ? GST_STATE_PLAYING : GST_STATE_PAUSED);
    m_playing = playing;
}

void MediaGraph::Rewind() {
    Pause();
    if (m_load != Load::Ready)
        return; // a file still prerolling stands at its start
    // An end of stream posted before the seek is done belongs to the playback before it.
    m_rewind = m_pipeline->SeekToStart();
    m_reachedEnd = false;
    m_endPosition.reset();
}

bool MediaGraph::IsRunning() const {
    return m_load == Load::Ready && m_pipeline->state() == GST_STATE_PLAYING;
}

std::optional<std::int64_t> MediaGraph::Position() const {
    if (m_load != Load::Ready)
        return std::nullopt;
    if (m_rewind != 0)
        return 0;
    if (m_reachedEnd && m_endPosition)
        return m_endPosition;
    gint64 position = -1;
    if (!gst_element_query_position(m_pipeline->element(), GST_FORMAT_TIME, &position) ||
        position < 0)
        return std::nullopt;
    return position;
}

void MediaGraph::SetVolume(double linear) {
    if (m_load != Load::Empty)
        g_object_set(m_volumeElement.get(), "volume", std::clamp(linear, 0.0, kMaxVolume), nullptr);
}

std::optional<double> MediaGraph::Volume() const {
    if (m_load == Load::Empty)
        return std::nullopt;
    gdouble volume = 1.0;
    g_object_get(m_volumeElement.get(), "volume", &volume, nullptr);
    return volume;
}

// Where the stream ended is kept: once it has, a position query would tell nothing more.
void MediaGraph::EndStream() {
    gint64 position = -1;
    if (gst_element_query_position(m_pipeline->element(), GST_FORMAT_TIME, &position) &&
        position >= 0)
        m_endPosition = position;
    else
        m_endPosition = m_duration;
    m_reachedEnd = true;
}

// Every message of the current file's pipeline arrives here, in the order it was posted.
void MediaGraph::OnMessage(GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ASYNC_DONE:
        if (m_load == Load::Rendering)
            FinishRender(true, nullptr);
        break;
    case GST_MESSAGE_ERROR:
        GST_CAT_WARNING(mirt_preview_debug, "\"%s\": %s", m_path.c_str(),
                        Describe(message).c_str());
        if (m_load == Load::Rendering)
            FinishRender(false, "an error");
        else if (m_load == Load::Ready)
            EndStream(); // the stream cannot go on: the track has ended
        break;
    case GST_MESSAGE_WARNING:
        GST_CAT_INFO(mirt_preview_debug, "\"%s\": %s", m_path.c_str(), Describe(message).c_str());
        // The sink warns of a resource it could not open while it starts: no sound output.
        if (m_load == Load::Rendering && IsResourceWarningFrom(message, m_sink.get()))
            m_silent = true;
        break;
    case GST_MESSAGE_EOS:
        if (m_load == Load::Ready && m_rewind == 0)
            EndStream();
        break;
    case GST_MESSAGE_CLOCK_LOST:
        // The sink that gave the clock went away: a new one is chosen on the way to PLAYING.
        if (m_load == Load::Ready && m_pipeline->state() == GST_STATE_PLAYING) {
            m_pipeline->SetState(GST_STATE_PAUSED);
            m_pipeline->SetState(GST_STATE_PLAYING);
        }
        break;
    case GST_MESSAGE_APPLICATION:
        if (const std::uint64_t done = Pipeline::DoneNumber(message); done != 0) {
            if (done == m_rewind)
                m_rewind = 0;
            if (Pipeline::DoneFailed(message) && m_load == Load::Rendering)
                FinishRender(false, "the state change failed");
        } else if (IsApplicationMessage(message, kNoAudioMessage)) {
            if (m_load == Load::Rendering)
                FinishRender(false, "no audio stream");
        }
        break;
    default:
        break;
    }
}

void MediaGraph::FinishRender(bool ok, const char* why) {
    RemoveTimeout(m_stallTimer);
    if (!ok) {
        GST_CAT_INFO(mirt_preview_debug, "cannot play \"%s\": %s", m_path.c_str(), why);
        Unload();
        m_listener.OnRenderFinished(false);
        return;
    }
    m_load = Load::Ready;
    gint64 duration = -1;
    if (gst_element_query_duration(m_pipeline->element(), GST_FORMAT_TIME, &duration) &&
        duration > 0)
        m_duration = duration;
    if (m_playing)
        m_pipeline->SetState(GST_STATE_PLAYING);
    m_listener.OnRenderFinished(true);
}

gboolean MediaGraph::OnRenderStalled(gpointer data) {
    auto* self = static_cast<MediaGraph*>(data);
    self->m_stallTimer = 0; // this source ends with the callback
    if (self->m_load == Load::Rendering)
        self->FinishRender(false, "the file did not preroll in time (stalled reads?)");
    return G_SOURCE_REMOVE;
}

std::unique_ptr<Graph> MakeGraph(const GraphOptions& options, GraphListener& listener) {
    return std::make_unique<MediaGraph>(options, listener);
}

} // namespace media
