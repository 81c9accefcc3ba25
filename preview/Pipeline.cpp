#include "preview/Pipeline.h"

#include <utility>

namespace media {

Pipeline::~Pipeline() {
    Shutdown();
}

Pipeline& Pipeline::operator=(Pipeline&& other) noexcept {
    if (this != &other) {
        Shutdown();
        m_pipeline = std::move(other.m_pipeline);
        m_bus = std::move(other.m_bus);
    }
    return *this;
}

Pipeline Pipeline::Create(const char* name) {
    Pipeline result;
    GstElement* pipeline = gst_pipeline_new(name);
    if (pipeline == nullptr) {
        return result;
    }
    result.m_pipeline.reset(GST_ELEMENT(gst_object_ref_sink(pipeline)));
    result.m_bus.reset(gst_element_get_bus(pipeline));
    return result;
}

bool Pipeline::SetStateAndWait(GstState state, std::string& error) {
    if (!valid()) {
        error = "no pipeline";
        return false;
    }
    if (gst_element_set_state(element(), state) == GST_STATE_CHANGE_FAILURE) {
        error = TakeError(kErrorMessageTimeout);
        if (error.empty()) {
            error = "the state change failed";
        }
        return false;
    }
    return WaitForStateChange(error);
}

bool Pipeline::WaitForStateChange(std::string& error) {
    if (!valid()) {
        error = "no pipeline";
        return false;
    }
    const GstStateChangeReturn result =
        gst_element_get_state(element(), nullptr, nullptr, kStateChangeTimeout);
    if (result == GST_STATE_CHANGE_FAILURE) {
        // The ERROR message can arrive a little after get_state reports the failure.
        error = TakeError(kErrorMessageTimeout);
        if (error.empty()) {
            error = "the state change failed";
        }
        return false;
    }
    if (result == GST_STATE_CHANGE_ASYNC) {
        error = TakeError(0);
        if (error.empty()) {
            error = "the state change timed out";
        }
        return false;
    }
    return true;
}

GstState Pipeline::CurrentState() const {
    if (!valid()) {
        return GST_STATE_VOID_PENDING;
    }
    GstState current = GST_STATE_VOID_PENDING;
    gst_element_get_state(element(), &current, nullptr, 0);
    return current;
}

std::string Pipeline::TakeError(GstClockTime timeout) {
    if (m_bus == nullptr) {
        return {};
    }
    MessagePtr message(gst_bus_timed_pop_filtered(bus(), timeout, GST_MESSAGE_ERROR));
    return message ? DescribeMessage(message.get()) : std::string();
}

void Pipeline::DrainBus() {
    if (m_bus == nullptr) {
        return;
    }
    while (MessagePtr message{gst_bus_pop(bus())}) {
    }
}

void Pipeline::Shutdown() {
    if (m_pipeline) {
        gst_element_get_state(element(), nullptr, nullptr, kStateChangeTimeout);
        gst_element_set_state(element(), GST_STATE_NULL);
        DrainBus();
    }
    m_bus.reset();
    m_pipeline.reset();
}

std::string DescribeMessage(GstMessage* message) {
    GError* raw = nullptr;
    gchar* rawDebug = nullptr;
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        gst_message_parse_error(message, &raw, &rawDebug);
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_WARNING) {
        gst_message_parse_warning(message, &raw, &rawDebug);
    } else {
        return GST_MESSAGE_TYPE_NAME(message);
    }
    const ErrorPtr error(raw);
    const GCharPtr debug(rawDebug);
    std::string text;
    if (GST_MESSAGE_SRC(message) != nullptr) {
        text = GST_OBJECT_NAME(GST_MESSAGE_SRC(message));
        text += ": ";
    }
    text += (error && error->message) ? error->message : "unknown error";
    return text;
}

} // namespace media
