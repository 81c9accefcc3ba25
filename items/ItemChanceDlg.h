// The item chances window: five sliders, one per kind of item, in steps of 10 %. OK stores the
// chances in g_nItemChance only when they add up to exactly 100 %.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <string>

class CItemChanceDlg : public framework::CDialog {
public:
    static constexpr int kItemCount = 5;

    CItemChanceDlg();

    // Texts of the percent labels beside the sliders. They start empty and stay empty on purpose:
    // the window never writes them, and the template's "50%" is replaced when it opens.
    std::string m_strChance[kItemCount];

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    framework::CSliderCtrl m_sliders[kItemCount];
};
