// The MP3 options window: previews the tracks of the Music folder (play, stop, previous, next,
// automatic advance at a track's end), sets the preview volume and the shuffle option.
#pragma once

#include "preview/TrackWindow.h"

#include <string>

class CMp3OptionsDlg : public CTrackWindow {
public:
    CMp3OptionsDlg();

    framework::CSliderCtrl m_volumeSlider;
    std::string m_strVolume;
    int m_nVolume = 0; // slider position 0..100, 0 at the top and loudest
    int m_bAlwaysRandom = 0;

protected:
    int OnCreate() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnPlay();
    void OnStop();
    void OnPrevious();
    void OnNext();
    void OnVolumeMoved();
    void OnTimer();
    void OnDestroy();
    void ShowVolume(int position);

    DECLARE_HANDLER_TABLE(CMp3OptionsDlg)
};
