// The MP3 preview as one object: the player with its media graph, the Music folder search and
// the current track. The settings window makes one and frees it when it closes; the MP3
// options window is handed it. Dependencies run one way: the preview owns the player, the
// player drives the graph (media/Graph.h), the graph owns the pipelines.
#pragma once

#include "preview/FileFinder.h"
#include "preview/Player.h"

#include <string>
#include <utility>

namespace media {

inline constexpr char kMusicPattern[] = "Music/*.mp3";
inline constexpr char kLoadingText[] = "Загрузка...";

// The label that shows the current track's name.
class TrackLabel {
public:
    virtual void SetText(std::string text) = 0;
    // Shows the text set last.
    virtual void Show() = 0;
    // Shows `text` once a track's load has ended, later than the press that started it.
    virtual void ShowLoaded(std::string text) {
        SetText(std::move(text));
        Show();
    }

protected:
    ~TrackLabel() = default;
};

class Preview {
public:
    // Cheap: GStreamer starts only when the first graph is built.
    explicit Preview(GraphOptions options = {});
    Preview(const Preview&) = delete; // the player calls back into this object
    Preview& operator=(const Preview&) = delete;

    // Builds the media graph, in place of any before it. False when it cannot be built; the
    // preview then has no graph and plays nothing.
    bool BuildGraph();
    void FreeGraph();

    CMp3Player& Player() { return m_player; }

    // Counts the tracks of the Music folder into m_nTrackCount and returns the count.
    int CountTracks();
    // Shows "Загрузка...", opens track number m_nTrack in the current graph, counts the tracks
    // into m_nTrackCount and plays. The label shows the track's name once the load has ended
    // (even when it cannot be played), unless a later press has taken the label over. When
    // m_nTrack names no track nothing is opened and the label keeps "Загрузка...".
    void PlayCurrentTrack(TrackLabel& label) { PlayTrack(label, true); }
    // Moves to the next (after the last: the first) or previous (before the first: the last)
    // track, rebuilds the graph and plays it.
    void NextTrack(TrackLabel& label) { ChangeTrack(label, 1); }
    void PrevTrack(TrackLabel& label) { ChangeTrack(label, -1); }
    // The label goes away: a load that ends later leaves it alone.
    void ForgetLabel(const TrackLabel& label);

    int m_nTrack = 0;      // index of the current track in name order
    int m_nTrackCount = 0; // tracks found by the last count or play
    int m_bMoreFiles = 0;  // whether the search has another entry after the current one

private:
    // Moves `step` tracks on (1 or -1), rebuilds the graph and plays.
    void ChangeTrack(TrackLabel& label, int step);
    // PlayCurrentTrack over the entries the last search found, when `fresh` is false (the
    // folder was read for the same press already), or over a new reading of the folder.
    void PlayTrack(TrackLabel& label, bool fresh);
    void OnLoadEnded();

    GraphOptions m_options;
    CMp3Player m_player;
    CFileFinder m_finder;
    TrackLabel* m_loadingLabel = nullptr; // shows "Загрузка..." until the load ends
    std::string m_loadingName;            // what it shows then
};

} // namespace media

// The preview's graph as the settings window builds and frees it. InitDirectShow gives 0, or a
// negative number when the graph cannot be built; FreeDirectShow always gives 0.
int InitDirectShow(media::Preview& preview);
int FreeDirectShow(media::Preview& preview);
