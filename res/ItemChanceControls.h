// Control numbers of the item chances window (template IDD_ITEM_CHANCE): one slider and one
// percent label per item, top to bottom.
#pragma once

namespace res {

// The black frames that mark where the sliders go; the sliders made over them take their numbers.
inline constexpr int kChanceSliders[] = {1049, 1034, 1035, 1036, 1037};
inline constexpr int kChanceLabels[] = {1029, 1030, 1031, 1032, 1033};

} // namespace res
