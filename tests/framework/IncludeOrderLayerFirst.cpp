// The dialog layer first, GStreamer after it: see IncludeOrder.cpp.
#include "framework/Dialog.h"

#include <gst/gst.h>

using namespace framework::win32;

BOOL IncludedTheLayerFirst() {
    return FALSE;
}
