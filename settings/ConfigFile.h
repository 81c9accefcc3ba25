// Reading and writing Config.cfg on disk. Paths are raw bytes as the system takes them
// (normally UTF-8); the settings window passes Config.cfg's name in the working folder, as
// media::NameInFolder finds it whatever its letter case.
#pragma once

#include "settings/ConfigFormat.h"

#include <string>

namespace settings {

// Reads at most the first kConfigSize bytes of `path` and decodes them into `rec`. Returns true
// when the magic matched and the bytes present were assigned; otherwise `rec` is left exactly as
// it was. Only a regular file is read (links to one are followed); anything else is not even
// opened, so that loading never blocks on a FIFO or acts on a device. Silent on every failure.
bool LoadConfigFile(const char* path, ConfigRecord& rec);

// Writes the 20 encoded bytes over the head of the file `path`, in place: the file stays the
// inode it was, with its owner, group, mode, ACLs, attributes, hard links and mounts. A longer
// file is cut to 20 bytes, a shorter one grows to them; a link is followed by the kernel under
// its own rules. Only where no file exists is one created (mode 0666 less the umask).
// Refuses anything but a regular file. Returns whether the file was saved; on failure the file
// holds its old bytes (a file the save created is removed again) and `error`, when given,
// receives the reason.
bool SaveConfigFile(const char* path, const ConfigRecord& rec, std::string* error = nullptr);

} // namespace settings
