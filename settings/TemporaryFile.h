// The new file a save writes beside the file it replaces, and the removal of those that saves
// killed half-way left behind. Names are raw bytes; `folder` is an open descriptor of the folder
// that holds the target.
#pragma once

#include "settings/FileDescriptor.h"

#include <random>
#include <string>
#include <sys/types.h>

namespace settings {

// A new file in `folder`, written to replace `targetName` there. Where the file system allows it,
// the file is created unnamed (O_TMPFILE) and gets its name ("Config.cfg.a8Xk2Q") only from
// giveName(), just before it is renamed over the target, so a save killed before that leaves
// nothing behind; elsewhere it is named from the start. It is locked (flock) from before it has
// a name until it is destroyed: that tells the file of a save under way from the leftover of a
// killed one (see RemoveStaleTemporaryFiles). A name it got is removed again on destruction
// unless keep() was called.
class TemporaryFile {
public:
    enum class Kind { UnnamedWherePossible, Named };

    // Creates the file with permission bits `mode` (less the umask).
    TemporaryFile(int folder, std::string targetName, mode_t mode, Kind kind);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Whether the file was created; error() says why not.
    explicit operator bool() const { return static_cast<bool>(m_fd); }
    int fd() const { return m_fd.get(); }
    // errno of the last failure: of the creation or of giveName().
    int error() const { return m_error; }

    // Gives the file a name of its own beside the target (nothing to do for a named file).
    bool giveName();
    // True after giveName() failed because this system cannot give an unnamed file a name (no
    // /proc, and linkat(AT_EMPTY_PATH) not permitted): a named file would do.
    bool cannotBeNamed() const;
    // The name the file has; empty while it has none.
    const std::string& name() const { return m_name; }
    // The file now lives under the target's name: nothing is left to remove.
    void keep() { m_name.clear(); }

private:
    bool createUnnamed(mode_t mode);
    bool createNamed(mode_t mode);
    bool linkUnder(const std::string& name);
    std::string randomName();

    int m_folder;
    std::string m_target;
    UniqueFd m_fd;
    std::string m_name;
    bool m_unnamed = false;
    int m_error = 0;
    std::mt19937_64 m_random;
};

// Removes from `folder` what saves of `targetName` by this user left behind when they were
// killed: regular files of ours with a temporary file's name whose lock can be taken at once.
// That name is the target's, a dot and six letters and digits with at least one capital, one
// small letter and one digit ("Config.cfg.a8Xk2Q"), which names such as "Config.cfg.backup" or
// "Config.cfg.old123" are not. A save under way holds its lock throughout and a lock dies with
// its process, so a file that can be locked has nobody left to finish it. Anything else is left
// alone, and a failure only means that the leftover stays.
void RemoveStaleTemporaryFiles(int folder, const std::string& targetName);

} // namespace settings
