// A file search over one folder with a wildcard name pattern, walked one entry at a time:
// FindFile() starts it, each FindNextFile() makes the next entry current and tells whether
// another one follows, GetFileName() names the current entry.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>
#include <time.h>

namespace media {

// Whether `name` matches `pattern`, where '*' is any run of bytes and '?' any one byte; ASCII
// letters match in either case, every other byte only itself.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

// A name with every letter in its case-folded form (Unicode simple case folding of the UTF-8
// name), so that names differing only in letter case get the same key. Bytes that are not
// UTF-8 are kept as they are.
std::string FoldedName(const std::string& name);

// Orders names by their folded form, ties broken bytewise, so the order is the same on every
// file system: "Ария", "браво", "Вечер", "где".
bool NameOrderLess(const std::string& a, const std::string& b);

} // namespace media

class CFileFinder {
public:
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

    // A folder whose status has not changed for this long since it was read is not read again
    // by the next FindFile() of the same pattern (see FolderStamp). Tests shorten it.
    std::chrono::milliseconds m_settledAfter{1000};

private:
    // What tells that a folder is as it was read: any entry added, removed or renamed, and any
    // change of its times, sets its status-change time to the present. A listing is reused
    // only when that time lay well before the read began (a change in the same clock tick as
    // the read would leave it equal), on a local file system, and when no entry was a link or
    // of unknown type (a link's target can change without the folder changing).
    struct FolderStamp {
        dev_t device = 0;
        ino_t inode = 0;
        timespec changed{};
        off_t size = 0;
        bool operator==(const FolderStamp& other) const;
    };
    bool ReadFolder(const std::string& namePattern);

    struct Match {
        std::string name;
        std::string key; // FoldedName(name), made once an order is needed
    };
    // The current entry's name; puts the matches in name order (NameOrderLess) as far as needed.
    const std::string& CurrentName() const;

    std::string m_folder; // as written in the pattern, including its trailing '/'
    // The matches, in the order the folder listed them until a name is asked for; then either
    // only the asked-for entry stands at its place in name order (Selected) or all do (Sorted).
    enum class Order { Unsorted, Selected, Sorted };
    mutable std::vector<Match> m_names;
    mutable Order m_order = Order::Sorted;
    mutable std::size_t m_selected = 0;
    std::size_t m_next = 0; // index of the entry the next FindNextFile() makes current
    // The listing in m_names may be reused for this folder and pattern while it has this stamp.
    std::optional<FolderStamp> m_reusableFor;
    std::vector<Match> m_kept; // the listing while Close() has put it aside
    Order m_keptOrder = Order::Sorted;
    std::size_t m_keptSelected = 0;
    std::string m_listedFolder;
    std::string m_listedPattern;
};
