#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/DialogHost.h"
#include "framework/MessageBox.h"
#include "framework/Resources.h"
#include "framework/widgets/Picture.h"
#include "framework/widgets/Trackbar.h"

#include <QAbstractButton>
#include <QLabel>

namespace framework {

namespace {
ModalRunObserver g_modalRunObserver = nullptr;
} // namespace

void SetModalRunObserver(ModalRunObserver observer) {
    g_modalRunObserver = observer;
}

CDialog::CDialog(int templateId) : m_template(FindDialogTemplate(templateId)) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
    if (m_template == nullptr || m_host)
        return -1;
    QWidget* parent = nullptr;
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd && app->m_pMainWnd != this)
        parent = app->m_pMainWnd->Host();
    m_host = std::make_unique<DialogHost>(*this, *m_template, parent);
    if (OnCreate() == -1) {
        m_host.reset();
        return -1;
    }
    m_host->createControls();
    m_ended = false;
    if (OnInitDialog())
        m_host->focusFirstTabStop();
    if (g_modalRunObserver != nullptr)
        g_modalRunObserver(*this);
    const int result = m_ended ? m_endResult : m_host->exec();
    DestroyWindow();
    return result;
}

void CDialog::EndDialog(int result) {
    m_ended = true;
    m_endResult = result;
    if (m_host)
        m_host->done(result);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DestroyWindow() {
    if (!m_host)
        return;
    Notify(Msg::Destroy, 0);
    m_host.reset(); // and its timers with it
}

void CDialog::Notify(Msg msg, int id) {
    if (Dispatch(msg, id))
        return;
    if (msg == Msg::Click)
        RouteCommand(id);
}

void CDialog::RouteCommand(int id) {
    if (id == IDOK || id == IDCANCEL) {
        // A table entry for OK or Cancel replaces the virtual handler.
        if (Dispatch(Msg::Click, id))
            return;
        id == IDOK ? OnOK() : OnCancel();
    }
}

// Each binding copies its member into its control (false) or the control into its member (true).
void CDialog::DDX_Control(int id, CWndControl& control) {
    m_bindings.push_back([this, id, &control](bool) { control.Attach(this, id); });
}

// Text is exchanged with the windows' labels (statics).
void CDialog::DDX_Text(int id, std::string& member) {
    m_bindings.push_back([this, id, &member](bool save) {
        if (auto* label = qobject_cast<QLabel*>(m_host->control(id)))
            save ? void(member = label->text().toStdString())
                 : label->setText(QString::fromStdString(member));
    });
}

void CDialog::DDX_Check(int id, int& member) {
    m_bindings.push_back([this, id, &member](bool save) {
        if (auto* button = qobject_cast<QAbstractButton*>(m_host->control(id)))
            save ? void(member = button->isChecked() ? 1 : 0) : button->setChecked(member != 0);
    });
}

void CDialog::DDX_Slider(int id, int& member) {
    m_bindings.push_back([this, id, &member](bool save) {
        if (auto* slider = qobject_cast<Trackbar*>(m_host->control(id)))
            save ? void(member = slider->value()) : slider->setPositionQuietly(member);
    });
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    if (!m_host)
        return FALSE;
    for (const auto& exchange : m_bindings)
        exchange(bSaveAndValidate != FALSE);
    return TRUE;
}

CWndControl CDialog::GetDlgItem(int id) {
    return CWndControl(this, id);
}

void CDialog::ScreenToClient(CRect* rect) const {
    if (!m_host || rect == nullptr)
        return;
    const QPoint offset = m_host->mapFromGlobal(QPoint(0, 0));
    rect->left += offset.x();
    rect->right += offset.x();
    rect->top += offset.y();
    rect->bottom += offset.y();
}

void CDialog::GetClientRect(CRect* rect) const {
    if (!m_host || rect == nullptr)
        return;
    *rect = CRect{0, 0, m_host->width(), m_host->height()};
}

bool CDialog::IsIconic() const {
    return m_host && m_host->isMinimized();
}

UINT CDialog::SetTimer(UINT id, UINT elapseMs) {
    if (!m_host)
        return 0;
    m_host->startTimer(id, elapseMs);
    return id;
}

BOOL CDialog::KillTimer(UINT id) {
    return m_host && m_host->stopTimer(id) ? TRUE : FALSE;
}

int CDialog::MessageBox(const std::string& text, const std::string& caption, UINT type) {
    return ShowMessageBox(this, text, caption, type);
}

void CDialog::SetIcon(HICON icon, BOOL /*big*/) {
    // One scalable icon serves both sizes.
    if (m_host && icon != 0)
        m_host->setWindowIcon(PictureIcon(icon));
}

} // namespace framework
