// Owning handles for GStreamer and GLib resources, so every exit path releases what it took.
#pragma once

#include <gst/gst.h>

#include <memory>

namespace media {

// Releases what a handle owns with GStreamer's or GLib's own function.
template <auto Release>
struct Releaser {
    template <typename T>
    void operator()(T* owned) const {
        if (owned != nullptr)
            Release(owned);
    }
};

template <typename T>
using GstObjectPtr = std::unique_ptr<T, Releaser<gst_object_unref>>;
using ElementPtr = GstObjectPtr<GstElement>;
using PadPtr = GstObjectPtr<GstPad>;
using BusPtr = GstObjectPtr<GstBus>;
using MessagePtr = std::unique_ptr<GstMessage, Releaser<gst_message_unref>>;
using CapsPtr = std::unique_ptr<GstCaps, Releaser<gst_caps_unref>>;
using ErrorPtr = std::unique_ptr<GError, Releaser<g_error_free>>;
using GCharPtr = std::unique_ptr<gchar, Releaser<g_free>>;

// Makes an element from its factory and takes a full (non-floating) reference to it, so the
// handle owns it whether or not it is later added to a bin. Null when the factory is missing.
inline ElementPtr MakeElement(const char* factory) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element == nullptr) {
        return {};
    }
    return ElementPtr(GST_ELEMENT(gst_object_ref_sink(element)));
}

// Whether `message` is an application message whose structure is named `name`.
inline bool IsApplicationMessage(GstMessage* message, const char* name) {
    const GstStructure* structure = gst_message_get_structure(message);
    return GST_MESSAGE_TYPE(message) == GST_MESSAGE_APPLICATION && structure != nullptr &&
           gst_structure_has_name(structure, name);
}

// Whether `pad` carries audio, by its negotiated format or, before that, the formats it can take.
inline bool IsAudioPad(GstPad* pad) {
    CapsPtr caps(gst_pad_get_current_caps(pad));
    if (!caps)
        caps.reset(gst_pad_query_caps(pad, nullptr));
    if (!caps || gst_caps_is_empty(caps.get()))
        return false;
    const gchar* name = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
    return name != nullptr && g_str_has_prefix(name, "audio/");
}

} // namespace media
