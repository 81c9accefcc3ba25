// Fuzzes settings::DecodeConfig with arbitrary bytes and checks, against an independent reading
// of the same bytes, that a wrong magic leaves the record untouched, that a right one assigns
// exactly the value bytes present (each 0..255) and nothing else, and that encoding the result
// gives the input's bytes back. Inputs of 40 bytes or more also serve as ten arbitrary ints
// that must survive encode and decode as their low 8 bits.
#include "FuzzCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

using namespace settings;
using fuzzcheck::ValueAt;
using testsupport::Sentinel;

namespace {

void CheckDecode(std::span<const std::uint8_t> in) {
    const ConfigRecord before = Sentinel();
    ConfigRecord rec = before;
    const DecodeResult result = DecodeConfig(in, rec);

    const bool magic = in.size() >= kConfigMagicSize &&
                       std::memcmp(in.data(), kConfigMagic.data(), kConfigMagicSize) == 0;
    FUZZ_CHECK(result.magicMatched == magic);
    if (!magic) {
        FUZZ_CHECK(result.valuesAssigned == 0);
        FUZZ_CHECK(rec == before);
        return;
    }

    const std::size_t present = std::min(in.size(), kConfigSize) - kConfigMagicSize;
    FUZZ_CHECK(result.valuesAssigned == present);
    ConfigRecord expected = before;
    for (std::size_t i = 0; i < kConfigValueCount; ++i) {
        const int value = ValueAt(rec, i);
        if (i < present) {
            FUZZ_CHECK(value >= 0 && value <= 255);
            FUZZ_CHECK(value == in[kConfigMagicSize + i]);
            ValueAt(expected, i) = value;
        } else {
            FUZZ_CHECK(value == ValueAt(expected, i)); // not in the data: untouched
        }
    }
    FUZZ_CHECK(rec == expected);

    // Re-encoding gives back the magic and every value byte that was read.
    const ConfigBytes encoded = EncodeConfig(rec);
    FUZZ_CHECK(std::memcmp(encoded.data(), in.data(), kConfigMagicSize + present) == 0);

    // A complete record decodes from its own encoding unchanged.
    if (present == kConfigValueCount) {
        ConfigRecord again = Sentinel();
        const DecodeResult second = DecodeConfig(encoded, again);
        FUZZ_CHECK(second.magicMatched && second.valuesAssigned == kConfigValueCount);
        FUZZ_CHECK(again == rec);
    }
}

// Any ints encode to their low 8 bits, and those decode back to 0..255.
void CheckEncodeOfArbitraryInts(std::span<const std::uint8_t> in) {
    if (in.size() < kConfigValueCount * sizeof(std::int32_t)) {
        return;
    }
    ConfigRecord rec;
    for (std::size_t i = 0; i < kConfigValueCount; ++i) {
        std::int32_t value;
        std::memcpy(&value, in.data() + i * sizeof value, sizeof value);
        ValueAt(rec, i) = value;
    }
    const ConfigBytes encoded = EncodeConfig(rec);
    FUZZ_CHECK(std::memcmp(encoded.data(), kConfigMagic.data(), kConfigMagicSize) == 0);
    ConfigRecord decoded = Sentinel();
    FUZZ_CHECK(DecodeConfig(encoded, decoded).valuesAssigned == kConfigValueCount);
    for (std::size_t i = 0; i < kConfigValueCount; ++i) {
        const auto low = static_cast<std::uint32_t>(ValueAt(rec, i)) & 0xFFu;
        FUZZ_CHECK(encoded[kConfigMagicSize + i] == low);
        FUZZ_CHECK(ValueAt(decoded, i) == static_cast<int>(low));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> in(data, size);
    CheckDecode(in);
    CheckEncodeOfArbitraryInts(in);
    return 0;
}
