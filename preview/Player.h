// The MP3 preview player. It loads one file at a time into its media graph, plays, stops and
// rewinds it, tells how far it has played and sets its volume. The graph is built and freed
// apart from loading a file; the player keeps its own state, the volume included, across
// rebuilds. Positions are in nanoseconds.
//
// Nothing here waits for GStreamer: OpenFile starts the render and returns, and the outcome
// arrives through the event loop. A Play asked for meanwhile starts the file once it is ready;
// a render that fails leaves the player not loaded, as a failed OpenFile does.
#pragma once

#include "media/Graph.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

class CMp3Player : private media::GraphListener {
public:
    CMp3Player() = default;
    ~CMp3Player();
    CMp3Player(const CMp3Player&) = delete;
    CMp3Player& operator=(const CMp3Player&) = delete;

    // 1 from a successful OpenFile until Close or a failed render; kept when the graph is rebuilt.
    int m_bLoaded = 0;
    // The playable range of the loaded file: from the start to the decoder's estimate of its
    // length once it is ready.
    std::int64_t m_llStart = 0;
    std::int64_t m_llStop = 1;

    // Builds a graph from `options` in place of any before it; false when it cannot be built.
    bool BuildGraph(const media::GraphOptions& options);
    void FreeGraph();
    bool HasGraph() const { return m_graph != nullptr; }

    // Starts rendering `path` (raw bytes, relative to the working directory) into the graph.
    // 1 when the render has started, 0 when it cannot (no graph, no possible file name).
    int OpenFile(const std::string& path);
    // Stops and forgets the loaded file; nothing when none is loaded.
    void Close();
    // Plays the loaded file. After its end it stays at the end until rewound.
    void Play();
    // Stops playing and goes back to the start.
    void StopAndRewind();
    // How far playback is through the range, in percent. 100 only once the stream has ended;
    // before that at most 99, so that an estimate that ends early never cuts a track short.
    short GetProgress();
    // Where playback is; where the stream ended once it has. Nothing while no file is ready.
    std::optional<std::int64_t> GetPosition() const;

    // Sets the volume from the slider: step s is s * -2 dB. Remembered while nothing is loaded
    // and applied to every file loaded and to every graph built later.
    void SetVolumeStep(int step);
    int GetVolumeStep() const { return m_volumeStep; }
    // The volume in hundredths of a dB: the loaded file's as it plays, else the one the next
    // file gets.
    long GetVolume() const;

    // Whether the loaded file is being played (also once it sits at its end, until stopped).
    bool IsPlaying() const;
    bool IsStopped() const { return m_bStopped; }
    // Whether the render of the loaded file is still under way.
    bool IsLoading() const;
    // Called once each render started by OpenFile has ended, whether the file can be played or
    // not (on the event loop's thread).
    void SetLoadEndedHandler(std::function<void()> handler) { m_loadEnded = std::move(handler); }

    // When the file being played plays into no sound output (no sound server or device could be
    // opened when it started), opens it again from its start, which looks for the output anew;
    // nothing otherwise. Called once a second by the window's timer, so that sound comes back
    // with the sound server.
    void ReopenIfSilent();

private:
    void OnRenderFinished(bool ok) override;
    double LinearVolume() const;

    std::unique_ptr<media::Graph> m_graph;
    std::function<void()> m_loadEnded;
    std::string m_path; // of the file last opened
    bool m_bStopped = true;
    int m_volumeStep = 0;
};
