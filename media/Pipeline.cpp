#include "media/Pipeline.h"

#include "media/Graph.h"
#include "media/GstSetup.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <utility>

namespace media {
namespace {

constexpr char kDoneMessage[] = "mirt-command-done";
// The one command besides the states, whose values are GstState's own (all above 0).
constexpr int kSeekToStart = -1;

bool Execute(GstElement* pipeline, int command) {
    if (command != kSeekToStart)
        return gst_element_set_state(pipeline, static_cast<GstState>(command)) !=
               GST_STATE_CHANGE_FAILURE;
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    return gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, 0,
                            GST_SEEK_TYPE_SET, -1) != FALSE;
}

// Abandoned pipelines not yet torn down. An atomic with nothing to destroy, so that a thread
// still tearing down while the program exits never touches a destroyed object.
constinit std::atomic<int> g_teardowns{0};

// Sets the pipeline to NULL and waits there until it is: only a pipeline in NULL may be
// released. A change to NULL that does not get there at once (an element still finishing an
// earlier change) is asked for again.
void StopForGood(GstElement* pipeline) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        GstState state = GST_STATE_VOID_PENDING;
        GstState pending = GST_STATE_VOID_PENDING;
        if (gst_element_get_state(pipeline, &state, &pending, GST_CLOCK_TIME_NONE) !=
                GST_STATE_CHANGE_FAILURE &&
            state == GST_STATE_NULL && pending == GST_STATE_VOID_PENDING)
            return;
        g_usleep(1000);
    }
    GST_CAT_ERROR(mirt_preview_debug, "a pipeline does not reach the NULL state");
}

// Only what the owner acts on crosses over to the GUI thread: every element of a pipeline
// posts a state change of its own, stream status and tags, some forty messages per file, and
// each would cost the event loop a turn. The rest is dropped where it is posted.
bool Matters(GstMessage* message, gpointer pipeline) {
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_WARNING:
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_ASYNC_DONE:
    case GST_MESSAGE_APPLICATION:
    case GST_MESSAGE_CLOCK_LOST:
        return true;
    case GST_MESSAGE_STATE_CHANGED:
        return GST_MESSAGE_SRC(message) == GST_OBJECT(pipeline);
    default:
        return false;
    }
}

GstBusSyncReply KeepWhatMatters(GstBus* /*bus*/, GstMessage* message, gpointer pipeline) {
    if (Matters(message, pipeline))
        return GST_BUS_PASS;
    gst_message_unref(message); // a message dropped here is the handler's to release
    return GST_BUS_DROP;
}

} // namespace

int StuckPipelines() {
    return g_teardowns.load();
}

bool WaitForBackgroundWork(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (g_teardowns.load() > 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// What the pool's thread works on: its own references to the pipeline and its bus, released by
// the teardown at the end.
struct Pipeline::Commands {
    ElementPtr pipeline;
    BusPtr bus;
    std::shared_ptr<LinkGate> links;
    std::atomic<bool> abandoned{false};

    struct Task {
        std::uint64_t number;
        int command;
        std::unique_ptr<Commands> last; // the teardown owns what it releases
    };

    // Runs one command on the pool's thread; the pool runs them one at a time, in order.
    static void Run(gpointer task, gpointer commands) {
        const std::unique_ptr<Task> owned(static_cast<Task*>(task));
        Commands& self = *static_cast<Commands*>(commands);
        if (owned->last) {
            // This is where a streaming thread stuck in a read keeps this thread waiting; nobody
            // else waits for it (no more than kMaxStuckPipelines are ever left waiting).
            self.links->Close();
            StopForGood(self.pipeline.get());
            owned->last.reset();
            g_teardowns.fetch_sub(1);
            return;
        }
        if (self.abandoned.load())
            return;
        const bool ok = Execute(self.pipeline.get(), owned->command);
        GstStructure* done = gst_structure_new(kDoneMessage, "number", G_TYPE_UINT64, owned->number,
                                               "failed", G_TYPE_BOOLEAN, !ok, nullptr);
        gst_bus_post(self.bus.get(),
                     gst_message_new_application(GST_OBJECT(self.pipeline.get()), done));
    }

    static void Push(GThreadPool* pool, Task task) {
        // Run takes it back; a pool that cannot start a thread now keeps it for a later one.
        g_thread_pool_push(pool, std::make_unique<Task>(std::move(task)).release(), nullptr);
    }
};

Pipeline::Pipeline(MessageHandler handler) : m_handler(std::move(handler)) {
    GstElement* pipeline = gst_pipeline_new(nullptr);
    if (pipeline == nullptr)
        return;
    m_pipeline.reset(GST_ELEMENT(gst_object_ref_sink(pipeline)));
    m_bus.reset(gst_element_get_bus(pipeline));
    gst_bus_set_sync_handler(m_bus.get(), KeepWhatMatters, pipeline, nullptr);
    gst_bus_add_watch(m_bus.get(), &Pipeline::OnBusMessage, this);
    m_commands = std::make_unique<Commands>();
    m_commands->pipeline.reset(GST_ELEMENT(gst_object_ref(pipeline)));
    m_commands->bus.reset(GST_BUS(gst_object_ref(m_bus.get())));
    m_commands->links = m_links;
    // One thread at most, so that the commands keep their order; threads are reused from one
    // pipeline to the next (starting one costs about as much as a preroll).
    m_pool = g_thread_pool_new(&Commands::Run, m_commands.get(), 1, FALSE, nullptr);
}

Pipeline::~Pipeline() {
    if (m_pool == nullptr)
        return;
    // From here on nothing reaches the handler, and what is still posted is dropped.
    gst_bus_remove_watch(m_bus.get());
    gst_bus_set_flushing(m_bus.get(), TRUE);
    if (m_lastNumber != 0) {
        m_commands->abandoned.store(true);
        g_teardowns.fetch_add(1);
        Commands::Push(m_pool, {0, 0, std::move(m_commands)});
    }
    // Never started: it is in NULL and no thread has touched it, so it goes at once. Otherwise
    // the pool frees itself after its last command.
    g_thread_pool_free(m_pool, FALSE, FALSE);
}

std::uint64_t Pipeline::Queue(int command) {
    if (m_pool == nullptr)
        return 0;
    Commands::Push(m_pool, {++m_lastNumber, command, nullptr});
    return m_lastNumber;
}

std::uint64_t Pipeline::SetState(GstState state) {
    return Queue(state);
}

std::uint64_t Pipeline::SeekToStart() {
    return Queue(kSeekToStart);
}

std::uint64_t Pipeline::DoneNumber(GstMessage* message) {
    guint64 number = 0;
    if (!IsApplicationMessage(message, kDoneMessage) ||
        !gst_structure_get_uint64(gst_message_get_structure(message), "number", &number))
        return 0;
    return number;
}

bool Pipeline::DoneFailed(GstMessage* message) {
    gboolean failed = FALSE;
    const GstStructure* structure = gst_message_get_structure(message);
    return structure != nullptr && gst_structure_get_boolean(structure, "failed", &failed) &&
           failed;
}

gboolean Pipeline::OnBusMessage(GstBus* /*bus*/, GstMessage* message, gpointer data) {
    auto* self = static_cast<Pipeline*>(data);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_STATE_CHANGED &&
        GST_MESSAGE_SRC(message) == GST_OBJECT(self->m_pipeline.get())) {
        GstState state = GST_STATE_NULL;
        gst_message_parse_state_changed(message, nullptr, &state, nullptr);
        self->m_state = state;
    }
    // The handler may abandon this very pipeline, so it runs from a copy and nothing of the
    // handle is touched after it.
    const MessageHandler handler = self->m_handler;
    handler(message);
    return TRUE;
}

} // namespace media
