// The order of the tracks: as the game's own file system lists a folder. Names are compared by
// their upper-cased form, one UTF-16 code unit after another, so that letters of every alphabet
// compare without their case and the signs between 'Z' and 'a' ('_', '[', '^', '`') come after
// the letters; names equal in that form are ordered bytewise. A name that is not UTF-8 is
// compared by the letters it shows (see DisplayName).
#pragma once

#include <string>
#include <string_view>

namespace media {

// The form in which names are compared; empty for a plain ASCII name, which is compared by its
// bytes, upper-cased as they are read (most names are such, and a folder of thousands of them
// is then ordered without a key made for each).
std::u16string TrackOrderKey(std::string_view name);

// "Ария", "браво", "Вечер", "где"; "b", "Zed", "_x".
bool TrackOrderLess(const std::string& a, const std::string& b);
// The same for names whose keys are made already.
bool TrackOrderLess(const std::u16string& keyA, const std::string& a, const std::u16string& keyB,
                    const std::string& b);

} // namespace media
