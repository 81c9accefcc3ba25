// Control numbers of the settings window (template IDD_SETTINGS), named as in a resource header.
#pragma once

namespace res {

inline constexpr int IDC_PAGES = 1000;      // list of the three pages
inline constexpr int IDC_MP3_PLAYER = 1004; // switch "Проигрыватель MP3 "
inline constexpr int IDC_MP3_OPTIONS = 1005; // its "Дополнительно": the MP3 options window
inline constexpr int IDC_XM_OPTIONS = 1006; // "Дополнительно" of the XM switch (no window)
inline constexpr int IDC_SOUND = 1007;      // switch "Звук"
inline constexpr int IDC_SOUND_OPTIONS = 1008; // "Дополнительно" of the sound switch (no window)
inline constexpr int IDC_ITEM_CHANCES = 1009; // "Настройки предметов": the item chances window
inline constexpr int IDC_PLAY_XM = 1021;    // switch "Проигрывать XM"
inline constexpr int IDC_MUSIC_NOTE = 1022; // the note about the Music folder
inline constexpr int IDC_HELP_TEXT = 1050;  // the help page's text
inline constexpr int IDC_FILE_LINE = 1051;  // the line naming the file that OK writes

} // namespace res
