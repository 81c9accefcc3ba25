#include "res/ItemChanceControls.h"
#include "res/Resources.h"

namespace res {
namespace {

using namespace framework::win32;
using framework::ControlKind;
using framework::ControlTemplate;
using framework::kNoControlId;

// The name tells a screen reader what the picture shows and which slider (Предмет N) it goes with.
constexpr const char* kPictureDescription = "Рисунок предмета; вероятность задаёт ползунок справа";

constexpr ControlTemplate kControls[] = {
    {IDOK, ControlKind::DefPushButton, "OK", 141, 156, 50, 14, WS_TABSTOP},
    {IDCANCEL, ControlKind::PushButton, "Отмена", 198, 156, 50, 14, WS_TABSTOP},
    {kNoControlId, ControlKind::GroupBox, "", 7, 7, 241, 147},
    {kNoControlId, ControlKind::Static,
     "Здесь вы можете настроить вероятность появления для каждого передмета.", 16, 13, 224, 20,
     SS_LEFT},
    {kNoControlId, ControlKind::BitmapStatic, "", 16, 35, 17, 17, SS_BITMAP, WS_EX_DLGMODALFRAME,
     IDB_ITEM_FIRST + 0, "Предмет 1: молния", kPictureDescription},
    {kChanceSliders[0], ControlKind::Static, "", 35, 33, 98, 22, SS_BLACKFRAME},
    {kChanceLabels[0], ControlKind::Static, "50%", 143, 40, 21, 8, SS_LEFT},
    {kNoControlId, ControlKind::BitmapStatic, "", 16, 58, 17, 17, SS_BITMAP, WS_EX_DLGMODALFRAME,
     IDB_ITEM_FIRST + 1, "Предмет 2: паутина", kPictureDescription},
    {kChanceSliders[1], ControlKind::Static, "", 35, 56, 98, 22, SS_BLACKFRAME},
    {kChanceLabels[1], ControlKind::Static, "50%", 143, 62, 21, 8, SS_LEFT},
    {kNoControlId, ControlKind::BitmapStatic, "", 16, 79, 17, 17, SS_BITMAP, WS_EX_DLGMODALFRAME,
     IDB_ITEM_FIRST + 2, "Предмет 3: рука", kPictureDescription},
    {kChanceSliders[2], ControlKind::Static, "", 35, 79, 98, 22, SS_BLACKFRAME},
    {kChanceLabels[2], ControlKind::Static, "50%", 143, 83, 21, 8, SS_LEFT},
    {kNoControlId, ControlKind::BitmapStatic, "", 16, 102, 17, 17, SS_BITMAP, WS_EX_DLGMODALFRAME,
     IDB_ITEM_FIRST + 3, "Предмет 4: стрелка вниз", kPictureDescription},
    {kChanceSliders[3], ControlKind::Static, "", 35, 102, 98, 22, SS_BLACKFRAME},
    {kChanceLabels[3], ControlKind::Static, "50%", 143, 105, 21, 8, SS_LEFT},
    {kNoControlId, ControlKind::BitmapStatic, "", 16, 125, 17, 17, SS_BITMAP, WS_EX_DLGMODALFRAME,
     IDB_ITEM_FIRST + 4, "Предмет 5: стрелка вверх", kPictureDescription},
    {kChanceSliders[4], ControlKind::Static, "", 35, 125, 98, 22, SS_BLACKFRAME},
    {kChanceLabels[4], ControlKind::Static, "50%", 143, 128, 21, 8, SS_LEFT},
};

} // namespace

const framework::DialogTemplate kItemChanceTemplate = {
    IDD_ITEM_CHANCE, "Настройки предметов", 255, 177, 8, kControls};

} // namespace res
