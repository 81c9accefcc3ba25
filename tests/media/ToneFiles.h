// Test media made at run time with GStreamer: tones encoded as MP3 (CBR, VBR, VBR with a Xing
// header), a WAV, a PNG, and files of arbitrary bytes.
#pragma once

#include <string>

namespace testmedia {

enum class Encoding { Cbr, Vbr, VbrXing };

// Writes `seconds` of a sine tone at `frequency` Hz as an MP3. False, with the reason, on failure.
bool MakeMp3(const std::string& path, int seconds, Encoding encoding, std::string& error,
             double frequency = 440.0);
bool MakeWav(const std::string& path, int seconds, std::string& error);
bool MakePng(const std::string& path, std::string& error);
bool WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

} // namespace testmedia
