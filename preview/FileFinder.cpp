#include "preview/FileFinder.h"

#include "preview/TrackOrder.h"

#include <algorithm>
#include <utility>

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

} // namespace media

CFileFinder::CFileFinder(std::chrono::milliseconds settledAfter) {
    m_listings.m_settledAfter = settledAfter;
}

bool CFileFinder::FindFile(const std::string& pattern) {
    Close();
    const std::size_t slash = pattern.rfind('/');
    const std::string namePattern =
        slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    m_folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    if (namePattern.empty())
        return false;
    m_listing = m_listings.Read(m_folder, namePattern);
    return !m_listing.names.empty();
}

const std::string& CFileFinder::CurrentName() const {
    using Order = media::Listing::Order;
    const std::size_t index = m_next - 1;
    auto& names = m_listing.names;
    const auto at = names.begin() + static_cast<std::ptrdiff_t>(index);
    const auto less = [](const media::Listing::Name& a, const media::Listing::Name& b) {
        return media::TrackOrderLess(a.key, a.bytes, b.key, b.bytes);
    };
    if (m_listing.order == Order::Unsorted) {
        // Each key is made once; usually one name is all that is asked for (the current
        // track), and selecting it takes linear time where sorting all of them does not.
        for (media::Listing::Name& name : names)
            name.key = media::TrackOrderKey(name.bytes);
        std::nth_element(names.begin(), at, names.end(), less);
        m_listing.order = Order::Selected;
        m_listing.selected = index;
    } else if (m_listing.order == Order::Selected && index != m_listing.selected) {
        std::sort(names.begin(), names.end(), less);
        m_listing.order = Order::Sorted;
    }
    return at->bytes;
}

bool CFileFinder::FindFileAgain() {
    m_next = 0;
    return !m_listing.names.empty();
}

bool CFileFinder::FindNextFile() {
    if (m_next >= m_listing.names.size()) {
        return false;
    }
    ++m_next;
    return m_next < m_listing.names.size();
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

// The listing goes back to the cache, which keeps it for the next search while it may be
// reused.
void CFileFinder::Close() {
    m_listings.HandBack(std::exchange(m_listing, media::Listing{}));
    m_folder.clear();
    m_next = 0;
}
