#include "res/Mp3OptionsControls.h"
#include "res/Resources.h"

namespace res {
namespace {

using namespace framework::win32;
using framework::ControlKind;
using framework::ControlTemplate;
using framework::kNoControlId;

constexpr ControlTemplate kControls[] = {
    {IDOK, ControlKind::DefPushButton, "OK", 164, 119, 50, 14, WS_TABSTOP},
    {IDCANCEL, ControlKind::PushButton, "Отмена", 221, 119, 50, 14, WS_TABSTOP},
    {IDC_TRACK_LABEL, ControlKind::Static, "Файл MP3 не найден!", 15, 9, 248, 11, SS_CENTER,
     WS_EX_CLIENTEDGE},
    {IDC_PLAY, ControlKind::PictureButton, "", 99, 26, 16, 13, WS_TABSTOP, 0, IDB_PLAY,
     "Воспроизвести", "Играет выбранный файл из папки Music"},
    {IDC_STOP, ControlKind::PictureButton, "", 120, 26, 16, 13, WS_TABSTOP, 0, IDB_STOP, "Стоп",
     "Останавливает файл и возвращает его к началу"},
    {IDC_PREVIOUS, ControlKind::PictureButton, "", 141, 26, 16, 13, WS_TABSTOP, 0, IDB_PREVIOUS,
     "Предыдущий", "Играет предыдущий файл из папки Music"},
    {IDC_NEXT, ControlKind::PictureButton, "", 162, 26, 16, 13, WS_TABSTOP, 0, IDB_NEXT,
     "Следующий", "Играет следующий файл из папки Music"},
    {kNoControlId, ControlKind::GroupBox, "", 7, 42, 264, 74},
    {kNoControlId, ControlKind::Static, "Громкость:", 11, 48, 43, 9, SS_LEFT},
    {IDC_VOLUME, ControlKind::Trackbar, "Slider1", 20, 56, 18, 50,
     TBS_VERT | TBS_BOTH | TBS_AUTOTICKS | TBS_NOTICKS | WS_TABSTOP, 0, 0, "Громкость",
     "Вверху громче всего, внизу тише всего"},
    {IDC_VOLUME_LABEL, ControlKind::Static, "50%", 13, 105, 32, 9, SS_CENTER},
    {IDC_ALWAYS_RANDOM, ControlKind::AutoCheckBox, "Всегда случайно", 104, 62, 112, 9, WS_TABSTOP},
    {kNoControlId, ControlKind::Static,
     "По окончанию проигрывания всех MP3, перемешивать playlist.", 104, 76, 137, 20, SS_LEFT},
};

} // namespace

const framework::DialogTemplate kMp3OptionsTemplate = {
    IDD_MP3_OPTIONS, "Опции MP3 Проигрывателя", 278, 140, 8, kControls};

} // namespace res
