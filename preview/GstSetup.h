// Process-wide GStreamer set-up: one-time initialisation, the preview's debug category, and the
// choice of elements a media graph is built from.
#pragma once

#include <gst/gst.h>

#include <chrono>
#include <string>

// Reasons for failures are logged here, never printed: GST_DEBUG=mirt*:5 shows them.
GST_DEBUG_CATEGORY_EXTERN(mirt_preview_debug);

namespace media {

// Initialises GStreamer the first time it is called (no command line). Later calls return the
// first call's result. False, with the reason when asked for, when GStreamer cannot start.
bool EnsureGstInit(std::string* reason = nullptr);

// Links `from`'s "src" pad to `to`'s "sink" pad without checking their formats, for chains
// whose elements always take what the one before gives (raw audio, or a file's bytes into
// decodebin); negotiation still checks the real formats once data flows. The usual link
// intersects the large template formats of audioconvert and audioresample, which costs more than
// making the elements. Elements without those pads are linked the usual way.
bool LinkUnchecked(GstElement* from, GstElement* to);

// What a media graph is built from. The program keeps the defaults; tests play into fakesink,
// unsynchronised to run a file to its end at once or synchronised to play in real time, and
// may read files through a source element of their own.
struct GraphOptions {
    std::string sink = "autoaudiosink";
    bool sync = true; // applied only when the sink has a "sync" property
    std::string source = "filesrc";
    // A render that has not prerolled by then has stalled (a read that never returns) and
    // counts as failed. Files that can be played preroll in milliseconds.
    std::chrono::milliseconds renderTimeout{5000};
};

} // namespace media
