// An invariant check for fuzz targets: a broken one prints where and why, then aborts, so that
// libFuzzer records the input as a crash.
#pragma once

#include "settings/ConfigFormat.h"
#include "support/SentinelRecord.h"

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

// Field `index` (0..9) in file order.
inline int& ValueAt(settings::ConfigRecord& rec, std::size_t index) {
    int* const fields[settings::kConfigValueCount] = {
        &rec.volume,        &rec.alwaysRandom,  &rec.mp3Player,     &rec.sound,
        &rec.playXm,        &rec.itemChance[0], &rec.itemChance[1], &rec.itemChance[2],
        &rec.itemChance[3], &rec.itemChance[4]};
    return *fields[index];
}

} // namespace fuzzcheck
