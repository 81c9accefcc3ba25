// The program's own texts, in UTF-8.
#pragma once

namespace res {

inline constexpr const char* kSettingsCaption = "MirtConfig";
inline constexpr const char* kPageGeneral = "Общие";
inline constexpr const char* kPageMusic = "Мызыка & Звуки";
inline constexpr const char* kPageHelp = "Помощь";

// The help page: the game's function keys, laid out with spaces and tabs.
inline constexpr const char* kHelpText = "      Функционнальные клавиши в игре:       \t\t"
                                         "F1 - вероятности предметов;                   \t\t"
                                         "F5 - список MP3                   \t\t"
                                         "F6 - следующий MP3 из списка.";

inline constexpr const char* kMusicFolderNote =
    "  При включеной этой опции, в игре будут проигрываться только музыка (MP3) находящиюся в "
    "\"...\\Music\".";

inline constexpr const char* kProgramLine = "MirtConfig 1.0, настройки игры";
// Followed by the path of the file that OK writes.
inline constexpr const char* kFileLine = "Сохраняются в файл ";
inline constexpr const char* kGameFolderCaption = "Папка игры";

inline constexpr const char* kErrorCaption = "ОШИБКА";
inline constexpr const char* kMediaInitFailed = "Ошибка инициализация DirectShow!";
inline constexpr const char* kSaveFailed = "Не удалось сохранить настройки в файл Config.cfg!";

} // namespace res
