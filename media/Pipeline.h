// One GstPipeline and the order of its state changes.
//
// Every state change and seek of the pipeline runs on a thread of GLib's shared pool, never on
// the caller's, so that the caller never waits for GStreamer: a preroll, a flushing seek or the
// final shutdown can take as long as a streaming thread needs to let go, which is forever when a
// read never returns. Each pipeline has a GLib thread pool of at most one thread, lent from the
// threads that all non-exclusive pools share: its commands run one after another in the order
// asked for, and another pipeline's never wait for them. Bus messages come back to the thread
// that runs GLib's default main context (Qt's GUI thread) through a bus watch, in the order they
// were posted (only those that matter to an owner: errors, warnings, the end of the stream, the
// pipeline's own state changes, a finished preroll, a lost clock, application messages); a
// "done" message follows each command, so a message that predates a command can be told from
// one that follows it.
//
// Destroying the handle abandons the pipeline: no message reaches the handler any more, commands
// not yet run are dropped, and the pipeline's last command sets it to NULL and releases it, once
// it is there; its pool goes with it. A pipeline that was never started is released at once.
#pragma once

#include "media/GstHandles.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace media {

// Keeps links that a streaming thread makes in a pipeline (decodebin exposing a stream) apart
// from the final change to NULL: GStreamer walks a bin's elements in the order of their links
// while it changes their state, and a link made during that walk makes it see a loop. Once the
// pipeline is being torn down, no more links are made.
class LinkGate {
public:
    // Runs `link` unless the pipeline is being torn down; never while Close() runs.
    template <class Link>
    void Run(Link&& link) {
        const std::lock_guard lock(m_mutex);
        if (!m_closed)
            link();
    }
    // Waits for a link under way to be made; none is made afterwards.
    void Close() {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }

private:
    std::mutex m_mutex;
    bool m_closed = false;
};

class Pipeline {
public:
    using MessageHandler = std::function<void(GstMessage* message)>;

    // A new, empty pipeline whose bus messages go to `handler`. valid() tells whether it could
    // be made.
    explicit Pipeline(MessageHandler handler);
    ~Pipeline();
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    bool valid() const { return m_pool != nullptr; }
    // Where streaming threads make their links in this pipeline (see LinkGate).
    std::shared_ptr<LinkGate> links() const { return m_links; }
    GstElement* element() const { return m_pipeline.get(); }
    GstBin* bin() const { return GST_BIN(m_pipeline.get()); }

    // Queue a state change or a flushing seek to the start of the stream (its stop left at the
    // end) and return its number at once; the "done" message carries the same number.
    std::uint64_t SetState(GstState state);
    std::uint64_t SeekToStart();

    // The number of a "done" message, or 0 for any other message.
    static std::uint64_t DoneNumber(GstMessage* message);
    // Whether the command of a "done" message failed.
    static bool DoneFailed(GstMessage* message);

    // The pipeline's state as its own state-change messages have reported it.
    GstState state() const { return m_state; }

private:
    struct Commands;
    static gboolean OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    std::uint64_t Queue(int command);

    MessageHandler m_handler;
    ElementPtr m_pipeline;
    BusPtr m_bus;
    std::shared_ptr<LinkGate> m_links = std::make_shared<LinkGate>();
    std::unique_ptr<Commands> m_commands; // handed to the pool's last command when abandoned
    GThreadPool* m_pool = nullptr;
    std::uint64_t m_lastNumber = 0;
    GstState m_state = GST_STATE_NULL;
};

// Abandoned pipelines not yet torn down. A teardown takes milliseconds, unless a streaming
// thread of the pipeline is stuck in a read that does not return (a network share that stopped
// answering): then it lasts as long as the read, with the pipeline's threads and descriptors.
int StuckPipelines();
// How many of those there may be before no new file is started. Each keeps one thread of the
// pool waiting, so this also bounds the threads of abandoned pipelines.
inline constexpr int kMaxStuckPipelines = 8;

} // namespace media
