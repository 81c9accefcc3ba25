// Control numbers of the item chances window (template IDD_ITEM_CHANCE), named as in a
// resource header; one slider and one percent label per item, top to bottom.
#pragma once

namespace res {

// The black frames that mark where the sliders go; the sliders made over them take their numbers.
inline constexpr int IDC_CHANCE_SLIDER_1 = 1049;
inline constexpr int IDC_CHANCE_SLIDER_2 = 1034;
inline constexpr int IDC_CHANCE_SLIDER_3 = 1035;
inline constexpr int IDC_CHANCE_SLIDER_4 = 1036;
inline constexpr int IDC_CHANCE_SLIDER_5 = 1037;
inline constexpr int IDC_CHANCE_LABEL_1 = 1029;
inline constexpr int IDC_CHANCE_LABEL_2 = 1030;
inline constexpr int IDC_CHANCE_LABEL_3 = 1031;
inline constexpr int IDC_CHANCE_LABEL_4 = 1032;
inline constexpr int IDC_CHANCE_LABEL_5 = 1033;

inline constexpr int kChanceSliders[] = {IDC_CHANCE_SLIDER_1, IDC_CHANCE_SLIDER_2,
                                         IDC_CHANCE_SLIDER_3, IDC_CHANCE_SLIDER_4,
                                         IDC_CHANCE_SLIDER_5};
inline constexpr int kChanceLabels[] = {IDC_CHANCE_LABEL_1, IDC_CHANCE_LABEL_2, IDC_CHANCE_LABEL_3,
                                        IDC_CHANCE_LABEL_4, IDC_CHANCE_LABEL_5};

} // namespace res
