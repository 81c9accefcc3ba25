// Test media made at run time: quick tones from GStreamer's own encoder (MP3 CBR, VBR, VBR with
// a Xing header), a WAV and a PNG; and MP3 files in the shapes real encoders and taggers write
// (lame, ffmpeg, twolame, mutagen, sox), which share none of the player's assumptions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testmedia {

enum class Encoding { Cbr, Vbr, VbrXing };

// Writes `seconds` of a sine tone at `frequency` Hz as an MP3. False, with the reason, on failure.
bool MakeMp3(const std::string& path, int seconds, Encoding encoding, std::string& error,
             double frequency = 440.0);
bool MakeWav(const std::string& path, int seconds, std::string& error);
bool MakePng(const std::string& path, std::string& error);
bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

// Runs `program` with `arguments` and waits for it; false, with what it printed, unless it
// exits with status 0.
bool RunTool(const std::string& program, const std::vector<std::string>& arguments,
             std::string& error);

struct Shape {
    std::string name; // what the file is, e.g. "lame VBR, small ID3v2 tag"
    std::string path;
};
// Writes one file of every shape into `folder` (about two seconds of tone each, named
// "NN-<what>.mp3") and lists them. Needs lame, ffmpeg, twolame, sox and python3-mutagen.
bool MakeRealWorldShapes(const std::string& folder, std::vector<Shape>& shapes, std::string& error);
// A CBR MP3 of `minutes` minutes at `kbps`, made by repeating the frames of a short lame file,
// and where the decoder ends it.
bool MakeLongMp3(const std::string& path, int minutes, int kbps, std::int64_t& end,
                 std::string& error);

// Where the decoder itself reaches the end of `path`: `filesrc ! decodebin ! fakesink` run to
// the end of the stream. nullopt when the file cannot be decoded.
std::optional<std::int64_t> DecoderEnd(const std::string& path);

} // namespace testmedia
