// Plain types, numbers and style bits that the windows use to talk to the dialog layer.
// The values follow the classic dialog platform so that templates read like its resources.
// They live in framework::win32; window and template files bring them in with
// `using namespace framework::win32;`, and the layer's own code sees them in namespace framework.
#pragma once

#include <cstdint>

namespace framework::win32 {

using BOOL = int;
// GLib defines TRUE and FALSE as macros of the same values; where its headers came first, those
// stand in, so the two can be included in either order.
#ifndef TRUE
inline constexpr BOOL TRUE = 1;
#endif
#ifndef FALSE
inline constexpr BOOL FALSE = 0;
#endif
using UINT = unsigned int;
using DWORD = std::uint32_t;

// Icons are referred to by resource number; 0 is "no icon".
using HICON = int;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

inline constexpr UINT MB_OK = 0;
inline constexpr int LB_ERR = -1;

inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;

// Window styles (high word) shared by all kinds of control.
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;

// Extended styles.
inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;

// Static text styles (low word, meaningful for statics only).
inline constexpr DWORD SS_LEFT = 0x0000;
inline constexpr DWORD SS_CENTER = 0x0001;
inline constexpr DWORD SS_BLACKFRAME = 0x0007;
inline constexpr DWORD SS_BITMAP = 0x000E;
inline constexpr DWORD SS_SUNKEN = 0x1000;
inline constexpr DWORD SS_PATHELLIPSIS = 0x8000; // one line, shortened in the middle to fit

// List box styles.
inline constexpr DWORD LBS_NOTIFY = 0x0001;
inline constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;

// Trackbar styles.
inline constexpr DWORD TBS_AUTOTICKS = 0x0001;
inline constexpr DWORD TBS_VERT = 0x0002;
inline constexpr DWORD TBS_BOTH = 0x0008;
inline constexpr DWORD TBS_NOTICKS = 0x0010;

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const CRect&) const = default;
};

} // namespace framework::win32

namespace framework {
using namespace win32;
} // namespace framework
