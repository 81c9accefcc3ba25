#include "preview/Graph.h"

#include "preview/MediaGraph.h"
#include "preview/Player.h"

#include <cstdio>
#include <memory>

namespace media {
namespace {

std::unique_ptr<MediaGraph>& GraphSlot() {
    static std::unique_ptr<MediaGraph> graph;
    return graph;
}

} // namespace

MediaGraph* CurrentGraph() {
    return GraphSlot().get();
}

} // namespace media

int InitDirectShow() {
    auto& slot = media::GraphSlot();
    slot.reset();
    auto graph = std::make_unique<media::MediaGraph>();
    std::string error;
    if (!graph->Build(media::PreviewSink(), error)) {
        std::fprintf(stderr, "preview: cannot build the media graph: %s\n", error.c_str());
        return -1;
    }
    slot = std::move(graph);
    // The slider's volume holds for every graph, not only the first one.
    g_player.ApplyVolume();
    return 0;
}

int FreeDirectShow() {
    media::GraphSlot().reset();
    return 0;
}
