// The MP3 options window: previews the Music folder and sets the preview volume and shuffle.
#pragma once

#include "preview/TrackWindow.h"

class CMp3OptionsDlg : public CTrackWindow {
public:
    CMp3OptionsDlg();
};
