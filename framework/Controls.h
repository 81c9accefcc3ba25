// Control objects: small handles that name one control of a window by number. They are attached
// by the window's data exchange (or by Create for run-time controls) and do nothing until then.
#pragma once

#include "framework/Win32Types.h"

#include <string>

namespace framework {
class CDialog;

class CWndControl {
public:
    CWndControl() = default;
    CWndControl(CDialog* owner, int id) : m_owner(owner), m_id(id) {}

    void Attach(CDialog* owner, int id) {
        m_owner = owner;
        m_id = id;
    }

    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    void GetWindowRect(CRect* rect) const;       // in screen coordinates
    void SetWindowText(const std::string& text); // a label's text
    void SetAccessibleText(const std::string& name, const std::string& description);

protected:
    CDialog* m_owner = nullptr;
    int m_id = 0;
};

class CButton : public CWndControl {};

class CStatic : public CWndControl {};

class CListBox : public CWndControl {
public:
    int AddString(const std::string& text); // index of the new item
    int SetCurSel(int index);               // never notifies
    int GetCurSel() const;                  // -1 when nothing is selected
};

class CSliderCtrl : public CWndControl {
public:
    // Creates a trackbar over rect (client coordinates of parent) with a control number;
    // it joins the tab order after the template's controls.
    BOOL Create(DWORD style, const CRect& rect, CDialog* parent, int id);
    void SetRange(int minimum, int maximum, BOOL redraw = FALSE);
    void SetPos(int pos); // limited to the range, never notifies
    int GetPos() const;
};

} // namespace framework
