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

// Saves the 20 encoded bytes as `path` so that the file stays the file it was: owner, group,
// mode and hard links are kept (SaveFileKeepingItsIdentity). Mostly a new file in the same
// folder is written, synced and renamed over the old one; where that could not keep the file as
// it was (another user's file, a second link, a folder we may not write), the file is rewritten
// in place. A symbolic link is followed and its final target saved, the link itself stays.
// Refuses anything but a regular file (directory, FIFO, device, link loop), a read-only file,
// and a new file in a folder we may not write. Returns whether the file was saved; on failure
// the old file is intact and `error`, when given, receives the reason.
bool SaveConfigFile(const char* path, const ConfigRecord& rec, std::string* error = nullptr);

} // namespace settings
