#include "framework/StandardErrorHold.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

namespace framework {
namespace {

// Writes all of `size` bytes, also to a descriptor that is non-blocking or interrupted.
bool WriteAll(int descriptor, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(descriptor, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && errno == EAGAIN) {
            pollfd writable{descriptor, POLLOUT, 0};
            ::poll(&writable, 1, -1);
        } else if (written == 0 || errno != EINTR) {
            return false;
        }
    }
    return true;
}

// Copies the whole of `from`, a regular file, to `to`.
void CopyFile(int from, int to) {
    char buffer[4096];
    off_t offset = 0;
    while (true) {
        const ssize_t got = ::pread(from, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || !WriteAll(to, buffer, static_cast<std::size_t>(got)))
            return;
        offset += got;
    }
}

} // namespace

StandardErrorHold::StandardErrorHold() {
    std::fflush(stderr);
    // The copy first: if descriptor 2 is closed there is nothing to hold, and the memory file
    // must not become descriptor 2 by chance.
    m_original = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (m_original < 0)
        return;
    m_held = ::memfd_create("held standard error", MFD_CLOEXEC);
    if (m_held < 0 || ::dup2(m_held, STDERR_FILENO) < 0)
        Restore();
}

StandardErrorHold::~StandardErrorHold() {
    if (m_held >= 0) {
        std::fflush(stderr);
        ::dup2(m_original, STDERR_FILENO);
        CopyFile(m_held, STDERR_FILENO);
    }
    Restore();
}

void StandardErrorHold::Discard() noexcept {
    Restore();
}

void StandardErrorHold::Restore() noexcept {
    if (m_held >= 0) {
        ::dup2(m_original, STDERR_FILENO);
        ::close(m_held);
        m_held = -1;
    }
    if (m_original >= 0) {
        ::close(m_original);
        m_original = -1;
    }
}

} // namespace framework
