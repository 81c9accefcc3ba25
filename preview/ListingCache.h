// The names of one folder that match a pattern, read once and kept while the folder stays as it
// was: a Music folder of thousands of files is not read again at every press.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>
#include <time.h>

namespace media {

// A folder's matching names, with what has been worked out of their order so far.
struct Listing {
    struct Name {
        std::string bytes;
        std::u16string key; // TrackOrderKey(bytes), made once an order is needed
    };
    // In the order the folder listed them until a name is asked for; then either only the
    // asked-for entry stands at its place in track order (Selected) or all do (Sorted).
    enum class Order { Unsorted, Selected, Sorted };

    std::vector<Name> names;
    Order order = Order::Sorted;
    std::size_t selected = 0;
};

class ListingCache {
public:
    // The regular files, and links to regular files, of `folder` ("" for the working folder,
    // else ending in '/') whose names match `pattern` (see MatchesWildcard): the listing handed
    // back last for the same folder and pattern while the folder is as it was then, else a new
    // reading. Empty when the folder cannot be read.
    Listing Read(const std::string& folder, const std::string& pattern);
    // Hands the listing of the last Read back, to be given out again while it holds.
    void HandBack(Listing listing);

    // A folder whose status has not changed for this long before it was read may be reused
    // (see FolderStamp). Tests shorten it.
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

    std::string m_folder;
    std::string m_pattern;
    std::optional<FolderStamp> m_reusableWhile; // the last listing's, when it may be reused
    std::optional<Listing> m_kept;
};

} // namespace media
