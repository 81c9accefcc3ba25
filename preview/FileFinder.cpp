#include "preview/FileFinder.h"

#include "preview/TextEncoding.h"

#include <QChar>

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

bool CFileFinder::FindFile(const std::string& pattern) {
    Close();
    const std::size_t slash = pattern.rfind('/');
    const std::string namePattern =
        slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    m_folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    if (namePattern.empty()) {
        return false;
    }
    // The folder is read with readdir: its entry types spare a stat() per file, and no path
    // objects are built, which matters in folders of thousands of files.
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(
        opendir(m_folder.empty() ? "." : m_folder.c_str()), &closedir);
    if (!folder) {
        return false;
    }
    while (const dirent* entry = readdir(folder.get())) {
        std::string name = entry->d_name;
        if (!media::MatchesWildcard(name, namePattern)) {
            continue;
        }
        // Follows symbolic links: a link counts when its target is a regular file, so broken
        // links, link loops and folders named like tracks are left out.
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat target {};
            regular = fstatat(dirfd(folder.get()), entry->d_name, &target, 0) == 0 &&
                      S_ISREG(target.st_mode);
        }
        if (regular) {
            m_names.push_back({std::move(name), {}});
        }
    }
    // Put in order only when a name is asked for: counting the matches needs no order.
    m_order = Order::Unsorted;
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
    m_folder.clear();
    m_names.clear();
    m_order = Order::Sorted;
    m_next = 0;
}
