#include "preview/Mp3OptionsDlg.h"

#include "res/Resources.h"

CMp3OptionsDlg::CMp3OptionsDlg() : CTrackWindow(res::IDD_MP3_OPTIONS) {}
