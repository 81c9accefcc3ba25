#include "preview/TrackCursor.h"

#include "preview/FileFinder.h"
#include "preview/Graph.h"
#include "preview/Player.h"
#include "preview/Utf8.h"

int g_nTrack = 0;
int g_nTrackCount = 0;
int g_bMoreFiles = 0;

int CountTracks() {
    int count = 0;
    g_bMoreFiles = g_finder.FindFile(media::kMusicPattern) ? 1 : 0;
    while (g_bMoreFiles) {
        g_bMoreFiles = g_finder.FindNextFile() ? 1 : 0;
        ++count;
    }
    g_nTrackCount = count;
    return count;
}

namespace media {
namespace {

void RestartGraph() {
    FreeDirectShow();
    InitDirectShow();
}

} // namespace

void PlayCurrentTrack(TrackLabel& label) {
    label.SetText(kLoadingText);
    label.Show();

    int index = 0;
    g_bMoreFiles = g_finder.FindFile(kMusicPattern) ? 1 : 0;
    if (g_bMoreFiles) {
        do {
            g_bMoreFiles = g_finder.FindNextFile() ? 1 : 0;
            if (index == g_nTrack) {
                const std::string name = g_finder.GetFileName();
                // A file that cannot be rendered still shows its name; the player stays unloaded.
                g_player.OpenFile(kMusicFolder + name);
                label.SetText(ToValidUtf8(name));
            }
            ++index;
        } while (g_bMoreFiles);
    }
    g_nTrackCount = index;
    label.Show();
    g_player.Play();
}

void NextTrack(TrackLabel& label) {
    const int count = CountTracks();
    if (g_nTrack < count - 1) {
        ++g_nTrack;
    } else {
        g_nTrack = 0;
    }
    RestartGraph();
    PlayCurrentTrack(label);
}

void PrevTrack(TrackLabel& label) {
    const int count = CountTracks();
    if (g_nTrack > 0) {
        --g_nTrack;
    } else {
        g_nTrack = count - 1;
    }
    RestartGraph();
    PlayCurrentTrack(label);
}

} // namespace media
