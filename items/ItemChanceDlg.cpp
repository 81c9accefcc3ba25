#include "items/ItemChanceDlg.h"

#include "res/Resources.h"

CItemChanceDlg::CItemChanceDlg() : CDialog(res::IDD_ITEM_CHANCE) {}
