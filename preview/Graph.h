// The process-wide media graph of the preview: built by InitDirectShow, released by
// FreeDirectShow. Only one exists at a time; the player renders into whichever is current.
#pragma once

#include "preview/GstSetup.h" // SetPreviewSinkFactory

namespace media {
class MediaGraph;

// The current graph, or null before InitDirectShow, after FreeDirectShow or after a failed build.
MediaGraph* CurrentGraph();
} // namespace media

// Builds a new graph ending in the sink chosen with SetPreviewSinkFactory (replacing any current
// one) and gives it the player's volume. 0 on success, negative on failure (then there is none).
int InitDirectShow();

// Finishes any pending state change, stops and releases the graph. Always 0; safe without a graph.
int FreeDirectShow();
