#include "items/ItemChanceDlg.h"

#include "res/ItemChanceControls.h"
#include "res/Resources.h"
#include "settings/GameSettings.h"

#include <iterator>
#include <string>

using namespace framework::win32;

namespace {

// Each slider counts tenths: 0..10 stands for 0..100 %.
constexpr int kSliderMax = 10;
constexpr int kPercentPerStep = 10;

static_assert(std::size(res::kChanceSliders) == CItemChanceDlg::kItemCount);
static_assert(std::size(res::kChanceLabels) == CItemChanceDlg::kItemCount);

constexpr const char* kSumMessage =
    "Вероятность появления для всех предметов \n в сумме должна равняться 100%! Сейчас: ";
constexpr const char* kSumCaption = "Ошибка";

} // namespace

CItemChanceDlg::CItemChanceDlg() : CDialog(res::IDD_ITEM_CHANCE) {
    for (int row = 0; row < kItemCount; ++row)
        DDX_Text(res::kChanceLabels[row], m_strChance[row]);
}

BOOL CItemChanceDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    for (int row = 0; row < kItemCount; ++row) {
        const int id = res::kChanceSliders[row];
        CRect rect;
        GetDlgItem(id).GetWindowRect(&rect);
        ScreenToClient(&rect);

        framework::CSliderCtrl& slider = m_sliders[row];
        slider.Create(WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS, rect, this, id);
        slider.SetRange(0, kSliderMax, TRUE);
        // A file may hold any byte; the range keeps out-of-range values at the ends.
        slider.SetPos(g_nItemChance[row] / kPercentPerStep);
        slider.SetAccessibleText("Предмет " + std::to_string(row + 1),
                                 "Вероятность появления предмета, шаг 10 %");
    }
    return TRUE;
}

void CItemChanceDlg::OnOK() {
    int sum = 0;
    for (const framework::CSliderCtrl& slider : m_sliders)
        sum += slider.GetPos();

    if (sum != kSliderMax) {
        MessageBox(kSumMessage + std::to_string(sum * kPercentPerStep) + "%", kSumCaption);
        return;
    }

    for (int row = 0; row < kItemCount; ++row)
        g_nItemChance[row] = m_sliders[row].GetPos() * kPercentPerStep;
    CDialog::OnOK();
}
