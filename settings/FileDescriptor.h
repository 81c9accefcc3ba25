// A file descriptor that closes itself, and open(2) retried when a signal interrupts it.
#pragma once

#include <cerrno>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>
#include <utility>

namespace settings {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) noexcept : m_fd(fd) {}
    ~UniqueFd() { close(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return m_fd; }
    explicit operator bool() const noexcept { return m_fd >= 0; }
    void reset(int fd) noexcept {
        close();
        m_fd = fd;
    }
    // Hands the descriptor over to whoever closes it from now on (fdopendir, for one).
    int release() noexcept { return std::exchange(m_fd, -1); }

    // Closes now. Some file systems (NFS) report a failed write only here, so the result
    // counts; an interrupted close has closed the descriptor all the same.
    bool close() noexcept {
        if (m_fd < 0)
            return true;
        const int result = ::close(std::exchange(m_fd, -1));
        return result == 0 || errno == EINTR;
    }

private:
    int m_fd;
};

// openat(2) relative to the folder `folder` (AT_FDCWD: the working folder), retried on EINTR.
inline int OpenRetrying(int folder, const char* path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::openat(folder, path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace settings
