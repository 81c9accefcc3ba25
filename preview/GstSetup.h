// Process-wide GStreamer set-up: one-time initialisation and the sink the preview plays into.
#pragma once

#include <string>

namespace media {

// Initialises GStreamer the first time it is called (no command line). Later calls return the
// first call's result. False, with the reason in error, when GStreamer cannot start.
bool EnsureGstInit(std::string* error = nullptr);

// The audio sink that ends every graph built after it is chosen. `sync` is applied only when
// the sink has a "sync" property.
struct SinkChoice {
    std::string factory = "autoaudiosink";
    bool sync = true;
};

const SinkChoice& PreviewSink();

} // namespace media

// Chooses the sink for graphs built from now on: the program keeps autoaudiosink; tests use
// fakesink, unsynchronised to run a file to its end at once, or synchronised to play in real time.
void SetPreviewSinkFactory(std::string factory, bool sync);
