#include "preview/GstSetup.h"

#include "preview/GstHandles.h"

#include <mutex>
#include <utility>

namespace media {
namespace {

SinkChoice& SinkSetting() {
    static SinkChoice choice;
    return choice;
}

} // namespace

bool EnsureGstInit(std::string* error) {
    static std::once_flag once;
    static bool ok = false;
    static std::string failure;
    std::call_once(once, [] {
        GError* raw = nullptr;
        ok = gst_init_check(nullptr, nullptr, &raw) != FALSE;
        const ErrorPtr initError(raw);
        if (!ok) {
            failure = (initError && initError->message) ? initError->message
                                                        : "GStreamer could not be initialised";
        }
    });
    if (!ok && error != nullptr) {
        *error = failure;
    }
    return ok;
}

const SinkChoice& PreviewSink() {
    return SinkSetting();
}

} // namespace media

void SetPreviewSinkFactory(std::string factory, bool sync) {
    media::SinkSetting() = media::SinkChoice{std::move(factory), sync};
}
