#include "settings/SafeSave.h"

#include "settings/FileDescriptor.h"
#include "settings/TemporaryFile.h"

#include <algorithm>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace settings {
namespace {

std::string Describe(int error) {
    return std::generic_category().message(error);
}

// Where a path leads: its folder and the name within it.
struct Location {
    std::string folder;
    std::string name;
};

Location Split(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1)};
}

// How an attempt to replace the file ended.
enum class Outcome {
    Saved,
    Failed,
    // The replacement could not be the file it replaces (owner, group, mode), or could not be
    // put where it is: the file is to be rewritten in place instead.
    CannotKeepTheFile,
    // An unnamed temporary file cannot be given a name here: a named one is to be used.
    CannotNameUnnamedFiles,
};

// A folder that refuses us a new file or a rename in it: no write permission, or a sticky
// folder and a file that is not ours.
bool RefusedByTheFolder(int error) {
    return error == EACCES || error == EPERM;
}

// Writes all of `bytes` from offset 0, going on after interruptions and short writes.
bool WriteAllAtStart(int fd, std::span<const std::uint8_t> bytes, std::string& reason) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n == 0 || errno != EINTR) {
            // A write that takes nothing would never end: it counts as a failure too.
            reason = "could not write all " + std::to_string(bytes.size()) +
                     " bytes: " + Describe(n == 0 ? EIO : errno);
            return false;
        }
    }
    return true;
}

// fsync, where a file system that cannot sync (EINVAL) has nothing more to do for the data.
bool Sync(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL;
}

// Some file systems (NFS) report a failed write only when a descriptor is closed. Closing a
// copy asks them without giving up the descriptor, and so the lock, of `fd`.
bool FlushByClosingACopy(int fd) {
    UniqueFd copy(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
    return copy && copy.close();
}

// Gives the new file `fd` the owner, group and permission bits of `old`. The owner goes first:
// changing it clears the set-user-ID and set-group-ID bits. False when the file cannot have
// them all (another owner, a group we are not in; a file system that keeps none of them).
bool TakeOverIdentity(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    const mode_t mode = old.st_mode & 07777;
    if (::fchmod(fd, mode) != 0 || ::fstat(fd, &now) != 0)
        return false;
    // A set-group-ID bit the kernel would not set shows only here.
    return now.st_uid == old.st_uid && now.st_gid == old.st_gid && (now.st_mode & 07777) == mode;
}

// Writes the new file beside `name` and renames it over. `old` is the file it replaces, or null
// when there is none yet.
Outcome WriteReplacement(int folder, const std::string& name, const struct stat* old,
                         std::span<const std::uint8_t> bytes, TemporaryFile::Kind kind,
                         std::string& reason) {
    // A replacement is the saver's alone until it has the old file's owner and mode; a new file
    // gets the usual permissions.
    TemporaryFile temp(folder, name, old != nullptr ? 0600 : 0666, kind);
    if (!temp) {
        if (old != nullptr && RefusedByTheFolder(temp.error()))
            return Outcome::CannotKeepTheFile;
        reason = "cannot create a temporary file beside it: " + Describe(temp.error());
        return Outcome::Failed;
    }
    if (old != nullptr && !TakeOverIdentity(temp.fd(), *old))
        return Outcome::CannotKeepTheFile;
    if (!WriteAllAtStart(temp.fd(), bytes, reason))
        return Outcome::Failed;
    if (!Sync(temp.fd())) {
        reason = "cannot sync the new file: " + Describe(errno);
        return Outcome::Failed;
    }
    if (!FlushByClosingACopy(temp.fd())) {
        reason = "cannot close the new file: " + Describe(errno);
        return Outcome::Failed;
    }
    if (!temp.giveName()) {
        if (temp.cannotBeNamed())
            return Outcome::CannotNameUnnamedFiles;
        reason = "cannot give the new file a name beside it: " + Describe(temp.error());
        return Outcome::Failed;
    }
    if (::renameat(folder, temp.name().c_str(), folder, name.c_str()) != 0) {
        if (old != nullptr && RefusedByTheFolder(errno))
            return Outcome::CannotKeepTheFile;
        reason = "cannot put the new file in place: " + Describe(errno);
        return Outcome::Failed;
    }
    temp.keep();
    // The rename lives in the folder: sync it too, so a power cut cannot bring the old file
    // back. The new bytes are in place already, so a folder that cannot be synced (some file
    // systems refuse) is not a failure of the save.
    ::fsync(folder);
    return Outcome::Saved;
}

Outcome Replace(int folder, const std::string& name, const struct stat* old,
                std::span<const std::uint8_t> bytes, std::string& reason) {
    const Outcome outcome = WriteReplacement(folder, name, old, bytes,
                                             TemporaryFile::Kind::UnnamedWherePossible, reason);
    if (outcome != Outcome::CannotNameUnnamedFiles)
        return outcome;
    return WriteReplacement(folder, name, old, bytes, TemporaryFile::Kind::Named, reason);
}

// Opens the existing file `name` for a rewrite: never creates it, never follows a link, never
// waits for a FIFO's reader or takes a terminal. Read access too where the file allows it, so
// that a failed rewrite can put the old bytes back.
UniqueFd OpenForRewrite(int folder, const std::string& name, bool& readable) {
    constexpr int kFlags = O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    int fd = OpenRetrying(folder, name.c_str(), O_RDWR | kFlags);
    readable = fd >= 0;
    if (fd < 0 && errno == EACCES)
        fd = OpenRetrying(folder, name.c_str(), O_WRONLY | kFlags);
    return UniqueFd(fd);
}

// The bytes a rewrite of `count` bytes would overwrite, with the length the file had.
struct OldStart {
    std::vector<std::uint8_t> bytes;
    off_t size = 0;
    bool known = false;
};

OldStart ReadOldStart(int fd, off_t size, std::size_t count) {
    OldStart old;
    old.size = size;
    old.bytes.resize(std::min(count, static_cast<std::size_t>(std::max<off_t>(size, 0))));
    std::size_t got = 0;
    while (got < old.bytes.size()) {
        const ssize_t n =
            ::pread(fd, old.bytes.data() + got, old.bytes.size() - got, static_cast<off_t>(got));
        if (n > 0)
            got += static_cast<std::size_t>(n);
        else if (n == 0 || errno != EINTR)
            return old;
    }
    old.known = true;
    return old;
}

// After a failed rewrite: the old bytes go back, and a file the rewrite made longer gets its
// old length. Only what can be done is done; the reason already given stands.
void PutBack(int fd, const OldStart& old) {
    std::string ignored;
    if (old.known && WriteAllAtStart(fd, old.bytes, ignored) &&
        old.size <= static_cast<off_t>(old.bytes.size())) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, old.size);
    }
}

// Rewrites the existing file itself: `bytes` from offset 0, the file cut to their length,
// synced. Its owner, group, mode, links and inode stay what they are.
bool RewriteInPlace(int folder, const std::string& name, std::span<const std::uint8_t> bytes,
                    std::string& reason) {
    bool readable = false;
    UniqueFd fd = OpenForRewrite(folder, name, readable);
    if (!fd) {
        reason = "cannot open it for writing: " + Describe(errno);
        return false;
    }
    // What was opened may not be what was looked at before.
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        reason = "it is not a regular file";
        return false;
    }
    const OldStart old = readable ? ReadOldStart(fd.get(), st.st_size, bytes.size()) : OldStart{};
    bool done = WriteAllAtStart(fd.get(), bytes, reason);
    if (done && ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) {
        reason = "cannot cut it to " + std::to_string(bytes.size()) + " bytes: " + Describe(errno);
        done = false;
    }
    if (done && !Sync(fd.get())) {
        reason = "cannot sync it: " + Describe(errno);
        done = false;
    }
    if (!done) {
        PutBack(fd.get(), old);
        return false;
    }
    if (!fd.close()) {
        reason = "cannot close it: " + Describe(errno);
        return false;
    }
    return true;
}

// Whether the existing file `old` may be saved at all, as any other program would see it.
bool MaySave(int folder, const std::string& name, const struct stat& old, std::string& reason) {
    // Renaming over a FIFO, device or socket would silently swap it for a plain file, and a
    // link there is not this function's to follow.
    if (!S_ISREG(old.st_mode)) {
        reason = S_ISDIR(old.st_mode) ? "it is a directory" : "it is not a regular file";
        return false;
    }
    // A file its owner made read-only stays as it is, as with any other program's save.
    if (::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0) {
        reason = "it is not writable: " + Describe(errno);
        return false;
    }
    return true;
}

bool Save(const std::string& path, std::span<const std::uint8_t> bytes, std::string& reason) {
    const Location at = Split(path);
    if (at.name.empty() || at.name == "." || at.name == "..") {
        reason = "it names a folder, not a file";
        return false;
    }
    // Everything below works through the folder's descriptor, so the folder's own name is
    // looked up once, by the kernel, as the bytes it is.
    const UniqueFd folder(
        OpenRetrying(AT_FDCWD, at.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        reason = "cannot open its folder: " + Describe(errno);
        return false;
    }
    RemoveStaleTemporaryFiles(folder.get(), at.name);

    struct stat old {};
    if (::fstatat(folder.get(), at.name.c_str(), &old, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) {
            reason = "cannot look it up: " + Describe(errno);
            return false;
        }
        return Replace(folder.get(), at.name, nullptr, bytes, reason) == Outcome::Saved;
    }
    if (!MaySave(folder.get(), at.name, old, reason))
        return false;
    // A replacement would take the file away from its other links.
    if (old.st_nlink == 1) {
        const Outcome outcome = Replace(folder.get(), at.name, &old, bytes, reason);
        if (outcome != Outcome::CannotKeepTheFile)
            return outcome == Outcome::Saved;
    }
    return RewriteInPlace(folder.get(), at.name, bytes, reason);
}

} // namespace

bool SaveFileKeepingItsIdentity(const std::string& path, std::span<const std::uint8_t> bytes,
                                std::string* reason) {
    std::string why;
    if (Save(path, bytes, why))
        return true;
    if (reason != nullptr)
        *reason = why;
    return false;
}

} // namespace settings
