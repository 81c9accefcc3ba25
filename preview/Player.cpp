#include "preview/Player.h"

#include "preview/Graph.h"
#include "preview/MediaGraph.h"
#include "preview/Mp3End.h"
#include "preview/Volume.h"

#include <cstdio>

CMp3Player g_player;

namespace {

// The end of the playable range: the exact end from the frame headers; for other content that
// the decoder still plays (a WAV named .mp3), its duration; failing both, the start, which keeps
// the range empty so that progress stays 0.
std::int64_t FindRangeEnd(const std::string& path, media::MediaGraph& graph, std::int64_t start) {
    if (const auto end = media::ExactMp3End(path)) {
        return *end;
    }
    if (const auto duration = graph.Duration()) {
        return *duration;
    }
    return start;
}

} // namespace

int CMp3Player::OpenFile(const std::string& path) {
    if (m_bLoaded) {
        Close();
    }
    media::MediaGraph* graph = media::CurrentGraph();
    if (graph == nullptr) {
        m_lastError = "no media graph";
        return 0;
    }
    std::string error;
    if (!graph->Render(path, error)) {
        m_lastError = error;
        std::fprintf(stderr, "preview: cannot play \"%s\": %s\n", path.c_str(), error.c_str());
        return 0;
    }
    const std::int64_t start = 0;
    const std::int64_t stop = FindRangeEnd(path, *graph, start);
    if (!graph->Seek(start, stop > start ? stop : -1)) {
        m_lastError = graph->LastError();
        graph->RemoveSource();
        return 0;
    }
    m_llStart = start;
    m_llStop = stop;
    m_bStopped = true;
    m_bLoaded = 1;
    m_lastError.clear();
    ApplyVolume();
    return 1;
}

void CMp3Player::Close() {
    if (!m_bLoaded) {
        return;
    }
    Stop();
    m_bLoaded = 0;
}

void CMp3Player::Play() {
    media::MediaGraph* graph = media::CurrentGraph();
    if (!m_bLoaded || graph == nullptr || !graph->HasSource()) {
        return;
    }
    if (graph->Run()) {
        m_bStopped = false;
    }
}

void CMp3Player::Stop() {
    m_bStopped = true;
    if (media::MediaGraph* graph = media::CurrentGraph()) {
        graph->Pause();
    }
}

void CMp3Player::StopAndRewind() {
    if (!m_bLoaded) {
        return;
    }
    Stop();
    if (media::MediaGraph* graph = media::CurrentGraph()) {
        graph->Seek(m_llStart, m_llStop > m_llStart ? m_llStop : -1);
    }
}

short CMp3Player::GetProgress() {
    if (!m_bLoaded) {
        return 0;
    }
    const std::int64_t range = m_llStop - m_llStart;
    if (range == 0) {
        return 0;
    }
    std::int64_t current = m_llStart;
    if (media::MediaGraph* graph = media::CurrentGraph(); graph != nullptr && graph->HasSource()) {
        graph->PollBus();
        if (graph->ReachedEnd()) {
            current = m_llStop;
        } else if (const auto position = graph->Position()) {
            current = *position;
        }
    }
    // Wraps to 16 bits like the value the progress control takes.
    return static_cast<short>((current - m_llStart) * 100 / range);
}

void CMp3Player::SetVolumeStep(int step) {
    m_volumeStep = step;
    ApplyVolume();
}

void CMp3Player::ApplyVolume() const {
    if (media::MediaGraph* graph = media::CurrentGraph()) {
        graph->SetVolume(media::HundredthsDbToLinear(media::StepToHundredthsDb(m_volumeStep)));
    }
}

long CMp3Player::GetVolume() const {
    if (const media::MediaGraph* graph = media::CurrentGraph()) {
        return media::LinearToHundredthsDb(graph->Volume());
    }
    return media::StepToHundredthsDb(m_volumeStep);
}

bool CMp3Player::IsPlaying() const {
    const media::MediaGraph* graph = media::CurrentGraph();
    return m_bLoaded && !m_bStopped && graph != nullptr && graph->IsRunning();
}
