#include "preview/Mp3End.h"

#include "preview/GstSetup.h"
#include "preview/Pipeline.h"

#include <utility>

namespace media {
namespace {

// A 300 s file parses in about 20 ms; this only bounds a pathological case.
constexpr GstClockTime kParseTimeout = 10 * GST_SECOND;

std::optional<std::int64_t> Fail(std::string* error, std::string reason) {
    if (error != nullptr) {
        *error = std::move(reason);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::int64_t> ExactMp3End(const std::string& path, std::string* error) {
    std::string reason;
    if (!EnsureGstInit(&reason)) {
        return Fail(error, reason);
    }
    if (path.empty() || path.find('\0') != std::string::npos) {
        return Fail(error, "invalid file name");
    }
    Pipeline pipeline = Pipeline::Create("mp3-length");
    ElementPtr source = MakeElement("filesrc");
    ElementPtr parser = MakeElement("mpegaudioparse");
    ElementPtr sink = MakeElement("fakesink");
    if (!pipeline.valid() || !source || !parser || !sink) {
        return Fail(error, "the MPEG audio parser is missing");
    }
    g_object_set(source.get(), "location", path.c_str(), nullptr);
    g_object_set(sink.get(), "sync", FALSE, nullptr);
    gst_bin_add_many(pipeline.bin(), source.get(), parser.get(), sink.get(), nullptr);
    if (!gst_element_link_many(source.get(), parser.get(), sink.get(), nullptr)) {
        return Fail(error, "the MPEG audio parser could not be linked");
    }
    if (gst_element_set_state(pipeline.element(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        reason = pipeline.TakeError(kErrorMessageTimeout);
        return Fail(error, reason.empty() ? "the file could not be read" : reason);
    }
    const MessagePtr message(gst_bus_timed_pop_filtered(
        pipeline.bus(), kParseTimeout,
        static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
    if (!message) {
        return Fail(error, "parsing the file timed out");
    }
    if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
        return Fail(error, DescribeMessage(message.get()));
    }
    gint64 end = -1;
    if (!gst_element_query_position(pipeline.element(), GST_FORMAT_TIME, &end) || end <= 0) {
        return Fail(error, "no MPEG audio frames found");
    }
    return end;
}

} // namespace media
