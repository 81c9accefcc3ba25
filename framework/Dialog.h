// The modal dialog window that every window of the program derives from. It renders its template,
// runs the ordered data exchange, routes notifications through the handler table and owns timers.
#pragma once

#include "framework/Controls.h"
#include "framework/MessageMap.h"
#include "framework/Win32Types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace framework {

struct DialogTemplate;
class DialogHost;

class CDialog {
public:
    // The layer's vocabulary, for the declarations of the windows derived from it.
    using BOOL = win32::BOOL;
    using UINT = win32::UINT;
    using HICON = win32::HICON;
    using CRect = win32::CRect;

    explicit CDialog(int templateId);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the window, runs it modally and destroys it; returns IDOK, IDCANCEL,
    // the value given to EndDialog, or -1 when the window could not be created.
    int DoModal();
    void EndDialog(int result);

    // Copies every bound member into its control (FALSE) or every control into its member
    // (TRUE), in declaration order.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    CWndControl GetDlgItem(int id);
    void ScreenToClient(CRect* rect) const;
    bool IsIconic() const;
    void GetClientRect(CRect* rect) const;

    UINT SetTimer(UINT id, UINT elapseMs);
    BOOL KillTimer(UINT id);

    int MessageBox(const std::string& text, const std::string& caption, UINT type = MB_OK);

    void SetIcon(HICON icon, BOOL big);

    // Runs the handler of a notification; public so the layer's widgets can deliver events.
    void Notify(Msg msg, int id);

    DialogHost* Host() const { return m_host.get(); }
    const DialogTemplate* Template() const { return m_template; }

protected:
    // Window creation, before the controls exist; -1 refuses creation.
    virtual int OnCreate() { return 0; }
    // Initialisation: pushes the members into the controls; TRUE lets the layer set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    // Destroys the window at the end of the modal run: WM_DESTROY handlers, timers, controls.
    virtual void DestroyWindow();
    virtual bool Dispatch(Msg, int) { return false; }

    // Data exchange bindings, declared once (usually in the constructor) in exchange order.
    void DDX_Control(int id, CWndControl& control);
    void DDX_Text(int id, std::string& member);
    void DDX_Check(int id, int& member);
    void DDX_Slider(int id, int& member);

private:
    friend class DialogHost;
    void RouteCommand(int id);

    const DialogTemplate* m_template;
    std::vector<std::function<void(bool save)>> m_bindings;
    std::unique_ptr<DialogHost> m_host;
    bool m_ended = false;
    int m_endResult = 0;
};

// Told of every modal run once its window is initialised, before it takes its first event
// (tests drive windows through it). Null for none, the default.
using ModalRunObserver = void (*)(CDialog& window);
void SetModalRunObserver(ModalRunObserver observer);

} // namespace framework
