#include "preview/FileFinder.h"

#include "preview/TextEncoding.h"

#include <QChar>

#include <algorithm>
#include <memory>
#include <string_view>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace media {
namespace {

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

} // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    const auto same = [](char patternChar, char nameChar) {
        return patternChar == '?' || FoldAscii(static_cast<unsigned char>(patternChar)) ==
                                         FoldAscii(static_cast<unsigned char>(nameChar));
    };
    // After the last '*' the rest of the pattern can only match the end of the name, so it is
    // compared there at once instead of being tried at every position ("*.mp3").
    const std::size_t lastStar = pattern.rfind('*');
    // Greedy match with backtracking to the last '*': linear in practice, never recursive.
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p == lastStar) {
            const std::size_t rest = pattern.size() - p - 1;
            if (name.size() - n < rest) {
                return false;
            }
            return std::equal(pattern.begin() + static_cast<std::ptrdiff_t>(p + 1), pattern.end(),
                              name.end() - static_cast<std::ptrdiff_t>(rest), same);
        }
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && same(pattern[p], name[n])) {
            ++p;
            ++n;
        } else if (starPattern != std::string::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

std::string FoldedName(const std::string& name) {
    // Most names are plain ASCII: those fold in place, byte by byte.
    std::string key = name;
    std::size_t at = 0;
    for (; at < key.size(); ++at) {
        const auto byte = static_cast<unsigned char>(key[at]);
        if (byte >= 0x80)
            break;
        key[at] = static_cast<char>(FoldAscii(byte));
    }
    if (at == key.size())
        return key;
    key.resize(at);
    const std::string_view bytes(name);
    while (at < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            key += static_cast<char>(FoldAscii(byte));
            ++at;
            continue;
        }
        const std::size_t from = at;
        if (const std::optional<char32_t> c = NextCodePoint(bytes, at))
            AppendUtf8(key, QChar::toCaseFolded(*c));
        else
            key += bytes[from];
    }
    return key;
}

bool NameOrderLess(const std::string& a, const std::string& b) {
    const std::string foldedA = FoldedName(a);
    const std::string foldedB = FoldedName(b);
    return foldedA != foldedB ? foldedA < foldedB : a < b;
}

} // namespace media

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

bool CFileFinder::FolderStamp::operator==(const FolderStamp& other) const {
    return device == other.device && inode == other.inode &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec &&
           size == other.size;
}

bool CFileFinder::FindFile(const std::string& pattern) {
    const std::size_t slash = pattern.rfind('/');
    const std::string namePattern =
        slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    const std::string folder =
        slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    const bool sameSearch = folder == m_listedFolder && namePattern == m_listedPattern;
    Close(); // keeps the listing aside if it may be reused
    const std::optional<FolderStamp> reusable = m_reusableFor;
    m_reusableFor.reset();
    m_folder = folder;
    if (namePattern.empty()) {
        return false;
    }
    // The folder is read with readdir: its entry types spare a stat() per file, and no path
    // objects are built, which matters in folders of thousands of files.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(
        opendir(m_folder.empty() ? "." : m_folder.c_str()), &closedir);
    if (!dir) {
        return false;
    }
    const timespec readStart = Now();
    struct stat status {};
    std::optional<FolderStamp> stamp;
    if (fstat(dirfd(dir.get()), &status) == 0 && IsLocalFileSystem(dirfd(dir.get())))
        stamp = FolderStamp{status.st_dev, status.st_ino, status.st_ctim, status.st_size};
    if (stamp && reusable && sameSearch && *stamp == *reusable) {
        // Unchanged since it was read: the names (and the order already found) stand.
        m_names = std::move(m_kept);
        m_order = m_keptOrder;
        m_selected = m_keptSelected;
    } else {
        m_kept.clear();
        bool onlyPlainFiles = true;
        while (const dirent* entry = readdir(dir.get())) {
            std::string name = entry->d_name;
            if (!media::MatchesWildcard(name, namePattern)) {
                continue;
            }
            // Follows symbolic links: a link counts when its target is a regular file, so
            // broken links, link loops and folders named like tracks are left out.
            bool regular = entry->d_type == DT_REG;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                onlyPlainFiles = false;
                struct stat target {};
                regular = fstatat(dirfd(dir.get()), entry->d_name, &target, 0) == 0 &&
                          S_ISREG(target.st_mode);
            }
            if (regular) {
                m_names.push_back({std::move(name), {}});
            }
        }
        // Put in order only when a name is asked for: counting the matches needs no order.
        m_order = Order::Unsorted;
        if (!onlyPlainFiles || !stamp || !Before(stamp->changed, Minus(readStart, m_settledAfter)))
            stamp.reset();
    }
    m_reusableFor = stamp;
    m_listedFolder = m_folder;
    m_listedPattern = namePattern;
    return !m_names.empty();
}

const std::string& CFileFinder::CurrentName() const {
    const std::size_t index = m_next - 1;
    const auto at = m_names.begin() + static_cast<std::ptrdiff_t>(index);
    const auto less = [](const Match& a, const Match& b) {
        const int order = a.key.compare(b.key);
        return order != 0 ? order < 0 : a.name < b.name;
    };
    if (m_order == Order::Unsorted) {
        // Each key is made once; usually one name is all that is asked for (the current
        // track), and selecting it takes linear time where sorting all of them does not.
        for (Match& match : m_names)
            match.key = media::FoldedName(match.name);
        std::nth_element(m_names.begin(), at, m_names.end(), less);
        m_order = Order::Selected;
        m_selected = index;
    } else if (m_order == Order::Selected && index != m_selected) {
        std::sort(m_names.begin(), m_names.end(), less);
        m_order = Order::Sorted;
    }
    return at->name;
}

bool CFileFinder::FindFileAgain() {
    m_next = 0;
    return !m_names.empty();
}

bool CFileFinder::FindNextFile() {
    if (m_next >= m_names.size()) {
        return false;
    }
    ++m_next;
    return m_next < m_names.size();
}

std::string CFileFinder::GetFileName() const {
    if (m_next == 0) {
        return {};
    }
    return CurrentName();
}

std::string CFileFinder::GetFilePath() const {
    if (m_next == 0) {
        return {};
    }
    return m_folder + CurrentName();
}

void CFileFinder::Close() {
    // The listing is kept aside for the next FindFile() of the same search, while it may be
    // reused (m_reusableFor); otherwise it is dropped.
    if (m_reusableFor) {
        m_kept = std::move(m_names);
        m_keptOrder = m_order;
        m_keptSelected = m_selected;
    } else {
        m_kept.clear();
    }
    m_folder.clear();
    m_names.clear();
    m_order = Order::Sorted;
    m_next = 0;
}
