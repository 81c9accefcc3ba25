#include "media/Pipeline.h"

#include "media/GstSetup.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace media {
namespace {

constexpr char kDoneMessage[] = "mirt-command-done";

enum Command { kSetNull, kSetReady, kSetPaused, kSetPlaying, kSeekToStart };

Command StateCommand(GstState state) {
    switch (state) {
    case GST_STATE_PLAYING:
        return kSetPlaying;
    case GST_STATE_PAUSED:
        return kSetPaused;
    case GST_STATE_READY:
        return kSetReady;
    default:
        return kSetNull;
    }
}

bool Execute(GstElement* pipeline, Command command) {
    switch (command) {
    case kSeekToStart: {
        const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
        return gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, 0,
                                GST_SEEK_TYPE_SET, -1) != FALSE;
    }
    case kSetPlaying:
        return gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    case kSetPaused:
        return gst_element_set_state(pipeline, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
    case kSetReady:
        return gst_element_set_state(pipeline, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    case kSetNull:
        return gst_element_set_state(pipeline, GST_STATE_NULL) != GST_STATE_CHANGE_FAILURE;
    }
    return false;
}

// Abandoned pipelines not yet torn down. An atomic with nothing to destroy, so that a thread
// still tearing down while the program exits never touches a destroyed object.
constinit std::atomic<int> g_teardowns{0};

// Counts one abandoned pipeline from the moment its handle lets go until it is released.
class TeardownCount {
public:
    TeardownCount() { g_teardowns.fetch_add(1); }
    ~TeardownCount() { g_teardowns.fetch_sub(1); }
    TeardownCount(const TeardownCount&) = delete;
    TeardownCount& operator=(const TeardownCount&) = delete;
};

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

bool WaitForMediaThreads(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (g_teardowns.load() > 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// The commands of one pipeline, run one after another by the threads below, and the worker's
// own references to the pipeline and its bus, released by the teardown at the end.
struct Pipeline::Worker {
    std::mutex mutex;
    std::deque<std::pair<std::uint64_t, Command>> queue;
    bool draining = false;                 // a thread is running this pipeline's commands
    bool abandoned = false;                // the handle has let go: tear down instead
    std::optional<TeardownCount> teardown; // counted from the moment the handle lets go
    ElementPtr pipeline;
    BusPtr bus;
    std::shared_ptr<LinkGate> links;

    // Makes sure a thread runs what is queued (or the teardown), unless one is at it already.
    static void Schedule(const std::shared_ptr<Worker>& self) {
        {
            const std::lock_guard lock(self->mutex);
            if (self->draining)
                return;
            self->draining = true;
        }
        auto job = std::make_unique<std::shared_ptr<Worker>>(self);
        GError* raw = nullptr;
        if (g_thread_pool_push(CommandThreads(), job.get(), &raw)) {
            job.release(); // Drain owns it now
            return;
        }
        const ErrorPtr error(raw);
        GST_CAT_ERROR(mirt_preview_debug, "no thread for a pipeline: %s",
                      error ? error->message : "unknown error");
        const std::lock_guard lock(self->mutex);
        self->draining = false;
    }

    static void Drain(gpointer job, gpointer /*unused*/) {
        const std::unique_ptr<std::shared_ptr<Worker>> owned(
            static_cast<std::shared_ptr<Worker>*>(job));
        Worker& self = **owned;
        for (;;) {
            std::pair<std::uint64_t, Command> next;
            {
                const std::lock_guard lock(self.mutex);
                if (self.abandoned)
                    break;
                if (self.queue.empty()) {
                    self.draining = false;
                    return;
                }
                next = self.queue.front();
                self.queue.pop_front();
            }
            const bool ok = Execute(self.pipeline.get(), next.second);
            GstStructure* done =
                gst_structure_new(kDoneMessage, "number", G_TYPE_UINT64, next.first, "failed",
                                  G_TYPE_BOOLEAN, ok ? FALSE : TRUE, nullptr);
            gst_bus_post(self.bus.get(),
                         gst_message_new_application(GST_OBJECT(self.pipeline.get()), done));
        }
        // This is where a streaming thread stuck in a read keeps this thread waiting; nobody
        // else waits for it, and the pool starts other threads for other pipelines (no more
        // than kMaxStuckPipelines are ever left waiting).
        self.links->Close();
        StopForGood(self.pipeline.get());
        self.pipeline.reset();
        self.bus.reset();
        const std::lock_guard lock(self.mutex);
        self.teardown.reset();
    }

    // Threads are reused from one pipeline to the next (starting one costs about as much as a
    // preroll), and there are as many as are busy, so that a pipeline stuck in a read never
    // holds up another. The pool lives as long as the process.
    static GThreadPool* CommandThreads() {
        static GThreadPool* const pool =
            g_thread_pool_new(&Worker::Drain, nullptr, -1, FALSE, nullptr);
        return pool;
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
    m_worker = std::make_shared<Worker>();
    m_worker->pipeline.reset(GST_ELEMENT(gst_object_ref(pipeline)));
    m_worker->bus.reset(GST_BUS(gst_object_ref(m_bus.get())));
    m_worker->links = m_links;
}

Pipeline::~Pipeline() {
    if (!m_worker)
        return;
    // From here on nothing reaches the handler, and what is still posted is dropped.
    gst_bus_remove_watch(m_bus.get());
    gst_bus_set_flushing(m_bus.get(), TRUE);
    if (m_lastNumber == 0) {
        // Never started: it is in NULL and no thread has touched it, so it goes at once.
        m_worker->pipeline.reset();
        m_worker->bus.reset();
        return;
    }
    {
        const std::lock_guard lock(m_worker->mutex);
        m_worker->abandoned = true;
        m_worker->teardown.emplace();
        m_worker->queue.clear();
    }
    Worker::Schedule(m_worker);
}

std::uint64_t Pipeline::Queue(int command) {
    if (!m_worker)
        return 0;
    const std::uint64_t number = ++m_lastNumber;
    {
        const std::lock_guard lock(m_worker->mutex);
        m_worker->queue.emplace_back(number, static_cast<Command>(command));
    }
    Worker::Schedule(m_worker);
    return number;
}

std::uint64_t Pipeline::SetState(GstState state) {
    return Queue(StateCommand(state));
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
