#include "preview/ListingCache.h"

#include "preview/FileFinder.h"

#include <memory>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace media {
namespace {

// File systems whose folder status is kept by the local kernel, so that it changes at once with
// the folder (a network file system may show a cached status).
bool IsLocalFileSystem(int fd) {
    struct statfs info {};
    if (fstatfs(fd, &info) != 0)
        return false;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0xEF53UL:     // ext2, ext3, ext4
    case 0x58465342UL: // XFS
    case 0x9123683EUL: // Btrfs
    case 0x01021994UL: // tmpfs
    case 0xF2F52010UL: // F2FS
        return true;
    default:
        return false;
    }
}

timespec Now() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

bool Before(const timespec& a, const timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}

timespec Minus(timespec t, std::chrono::milliseconds span) {
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(span).count();
    t.tv_sec -= static_cast<time_t>(ns / 1'000'000'000);
    t.tv_nsec -= static_cast<long>(ns % 1'000'000'000);
    if (t.tv_nsec < 0) {
        t.tv_nsec += 1'000'000'000;
        --t.tv_sec;
    }
    return t;
}

} // namespace

bool ListingCache::FolderStamp::operator==(const FolderStamp& other) const {
    return device == other.device && inode == other.inode &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec &&
           size == other.size;
}

Listing ListingCache::Read(const std::string& folder, const std::string& pattern) {
    const bool sameSearch = folder == m_folder && pattern == m_pattern;
    const std::optional<FolderStamp> reusable = std::exchange(m_reusableWhile, std::nullopt);
    std::optional<Listing> kept = std::exchange(m_kept, std::nullopt);
    m_folder = folder;
    m_pattern = pattern;
    // The folder is read with readdir: its entry types spare a stat() per file, and no path
    // objects are built, which matters in folders of thousands of files.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                                  &closedir);
    if (!dir)
        return {};
    const timespec readStart = Now();
    struct stat status {};
    std::optional<FolderStamp> stamp;
    if (fstat(dirfd(dir.get()), &status) == 0 && IsLocalFileSystem(dirfd(dir.get())))
        stamp = FolderStamp{status.st_dev, status.st_ino, status.st_ctim, status.st_size};
    if (stamp && reusable && kept && sameSearch && *stamp == *reusable) {
        // Unchanged since it was read: the names (and the order already found) stand.
        m_reusableWhile = stamp;
        return std::move(*kept);
    }
    Listing listing;
    bool onlyPlainFiles = true;
    while (const dirent* entry = readdir(dir.get())) {
        if (!MatchesWildcard(entry->d_name, pattern))
            continue;
        // Follows symbolic links: a link counts when its target is a regular file, so broken
        // links, link loops and folders named like tracks are left out.
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            onlyPlainFiles = false;
            struct stat target {};
            regular = fstatat(dirfd(dir.get()), entry->d_name, &target, 0) == 0 &&
                      S_ISREG(target.st_mode);
        }
        if (regular)
            listing.names.push_back({entry->d_name, {}});
    }
    // Put in order only when a name is asked for: counting the matches needs no order.
    listing.order = Listing::Order::Unsorted;
    if (onlyPlainFiles && stamp && Before(stamp->changed, Minus(readStart, m_settledAfter)))
        m_reusableWhile = stamp;
    return listing;
}

void ListingCache::HandBack(Listing listing) {
    if (m_reusableWhile)
        m_kept = std::move(listing);
}

} // namespace media
