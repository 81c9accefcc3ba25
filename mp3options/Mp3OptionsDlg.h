// The MP3 options window: previews the tracks of the Music folder (play, stop, previous, next,
// automatic advance at a track's end), sets the preview volume and the shuffle option.
#pragma once

#include "framework/Dialog.h"
#include "preview/Preview.h"

#include <string>
#include <utility>

class CMp3OptionsDlg : public framework::CDialog, private media::TrackLabel {
public:
    explicit CMp3OptionsDlg(media::Preview& preview);

    framework::CSliderCtrl m_volumeSlider;
    std::string m_strTrack;
    std::string m_strVolume;
    int m_nVolume = 0; // slider position 0..100, 0 at the top and loudest
    int m_bAlwaysRandom = 0;

protected:
    int OnCreate() override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool Dispatch(framework::Msg msg, int id) override;

private:
    void OnPlay();
    void OnStop();
    void OnPrevious();
    void OnNext();
    void OnVolumeMoved();
    void OnTimer();
    void OnDestroy();
    void ShowVolume(int position);

    // The track label, as the preview shows the current track in it.
    void SetText(std::string text) override;
    void Show() override;
    // A load that ends later changes the label alone, never the controls the user may be moving.
    void ShowLoaded(std::string text) override;

    media::Preview& m_preview;
    // The preview's one player.
    CMp3Player& m_player;

    static const framework::HandlerEntry<CMp3OptionsDlg> kHandlers[];
};
