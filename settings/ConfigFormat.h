// The Config.cfg layout: a 10-byte ASCII magic "CFG MIRT: " (no NUL) followed by ten setting
// values of one byte each, 20 bytes in all. Pure data transformation, no I/O, no Qt, so that
// it can be tested and fuzzed on its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace settings {

inline constexpr std::size_t kItemChanceCount = 5;

// The ten values in file order. In memory they are full ints; the file keeps the low 8 bits.
struct ConfigRecord {
    int volume = 0;                                     // byte 10
    int alwaysRandom = 0;                               // byte 11
    int mp3Player = 0;                                  // byte 12
    int sound = 0;                                      // byte 13
    int playXm = 0;                                     // byte 14
    int itemChance[kItemChanceCount] = {0, 0, 0, 0, 0}; // bytes 15..19

    bool operator==(const ConfigRecord&) const = default;
};

inline constexpr std::string_view kConfigMagic = "CFG MIRT: ";
inline constexpr std::size_t kConfigMagicSize = 10;
inline constexpr std::size_t kConfigValueCount = 10;
inline constexpr std::size_t kConfigSize = kConfigMagicSize + kConfigValueCount;
static_assert(kConfigMagic.size() == kConfigMagicSize);

using ConfigBytes = std::array<std::uint8_t, kConfigSize>;

// The magic followed by the low 8 bits of each value (300 -> 0x2C, -1 -> 0xFF).
ConfigBytes EncodeConfig(const ConfigRecord& rec);

struct DecodeResult {
    bool magicMatched = false;      // false: nothing in the record was touched
    std::size_t valuesAssigned = 0; // 0..10; fewer than 10 when the data ends early
};

// Checks the magic, then assigns the value bytes present in `bytes` (zero-extended, 0..255,
// not range-checked) to `rec` in file order. Bytes after the 20th are ignored. On a wrong or
// incomplete magic the record keeps every value it held.
DecodeResult DecodeConfig(std::span<const std::uint8_t> bytes, ConfigRecord& rec);

} // namespace settings
