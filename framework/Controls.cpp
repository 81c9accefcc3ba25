#include "framework/Controls.h"

#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "framework/widgets/ListBox.h"
#include "framework/widgets/Trackbar.h"

#include <QLabel>

namespace framework {
namespace {

QWidget* WidgetOf(const CDialog* owner, int id) {
    return owner && owner->Host() ? owner->Host()->control(id) : nullptr;
}

template <class T>
T* As(const CDialog* owner, int id) {
    return qobject_cast<T*>(WidgetOf(owner, id));
}

} // namespace

// Both return the state before the call: whether the control was visible, or disabled.
BOOL CWndControl::ShowWindow(int nCmdShow) {
    QWidget* widget = WidgetOf(m_owner, m_id);
    const BOOL wasVisible = widget && widget->isVisibleTo(widget->parentWidget());
    if (widget)
        widget->setVisible(nCmdShow != SW_HIDE);
    return wasVisible;
}

BOOL CWndControl::EnableWindow(BOOL bEnable) {
    QWidget* widget = WidgetOf(m_owner, m_id);
    const BOOL wasDisabled = widget && !widget->isEnabled();
    if (widget)
        widget->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

void CWndControl::GetWindowRect(CRect* rect) const {
    const QWidget* widget = WidgetOf(m_owner, m_id);
    if (!widget || !rect)
        return;
    const QPoint topLeft = widget->mapToGlobal(QPoint(0, 0));
    *rect = CRect{topLeft.x(), topLeft.y(), topLeft.x() + widget->width(),
                  topLeft.y() + widget->height()};
}

void CWndControl::SetWindowText(const std::string& text) {
    if (auto* label = As<QLabel>(m_owner, m_id))
        label->setText(QString::fromStdString(text));
}

void CWndControl::SetAccessibleText(const std::string& name, const std::string& description) {
    if (QWidget* widget = WidgetOf(m_owner, m_id)) {
        widget->setAccessibleName(QString::fromStdString(name));
        widget->setAccessibleDescription(QString::fromStdString(description));
    }
}

int CListBox::AddString(const std::string& text) {
    auto* list = As<ListBox>(m_owner, m_id);
    if (list)
        list->addItem(QString::fromStdString(text));
    return list ? list->count() - 1 : LB_ERR;
}

int CListBox::SetCurSel(int index) {
    auto* list = As<ListBox>(m_owner, m_id);
    if (list)
        list->selectQuietly(index);
    return list && index >= 0 && index < list->count() ? index : LB_ERR;
}

int CListBox::GetCurSel() const {
    auto* list = As<ListBox>(m_owner, m_id);
    return list ? list->selectedRow() : LB_ERR;
}

BOOL CSliderCtrl::Create(DWORD style, const CRect& rect, CDialog* parent, int id) {
    if (parent == nullptr || parent->Host() == nullptr)
        return FALSE;
    DialogHost* host = parent->Host();
    auto* slider = Trackbar::create(style, host);
    slider->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    slider->setEnabled(!(style & WS_DISABLED));
    slider->setVisible(style & WS_VISIBLE);
    host->addRuntimeControl(id, slider);
    Attach(parent, id);
    return TRUE;
}

void CSliderCtrl::SetRange(int minimum, int maximum, BOOL /*redraw*/) {
    if (auto* slider = As<Trackbar>(m_owner, m_id))
        slider->setRangeAndPage(minimum, maximum);
}

void CSliderCtrl::SetPos(int pos) {
    if (auto* slider = As<Trackbar>(m_owner, m_id))
        slider->setPositionQuietly(pos);
}

int CSliderCtrl::GetPos() const {
    auto* slider = As<Trackbar>(m_owner, m_id);
    return slider ? slider->value() : 0;
}

} // namespace framework
