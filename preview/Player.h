// The MP3 preview player. It renders one file at a time into the current media graph (see
// Graph.h) and keeps its own state across graph rebuilds. Positions are in nanoseconds.
#pragma once

#include <cstdint>
#include <string>

class CMp3Player {
public:
    // 1 while a file is rendered and ready; kept as it is when the graph is rebuilt.
    int m_bLoaded = 0;
    // The playable range of the loaded file.
    std::int64_t m_llStart = 0;
    std::int64_t m_llStop = 1;

    // Renders `path` (raw bytes, relative to the working directory) into the current graph and
    // selects its whole length. 1 on success; 0 when it cannot be played (LastError() says why).
    int OpenFile(const std::string& path);
    // Stops and forgets the loaded file; nothing when none is loaded.
    void Close();
    // Starts playing the loaded file. After the end it stays at the end until rewound.
    void Play();
    // Stops (paused, never torn down) and goes back to the start of the range.
    void StopAndRewind();
    // How far playback is through the range, in percent; exactly 100 once the end is reached.
    short GetProgress();

    // Sets the volume from the slider: step s is s * -2 dB. Remembered while nothing is loaded
    // and applied to every file loaded and to every graph built later.
    void SetVolumeStep(int step);
    int GetVolumeStep() const { return m_volumeStep; }
    // The volume of the current graph's volume element, in hundredths of a dB; without a graph
    // the value the next graph will get.
    long GetVolume() const;
    // Gives the current graph the remembered volume (called when a graph is built).
    void ApplyVolume() const;

    // True while the graph runs the loaded file (also once it sits at the end, until stopped).
    bool IsPlaying() const;
    bool IsStopped() const { return m_bStopped; }
    const std::string& LastError() const { return m_lastError; }

private:
    void Stop();

    bool m_bStopped = true;
    int m_volumeStep = 0;
    std::string m_lastError;
};

extern CMp3Player g_player;
