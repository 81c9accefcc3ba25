#include "settings/ConfigFormat.h"

#include <algorithm>

namespace settings {
namespace {

// The value at position `index` (0..9) of the file's value area; const or not with `Record`.
template <typename Record>
auto& ValueAt(Record& rec, std::size_t index) {
    switch (index) {
    case 0:
        return rec.volume;
    case 1:
        return rec.alwaysRandom;
    case 2:
        return rec.mp3Player;
    case 3:
        return rec.sound;
    case 4:
        return rec.playXm;
    default:
        return rec.itemChance[index - 5];
    }
}

// The magic is compared the way a NUL-terminated string of the first ten bytes compares with
// "CFG MIRT: ": a NUL among them ends the string early, so it is as much a mismatch as too
// few bytes or any other differing byte.
bool MagicMatches(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kConfigMagicSize) {
        return false;
    }
    for (std::size_t i = 0; i < kConfigMagicSize; ++i) {
        if (bytes[i] != static_cast<std::uint8_t>(kConfigMagic[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

ConfigBytes EncodeConfig(const ConfigRecord& rec) {
    ConfigBytes out{};
    std::copy(kConfigMagic.begin(), kConfigMagic.end(), out.begin());
    for (std::size_t i = 0; i < kConfigValueCount; ++i) {
        // Conversion to an unsigned type keeps the low 8 bits (modulo 256), negatives included.
        out[kConfigMagicSize + i] = static_cast<std::uint8_t>(ValueAt(rec, i));
    }
    return out;
}

DecodeResult DecodeConfig(std::span<const std::uint8_t> bytes, ConfigRecord& rec) {
    DecodeResult result;
    if (!MagicMatches(bytes)) {
        return result;
    }
    result.magicMatched = true;
    const std::size_t available = std::min(bytes.size(), kConfigSize) - kConfigMagicSize;
    for (std::size_t i = 0; i < available; ++i) {
        ValueAt(rec, i) = bytes[kConfigMagicSize + i];
    }
    result.valuesAssigned = available;
    return result;
}

} // namespace settings
