#include "preview/FileFinder.h"

#include "preview/TrackOrder.h"

#include <algorithm>
#include <memory>
#include <string_view>

#include <dirent.h>
#include <sys/stat.h>

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

std::string NameInFolder(const std::string& folder, const std::string& name) {
    struct stat entry {};
    if (::lstat((folder + '/' + name).c_str(), &entry) == 0)
        return name;
    const auto sameLetters = [](unsigned char a, unsigned char b) {
        return FoldAscii(a) == FoldAscii(b);
    };
    std::string found;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), &closedir);
    while (const dirent* other = dir ? readdir(dir.get()) : nullptr) {
        const std::string_view candidate = other->d_name;
        if (std::equal(candidate.begin(), candidate.end(), name.begin(), name.end(), sameLetters) &&
            (found.empty() || candidate < found))
            found = candidate;
    }
    return found.empty() ? name : found;
}

} // namespace media

bool CFileFinder::FindFile(const std::string& pattern) {
    *this = CFileFinder(); // nothing of the last search is kept
    const std::size_t slash = pattern.rfind('/');
    const std::string namePattern =
        slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    if (slash != std::string::npos) {
        const std::string path = pattern.substr(0, slash);
        const std::size_t cut = path.rfind('/') + 1; // 0 when the folder has no parent part
        const std::string parent = path.substr(0, cut);
        m_folder =
            parent + media::NameInFolder(parent.empty() ? "." : parent, path.substr(cut)) + '/';
    }
    // The folder is read with readdir: its entry types spare a stat() per file, and no path
    // objects are built, which matters in folders of thousands of files.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(
        opendir(m_folder.empty() ? "." : m_folder.c_str()), &closedir);
    if (namePattern.empty() || !dir)
        return false;
    while (const dirent* entry = readdir(dir.get())) {
        // Follows symbolic links: a link counts when its target is a regular file, so broken
        // links, link loops and folders named like tracks are left out.
        struct stat target {};
        if (media::MatchesWildcard(entry->d_name, namePattern) &&
            (entry->d_type == DT_REG ||
             ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
              fstatat(dirfd(dir.get()), entry->d_name, &target, 0) == 0 &&
              S_ISREG(target.st_mode))))
            m_names.push_back({entry->d_name, {}});
    }
    // Put in order only when a name is asked for: counting the matches needs no order.
    m_order = Order::Unsorted;
    return !m_names.empty();
}

const std::string& CFileFinder::CurrentName() const {
    const std::size_t index = m_next - 1;
    const auto at = m_names.begin() + static_cast<std::ptrdiff_t>(index);
    const auto less = [](const Name& a, const Name& b) {
        return media::TrackOrderLess(a.key, a.bytes, b.key, b.bytes);
    };
    if (m_order == Order::Unsorted) {
        // Each key is made once; usually one name is all that is asked for (the current
        // track), and selecting it takes linear time where sorting all of them does not.
        for (Name& name : m_names)
            name.key = media::TrackOrderKey(name.bytes);
        std::nth_element(m_names.begin(), at, m_names.end(), less);
        m_order = Order::Selected;
        m_selected = index;
    } else if (m_order == Order::Selected && index != m_selected) {
        std::sort(m_names.begin(), m_names.end(), less);
        m_order = Order::Sorted;
    }
    return at->bytes;
}

bool CFileFinder::FindFileAgain() {
    m_next = 0;
    return !m_names.empty();
}

bool CFileFinder::FindNextFile() {
    if (m_next >= m_names.size())
        return false;
    ++m_next;
    return m_next < m_names.size();
}

std::string CFileFinder::GetFileName() const {
    return m_next == 0 ? std::string() : CurrentName();
}

std::string CFileFinder::GetFilePath() const {
    return m_folder + GetFileName();
}
