#include "app/ConfigApp.h"

#include "app/SettingsDlg.h"

using namespace framework::win32;

BOOL CConfigApp::InitInstance() {
    CSettingsDlg dialog(m_media);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;

    // OK and Cancel alike end the program here, without a message loop.
    return FALSE;
}
