// Control numbers of the MP3 options window (template IDD_MP3_OPTIONS), named as in a resource
// header.
#pragma once

namespace res {

inline constexpr int IDC_TRACK_LABEL = 1009; // the current track's name
inline constexpr int IDC_PLAY = 1010;        // transport picture buttons
inline constexpr int IDC_STOP = 1011;
inline constexpr int IDC_PREVIOUS = 1012;
inline constexpr int IDC_NEXT = 1013;
inline constexpr int IDC_VOLUME = 1016;        // the volume slider, 0 (loudest) at the top
inline constexpr int IDC_VOLUME_LABEL = 1018;  // the volume in percent
inline constexpr int IDC_ALWAYS_RANDOM = 1019; // check box "Всегда случайно"

} // namespace res
