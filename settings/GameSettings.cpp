#include "settings/GameSettings.h"

#include "settings/ConfigFormat.h"

#include <iterator>

// Everything starts at 0 until a config file says otherwise.
int g_nVolume = 0;
int g_bAlwaysRandom = 0;
int g_nItemChance[5] = {0, 0, 0, 0, 0};

static_assert(std::size(g_nItemChance) == settings::kItemChanceCount,
              "every item chance needs its byte in the config file");
