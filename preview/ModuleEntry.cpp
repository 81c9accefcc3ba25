// The media module's entry point, the one symbol it exports: the program finds it with dlsym.
#include "preview/Graph.h"
#include "preview/MediaGraph.h"
#include "preview/Pipeline.h"

namespace {

std::unique_ptr<media::Graph> MakeGraph(const media::GraphOptions& options,
                                        media::GraphListener& listener) {
    return std::make_unique<media::MediaGraph>(options, listener);
}

constexpr media::MediaModule kModule{media::kMediaModuleVersion, &MakeGraph,
                                     &media::WaitForMediaThreads};

} // namespace

extern "C" __attribute__((visibility("default"))) const media::MediaModule* mirt_media_module() {
    return &kModule;
}
