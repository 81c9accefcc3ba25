// A GstPipeline with its bus, shut down properly when the handle goes away: any pending state
// change is finished, the pipeline is set to NULL and only then released.
#pragma once

#include "preview/GstHandles.h"

#include <string>

namespace media {

// How long a state change (preroll, a flushing seek, shutdown) may take before it counts as failed.
inline constexpr GstClockTime kStateChangeTimeout = 5 * GST_SECOND;
// How long to wait for the ERROR message that explains a failed state change.
inline constexpr GstClockTime kErrorMessageTimeout = 1 * GST_SECOND;

class Pipeline {
public:
    // An empty handle; valid() is false until a pipeline is made with Create().
    Pipeline() = default;
    ~Pipeline();
    Pipeline(Pipeline&& other) noexcept = default;
    Pipeline& operator=(Pipeline&& other) noexcept;
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    static Pipeline Create(const char* name);

    bool valid() const { return m_pipeline != nullptr; }
    GstElement* element() const { return m_pipeline.get(); }
    GstBin* bin() const { return GST_BIN(m_pipeline.get()); }
    GstBus* bus() const { return m_bus.get(); }

    // Sets the state and waits until it is reached. On failure returns false and puts the reason
    // (from the bus when there is one) into error.
    bool SetStateAndWait(GstState state, std::string& error);
    // Waits for a pending (ASYNC) state change, e.g. after a flushing seek.
    bool WaitForStateChange(std::string& error);
    // The state the pipeline is in now (its pending change not counted).
    GstState CurrentState() const;

    // Waits up to `timeout` for an ERROR message and returns its text, or "" when none came.
    std::string TakeError(GstClockTime timeout);
    // Throws away every message on the bus.
    void DrainBus();

    // Finishes any pending state change, sets NULL and releases the pipeline. Safe to repeat.
    void Shutdown();

private:
    ElementPtr m_pipeline;
    BusPtr m_bus;
};

// "element: message" of an ERROR (or WARNING) message.
std::string DescribeMessage(GstMessage* message);

} // namespace media
