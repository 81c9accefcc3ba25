#include "support/media/FlakySink.h"

#include "media/GstHandles.h"
#include "media/GstSetup.h"

#include <gst/base/gstbasesink.h>

#include <atomic>
#include <utility>

namespace testmedia {
namespace {

constinit std::atomic<bool> g_serverUp{true};
constinit std::atomic<int> g_starts{0};

gboolean (*g_fakeStart)(GstBaseSink*) = nullptr;

// Called as the sink leaves NULL, where autoaudiosink looks for its output.
gboolean Start(GstBaseSink* sink) {
    g_starts.fetch_add(1);
    if (!g_serverUp.load())
        GST_ELEMENT_WARNING(sink, RESOURCE, FAILED, ("Failed to connect: Connection refused"),
                            (nullptr));
    return g_fakeStart == nullptr || g_fakeStart(sink);
}

void ClassInit(gpointer klass, gpointer /*data*/) {
    g_fakeStart = std::exchange(GST_BASE_SINK_CLASS(klass)->start, Start);
}

GType FlakySinkType() {
    const media::GstObjectPtr<GstElementFactory> factory(gst_element_factory_find("fakesink"));
    const media::GstObjectPtr<GstPluginFeature> loaded(
        factory ? gst_plugin_feature_load(GST_PLUGIN_FEATURE(factory.get())) : nullptr);
    if (!loaded)
        return G_TYPE_INVALID;
    const GType fakeSink = gst_element_factory_get_element_type(GST_ELEMENT_FACTORY(loaded.get()));
    GTypeQuery sizes{};
    g_type_query(fakeSink, &sizes);
    return g_type_register_static_simple(fakeSink, "MirtFlakySink", sizes.class_size, ClassInit,
                                         sizes.instance_size, nullptr, GTypeFlags(0));
}

} // namespace

bool RegisterFlakySink() {
    if (!media::EnsureGstInit())
        return false;
    static const bool registered = [] {
        const GType type = FlakySinkType();
        return type != G_TYPE_INVALID &&
               gst_element_register(nullptr, kFlakySinkFactory, GST_RANK_NONE, type) != FALSE;
    }();
    return registered;
}

void SetSoundServerUp(bool up) {
    g_serverUp.store(up);
}

int FlakySinkStarts() {
    return g_starts.load();
}

} // namespace testmedia
