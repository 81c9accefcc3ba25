#include "preview/TrackEnd.h"

#include "preview/GstHandles.h"
#include "preview/GstSetup.h"
#include "preview/Pipeline.h"

#include <system_error>
#include <thread>
#include <utility>

namespace media {
namespace {

constexpr char kResultMessage[] = "mirt-track-end";
constexpr char kAudioSinkName[] = "audio-end";
constexpr char kWakeMessage[] = "mirt-scan-cancelled";

bool IsParsedMpegAudio(const GstCaps* caps) {
    const GstStructure* structure = gst_caps_get_structure(caps, 0);
    gint version = 0;
    gboolean parsed = FALSE;
    return structure != nullptr && gst_structure_has_name(structure, "audio/mpeg") &&
           gst_structure_get_int(structure, "mpegversion", &version) && version == 1 &&
           gst_structure_get_boolean(structure, "parsed", &parsed) && parsed;
}

// Stops the chain once MPEG audio (any version, any layer) has been parsed: the parser's
// timestamps are the decoder's, and decoding would cost far more than parsing.
gboolean ContinueUnlessParsed(GstElement* /*decoder*/, GstPad* /*pad*/, GstCaps* caps,
                              gpointer /*unused*/) {
    return IsParsedMpegAudio(caps) ? FALSE : TRUE;
}

// Every stream runs into a fakesink of its own (one left unlinked could stop the others); the
// first audio stream's sink is the one whose position is read at the end.
void SinkEveryStream(GstElement* /*decoder*/, GstPad* pad, gpointer pipeline) {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (sink == nullptr)
        return;
    const bool audio = IsAudioPad(pad);
    const ElementPtr existing(gst_bin_get_by_name(GST_BIN(pipeline), kAudioSinkName));
    if (audio && !existing)
        gst_object_set_name(GST_OBJECT(sink), kAudioSinkName);
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add(GST_BIN(pipeline), sink);
    gst_element_sync_state_with_parent(sink);
    const PadPtr sinkPad(gst_element_get_static_pad(sink, "sink"));
    gst_pad_link(pad, sinkPad.get());
}

} // namespace

ScanCancel::~ScanCancel() {
    Unwatch();
}

void ScanCancel::Cancel() {
    m_cancelled.store(true);
    const std::lock_guard lock(m_mutex);
    if (m_bus != nullptr)
        gst_bus_post(m_bus,
                     gst_message_new_application(nullptr, gst_structure_new_empty(kWakeMessage)));
}

bool ScanCancel::Watch(GstBus* bus) {
    const std::lock_guard lock(m_mutex);
    m_bus = GST_BUS(gst_object_ref(bus));
    return !m_cancelled.load();
}

void ScanCancel::Unwatch() {
    const std::lock_guard lock(m_mutex);
    if (m_bus != nullptr)
        gst_object_unref(m_bus);
    m_bus = nullptr;
}

std::optional<std::int64_t> FindTrackEnd(const std::string& path, const std::string& sourceFactory,
                                         ScanCancel& cancel) {
    if (!EnsureGstInit() || path.empty() || path.find('\0') != std::string::npos)
        return std::nullopt;
    GstElement* raw = gst_pipeline_new("track-end");
    if (raw == nullptr)
        return std::nullopt;
    const ElementPtr pipeline(GST_ELEMENT(gst_object_ref_sink(raw)));
    ElementPtr source = MakeElement(sourceFactory.c_str());
    ElementPtr decoder = MakeElement("decodebin");
    if (!source || !decoder)
        return std::nullopt;
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    g_signal_connect(decoder.get(), "autoplug-continue", G_CALLBACK(ContinueUnlessParsed), nullptr);
    g_signal_connect(decoder.get(), "pad-added", G_CALLBACK(SinkEveryStream), pipeline.get());
    gst_bin_add_many(GST_BIN(pipeline.get()), source.get(), decoder.get(), nullptr);
    if (!LinkUnchecked(source.get(), decoder.get()))
        return std::nullopt;

    std::optional<std::int64_t> end;
    const BusPtr bus(gst_element_get_bus(pipeline.get()));
    if (cancel.Watch(bus.get()) &&
        gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
        while (!cancel.Cancelled()) {
            const MessagePtr message(gst_bus_timed_pop_filtered(
                bus.get(), GST_CLOCK_TIME_NONE,
                static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR |
                                            GST_MESSAGE_APPLICATION)));
            if (!message || GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_APPLICATION)
                continue;
            const ElementPtr sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), kAudioSinkName));
            gint64 position = -1;
            if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_EOS && sink &&
                gst_element_query_position(sink.get(), GST_FORMAT_TIME, &position) &&
                position > 0) {
                end = position;
            } else {
                GST_CAT_INFO(mirt_preview_debug, "no end found for \"%s\"", path.c_str());
            }
            break;
        }
    }
    cancel.Unwatch();
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return end;
}

TrackEndScan::TrackEndScan(std::string path, std::string sourceFactory, GstBus* bus)
    : m_cancel(std::make_shared<ScanCancel>()) {
    BusPtr target(GST_BUS(gst_object_ref(bus)));
    auto scan = [path = std::move(path), sourceFactory = std::move(sourceFactory),
                 target = std::move(target), cancel = m_cancel,
                 counted = std::make_shared<BackgroundWork>()] {
        const std::optional<std::int64_t> end = FindTrackEnd(path, sourceFactory, *cancel);
        if (cancel->Cancelled())
            return;
        GstStructure* result =
            gst_structure_new(kResultMessage, "found", G_TYPE_BOOLEAN, end ? TRUE : FALSE, "end",
                              G_TYPE_INT64, static_cast<gint64>(end.value_or(0)), nullptr);
        gst_bus_post(target.get(), gst_message_new_application(nullptr, result));
    };
    try {
        std::thread(std::move(scan)).detach();
    } catch (const std::system_error&) {
        // Without a thread the range keeps the decoder's estimate; the end of the stream still
        // ends the track.
        GST_CAT_WARNING(mirt_preview_debug, "no thread for the end scan");
    }
}

TrackEndScan::~TrackEndScan() {
    m_cancel->Cancel();
}

bool TrackEndScan::IsResult(GstMessage* message) {
    return IsApplicationMessage(message, kResultMessage);
}

std::optional<std::int64_t> TrackEndScan::EndFrom(GstMessage* message) {
    if (!IsResult(message))
        return std::nullopt;
    const GstStructure* structure = gst_message_get_structure(message);
    gboolean found = FALSE;
    gint64 end = 0;
    if (!gst_structure_get_boolean(structure, "found", &found) || !found ||
        !gst_structure_get_int64(structure, "end", &end))
        return std::nullopt;
    return end;
}

} // namespace media
