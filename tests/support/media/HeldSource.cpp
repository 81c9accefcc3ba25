#include "support/media/HeldSource.h"

#include "media/GstSetup.h"

#include <gst/base/gstbasesrc.h>

#include <condition_variable>
#include <mutex>
#include <new>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

void PassGate(const char* location) {
    Gate& gate = TheGate();
    std::unique_lock lock(gate.mutex);
    const auto held = [&] {
        return location != nullptr && (gate.holdAll || gate.held == location);
    };
    if (!held())
        return;
    ++gate.waiting;
    gate.opened.wait(lock, [&] { return !held(); });
    --gate.waiting;
}

struct HeldSrc {
    GstBaseSrc parent;
    gchar* location;
    int fd;
    guint64 size;
};

struct HeldSrcClass {
    GstBaseSrcClass parent_class;
};

enum { kPropLocation = 1 };

GType HeldSrcType();
HeldSrc* Self(gpointer object) {
    return reinterpret_cast<HeldSrc*>(object);
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* spec) {
    if (id != kPropLocation) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
        return;
    }
    g_free(Self(object)->location);
    Self(object)->location = g_value_dup_string(value);
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* spec) {
    if (id != kPropLocation) {
        G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, spec);
        return;
    }
    g_value_set_string(value, Self(object)->location);
}

void Finalize(GObject* object) {
    g_free(Self(object)->location);
    G_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(object)))->finalize(object);
}

gboolean Start(GstBaseSrc* base) {
    HeldSrc* self = Self(base);
    PassGate(self->location); // opening a file can stall as much as reading it
    struct stat info {};
    self->fd = self->location ? open(self->location, O_RDONLY | O_CLOEXEC) : -1;
    if (self->fd < 0 || fstat(self->fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (self->fd >= 0)
            close(self->fd);
        self->fd = -1;
        GST_ELEMENT_ERROR(base, RESOURCE, OPEN_READ, ("cannot open the file"), (nullptr));
        return FALSE;
    }
    self->size = static_cast<guint64>(info.st_size);
    return TRUE;
}

gboolean Stop(GstBaseSrc* base) {
    if (Self(base)->fd >= 0)
        close(Self(base)->fd);
    Self(base)->fd = -1;
    return TRUE;
}

gboolean GetSize(GstBaseSrc* base, guint64* size) {
    *size = Self(base)->size;
    return TRUE;
}

gboolean IsSeekable(GstBaseSrc* /*base*/) {
    return TRUE;
}

GstFlowReturn Fill(GstBaseSrc* base, guint64 offset, guint length, GstBuffer* buffer) {
    HeldSrc* self = Self(base);
    PassGate(self->location);
    if (offset >= self->size)
        return GST_FLOW_EOS;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_WRITE))
        return GST_FLOW_ERROR;
    const ssize_t got = pread(self->fd, map.data, length, static_cast<off_t>(offset));
    gst_buffer_unmap(buffer, &map);
    if (got < 0)
        return GST_FLOW_ERROR;
    if (got == 0)
        return GST_FLOW_EOS;
    gst_buffer_resize(buffer, 0, got);
    GST_BUFFER_OFFSET(buffer) = offset;
    GST_BUFFER_OFFSET_END(buffer) = offset + static_cast<guint64>(got);
    return GST_FLOW_OK;
}

void ClassInit(gpointer klass, gpointer /*data*/) {
    auto* objectClass = G_OBJECT_CLASS(klass);
    objectClass->set_property = SetProperty;
    objectClass->get_property = GetProperty;
    objectClass->finalize = Finalize;
    g_object_class_install_property(
        objectClass, kPropLocation,
        g_param_spec_string("location", "File location", "The file to read", nullptr,
                            static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS)));
    auto* elementClass = GST_ELEMENT_CLASS(klass);
    gst_element_class_set_static_metadata(elementClass, "Held file source", "Source/File",
                                          "Reads a file; its reads can be held back",
                                          "mirtconfig tests");
    static GstStaticPadTemplate source =
        GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
    gst_element_class_add_static_pad_template(elementClass, &source);
    auto* baseClass = GST_BASE_SRC_CLASS(klass);
    baseClass->start = Start;
    baseClass->stop = Stop;
    baseClass->get_size = GetSize;
    baseClass->is_seekable = IsSeekable;
    baseClass->fill = Fill;
}

void InstanceInit(GTypeInstance* instance, gpointer /*klass*/) {
    HeldSrc* self = Self(instance);
    self->location = nullptr;
    self->fd = -1;
    self->size = 0;
    gst_base_src_set_format(GST_BASE_SRC(instance), GST_FORMAT_BYTES);
}

GType HeldSrcType() {
    static const GType type =
        g_type_register_static_simple(GST_TYPE_BASE_SRC, "MirtHeldSrc", sizeof(HeldSrcClass),
                                      ClassInit, sizeof(HeldSrc), InstanceInit, GTypeFlags(0));
    return type;
}

} // namespace

bool RegisterHeldSource() {
    if (!media::EnsureGstInit())
        return false;
    static const bool registered =
        gst_element_register(nullptr, kHeldSourceFactory, GST_RANK_NONE, HeldSrcType()) != FALSE;
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
