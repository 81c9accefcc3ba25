#include "support/media/HeldSource.h"

#include "media/GstHandles.h"
#include "media/GstSetup.h"

#include <gst/base/gstbasesrc.h>

#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <utility>

namespace testmedia {
namespace {

struct Gate {
    std::mutex mutex;
    std::condition_variable opened;
    std::string held; // the location whose reads wait; empty for none
    bool holdAll = false;
    int waiting = 0;
};

// Never destroyed: a process may end while reads still wait at the gate, as one may end while
// its reads of a share that stopped answering never return, and destroying a condition
// variable that is waited on would hold up that end.
Gate& TheGate() {
    alignas(Gate) static unsigned char storage[sizeof(Gate)];
    static Gate* const gate = ::new (storage) Gate;
    return *gate;
}

void PassGate(GstBaseSrc* source) {
    gchar* raw = nullptr;
    g_object_get(source, "location", &raw, nullptr);
    const media::GCharPtr location(raw);
    Gate& gate = TheGate();
    std::unique_lock lock(gate.mutex);
    const auto held = [&] { return location && (gate.holdAll || gate.held == location.get()); };
    if (!held())
        return;
    ++gate.waiting;
    gate.opened.wait(lock, [&] { return !held(); });
    --gate.waiting;
}

// The held source is filesrc with a gate in front of its opening and of each of its reads.
gboolean (*g_fileStart)(GstBaseSrc*) = nullptr;
GstFlowReturn (*g_fileFill)(GstBaseSrc*, guint64, guint, GstBuffer*) = nullptr;

gboolean Start(GstBaseSrc* source) {
    PassGate(source); // opening a file can stall as much as reading it
    return g_fileStart(source);
}

GstFlowReturn Fill(GstBaseSrc* source, guint64 offset, guint length, GstBuffer* buffer) {
    PassGate(source);
    return g_fileFill(source, offset, length, buffer);
}

void ClassInit(gpointer klass, gpointer /*data*/) {
    auto* base = GST_BASE_SRC_CLASS(klass);
    g_fileStart = std::exchange(base->start, Start);
    g_fileFill = std::exchange(base->fill, Fill);
}

} // namespace

bool RegisterDerivedElement(const char* factoryName, const char* base, const char* typeName,
                            void (*classInit)(void* klass, void* data)) {
    if (!media::EnsureGstInit())
        return false;
    const media::GstObjectPtr<GstElementFactory> factory(gst_element_factory_find(base));
    const media::GstObjectPtr<GstPluginFeature> loaded(
        factory ? gst_plugin_feature_load(GST_PLUGIN_FEATURE(factory.get())) : nullptr);
    if (!loaded)
        return false;
    const GType parent = gst_element_factory_get_element_type(GST_ELEMENT_FACTORY(loaded.get()));
    GTypeQuery sizes{};
    g_type_query(parent, &sizes);
    const GType type = g_type_register_static_simple(parent, typeName, sizes.class_size, classInit,
                                                     sizes.instance_size, nullptr, GTypeFlags(0));
    return type != G_TYPE_INVALID &&
           gst_element_register(nullptr, factoryName, GST_RANK_NONE, type) != FALSE;
}

bool RegisterHeldSource() {
    static const bool registered =
        RegisterDerivedElement(kHeldSourceFactory, "filesrc", "MirtHeldSrc", ClassInit);
    return registered;
}

void HoldReads(const std::string& location) {
    const std::lock_guard lock(TheGate().mutex);
    TheGate().held = location;
}

void HoldAllReads() {
    const std::lock_guard lock(TheGate().mutex);
    TheGate().holdAll = true;
}

void ReleaseReads() {
    {
        const std::lock_guard lock(TheGate().mutex);
        TheGate().held.clear();
        TheGate().holdAll = false;
    }
    TheGate().opened.notify_all();
}

int HeldReads() {
    const std::lock_guard lock(TheGate().mutex);
    return TheGate().waiting;
}

} // namespace testmedia
