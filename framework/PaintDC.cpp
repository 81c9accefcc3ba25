#include "framework/PaintDC.h"

#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "framework/widgets/Picture.h"

#include <QPainter>

namespace framework {

CPaintDC::CPaintDC(CDialog& window) : m_window(window.Host()) {
    if (m_window)
        m_painter = std::make_unique<QPainter>(m_window);
}

CPaintDC::~CPaintDC() = default;

void CPaintDC::EraseIconBackground() {
    if (m_painter)
        m_painter->fillRect(m_window->rect(), m_window->palette().window());
}

void CPaintDC::DrawIcon(int x, int y, HICON icon) {
    const int side = GetSystemMetrics(SM_CXICON);
    if (m_painter && icon != 0)
        m_painter->drawPixmap(
            x, y, RenderPicture(icon, QSize(side, side), m_window->devicePixelRatioF()));
}

int GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? 32 : 0;
}

} // namespace framework
