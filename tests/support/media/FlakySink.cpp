#include "support/media/FlakySink.h"

#include "support/media/HeldSource.h"

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

} // namespace

bool RegisterFlakySink() {
    static const bool registered =
        RegisterDerivedElement(kFlakySinkFactory, "fakesink", "MirtFlakySink", ClassInit);
    return registered;
}

void SetSoundServerUp(bool up) {
    g_serverUp.store(up);
}

int FlakySinkStarts() {
    return g_starts.load();
}

} // namespace testmedia
