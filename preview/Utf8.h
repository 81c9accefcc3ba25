// Turning raw file-name bytes into text for display.
#pragma once

#include <string>

namespace media {

// Returns `bytes` as valid UTF-8: well-formed sequences are kept, and each maximal ill-formed
// part (a stray byte, a cut-off sequence, an overlong form, a surrogate, anything past U+10FFFF)
// becomes U+FFFD.
std::string ToValidUtf8(const std::string& bytes);

} // namespace media
