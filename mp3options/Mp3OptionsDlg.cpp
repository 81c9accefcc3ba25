#include "mp3options/Mp3OptionsDlg.h"

#include "res/Mp3OptionsControls.h"
#include "res/Resources.h"
#include "settings/GameSettings.h"

#include <cstdint>
#include <utility>

using namespace framework::win32;
using namespace res;

namespace {

constexpr UINT kAdvanceTimer = 1;
constexpr UINT kAdvancePeriodMs = 1000;

// Five slider positions make one volume step of 2 dB.
int VolumeStepOf(int position) {
    return position / 5;
}

} // namespace

const framework::HandlerEntry<CMp3OptionsDlg> CMp3OptionsDlg::kHandlers[] = {
    {framework::Msg::Click, IDC_PLAY, &CMp3OptionsDlg::OnPlay},
    {framework::Msg::Click, IDC_STOP, &CMp3OptionsDlg::OnStop},
    {framework::Msg::Click, IDC_PREVIOUS, &CMp3OptionsDlg::OnPrevious},
    {framework::Msg::Click, IDC_NEXT, &CMp3OptionsDlg::OnNext},
    // Every finished move of the slider counts: a release of any mouse button, the keys or the
    // wheel. Seeing the mouse release alone would leave keyboard moves without effect.
    {framework::Msg::EndTrack, IDC_VOLUME, &CMp3OptionsDlg::OnVolumeMoved},
    {framework::Msg::Timer, framework::kAnyId, &CMp3OptionsDlg::OnTimer},
    {framework::Msg::Destroy, framework::kAnyId, &CMp3OptionsDlg::OnDestroy},
};

bool CMp3OptionsDlg::Dispatch(framework::Msg msg, int id) {
    return framework::DispatchFromTable<CMp3OptionsDlg>(kHandlers, *this, msg, id);
}

CMp3OptionsDlg::CMp3OptionsDlg(media::Preview& preview)
    : CDialog(res::IDD_MP3_OPTIONS), m_preview(preview), m_player(preview.Player()) {
    DDX_Control(IDC_VOLUME, m_volumeSlider);
    DDX_Text(IDC_TRACK_LABEL, m_strTrack);
    DDX_Text(IDC_VOLUME_LABEL, m_strVolume);
    DDX_Slider(IDC_VOLUME, m_nVolume);
    DDX_Check(IDC_ALWAYS_RANDOM, m_bAlwaysRandom);
}

void CMp3OptionsDlg::SetText(std::string text) {
    m_strTrack = std::move(text);
}

void CMp3OptionsDlg::Show() {
    UpdateData(FALSE);
}

void CMp3OptionsDlg::ShowLoaded(std::string text) {
    m_strTrack = std::move(text);
    GetDlgItem(IDC_TRACK_LABEL).SetWindowText(m_strTrack);
}

void CMp3OptionsDlg::ShowVolume(int position) {
    m_strVolume = std::to_string(100 - position) + "%";
}

int CMp3OptionsDlg::OnCreate() {
    if (CDialog::OnCreate() == -1)
        return -1;
    m_nVolume = g_nVolume;
    m_bAlwaysRandom = g_bAlwaysRandom;
    ShowVolume(g_nVolume);
    SetTimer(kAdvanceTimer, kAdvancePeriodMs);
    return 0;
}

BOOL CMp3OptionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The preview plays at the volume the slider shows from the start, and the player keeps
    // that volume for every track it loads and every graph it rebuilds.
    m_player.SetVolumeStep(VolumeStepOf(m_volumeSlider.GetPos()));
    return TRUE;
}

void CMp3OptionsDlg::OnPlay() {
    m_preview.PlayCurrentTrack(*this);
}
void CMp3OptionsDlg::OnStop() {
    m_player.StopAndRewind();
}
void CMp3OptionsDlg::OnPrevious() {
    m_preview.PrevTrack(*this);
}
void CMp3OptionsDlg::OnNext() {
    m_preview.NextTrack(*this);
}

void CMp3OptionsDlg::OnVolumeMoved() {
    UpdateData(TRUE);
    ShowVolume(m_nVolume);
    m_player.SetVolumeStep(VolumeStepOf(m_nVolume));
    UpdateData(FALSE);
}

// A progress past 99 means the track has played to its end. Taking it as an unsigned 16-bit
// number is intended: a negative progress (a range the player could not make sense of) counts
// as past the end too, so the preview moves on instead of sitting on that track. A track that
// plays into no sound output is started again instead, until the sound server is back.
void CMp3OptionsDlg::OnTimer() {
    if (static_cast<std::uint16_t>(m_player.GetProgress()) > 99)
        m_preview.NextTrack(*this);
    else
        m_player.ReopenIfSilent();
}

void CMp3OptionsDlg::OnDestroy() {
    KillTimer(kAdvanceTimer);
    m_preview.ForgetLabel(*this);
}

// The order is intended: the volume is taken from the member as the last finished slider move
// left it, before the exchange; the option is taken after it.
void CMp3OptionsDlg::OnOK() {
    g_nVolume = m_nVolume;
    UpdateData(TRUE);
    g_bAlwaysRandom = m_bAlwaysRandom;
    m_player.StopAndRewind();
    CDialog::OnOK();
}

void CMp3OptionsDlg::OnCancel() {
    m_player.StopAndRewind();
    CDialog::OnCancel();
}
