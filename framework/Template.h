// Window templates as plain data: what each control is, where it sits (in dialog units) and how
// it looks. The dialog layer renders them; the windows refer to their controls by number.
#pragma once

#include "framework/Win32Types.h"

#include <span>

namespace framework {

enum class ControlKind {
    PushButton,
    DefPushButton,
    AutoCheckBox,
    GroupBox,
    Static, // text; SS_LEFT, SS_CENTER, SS_SUNKEN, SS_PATHELLIPSIS, SS_BLACKFRAME, WS_EX_CLIENTEDGE
    BitmapStatic, // picture by resource number; WS_EX_DLGMODALFRAME draws a raised border
    ListBox,
    Trackbar,      // TBS_VERT, TBS_BOTH, TBS_AUTOTICKS, TBS_NOTICKS apply
    PictureButton, // an embedded button that shows a picture and reports clicks by number
};

inline constexpr int kNoControlId = -1;

struct ControlTemplate {
    int id = kNoControlId;
    ControlKind kind = ControlKind::Static;
    const char* text = "";            // UTF-8
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    DWORD style = 0;
    DWORD exStyle = 0;
    int picture = 0;                 // bitmap resource number for pictures
    const char* accessibleName = ""; // for controls whose meaning is a picture
    const char* accessibleDescription = "";
};

struct DialogTemplate {
    int id = 0;
    const char* caption = "";
    int cx = 0, cy = 0; // client size in dialog units
    int fontPoints = 8;
    std::span<const ControlTemplate> controls;
};

// Looks a template up by number in the program's resources; nullptr when there is none.
const DialogTemplate* FindDialogTemplate(int id);

} // namespace framework
