// The setting values the whole program shares (settings/GameSettings.h), set as a test needs
// them. A test that includes this links the settings library (app, items and mp3options do).
#pragma once

#include "settings/ConfigFormat.h"
#include "settings/GameSettings.h"

#include <algorithm>
#include <iterator>

namespace testsupport {

// Gives the shared values those of `rec`: the volume, always random and the item chances.
inline void SetSettingValues(const settings::ConfigRecord& rec) {
    g_nVolume = rec.volume;
    g_bAlwaysRandom = rec.alwaysRandom;
    std::copy(std::begin(rec.itemChance), std::end(rec.itemChance), g_nItemChance);
}

// Back to what the program starts with: all of them zero.
inline void ResetSettingValues() {
    SetSettingValues(settings::ConfigRecord{});
}

} // namespace testsupport
