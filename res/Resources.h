// Numbers of the program's windows, controls and pictures, and their registration.
#pragma once

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

// Registers every template and picture with the dialog layer; call once before any window.
void RegisterResources();

// The two halves of it: the templates and the pictures' vector sources, and the pictures drawn
// from those sources at build time (mirt_render_pictures) at the sizes the windows show them.
void RegisterSources();
void RegisterPrerenderedPictures();

} // namespace res
