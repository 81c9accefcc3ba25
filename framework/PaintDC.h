// Drawing on a window while it paints itself.
#pragma once

#include "framework/Win32Types.h"

#include <memory>

namespace framework {
class CDialog;

class CPaintDC {
public:
    explicit CPaintDC(CDialog& window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    void EraseIconBackground();
    void DrawIcon(int x, int y, HICON icon);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

int GetSystemMetrics(int index);

} // namespace framework
