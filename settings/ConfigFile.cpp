#include "settings/ConfigFile.h"

#include "settings/FileDescriptor.h"
#include "settings/SafeSave.h"

#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace settings {
namespace {

// The contents of the symbolic link `path`, or nothing if it cannot be read.
std::optional<std::string> ReadLink(const std::string& path) {
    std::string target(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(n) < target.size()) {
            target.resize(static_cast<std::size_t>(n));
            return target;
        }
        // The result may have been cut to the buffer: try again with more room.
        if (target.size() >= (std::size_t{1} << 20)) {
            return std::nullopt;
        }
        target.resize(target.size() * 2);
    }
}

// Follows a chain of symbolic links from `path` to the name that finally holds (or will hold)
// the file, so that saving replaces the link's target rather than the link. A relative link
// is taken relative to the folder of the link. Fails on a loop or an overlong chain.
std::optional<std::string> ResolveLinkChain(std::string path) {
    constexpr int kMaxLinks = 40; // the kernel's own limit for one lookup
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            // Not a link, or nothing there yet: this is the name to write.
            return path;
        }
        std::optional<std::string> target = ReadLink(path);
        if (!target || target->empty()) {
            return std::nullopt;
        }
        if ((*target)[0] == '/') {
            path = std::move(*target);
        } else {
            const std::size_t slash = path.rfind('/');
            path = (slash == std::string::npos) ? std::move(*target)
                                                : path.substr(0, slash + 1) + *target;
        }
    }
    return std::nullopt;
}

bool Fail(std::string* error, const char* path, const std::string& reason) {
    if (error != nullptr) {
        *error =
            std::string("Cannot save ") + (path != nullptr ? path : "(no name)") + ": " + reason;
    }
    return false;
}

} // namespace

std::size_t ReadConfigBytes(const char* path, std::span<std::uint8_t, kConfigSize> out) {
    if (path == nullptr || *path == '\0') {
        return 0;
    }
    // Opening acts on what is opened: it lets a writer waiting on a FIFO through, and a device
    // may rewind a tape, raise a serial line or arm a watchdog. So anything that is not a
    // regular file is not even opened.
    struct stat st {};
    if (::stat(path, &st) != 0 || !S_ISREG(st.st_mode)) {
        return 0;
    }
    // Should the name be swapped for something else in between: O_NONBLOCK keeps a FIFO
    // without a writer from blocking the open, O_NOCTTY keeps a terminal from becoming ours,
    // and what was opened is checked again before any read.
    const UniqueFd fd(OpenRetrying(AT_FDCWD, path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        return 0;
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return 0;
    }
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::read(fd.get(), out.data() + got, out.size() - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
        } else if (n == 0) {
            break; // end of file
        } else if (errno != EINTR) {
            return 0; // a read error: take nothing rather than half a file
        }
    }
    return got;
}

bool LoadConfigFile(const char* path, ConfigRecord& rec) {
    ConfigBytes bytes{};
    const std::size_t got = ReadConfigBytes(path, bytes);
    return DecodeConfig(std::span<const std::uint8_t>(bytes.data(), got), rec).magicMatched;
}

bool SaveConfigFile(const char* path, const ConfigRecord& rec, std::string* error) {
    if (path == nullptr || *path == '\0') {
        return Fail(error, path, "no file name given");
    }
    // Saving writes the file the chain of links ends at, so every link stays a link; a loop is
    // an error rather than a reason to replace the link itself.
    const std::optional<std::string> target = ResolveLinkChain(path);
    if (!target) {
        return Fail(error, path, "too many levels of symbolic links");
    }
    const ConfigBytes bytes = EncodeConfig(rec);
    std::string reason;
    if (!SaveFileKeepingItsIdentity(*target, bytes, &reason)) {
        return Fail(error, path, reason);
    }
    return true;
}

} // namespace settings
