// GLib defines TRUE and FALSE as macros; the dialog layer's vocabulary must compile whichever
// header comes first. This file includes GStreamer first; IncludeOrderLayerFirst.cpp the layer.
#include <gst/gst.h>

#include "framework/Dialog.h"

using namespace framework::win32;

BOOL IncludedGStreamerFirst() {
    return TRUE;
}
