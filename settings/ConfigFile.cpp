#include "settings/ConfigFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

namespace settings {
namespace {

// O_NONBLOCK: a FIFO or a device never holds an open up; O_NOCTTY: a terminal never becomes ours.
constexpr int kOpenFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// An open file, closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) noexcept : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const noexcept { return m_fd; }

private:
    int m_fd;
};

// Reads at most kConfigSize bytes from the start of `fd`: how many, or -1 on a read error.
ssize_t ReadHead(int fd, ConfigBytes& out) {
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n =
            TEMP_FAILURE_RETRY(::pread(fd, out.data() + got, out.size() - got, off_t(got)));
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    return ssize_t(got);
}

// Writes `bytes` from offset 0 on: how many reached the file (all of them, or fewer with errno
// saying why).
std::size_t WriteHead(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            TEMP_FAILURE_RETRY(::pwrite(fd, bytes.data() + done, bytes.size() - done, off_t(done)));
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            break;
        }
        done += std::size_t(n);
    }
    return done;
}

// The head of the file `fd`, which is open for writing only, read through a descriptor of its
// own on the same file: -1 where the user may not read it.
ssize_t ReadOldHead(int fd, ConfigBytes& out) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const Descriptor reader(TEMP_FAILURE_RETRY(::open(self.c_str(), O_RDONLY | kOpenFlags)));
    return reader.get() < 0 ? -1 : ReadHead(reader.get(), out);
}

// Removes the file `fd` that this save created, by the name the kernel knows it by: `path`
// itself, or the target a dangling link named. Only if that name still leads to it.
void RemoveCreated(int fd, const struct stat& created) {
    char name[PATH_MAX];
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(self.c_str(), name, sizeof name - 1);
    struct stat now {};
    if (n <= 0)
        return;
    name[n] = '\0';
    if (::lstat(name, &now) == 0 && now.st_dev == created.st_dev && now.st_ino == created.st_ino)
        ::unlink(name);
}

} // namespace

bool LoadConfigFile(const char* path, ConfigRecord& rec) {
    // Opening acts on what is opened: it lets a writer waiting on a FIFO through, and a device
    // may rewind a tape or arm a watchdog. So only a regular file is opened, and what was opened
    // is checked again in case the name was swapped in between.
    struct stat st {};
    if (::stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const Descriptor file(TEMP_FAILURE_RETRY(::open(path, O_RDONLY | kOpenFlags)));
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    ConfigBytes bytes{};
    const ssize_t got = ReadHead(file.get(), bytes);
    return got >= 0 &&
           DecodeConfig(std::span<const std::uint8_t>(bytes.data(), std::size_t(got)), rec)
               .magicMatched;
}

bool SaveConfigFile(const char* path, const ConfigRecord& rec, std::string* error) {
    const auto fail = [&](const std::string& reason) {
        if (error != nullptr)
            *error = std::string("Cannot save ") + path + ": " + reason;
        return false;
    };
    // The file there is opened without O_CREAT, so that fs.protected_regular, which refuses
    // O_CREAT on another user's file in a sticky folder, never stands in the way; the kernel
    // follows a link under its own rules (fs.protected_symlinks). Only where nothing is there is
    // the file created, through a dangling link too.
    int fd = TEMP_FAILURE_RETRY(::open(path, O_WRONLY | kOpenFlags));
    const bool created = fd < 0 && errno == ENOENT;
    if (created)
        fd = TEMP_FAILURE_RETRY(::open(path, O_WRONLY | O_CREAT | kOpenFlags, 0666));
    if (fd < 0)
        return fail(std::strerror(errno));
    const Descriptor file(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return fail(std::strerror(errno));
    if (!S_ISREG(st.st_mode))
        return fail("not a regular file");

    // The 20 bytes lie in one sector: a crash leaves the old ones or the new. A write cut short
    // (a file size limit) can mix them, so the old head is read first, to be put back should the
    // save fail after writing.
    ConfigBytes old{};
    const ssize_t oldCount = created ? 0 : ReadOldHead(fd, old);
    const ConfigBytes bytes = EncodeConfig(rec);
    const std::size_t written = WriteHead(fd, bytes);
    if (written == bytes.size() &&
        (st.st_size <= off_t(kConfigSize) || ::ftruncate(fd, off_t(kConfigSize)) == 0) &&
        ::fsync(fd) == 0)
        return true;

    // Put back what changed: the bytes written over, and the old length if the file grew.
    const std::string cause = std::strerror(errno);
    if (created) {
        RemoveCreated(fd, st);
    } else if (written > 0) {
        const std::size_t changed = std::min(written, std::size_t(oldCount)); // used if >= 0
        const bool restored =
            oldCount >= 0 && WriteHead(fd, std::span(old).first(changed)) == changed &&
            (st.st_size >= off_t(kConfigSize) || ::ftruncate(fd, st.st_size) == 0);
        if (!restored)
            return fail(cause + "; the old bytes could not be put back");
    }
    return fail(cause);
}

} // namespace settings
