// Numbers of the program's windows and pictures, the window templates, and their registration.
#pragma once

#include "framework/Template.h"

namespace res {

inline constexpr int IDR_MAINFRAME = 128;  // application icon
inline constexpr int IDB_BANNER = 130;     // banner of the settings window
inline constexpr int IDB_ITEM_FIRST = 138; // item pictures 138..142
inline constexpr int IDB_PLAY = 201;       // transport button pictures
inline constexpr int IDB_STOP = 202;
inline constexpr int IDB_PREVIOUS = 203;
inline constexpr int IDB_NEXT = 204;

inline constexpr int IDD_SETTINGS = 102;
inline constexpr int IDD_MP3_OPTIONS = 133;
inline constexpr int IDD_ITEM_CHANCE = 136;

extern const framework::DialogTemplate kSettingsTemplate;
extern const framework::DialogTemplate kMp3OptionsTemplate;
extern const framework::DialogTemplate kItemChanceTemplate;

// Registers every template and picture with the dialog layer; call once before any window. It
// is written at build time by mirt_render_pictures: RegisterSources, then the pictures drawn
// from those sources at the sizes the windows show them.
void RegisterResources();
// The templates and the pictures' vector sources.
void RegisterSources();

} // namespace res
