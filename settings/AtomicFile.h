// Replacing one file as a whole: a temporary file beside it is written, synced and renamed over
// it, and the folder is synced after the rename. Paths are taken as the bytes they are, whatever
// their encoding, and a relative path is relative to the working folder.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace settings {

// Replaces the file `path` with `bytes`, or creates it; an existing file keeps its permission
// bits. `path` names the file itself: a symbolic link there would be replaced, not followed.
// Refuses a directory, FIFO, device or socket, and a file the user may not write. Returns
// whether the new bytes are in place; on failure the old file is intact, no temporary file is
// left behind and `reason`, when given, says what went wrong.
bool ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::string* reason = nullptr);

} // namespace settings
