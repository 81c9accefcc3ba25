// A file search over one folder with a wildcard name pattern, walked one entry at a time:
// FindFile() starts it, each FindNextFile() makes the next entry current and tells whether
// another one follows, GetFileName() names the current entry. Entries come in track order
// (preview/TrackOrder.h).
#pragma once

#include "preview/ListingCache.h"

#include <chrono>
#include <string>

namespace media {

// Whether `name` matches `pattern`, where '*' is any run of bytes and '?' any one byte; ASCII
// letters match in either case, every other byte only itself.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

} // namespace media

class CFileFinder {
public:
    // A folder unchanged for `settledAfter` before it was read is not read again by the next
    // search of the same pattern while it stays so (see media::ListingCache).
    explicit CFileFinder(std::chrono::milliseconds settledAfter = std::chrono::seconds(1));

    // Starts a search for "folder/pattern" (no folder: the working directory). Only regular
    // files and symbolic links to regular files count. True when at least one entry matched.
    // Errors (missing or unreadable folder, broken links) just mean fewer matches.
    bool FindFile(const std::string& pattern);
    // Starts the last search again over the entries it found, without reading the folder again.
    // True when it found any.
    bool FindFileAgain();
    // Makes the next entry current; true when another entry follows it. False, with the current
    // entry unchanged, when the search has nothing more.
    bool FindNextFile();
    // The current entry's bare name (raw bytes); empty before the first FindNextFile().
    std::string GetFileName() const;
    // The current entry's path: the pattern's folder part followed by its name.
    std::string GetFilePath() const;
    void Close();

private:
    // The current entry's name; puts the entries in track order as far as needed.
    const std::string& CurrentName() const;

    media::ListingCache m_listings;
    std::string m_folder; // as written in the pattern, including its trailing '/'
    mutable media::Listing m_listing;
    std::size_t m_next = 0; // index of the entry the next FindNextFile() makes current
};
