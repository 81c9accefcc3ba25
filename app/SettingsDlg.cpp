#include "app/SettingsDlg.h"

#include "app/SettingsPages.h"
#include "framework/App.h"
#include "framework/Log.h"
#include "framework/PaintDC.h"
#include "items/ItemChanceDlg.h"
#include "mp3options/Mp3OptionsDlg.h"
#include "preview/FileFinder.h"
#include "res/Resources.h"
#include "res/SettingsControls.h"
#include "res/Texts.h"
#include "settings/ConfigFile.h"
#include "settings/GameSettings.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <utility>

using namespace framework::win32;
using namespace res;

namespace {

// Fires once, right after the first paint, to build the media graph.
constexpr UINT kStartMediaTimer = 1;

} // namespace

const framework::HandlerEntry<CSettingsDlg> CSettingsDlg::kHandlers[] = {
    {framework::Msg::Paint, framework::kAnyId, &CSettingsDlg::OnPaint},
    {framework::Msg::Timer, kStartMediaTimer, &CSettingsDlg::StartMedia},
    {framework::Msg::Click, IDC_MP3_PLAYER, &CSettingsDlg::OnMp3PlayerSwitch},
    {framework::Msg::Click, IDC_MP3_OPTIONS, &CSettingsDlg::OnMp3Options},
    {framework::Msg::SelChange, IDC_PAGES, &CSettingsDlg::OnPageChange},
    {framework::Msg::Click, IDC_ITEM_CHANCES, &CSettingsDlg::OnItemChances},
};

bool CSettingsDlg::Dispatch(framework::Msg msg, int id) {
    return framework::DispatchFromTable<CSettingsDlg>(kHandlers, *this, msg, id);
}

CSettingsDlg::CSettingsDlg(media::GraphOptions media)
    : CDialog(res::IDD_SETTINGS), m_preview(std::move(media)) {
    m_hIcon = framework::AfxGetApp() ? framework::AfxGetApp()->LoadIcon(res::IDR_MAINFRAME)
                                     : res::IDR_MAINFRAME;
    DDX_Control(IDC_HELP_TEXT, m_help);
    DDX_Control(IDC_ITEM_CHANCES, m_itemChances);
    DDX_Control(IDC_MUSIC_NOTE, m_musicFolderNote);
    DDX_Control(IDC_SOUND_OPTIONS, m_soundMore);
    DDX_Control(IDC_SOUND, m_sound);
    DDX_Control(IDC_XM_OPTIONS, m_xmMore);
    DDX_Control(IDC_MP3_PLAYER, m_mp3Player);
    DDX_Control(IDC_PLAY_XM, m_playXm);
    DDX_Control(IDC_MP3_OPTIONS, m_mp3More);
    DDX_Control(IDC_PAGES, m_pages);
    DDX_Check(IDC_MP3_PLAYER, m_bMp3Player);
    DDX_Check(IDC_SOUND, m_bSound);
    DDX_Check(IDC_PLAY_XM, m_bPlayXm);
    DDX_Text(IDC_HELP_TEXT, m_strHelp);
    DDX_Text(IDC_FILE_LINE, m_strFileLine);
}

BOOL CSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    m_pages.AddString(res::kPageGeneral);
    m_pages.AddString(res::kPageMusic);
    m_pages.AddString(res::kPageHelp);
    m_pages.SetCurSel(0);

    m_strHelp = res::kHelpText;
    // Config.cfg in the working folder, whatever its letter case there (see media::NameInFolder),
    // looked up once: the file loaded is the file saved, and where there is none, Config.cfg is
    // created. The line names it, so that nobody saves into the wrong folder unknowingly.
    m_configPath = media::NameInFolder(".", "Config.cfg");
    std::error_code noFolder;
    m_strFileLine =
        res::kFileLine + (std::filesystem::current_path(noFolder) / m_configPath).string();

    // The media graph is built right after the first paint (see OnPaint): starting GStreamer
    // (its registry and plugins) takes longer than everything else before the window appears.

    ShowPage(2, SW_HIDE);
    ShowPage(1, SW_HIDE);
    ShowPage(0, SW_SHOW);

    LoadConfig();
    UpdateData(FALSE);
    m_mp3More.EnableWindow(m_bMp3Player != 0);
    return TRUE;
}

void CSettingsDlg::ShowPage(int page, int nCmdShow) {
    for (int id : PageControls(page))
        GetDlgItem(id).ShowWindow(nCmdShow);
}

void CSettingsDlg::OnPageChange() {
    ShowPage(0, SW_HIDE);
    ShowPage(1, SW_HIDE);
    ShowPage(2, SW_HIDE);
    ShowPage(m_pages.GetCurSel(), SW_SHOW);
}

// Reading the member one click late is intended: it still holds the state from before the click
// while the box has just toggled, so the button ends up enabled exactly when the box is now
// checked, and the exchange after it brings the member up to date.
void CSettingsDlg::OnMp3PlayerSwitch() {
    m_mp3More.EnableWindow(m_bMp3Player == 0);
    UpdateData(TRUE);
}

void CSettingsDlg::OnMp3Options() {
    StartMedia();
    CMp3OptionsDlg dialog(m_preview);
    dialog.DoModal();
}

void CSettingsDlg::OnItemChances() {
    CItemChanceDlg dialog;
    dialog.DoModal();
}

// The ten stored values as they stand: seven process-wide, three of this window.
settings::ConfigRecord CSettingsDlg::CurrentRecord() const {
    settings::ConfigRecord record{g_nVolume, g_bAlwaysRandom, m_bMp3Player, m_bSound, m_bPlayXm};
    std::copy(std::begin(g_nItemChance), std::end(g_nItemChance), record.itemChance);
    return record;
}

void CSettingsDlg::LoadConfig() {
    settings::ConfigRecord record = CurrentRecord();
    if (!settings::LoadConfigFile(m_configPath.c_str(), record))
        return;
    g_nVolume = record.volume;
    g_bAlwaysRandom = record.alwaysRandom;
    m_bMp3Player = record.mp3Player;
    m_bSound = record.sound;
    m_bPlayXm = record.playXm;
    std::copy(std::begin(record.itemChance), std::end(record.itemChance), g_nItemChance);
}

bool CSettingsDlg::SaveConfig() {
    std::string reason;
    if (settings::SaveConfigFile(m_configPath.c_str(), CurrentRecord(), &reason))
        return true;
    // The message box cannot say why; the log can, for whoever looks.
    framework::LogFailure("settings", reason);
    return false;
}

// A failed save keeps the window open with the old file intact, so the user can mend the
// cause and press OK again, or cancel.
void CSettingsDlg::OnOK() {
    UpdateData(TRUE);
    if (!SaveConfig()) {
        MessageBox(res::kSaveFailed, res::kErrorCaption);
        return;
    }
    CDialog::OnOK();
}

// Builds the media graph once per window; a failure is reported and the window goes on.
void CSettingsDlg::StartMedia() {
    KillTimer(kStartMediaTimer);
    if (m_mediaStarted)
        return;
    m_mediaStarted = true;
    if (InitDirectShow(m_preview) < 0)
        MessageBox(res::kMediaInitFailed, res::kErrorCaption);
}

// A window closed before its graph was built (only a script is that quick) does not start
// GStreamer on its way out: the start timer goes with the window.
void CSettingsDlg::DestroyWindow() {
    FreeDirectShow(m_preview);
    CDialog::DestroyWindow();
}

void CSettingsDlg::OnPaint() {
    // A zero timer runs once the paint has reached the screen and the event loop is idle.
    if (!m_mediaStarted && !m_mediaTimerSet)
        m_mediaTimerSet = SetTimer(kStartMediaTimer, 0) != 0;
    if (!IsIconic())
        return;
    framework::CPaintDC dc(*this);
    dc.EraseIconBackground();
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - framework::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rect.Height() - framework::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}
