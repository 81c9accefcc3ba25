#include "preview/Player.h"

#include "preview/Volume.h"

#include <algorithm>

CMp3Player::~CMp3Player() = default;

bool CMp3Player::BuildGraph(const media::GraphOptions& options) {
    m_graph.reset();
    // A graph that cannot be built says why in the preview's debug log (GST_DEBUG=mirt*:5).
    auto graph = media::MakeGraph(options, *this);
    if (!graph->Build(nullptr))
        return false;
    m_graph = std::move(graph);
    return true;
}

void CMp3Player::FreeGraph() {
    m_graph.reset();
}

int CMp3Player::OpenFile(const std::string& path) {
    if (m_bLoaded)
        Close();
    // The slider's volume holds for every file and every graph, not only the first one.
    if (!m_graph || !m_graph->Render(path, LinearVolume()))
        return 0;
    m_path = path;
    m_llStart = 0;
    m_llStop = 1;
    m_bStopped = true;
    m_bLoaded = 1;
    return 1;
}

void CMp3Player::ReopenIfSilent() {
    if (IsPlaying() && m_graph->Silent() && OpenFile(m_path))
        Play();
}

void CMp3Player::Close() {
    if (!m_bLoaded)
        return;
    if (m_graph)
        m_graph->Unload();
    m_bStopped = true;
    m_bLoaded = 0;
}

void CMp3Player::Play() {
    if (!m_bLoaded || !m_graph || m_graph->load() == media::Graph::Load::Empty)
        return;
    m_graph->Play();
    m_bStopped = false;
}

void CMp3Player::StopAndRewind() {
    if (!m_bLoaded)
        return;
    m_bStopped = true;
    if (m_graph)
        m_graph->Rewind();
}

short CMp3Player::GetProgress() {
    if (!m_bLoaded || !m_graph || m_graph->load() != media::Graph::Load::Ready)
        return 0;
    if (m_graph->ReachedEnd())
        return 100;
    const std::int64_t range = m_llStop - m_llStart;
    const auto position = m_graph->Position();
    if (range <= 0 || !position)
        return 0;
    // Only the end of the stream itself counts as 100: a position at the end of a range that is
    // only the decoder's estimate, or in the last moments before the end arrives, is 99.
    const std::int64_t percent = std::min<std::int64_t>((*position - m_llStart) * 100 / range, 99);
    // Wraps to 16 bits like the value the progress control takes.
    return static_cast<short>(percent);
}

std::optional<std::int64_t> CMp3Player::GetPosition() const {
    if (!m_bLoaded || !m_graph || m_graph->load() != media::Graph::Load::Ready)
        return std::nullopt;
    return m_graph->Position();
}

void CMp3Player::SetVolumeStep(int step) {
    m_volumeStep = step;
    if (m_graph)
        m_graph->SetVolume(LinearVolume());
}

double CMp3Player::LinearVolume() const {
    return media::HundredthsDbToLinear(media::StepToHundredthsDb(m_volumeStep));
}

long CMp3Player::GetVolume() const {
    const std::optional<double> playing = m_graph ? m_graph->Volume() : std::nullopt;
    return playing ? media::LinearToHundredthsDb(*playing)
                   : media::StepToHundredthsDb(m_volumeStep);
}

bool CMp3Player::IsPlaying() const {
    return m_bLoaded && !m_bStopped && m_graph && m_graph->IsRunning();
}

bool CMp3Player::IsLoading() const {
    return m_bLoaded && m_graph && m_graph->load() == media::Graph::Load::Rendering;
}

void CMp3Player::OnRenderFinished(bool ok) {
    if (ok) {
        // The decoder's estimate of the length; without one the range stays empty (progress 0),
        // and the end of the stream still ends the track.
        m_llStop = m_llStart + m_graph->Duration().value_or(0);
    } else {
        m_bLoaded = 0;
        m_bStopped = true;
    }
    if (m_loadEnded)
        m_loadEnded();
}
