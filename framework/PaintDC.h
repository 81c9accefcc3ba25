// Drawing on a window while it paints itself.
#pragma once

#include "framework/Win32Types.h"

#include <memory>

class QPainter;

namespace framework {
class CDialog;
class DialogHost;

class CPaintDC {
public:
    explicit CPaintDC(CDialog& window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    void EraseIconBackground();
    void DrawIcon(int x, int y, HICON icon);

private:
    DialogHost* m_window;
    std::unique_ptr<QPainter> m_painter; // none without a window
};

int GetSystemMetrics(int index);

} // namespace framework
