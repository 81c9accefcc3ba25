#include "res/Resources.h"
#include "res/SettingsControls.h"
#include "res/Texts.h"

namespace res {
namespace {

using namespace framework::win32;
using framework::ControlKind;
using framework::ControlTemplate;
using framework::kNoControlId;

constexpr ControlTemplate kControls[] = {
    {IDOK, ControlKind::DefPushButton, "OK", 209, 181, 50, 14, WS_TABSTOP},
    {IDCANCEL, ControlKind::PushButton, "Отмена", 263, 181, 50, 14, WS_TABSTOP},
    {kNoControlId, ControlKind::GroupBox, "", 7, 7, 306, 169},
    {kNoControlId, ControlKind::BitmapStatic, "", 11, 13, 133, 49, SS_BITMAP, 0, IDB_BANNER,
     "Эмблема программы", "Рисунок с названием программы"},
    {IDC_PAGES, ControlKind::ListBox, "", 11, 65, 133, 108,
     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0, 0, "Страницы"},
    {kNoControlId, ControlKind::GroupBox, "", 149, 9, 161, 165},
    {IDC_MP3_PLAYER, ControlKind::AutoCheckBox, "Проигрыватель MP3 ", 159, 22, 142, 10, WS_TABSTOP},
    {IDC_MP3_OPTIONS, ControlKind::PushButton, "Дополнительно", 166, 35, 134, 14,
     WS_TABSTOP | WS_DISABLED},
    {IDC_MUSIC_NOTE, ControlKind::Static, kMusicFolderNote, 160, 54, 142, 26, SS_CENTER},
    {IDC_PLAY_XM, ControlKind::AutoCheckBox, "Проигрывать XM", 159, 90, 121, 10, WS_TABSTOP},
    {IDC_XM_OPTIONS, ControlKind::PushButton, "Дополнительно", 166, 103, 134, 14,
     WS_TABSTOP | WS_DISABLED},
    {IDC_SOUND, ControlKind::AutoCheckBox, "Звук", 159, 130, 142, 10, WS_TABSTOP},
    {IDC_SOUND_OPTIONS, ControlKind::PushButton, "Дополнительно", 166, 143, 134, 14,
     WS_TABSTOP | WS_DISABLED},
    {IDC_ITEM_CHANCES, ControlKind::PushButton, "Настройки предметов", 163, 35, 134, 14,
     WS_TABSTOP},
    {IDC_HELP_TEXT, ControlKind::Static, "", 155, 18, 150, 144, SS_LEFT},
    {kNoControlId, ControlKind::Static, kProgramLine, 7, 179, 174, 10, SS_CENTER | SS_SUNKEN},
    {IDC_FILE_LINE, ControlKind::Static, "", 7, 189, 174, 10,
     SS_CENTER | SS_SUNKEN | SS_PATHELLIPSIS},
};

} // namespace

const framework::DialogTemplate kSettingsTemplate = {IDD_SETTINGS, kSettingsCaption, 320, 200, 8,
                                                     kControls};

} // namespace res
