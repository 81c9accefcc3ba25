#include "app/ConfigApp.h"

#include "app/CommandLine.h"
#include "app/SettingsDlg.h"
#include "framework/MessageBox.h"
#include "res/Texts.h"

using namespace framework::win32;

BOOL CConfigApp::InitInstance() {
    if (m_chooseFolder) {
        const std::optional<std::string> folder = framework::ChooseFolder(res::kGameFolderCaption);
        if (!folder || !EnterFolder(folder->c_str()))
            return FALSE;
    }
    CSettingsDlg dialog(m_media);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;

    // OK and Cancel alike end the program here, without a message loop.
    return FALSE;
}
