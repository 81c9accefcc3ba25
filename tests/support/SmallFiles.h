// Reading and writing small files by any name, raw bytes that are not UTF-8 included, without
// ever blocking: the reader opens nothing but a regular file, and the writer opens a FIFO only
// where a reader waits.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

// A path as the system takes it: the bytes Qt encodes the name to.
inline QByteArray Raw(const QString& path) {
    return QFile::encodeName(path);
}

// Writes `bytes` in place of what the file held, making it (mode 0644) if need be; whether all
// of them were written.
[[nodiscard]] inline bool WriteFile(const QByteArray& raw, QByteArrayView bytes) {
    const int fd =
        ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, size_t(bytes.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    return ::close(fd) == 0 && written == bytes.size();
}

[[nodiscard]] inline bool WriteFile(const QString& path, QByteArrayView bytes) {
    return WriteFile(Raw(path), bytes);
}

// The contents of a regular file (links followed) of at most 4 KiB, or a marker saying what is
// there instead: "<missing>", "<dangling or looping link>", "<not a regular file>",
// "<unreadable>" or, for a larger file, "<N bytes>".
inline QByteArray ReadFile(const QByteArray& raw) {
    constexpr qsizetype kLimit = 4096;
    struct stat st {};
    if (::lstat(raw.constData(), &st) != 0)
        return "<missing>";
    if (S_ISLNK(st.st_mode) && ::stat(raw.constData(), &st) != 0)
        return "<dangling or looping link>";
    if (!S_ISREG(st.st_mode))
        return "<not a regular file>";
    if (st.st_size > kLimit)
        return "<" + QByteArray::number(qint64(st.st_size)) + " bytes>";
    const int fd = ::open(raw.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return "<unreadable>";
    QByteArray bytes(kLimit, '\0');
    qsizetype got = 0;
    for (ssize_t n; (n = ::read(fd, bytes.data() + got, size_t(kLimit - got))) > 0;)
        got += n;
    ::close(fd);
    bytes.truncate(got);
    return bytes;
}

inline QByteArray ReadFile(const QString& path) {
    return ReadFile(Raw(path));
}

// Makes the file `size` bytes long without writing them: a sparse file, where the file system
// allows it.
[[nodiscard]] inline bool GrowSparse(const QString& path, qint64 size) {
    return ::truncate(Raw(path).constData(), off_t(size)) == 0;
}

} // namespace testsupport
