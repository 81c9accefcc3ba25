// File names are raw bytes. These turn them into text for display and into keys for ordering.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace media {

// The code point of the well-formed UTF-8 sequence at `at`, which then moves past it; nullopt,
// with `at` moved one byte on, for a byte that starts no well-formed sequence (stray and cut-off
// bytes, overlong forms, surrogates, anything past U+10FFFF).
std::optional<char32_t> NextCodePoint(std::string_view bytes, std::size_t& at);
void AppendUtf8(std::string& text, char32_t codePoint);

// A file name as it is shown: UTF-8 as it is; otherwise, as the game's files come from Windows,
// decoded from its Russian code page (CP1251) where every byte has a meaning there; failing
// that, each byte that is not UTF-8 becomes U+FFFD.
std::string DisplayName(std::string_view bytes);

} // namespace media
