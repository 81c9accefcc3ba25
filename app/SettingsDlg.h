// The settings window: three pages chosen from a list, the game's switches, and the file
// Config.cfg, loaded when the window opens and written when the user confirms with OK.
#pragma once

#include "framework/Dialog.h"
#include "preview/Preview.h"
#include "settings/ConfigFormat.h"

#include <string>

class CSettingsDlg : public framework::CDialog {
public:
    // `media` chooses what the preview plays through (tests use a fake sink).
    explicit CSettingsDlg(media::GraphOptions media = {});

    // Shows or hides the controls of one page; other page numbers do nothing.
    void ShowPage(int page, int nCmdShow);
    void LoadConfig();
    // Writes Config.cfg atomically; false when the new settings did not reach the disk.
    bool SaveConfig();
    HICON OnQueryDragIcon() const { return m_hIcon; }
    // The MP3 preview, whose graph lives as long as this window.
    media::Preview& Preview() { return m_preview; }

    int m_bMp3Player = 0;
    int m_bSound = 0;
    int m_bPlayXm = 0;
    std::string m_strHelp;
    std::string m_strFileLine;               // names the file that OK writes, with its folder
    std::string m_configPath = "Config.cfg"; // the file loaded and saved, as found when opened
    HICON m_hIcon = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DestroyWindow() override;
    bool Dispatch(framework::Msg msg, int id) override;

private:
    settings::ConfigRecord CurrentRecord() const;
    void OnPaint();
    void OnMp3PlayerSwitch();
    void OnMp3Options();
    void OnPageChange();
    void OnItemChances();
    void StartMedia();

    framework::CStatic m_help;
    framework::CButton m_itemChances;
    framework::CStatic m_musicFolderNote;
    framework::CButton m_soundMore;
    framework::CButton m_sound;
    framework::CButton m_xmMore;
    framework::CButton m_mp3Player;
    framework::CButton m_playXm;
    framework::CButton m_mp3More;
    framework::CListBox m_pages;
    media::Preview m_preview;
    bool m_mediaStarted = false;
    bool m_mediaTimerSet = false;

    static const framework::HandlerEntry<CSettingsDlg> kHandlers[];
};
