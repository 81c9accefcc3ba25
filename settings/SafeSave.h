// Saving one file so that it stays the file it was: same owner, group, permission bits and hard
// links. Where a replacement can carry all of that, the new bytes go into a new file beside it
// that is synced and renamed over it, so that a reader or a crash sees the old file or the new
// one, never a mix; elsewhere the file is rewritten in place. Paths are taken as the bytes they
// are, whatever their encoding, and a relative path is relative to the working folder.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace settings {

// Saves `bytes` as the file `path`, or creates it.
//
// An existing file is replaced atomically when the replacement can be given its owner, group
// and mode (fchown, then fchmod) and it has no other link: the new file is written unnamed where
// the file system allows (O_TMPFILE), named beside it ("Config.cfg.a8Xk2Q") only just before the
// rename, and the folder is synced after the rename. Where that cannot keep the file as it was -
// another owner we may not give it, more than one link, a folder we may not write or whose
// sticky bit refuses the rename - the file itself is rewritten: the bytes from offset 0, cut to
// their length, synced. A new file needs a folder we may write.
//
// `path` names the file itself: a symbolic link there is refused, not followed. Also refuses a
// directory, FIFO, device or socket, and a file the user may not write. Every save first removes
// what saves of this user that were killed left beside the file (see TemporaryFile.h).
//
// Returns whether the new bytes are in place; on failure `reason`, when given, says what went
// wrong and the old file is intact: the replacement never reached it, or the rewrite put the old
// bytes back where it could read them first.
bool SaveFileKeepingItsIdentity(const std::string& path, std::span<const std::uint8_t> bytes,
                                std::string* reason = nullptr);

} // namespace settings
