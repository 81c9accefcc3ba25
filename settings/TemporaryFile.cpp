#include "settings/TemporaryFile.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <dirent.h>
#include <memory>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <vector>

namespace settings {
namespace {

constexpr std::size_t kSuffixLength = 6;
constexpr int kNameAttempts = 100;

bool IsCapital(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsSmall(char c) {
    return c >= 'a' && c <= 'z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Six letters and digits with at least one of each kind: what randomName() makes.
bool IsSuffix(std::string_view suffix) {
    const auto has = [suffix](bool (*kind)(char)) {
        return std::any_of(suffix.begin(), suffix.end(), kind);
    };
    const bool lettersAndDigits = std::all_of(suffix.begin(), suffix.end(), [](char c) {
        return IsCapital(c) || IsSmall(c) || IsDigit(c);
    });
    return suffix.size() == kSuffixLength && lettersAndDigits && has(IsCapital) && has(IsSmall) &&
           has(IsDigit);
}

// Whether `name` is what TemporaryFile names a file that is to replace `targetName`.
bool IsTemporaryFileName(std::string_view name, std::string_view targetName) {
    return name.size() == targetName.size() + 1 + kSuffixLength &&
           name.substr(0, targetName.size()) == targetName && name[targetName.size()] == '.' &&
           IsSuffix(name.substr(targetName.size() + 1));
}

// Takes the exclusive lock of `fd` if nobody holds it; never waits.
bool LockAtOnce(int fd) {
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The names in `folder` that look like temporary files of `targetName`. They are gathered first
// and looked at after, so that removing some does not disturb the listing.
std::vector<std::string> TemporaryFileNames(int folder, const std::string& targetName) {
    std::vector<std::string> names;
    // A descriptor of its own: reading a folder moves the descriptor's position.
    UniqueFd listing(OpenRetrying(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing) {
        return names;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(listing.get()), ::closedir);
    if (!dir) {
        return names;
    }
    listing.release(); // closedir closes it now
    while (const dirent* entry = ::readdir(dir.get())) {
        if (IsTemporaryFileName(entry->d_name, targetName)) {
            names.emplace_back(entry->d_name);
        }
    }
    return names;
}

// Opens the file `name` only to lock it: never a FIFO's writer, a terminal or a link's target.
// A file of ours may be write-only (it took the permissions of the file it was to replace).
UniqueFd OpenForLocking(int folder, const std::string& name) {
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = OpenRetrying(folder, name.c_str(), O_RDONLY | kFlags);
    if (fd < 0 && errno == EACCES) {
        fd = OpenRetrying(folder, name.c_str(), O_WRONLY | kFlags);
    }
    return UniqueFd(fd);
}

// Removes `name` if it is a regular file of ours that no save holds locked.
void RemoveIfStale(int folder, const std::string& name) {
    struct stat named {};
    if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(named.st_mode) || named.st_uid != ::geteuid()) {
        return;
    }
    const UniqueFd fd = OpenForLocking(folder, name);
    struct stat opened {};
    if (!fd || ::fstat(fd.get(), &opened) != 0 || !SameFile(named, opened) ||
        !LockAtOnce(fd.get())) {
        return;
    }
    // Still the file that was locked: another save may have removed it in the meantime.
    struct stat now {};
    if (::fstatat(folder, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(now, opened)) {
        ::unlinkat(folder, name.c_str(), 0);
    }
}

} // namespace

TemporaryFile::TemporaryFile(int folder, std::string targetName, mode_t mode, Kind kind)
    : m_folder(folder), m_target(std::move(targetName)) {
    // Only the name has to be hard to hit by chance; the kernel settles any clash.
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    m_random.seed(static_cast<std::uint64_t>(now) ^ (static_cast<std::uint64_t>(::getpid()) << 32));
    if (kind == Kind::UnnamedWherePossible && createUnnamed(mode)) {
        return;
    }
    // The file system has no unnamed files, or `kind` asks for a named one.
    if (m_error == 0) {
        createNamed(mode);
    }
}

TemporaryFile::~TemporaryFile() {
    if (!m_name.empty()) {
        ::unlinkat(m_folder, m_name.c_str(), 0);
    }
}

bool TemporaryFile::createUnnamed(mode_t mode) {
    const int fd = OpenRetrying(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) {
        // Not offered here (EOPNOTSUPP; EISDIR or EINVAL from a kernel without it): a named
        // file is tried. Anything else, such as a folder we may not write, counts.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            m_error = errno;
        }
        return false;
    }
    m_fd.reset(fd);
    m_unnamed = true;
    // Locked before it can have a name; a lock cannot fail on a file nobody else can reach, and
    // where the file system has no locks the save goes on without one.
    LockAtOnce(fd);
    return true;
}

bool TemporaryFile::createNamed(mode_t mode) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = randomName();
        const int fd = OpenRetrying(m_folder, name.c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, mode);
        if (fd >= 0) {
            m_fd.reset(fd);
            m_name = std::move(name);
            // At once, so that another save's clean-up counts it as under way. Only the moment
            // between the creation and this lock is open to it.
            LockAtOnce(fd);
            m_error = 0;
            return true;
        }
        m_error = errno;
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool TemporaryFile::giveName() {
    if (!m_unnamed || !m_name.empty()) {
        return static_cast<bool>(m_fd);
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = randomName();
        if (linkUnder(name)) {
            m_name = std::move(name);
            m_error = 0;
            return true;
        }
        if (m_error != EEXIST) {
            return false;
        }
    }
    return false;
}

bool TemporaryFile::cannotBeNamed() const {
    return m_unnamed && m_name.empty() && (m_error == ENOENT || m_error == EPERM);
}

// Links the unnamed file under `name`: through /proc, which needs no privilege, or where /proc
// is missing by its descriptor, which needs CAP_DAC_READ_SEARCH on most kernels.
bool TemporaryFile::linkUnder(const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd.get());
    if (::linkat(AT_FDCWD, self.c_str(), m_folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return true;
    }
    if (errno == ENOENT && ::linkat(m_fd.get(), "", m_folder, name.c_str(), AT_EMPTY_PATH) == 0) {
        return true;
    }
    m_error = errno;
    return false;
}

std::string TemporaryFile::randomName() {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(kSuffixLength, '\0');
    // About half of all draws mix the three kinds; the others are drawn again.
    do {
        for (char& c : suffix) {
            c = kLetters[pick(m_random)];
        }
    } while (!IsSuffix(suffix));
    return m_target + '.' + suffix;
}

void RemoveStaleTemporaryFiles(int folder, const std::string& targetName) {
    for (const std::string& name : TemporaryFileNames(folder, targetName)) {
        RemoveIfStale(folder, name);
    }
}

} // namespace settings
