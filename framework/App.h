// The application object: one per process, started by RunApplication.
#pragma once

#include "framework/Win32Types.h"

namespace framework {
class CDialog;

class CWinApp {
public:
    // The layer's vocabulary, for the declarations of the application object derived from it.
    using BOOL = win32::BOOL;
    using HICON = win32::HICON;

    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Returns FALSE to end the program at once, without a message loop.
    virtual BOOL InitInstance() = 0;

    HICON LoadIcon(int resourceId) const;

    CDialog* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();

// Starts the toolkit with the program name only (the command line is ignored), runs
// InitInstance of the one application object and returns the process's exit code.
// desktopId names the program's desktop entry, so desktops match its windows to it.
int RunApplication(const char* programName, const char* desktopId = nullptr);

} // namespace framework
