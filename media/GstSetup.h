// Process-wide GStreamer set-up: one-time initialisation, the preview's debug category, and
// linking the graph's elements. The media graph and the test media use it.
#pragma once

#include <gst/gst.h>

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

} // namespace media
