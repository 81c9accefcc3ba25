// An audio sink for tests and a sound server that goes away and comes back. While the server is
// down, the sink warns that it could not open its output when it starts, as autoaudiosink does
// before it falls back to playing into nothing; up or down, it plays into nothing, as fakesink
// does, of which it is made. Build a graph with GraphOptions::sink = kFlakySinkFactory.
#pragma once

namespace testmedia {

inline constexpr char kFlakySinkFactory[] = "mirtflakysink";

// Registers the element with GStreamer (once per process; initialises GStreamer if needed).
bool RegisterFlakySink();

void SetSoundServerUp(bool up);
// How many sinks of this kind have started so far: one per pipeline that reached the server.
int FlakySinkStarts();

} // namespace testmedia
