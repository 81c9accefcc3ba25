#include "res/Templates.h"

#include "res/ItemChanceControls.h"
#include "res/Resources.h"

namespace res {
namespace {

using namespace framework::win32;
using framework::ControlKind;
using framework::ControlTemplate;
using framework::kNoControlId;

// The name tells a screen reader what the picture shows and which slider (Предмет N) it goes with.
constexpr ControlTemplate Picture(int row, int y, const char* name) {
    return {kNoControlId,
            ControlKind::BitmapStatic,
            "",
            16,
            y,
            17,
            17,
            SS_BITMAP,
            WS_EX_DLGMODALFRAME,
            IDB_ITEM_FIRST + row,
            name,
            "Рисунок предмета; вероятность задаёт ползунок справа"};
}
constexpr ControlTemplate Placeholder(int id, int y) {
    return {id, ControlKind::Static, "", 35, y, 98, 22, SS_BLACKFRAME};
}
constexpr ControlTemplate Percent(int id, int y) {
    return {id, ControlKind::Static, "50%", 143, y, 21, 8, SS_LEFT};
}

constexpr ControlTemplate kControls[] = {
    {IDOK, ControlKind::DefPushButton, "OK", 141, 156, 50, 14, WS_TABSTOP},
    {IDCANCEL, ControlKind::PushButton, "Отмена", 198, 156, 50, 14, WS_TABSTOP},
    {kNoControlId, ControlKind::GroupBox, "", 7, 7, 241, 147},
    {kNoControlId, ControlKind::Static,
     "Здесь вы можете настроить вероятность появления для каждого передмета.", 16, 13, 224, 20,
     SS_LEFT},
    Picture(0, 35, "Предмет 1: молния"),
    Placeholder(IDC_CHANCE_SLIDER_1, 33),
    Percent(IDC_CHANCE_LABEL_1, 40),
    Picture(1, 58, "Предмет 2: паутина"),
    Placeholder(IDC_CHANCE_SLIDER_2, 56),
    Percent(IDC_CHANCE_LABEL_2, 62),
    Picture(2, 79, "Предмет 3: рука"),
    Placeholder(IDC_CHANCE_SLIDER_3, 79),
    Percent(IDC_CHANCE_LABEL_3, 83),
    Picture(3, 102, "Предмет 4: стрелка вниз"),
    Placeholder(IDC_CHANCE_SLIDER_4, 102),
    Percent(IDC_CHANCE_LABEL_4, 105),
    Picture(4, 125, "Предмет 5: стрелка вверх"),
    Placeholder(IDC_CHANCE_SLIDER_5, 125),
    Percent(IDC_CHANCE_LABEL_5, 128),
};

} // namespace

const framework::DialogTemplate kItemChanceTemplate = {
    IDD_ITEM_CHANCE, "Настройки предметов", 255, 177, 8, kControls};

} // namespace res
