#include "framework/PaintDC.h"

#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "framework/widgets/Picture.h"

#include <QPainter>

namespace framework {

struct CPaintDC::Impl {
    explicit Impl(QWidget* widget) : painter(widget), widget(widget) {}
    QPainter painter;
    QWidget* widget;
};

CPaintDC::CPaintDC(CDialog& window) {
    if (window.Host())
        m_impl = std::make_unique<Impl>(window.Host());
}

CPaintDC::~CPaintDC() = default;

void CPaintDC::EraseIconBackground() {
    if (m_impl)
        m_impl->painter.fillRect(m_impl->widget->rect(), m_impl->widget->palette().window());
}

void CPaintDC::DrawIcon(int x, int y, HICON icon) {
    if (!m_impl || icon == 0)
        return;
    const int side = GetSystemMetrics(SM_CXICON);
    m_impl->painter.drawPixmap(
        x, y, RenderPicture(icon, QSize(side, side), m_impl->widget->devicePixelRatioF()));
}

int GetSystemMetrics(int index) {
    return index == SM_CXICON || index == SM_CYICON ? 32 : 0;
}

} // namespace framework
