// Walking the tracks in the Music folder (Music/*.mp3 under the working directory): which one is
// current, how many there are, and playing the current one. The window that shows the track name
// is reached through TrackLabel, so this part needs no window code.
#pragma once

#include <string>

extern int g_nTrack;      // index of the current track in name order
extern int g_nTrackCount; // tracks found by the last count or play
extern int g_bMoreFiles;  // whether the search has another entry after the current one

namespace media {

inline constexpr char kMusicPattern[] = "Music/*.mp3";
inline constexpr char kMusicFolder[] = "Music/";
inline constexpr char kLoadingText[] = "Загрузка...";

// The label showing the current track's name.
class TrackLabel {
public:
    virtual ~TrackLabel() = default;
    virtual void SetText(std::string text) = 0;
    // Shows the text set last.
    virtual void Show() = 0;
};

// Shows "Загрузка...", opens track number g_nTrack in the current graph and shows its name
// (even when it cannot be played), counts the tracks into g_nTrackCount and starts playing.
// When g_nTrack names no track nothing is opened and the label keeps "Загрузка...".
void PlayCurrentTrack(TrackLabel& label);
// Moves to the next (after the last: the first) or previous (before the first: the last) track,
// rebuilds the graph and plays it.
void NextTrack(TrackLabel& label);
void PrevTrack(TrackLabel& label);

} // namespace media

// Counts the tracks in the Music folder, stores the count in g_nTrackCount and returns it.
int CountTracks();
