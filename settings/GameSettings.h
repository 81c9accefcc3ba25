// Setting values shared by the whole program. The settings window loads them from and saves
// them to Config.cfg together with its own three switches (see ConfigFormat.h).
#pragma once

extern int g_nVolume;
extern int g_bAlwaysRandom;
extern int g_nItemChance[5];
