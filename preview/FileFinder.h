// A file search over one folder with a wildcard name pattern, walked one entry at a time:
// FindFile() starts it, each FindNextFile() makes the next entry current and tells whether
// another one follows, GetFileName() names the current entry. Entries come in track order
// (preview/TrackOrder.h). Each search reads the folder anew.
#pragma once

#include <string>
#include <vector>

namespace media {

// Whether `name` matches `pattern`, where '*' is any run of bytes and '?' any one byte; ASCII
// letters match in either case, every other byte only itself.
bool MatchesWildcard(const std::string& name, const std::string& pattern);

// The name `name` goes by in `folder`, found as Windows finds it: `name` itself where an entry of
// that name exists (a dangling link too), else an entry whose name differs from it only in ASCII
// letter case (the lowest bytewise where several do), else `name`. A folder copied from a CD or
// a FAT drive may hold MUSIC or CONFIG.CFG, which the game finds under Windows and Wine.
std::string NameInFolder(const std::string& folder, const std::string& name);

} // namespace media

class CFileFinder {
public:
    // Starts a search for "folder/pattern" (no folder: the working directory); the folder's last
    // part is looked up by NameInFolder, whatever its letter case. Only regular
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
    // The current entry's path: the folder searched, as NameInFolder found it, and the name.
    std::string GetFilePath() const;

private:
    struct Name {
        std::string bytes;
        std::u16string key; // TrackOrderKey(bytes), made once an order is needed
    };
    // In the order the folder listed them until a name is asked for; then either only the
    // asked-for entry stands at its place in track order (Selected) or all do (Sorted).
    enum class Order { Unsorted, Selected, Sorted };

    // The current entry's name; puts the entries in track order as far as needed.
    const std::string& CurrentName() const;

    std::string m_folder; // with a closing '/'; empty: the working directory
    mutable std::vector<Name> m_names;
    mutable Order m_order = Order::Sorted;
    mutable std::size_t m_selected = 0;
    std::size_t m_next = 0; // index of the entry the next FindNextFile() makes current
};
