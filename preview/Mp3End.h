// The exact length of an MP3 file, found by parsing every frame header to the end.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace media {

// Runs `filesrc ! mpegaudioparse ! fakesink` to the end and returns the position reached, in
// nanoseconds. Unlike the decoder's estimate this is exact for VBR files without a Xing header,
// and it takes milliseconds. nullopt (with the reason in error) for files that are not MPEG audio.
std::optional<std::int64_t> ExactMp3End(const std::string& path, std::string* error = nullptr);

} // namespace media
