// The item chances window: five sliders, one per kind of item, in steps of 10 %.
#pragma once

#include "framework/Dialog.h"

class CItemChanceDlg : public framework::CDialog {
public:
    CItemChanceDlg();
};
