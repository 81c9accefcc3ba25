#include "preview/FileFinder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

CFileFinder g_finder;

namespace media {
namespace {

unsigned char FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

} // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
    // Greedy match with backtracking to the last '*': linear in practice, never recursive.
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || FoldAscii(static_cast<unsigned char>(pattern[p])) ==
                                             FoldAscii(static_cast<unsigned char>(name[n])))) {
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

bool NameOrderLess(const std::string& a, const std::string& b) {
    const auto folded = [](char l, char r) {
        return FoldAscii(static_cast<unsigned char>(l)) < FoldAscii(static_cast<unsigned char>(r));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded)) {
        return true;
    }
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded)) {
        return false;
    }
    // Same name apart from letter case: compare the bytes as unsigned values.
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char l, char r) {
        return static_cast<unsigned char>(l) < static_cast<unsigned char>(r);
    });
}

} // namespace media

bool CFileFinder::FindFile(const std::string& pattern) {
    namespace fs = std::filesystem;
    Close();
    const std::size_t slash = pattern.rfind('/');
    const std::string namePattern =
        slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    m_folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    if (namePattern.empty()) {
        return false;
    }
    const fs::path folder = m_folder.empty() ? fs::path(".") : fs::path(m_folder);

    std::error_code ec;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    const fs::directory_iterator end;
    for (; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().native();
        if (!media::MatchesWildcard(name, namePattern)) {
            continue;
        }
        // Follows symbolic links: a link counts when its target is a regular file, so broken
        // links, link loops and folders named like tracks are left out.
        std::error_code typeError;
        if (it->is_regular_file(typeError) && !typeError) {
            m_names.push_back(std::move(name));
        }
    }
    std::sort(m_names.begin(), m_names.end(), media::NameOrderLess);
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
    return m_next == 0 ? std::string() : m_names[m_next - 1];
}

std::string CFileFinder::GetFilePath() const {
    return m_next == 0 ? std::string() : m_folder + m_names[m_next - 1];
}

void CFileFinder::Close() {
    m_folder.clear();
    m_names.clear();
    m_next = 0;
}
