#include "preview/Preview.h"

#include "preview/TextEncoding.h"

#include <utility>

namespace media {

Preview::Preview(GraphOptions options) : m_options(std::move(options)) {
    m_player.SetLoadEndedHandler([this] { OnLoadEnded(); });
}

bool Preview::BuildGraph() {
    return m_player.BuildGraph(m_options);
}

void Preview::FreeGraph() {
    m_player.FreeGraph();
}

int Preview::CountTracks() {
    m_nTrackCount = 0;
    m_bMoreFiles = m_finder.FindFile(kMusicPattern) ? 1 : 0;
    while (m_bMoreFiles) {
        m_bMoreFiles = m_finder.FindNextFile() ? 1 : 0;
        ++m_nTrackCount;
    }
    return m_nTrackCount;
}

void Preview::PlayTrack(TrackLabel& label, bool fresh) {
    m_loadingLabel = nullptr; // this press takes the label over
    label.SetText(kLoadingText);
    label.Show();

    int index = 0;
    m_bMoreFiles = (fresh ? m_finder.FindFile(kMusicPattern) : m_finder.FindFileAgain()) ? 1 : 0;
    if (m_bMoreFiles) {
        do {
            m_bMoreFiles = m_finder.FindNextFile() ? 1 : 0;
            if (index == m_nTrack) {
                const std::string name = m_finder.GetFileName();
                // A file that cannot be played still shows its name; the player stays unloaded.
                m_loadingName = DisplayName(name);
                if (m_player.OpenFile(m_finder.GetFilePath()))
                    m_loadingLabel = &label;
                else
                    label.SetText(m_loadingName);
            }
            ++index;
        } while (m_bMoreFiles);
    }
    m_nTrackCount = index;
    label.Show();
    m_player.Play();
}

void Preview::OnLoadEnded() {
    if (TrackLabel* label = std::exchange(m_loadingLabel, nullptr))
        label->ShowLoaded(m_loadingName);
}

void Preview::ForgetLabel(const TrackLabel& label) {
    if (m_loadingLabel == &label)
        m_loadingLabel = nullptr;
}

// The count and the search of one press read the folder once: a change between the two would
// be indistinguishable from one made just after the press. Each change of track starts from a
// fresh graph; whether it could be built is not examined here (a graph that failed plays
// nothing, and the failure was shown when the window opened).
void Preview::ChangeTrack(TrackLabel& label, int step) {
    const int count = CountTracks();
    m_nTrack += step;
    if (m_nTrack < 0)
        m_nTrack = count - 1;
    else if (step > 0 && m_nTrack >= count)
        m_nTrack = 0;
    FreeGraph();
    BuildGraph();
    PlayTrack(label, false);
}

} // namespace media

// The names the settings window knows the graph's lifetime by.
int InitDirectShow(media::Preview& preview) {
    return preview.BuildGraph() ? 0 : -1;
}

int FreeDirectShow(media::Preview& preview) {
    preview.FreeGraph();
    return 0;
}
