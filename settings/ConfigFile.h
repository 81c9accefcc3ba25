// Reading and writing Config.cfg on disk. Paths are raw bytes as the system takes them
// (normally UTF-8); the settings window passes "Config.cfg", relative to the working folder.
#pragma once

#include "settings/ConfigFormat.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace settings {

// Reads at most the first kConfigSize bytes of `path` into `out` and returns how many were
// read. Only a regular file is read (links to one are followed); anything else - missing,
// directory, FIFO, device, unreadable, dangling link, link loop, read error - gives 0.
// Never blocks on special files and never reads past the 20th byte.
std::size_t ReadConfigBytes(const char* path, std::span<std::uint8_t, kConfigSize> out);

// Reads `path` and decodes it into `rec`. Returns true when the magic matched and the bytes
// present were assigned; otherwise `rec` is left exactly as it was. Silent on every failure.
bool LoadConfigFile(const char* path, ConfigRecord& rec);

// Replaces `path` atomically with the 20 encoded bytes: a temporary file in the same folder
// is written, synced and renamed over the old one, so on any failure the old file stays
// intact. A symbolic link is followed and its final target replaced, the link itself stays.
// Refuses to replace anything but a regular file (directory, FIFO, device, link loop).
// Returns whether the file was saved; on failure `error`, when given, receives the reason.
bool SaveConfigFile(const char* path, const ConfigRecord& rec, std::string* error = nullptr);

} // namespace settings
