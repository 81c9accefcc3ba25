// Owning handles for GStreamer and GLib resources, so every exit path releases what it took.
#pragma once

#include <gst/gst.h>

#include <memory>

namespace media {

struct GstObjectDeleter {
    void operator()(gpointer object) const {
        if (object != nullptr) {
            gst_object_unref(object);
        }
    }
};

struct GstMessageDeleter {
    void operator()(GstMessage* message) const {
        if (message != nullptr) {
            gst_message_unref(message);
        }
    }
};

struct GstCapsDeleter {
    void operator()(GstCaps* caps) const {
        if (caps != nullptr) {
            gst_caps_unref(caps);
        }
    }
};

struct GErrorDeleter {
    void operator()(GError* error) const {
        if (error != nullptr) {
            g_error_free(error);
        }
    }
};

struct GFreeDeleter {
    void operator()(gpointer memory) const { g_free(memory); }
};

template <typename T>
using GstObjectPtr = std::unique_ptr<T, GstObjectDeleter>;
using ElementPtr = GstObjectPtr<GstElement>;
using PadPtr = GstObjectPtr<GstPad>;
using BusPtr = GstObjectPtr<GstBus>;
using MessagePtr = std::unique_ptr<GstMessage, GstMessageDeleter>;
using CapsPtr = std::unique_ptr<GstCaps, GstCapsDeleter>;
using ErrorPtr = std::unique_ptr<GError, GErrorDeleter>;
using GCharPtr = std::unique_ptr<gchar, GFreeDeleter>;

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
