#include "preview/MediaGraph.h"

#include <algorithm>
#include <cstdio>

namespace media {
namespace {

constexpr double kMaxVolume = 10.0; // the volume element's upper limit

bool HasProperty(GstElement* element, const char* name) {
    return g_object_class_find_property(G_OBJECT_GET_CLASS(element), name) != nullptr;
}

// decodebin exposes its pads from a streaming thread: link the first audio pad to the tail and
// ignore everything else (video, images); touch no other state here.
void OnDecodedPad(GstElement* /*decoder*/, GstPad* pad, gpointer tailInput) {
    CapsPtr caps(gst_pad_get_current_caps(pad));
    if (!caps) {
        caps.reset(gst_pad_query_caps(pad, nullptr));
    }
    if (!caps || gst_caps_is_empty(caps.get())) {
        return;
    }
    const gchar* media = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
    if (media == nullptr || !g_str_has_prefix(media, "audio/")) {
        return;
    }
    const PadPtr sinkPad(gst_element_get_static_pad(GST_ELEMENT(tailInput), "sink"));
    if (sinkPad && !gst_pad_is_linked(sinkPad.get())) {
        gst_pad_link(pad, sinkPad.get());
    }
}

} // namespace

MediaGraph::~MediaGraph() {
    // Stop streaming before the element handles go: the pipeline finishes its state change and
    // goes to NULL first, then every reference is released.
    m_pipeline.Shutdown();
}

bool MediaGraph::Build(const SinkChoice& sink, std::string& error) {
    RemoveSource();
    if (!EnsureGstInit(&error)) {
        return false;
    }
    Pipeline pipeline = Pipeline::Create("preview-graph");
    ElementPtr convert = MakeElement("audioconvert");
    ElementPtr resample = MakeElement("audioresample");
    ElementPtr volume = MakeElement("volume");
    ElementPtr output = MakeElement(sink.factory.c_str());
    if (!pipeline.valid() || !convert || !resample || !volume) {
        error = "the audio conversion elements are missing";
        return false;
    }
    if (!output) {
        error = "no audio sink \"" + sink.factory + "\"";
        return false;
    }
    if (HasProperty(output.get(), "sync")) {
        g_object_set(output.get(), "sync", sink.sync ? TRUE : FALSE, nullptr);
    }
    gst_bin_add_many(pipeline.bin(), convert.get(), resample.get(), volume.get(), output.get(),
                     nullptr);
    if (!gst_element_link_many(convert.get(), resample.get(), volume.get(), output.get(),
                               nullptr)) {
        error = "the audio tail could not be linked";
        return false;
    }
    m_pipeline = std::move(pipeline);
    m_convert = std::move(convert);
    m_volume = std::move(volume);
    m_reachedEnd = false;
    m_lastError.clear();
    return true;
}

bool MediaGraph::Render(const std::string& path, std::string& error) {
    RemoveSource();
    if (!IsBuilt()) {
        error = "no media graph";
        return false;
    }
    if (path.empty() || path.find('\0') != std::string::npos) {
        error = "invalid file name";
        return false;
    }
    ElementPtr source = MakeElement("filesrc");
    ElementPtr decoder = MakeElement("decodebin");
    if (!source || !decoder) {
        error = "the file source or decoder element is missing";
        return false;
    }
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    g_signal_connect(decoder.get(), "pad-added", G_CALLBACK(OnDecodedPad), m_convert.get());
    gst_bin_add_many(m_pipeline.bin(), source.get(), decoder.get(), nullptr);
    m_source = std::move(source);
    m_decoder = std::move(decoder);
    if (!gst_element_link(m_source.get(), m_decoder.get())) {
        error = "the file source could not be linked to the decoder";
        RemoveSource();
        return false;
    }
    m_pipeline.DrainBus();
    m_reachedEnd = false;
    if (!m_pipeline.SetStateAndWait(GST_STATE_PAUSED, error)) {
        RemoveSource();
        return false;
    }
    return true;
}

void MediaGraph::RemoveSource() {
    if (!m_source && !m_decoder) {
        return;
    }
    gst_element_get_state(m_pipeline.element(), nullptr, nullptr, kStateChangeTimeout);
    gst_element_set_state(m_pipeline.element(), GST_STATE_NULL);
    // Removing an element from the bin unlinks its pads, so the tail is bare again.
    if (m_decoder) {
        gst_bin_remove(m_pipeline.bin(), m_decoder.get());
    }
    if (m_source) {
        gst_bin_remove(m_pipeline.bin(), m_source.get());
    }
    m_decoder.reset();
    m_source.reset();
    m_pipeline.DrainBus();
    m_reachedEnd = false;
}

bool MediaGraph::Run() {
    return ChangeSourceState(GST_STATE_PLAYING);
}

bool MediaGraph::Pause() {
    return ChangeSourceState(GST_STATE_PAUSED);
}

// A graph without a file neither runs nor pauses.
bool MediaGraph::ChangeSourceState(GstState state) {
    if (!HasSource()) {
        return false;
    }
    std::string error;
    if (!m_pipeline.SetStateAndWait(state, error)) {
        m_lastError = error;
        return false;
    }
    return true;
}

bool MediaGraph::IsRunning() const {
    return HasSource() && m_pipeline.CurrentState() == GST_STATE_PLAYING;
}

bool MediaGraph::Seek(std::int64_t start, std::int64_t stop) {
    if (!HasSource()) {
        return false;
    }
    // Whatever is on the bus predates the seek; an old end of stream must not survive it.
    PollBus();
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    const GstSeekType stopType = stop >= 0 ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE;
    if (!gst_element_seek(m_pipeline.element(), 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                          std::max<std::int64_t>(start, 0), stopType, stop >= 0 ? stop : -1)) {
        // A stream that cannot seek still plays from where it is.
        std::fprintf(stderr, "preview: the seek was refused\n");
    }
    std::string error;
    const bool settled = m_pipeline.WaitForStateChange(error);
    if (!settled) {
        m_lastError = error;
    }
    // Sinks post end of stream only while PLAYING, so in PAUSED any that is left is stale.
    if (m_pipeline.CurrentState() == GST_STATE_PAUSED) {
        ReadBus(false);
    }
    m_reachedEnd = false;
    return settled;
}

std::optional<std::int64_t> MediaGraph::Position() const {
    gint64 position = -1;
    if (!HasSource() ||
        !gst_element_query_position(m_pipeline.element(), GST_FORMAT_TIME, &position) ||
        position < 0) {
        return std::nullopt;
    }
    return position;
}

std::optional<std::int64_t> MediaGraph::Duration() const {
    gint64 duration = -1;
    if (!HasSource() ||
        !gst_element_query_duration(m_pipeline.element(), GST_FORMAT_TIME, &duration) ||
        duration <= 0) {
        return std::nullopt;
    }
    return duration;
}

void MediaGraph::SetVolume(double linear) {
    if (!m_volume) {
        return;
    }
    const double clamped = std::clamp(linear, 0.0, kMaxVolume);
    g_object_set(m_volume.get(), "volume", clamped, nullptr);
}

double MediaGraph::Volume() const {
    double linear = 1.0;
    if (m_volume) {
        g_object_get(m_volume.get(), "volume", &linear, nullptr);
    }
    return linear;
}

void MediaGraph::PollBus() {
    ReadBus(true);
}

void MediaGraph::ReadBus(bool noteEnd) {
    GstBus* bus = m_pipeline.bus();
    if (bus == nullptr) {
        return;
    }
    while (MessagePtr message{gst_bus_pop_filtered(
        bus, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))}) {
        if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS) {
            m_reachedEnd = m_reachedEnd || noteEnd;
        } else {
            m_lastError = DescribeMessage(message.get());
            std::fprintf(stderr, "preview: %s\n", m_lastError.c_str());
        }
    }
    // The filtered pop has also thrown away the messages nobody reads (state changes, tags).
}

} // namespace media
