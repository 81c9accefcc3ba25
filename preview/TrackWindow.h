// A window that shows the current track's name in its track label (m_strTrack).
#pragma once

#include "framework/Dialog.h"

#include <string>

class CTrackWindow : public framework::CDialog {
public:
    using CDialog::CDialog;

    std::string m_strTrack;
};
