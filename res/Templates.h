// The program's three window templates.
#pragma once

#include "framework/Template.h"

namespace res {

extern const framework::DialogTemplate kSettingsTemplate;
extern const framework::DialogTemplate kMp3OptionsTemplate;
extern const framework::DialogTemplate kItemChanceTemplate;

} // namespace res
