// An invariant check for fuzz targets: a broken one prints where and why, then aborts, so that
// libFuzzer records the input as a crash.
#pragma once

#include "settings/ConfigFormat.h"

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzzcheck {

// A record no decode can produce (every byte decodes to 0..255), so a field that the decoder
// left alone keeps a value that shows it.
inline settings::ConfigRecord Sentinel() {
    return settings::ConfigRecord{-1, 256, -300, 1000, -70000, {511, -2, 4096, -129, 65536}};
}

// Field `index` (0..9) in file order.
inline int& ValueAt(settings::ConfigRecord& rec, std::size_t index) {
    int* const fields[settings::kConfigValueCount] = {
        &rec.volume,        &rec.alwaysRandom,  &rec.mp3Player,     &rec.sound,
        &rec.playXm,        &rec.itemChance[0], &rec.itemChance[1], &rec.itemChance[2],
        &rec.itemChance[3], &rec.itemChance[4]};
    return *fields[index];
}

} // namespace fuzzcheck
