// File names are raw bytes. This turns them into text for display (and, through it, into keys
// for ordering: preview/TrackOrder.h).
#pragma once

#include <string>
#include <string_view>

namespace media {

// A file name as it is shown: UTF-8 as it is; otherwise, as the game's files come from Windows,
// decoded from its Russian code page (CP1251) where every byte has a meaning there; failing
// that, each byte that is not UTF-8 becomes U+FFFD.
std::string DisplayName(std::string_view bytes);

} // namespace media
