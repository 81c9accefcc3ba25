// The media module, as the preview reaches it: loaded once, the first time a graph is made, from
// one place only, lib/mirtconfig/libmirtconfig-media.so beside the folder of the running
// program (`$ORIGIN/../lib/mirtconfig`): the build tree and the installed tree are laid out
// alike. Never by a bare name, never through a search path, never from the working folder,
// which is the game's and not ours to trust.
#pragma once

#include "media/Graph.h"

#include <chrono>
#include <memory>
#include <string>

namespace media {

// A new graph from the media module; null, with the reason, when the module cannot be loaded.
std::unique_ptr<Graph> MakeGraph(const GraphOptions& options, GraphListener& listener,
                                 std::string* reason);

// Waits up to `timeout` until every abandoned pipeline has been torn down; true when none is
// left (also when the module was never loaded). For the end of the program and for tests;
// never needed for correctness.
bool WaitForBackgroundWork(std::chrono::milliseconds timeout);

// The module's absolute path, from the running program's own location; empty, with the
// reason, when that location cannot be known.
std::string MediaModulePath(std::string* reason = nullptr);

} // namespace media
