// The benchmarks' reference pipeline, built as plainly as GStreamer allows:
// `filesrc ! decodebin ! audioconvert ! audioresample ! volume ! SINK`, the decoder's first audio
// pad linked to the converter when it appears.
#pragma once

#include <gst/gst.h>

namespace bench {

inline void LinkFirstAudioPad(GstElement* /*decoder*/, GstPad* pad, gpointer convert) {
    GstCaps* caps = gst_pad_query_caps(pad, nullptr);
    const bool audio =
        caps != nullptr && !gst_caps_is_empty(caps) &&
        g_str_has_prefix(gst_structure_get_name(gst_caps_get_structure(caps, 0)), "audio/");
    if (caps != nullptr)
        gst_caps_unref(caps);
    if (!audio)
        return;
    GstPad* sink = gst_element_get_static_pad(GST_ELEMENT(convert), "sink");
    if (!gst_pad_is_linked(sink))
        gst_pad_link(pad, sink);
    gst_object_unref(sink);
}

// A new pipeline in the NULL state for the file at `path`, into an element of `sinkFactory`.
inline GstElement* MakeReferencePipeline(const char* path, const char* sinkFactory) {
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* source = gst_element_factory_make("filesrc", nullptr);
    GstElement* decoder = gst_element_factory_make("decodebin", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* volume = gst_element_factory_make("volume", nullptr);
    GstElement* sink = gst_element_factory_make(sinkFactory, nullptr);
    g_object_set(source, "location", path, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), source, decoder, convert, resample, volume, sink, nullptr);
    gst_element_link(source, decoder);
    gst_element_link_many(convert, resample, volume, sink, nullptr);
    g_signal_connect(decoder, "pad-added", G_CALLBACK(LinkFirstAudioPad), convert);
    return pipeline;
}

} // namespace bench
