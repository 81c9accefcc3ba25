// The media module's entry point, the one symbol it exports: the program finds it with dlsym.
#include "media/Graph.h"
#include "media/MediaGraph.h"
#include "media/Pipeline.h"

namespace {

std::unique_ptr<media::Graph> MakeGraph(const media::GraphOptions& options,
                                        media::GraphListener& listener) {
    return std::make_unique<media::MediaGraph>(options, listener);
}

constexpr media::MediaModule kModule{media::kMediaModuleVersion, &MakeGraph,
                                     &media::WaitForMediaThreads};

} // namespace

// A plain C function, so that the boundary does not depend on name mangling: the table only
// for a program built against the same interface, nothing for any other.
extern "C" __attribute__((visibility("default"))) const void* mirt_media_module(int version) {
    return version == media::kMediaModuleVersion ? &kModule : nullptr;
}
