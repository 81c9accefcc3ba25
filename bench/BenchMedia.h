// Benchmark data: MP3 tones encoded with GStreamer, and Music folders of any size with three real
// tracks among tiny fillers. (What the process holds is read by tests/support/ResourceUse.h.)
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace bench {

// Encodes `seconds` of a tone as a 128 kbit/s CBR MP3 at `path` unless a file is there already.
bool EnsureMp3(const std::string& path, int seconds, double frequency, std::string& error);

// The three real tracks every Music folder holds (30 s each), made under `dataDir` if missing.
bool EnsureTracks(const std::string& dataDir, std::array<std::string, 3>& paths,
                  std::string& error);

// A folder `dataDir`/`name` (by default n<count>) whose Music folder holds `count` files named
// 00000.mp3 and up: the three real tracks (hard links) at the indices `RealTrackIndices(count)`
// and empty files everywhere else. Returns the folder (the working directory NextTrack expects).
std::string EnsureMusicFolder(const std::string& dataDir, std::size_t count,
                              const std::array<std::string, 3>& tracks, std::string& error,
                              const std::string& name = {});
std::array<int, 3> RealTrackIndices(std::size_t count);

} // namespace bench
