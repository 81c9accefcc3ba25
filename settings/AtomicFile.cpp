#include "settings/AtomicFile.h"

#include "settings/FileDescriptor.h"

#include <chrono>
#include <random>
#include <sys/stat.h>
#include <system_error>

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

// A new file named after the target plus a random suffix ("Config.cfg.a8Xk2Q"), in the
// target's folder. It is removed again unless it was renamed into place.
class TempFile {
public:
    TempFile(int folder, const std::string& targetName) : m_folder(folder) {
        static constexpr char kLetters[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
        // Only the name has to be hard to hit by chance; O_EXCL settles any clash.
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        std::mt19937_64 random(static_cast<std::uint64_t>(now) ^
                               (static_cast<std::uint64_t>(::getpid()) << 32));
        std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = targetName + '.';
            for (int i = 0; i < 6; ++i)
                name += kLetters[pick(random)];
            const int fd = OpenRetrying(folder, name.c_str(),
                                        O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
            if (fd >= 0) {
                m_fd.reset(fd);
                m_name = std::move(name);
                return;
            }
            if (errno != EEXIST)
                return;
        }
    }
    ~TempFile() {
        if (!m_name.empty())
            ::unlinkat(m_folder, m_name.c_str(), 0);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    explicit operator bool() const { return static_cast<bool>(m_fd); }
    int fd() const { return m_fd.get(); }
    const std::string& name() const { return m_name; }
    bool close() { return m_fd.close(); }
    // The file now lives under the target's name: nothing is left to remove.
    void keep() { m_name.clear(); }

private:
    int m_folder;
    UniqueFd m_fd;
    std::string m_name;
};

bool WriteAll(int fd, std::span<const std::uint8_t> bytes, std::string& reason) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR) {
            reason = "could not write all " + std::to_string(bytes.size()) +
                     " bytes: " + Describe(errno);
            return false;
        }
    }
    return true;
}

bool Replace(const std::string& path, std::span<const std::uint8_t> bytes, std::string& reason) {
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
    struct stat old {};
    const bool exists = ::fstatat(folder.get(), at.name.c_str(), &old, 0) == 0;
    // Renaming over a FIFO, device or socket would silently swap it for a plain file.
    if (exists && !S_ISREG(old.st_mode)) {
        reason = S_ISDIR(old.st_mode) ? "it is a directory" : "it is not a regular file";
        return false;
    }
    // A file its owner made read-only stays as it is, as with any other program's save.
    if (exists && ::faccessat(folder.get(), at.name.c_str(), W_OK, AT_EACCESS) != 0) {
        reason = "it is not writable: " + Describe(errno);
        return false;
    }

    TempFile temp(folder.get(), at.name);
    if (!temp) {
        reason = "cannot create a temporary file beside it: " + Describe(errno);
        return false;
    }
    if (exists) {
        // The new file keeps the old one's permissions; where the file system cannot set them
        // (FAT), it gets the usual ones, which is no reason to fail.
        [[maybe_unused]] const int kept = ::fchmod(temp.fd(), old.st_mode & 0777);
    }
    if (!WriteAll(temp.fd(), bytes, reason))
        return false;
    // A file system that cannot sync (EINVAL) has nothing more to do for the data.
    if (::fsync(temp.fd()) != 0 && errno != EINVAL) {
        reason = "cannot sync the new file: " + Describe(errno);
        return false;
    }
    if (!temp.close()) {
        reason = "cannot close the new file: " + Describe(errno);
        return false;
    }
    if (::renameat(folder.get(), temp.name().c_str(), folder.get(), at.name.c_str()) != 0) {
        reason = "cannot put the new file in place: " + Describe(errno);
        return false;
    }
    temp.keep();
    // The rename lives in the folder: sync it too, so a power cut cannot bring the old file
    // back. The new bytes are in place already, so a folder that cannot be synced (some file
    // systems refuse) is not a failure of the save.
    ::fsync(folder.get());
    return true;
}

} // namespace

bool ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           std::string* reason) {
    std::string why;
    if (Replace(path, bytes, why))
        return true;
    if (reason != nullptr)
        *reason = why;
    return false;
}

} // namespace settings
