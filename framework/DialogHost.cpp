#include "framework/DialogHost.h"

#include "framework/widgets/CheckBox.h"
#include "framework/widgets/ListBox.h"
#include "framework/widgets/Picture.h"
#include "framework/widgets/Static.h"
#include "framework/widgets/Trackbar.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace framework {
namespace {

bool StartsGroup(const ControlTemplate& control, bool first) {
    // Text statics start a group of their own, as in the classic resource scripts.
    return first || (control.style & WS_GROUP) ||
           (control.kind == ControlKind::Static && (control.style & 0x1F) != SS_BLACKFRAME);
}

// Whether a widget takes part in keyboard navigation now.
bool IsTabStop(const QWidget* widget) {
    return widget->focusPolicy() != Qt::NoFocus && widget->isVisible() && widget->isEnabled();
}

QWidget* CreateWidget(const ControlTemplate& control, const QString& text, QWidget* parent) {
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(true);
        button->setDefault(control.kind == ControlKind::DefPushButton);
        return button;
    }
    case ControlKind::AutoCheckBox:
        return new CheckBox(text, parent);
    case ControlKind::GroupBox: {
        if (!text.isEmpty())
            return new QGroupBox(text, parent);
        // A group box without a caption is only its etched frame.
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        return frame;
    }
    case ControlKind::Static:
        return new Static(control, parent);
    case ControlKind::BitmapStatic:
        return new PictureStatic(control.picture, control.exStyle & WS_EX_DLGMODALFRAME, parent);
    case ControlKind::ListBox:
        return new ListBox(parent);
    case ControlKind::Trackbar:
        return Trackbar::create(control.style, parent);
    case ControlKind::PictureButton:
        return new PictureButton(control.picture, parent);
    }
    return nullptr;
}

} // namespace

DialogHost::DialogHost(CDialog& owner, const DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent), m_owner(owner), m_template(dialogTemplate) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
    setFont(DialogFont(dialogTemplate.fontPoints));
    m_base = BaseUnitsOf(font());
    setFixedSize(DluToPixelsX(m_base, dialogTemplate.cx), DluToPixelsY(m_base, dialogTemplate.cy));
    setModal(true);
}

void DialogHost::createControls() {
    bool first = true;
    for (const ControlTemplate& control : m_template.controls) {
        const QString text = QString::fromUtf8(control.text);
        QWidget* widget = CreateWidget(control, text, this);
        widget->setGeometry(DluToPixels(m_base, control.x, control.y, control.cx, control.cy));
        // Only controls that show no text of their own (pictures, sliders) are named here:
        // the others report the text they show at the moment, as Qt reads it from them.
        if (control.accessibleName && *control.accessibleName)
            widget->setAccessibleName(QString::fromUtf8(control.accessibleName));
        if (control.accessibleDescription && *control.accessibleDescription)
            widget->setAccessibleDescription(QString::fromUtf8(control.accessibleDescription));
        if (control.style & WS_DISABLED)
            widget->setEnabled(false);
        m_controls.push_back({control.id, widget, StartsGroup(control, first)});
        first = false;
        wireNotifications(control.id, widget);
        widget->installEventFilter(this);
        widget->show();
    }
}

void DialogHost::addRuntimeControl(int id, QWidget* widget) {
    m_controls.push_back({id, widget, false});
    wireNotifications(id, widget);
    widget->installEventFilter(this);
}

void DialogHost::wireNotifications(int id, QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, id] { m_owner.Notify(Msg::Click, id); });
    } else if (auto* list = qobject_cast<ListBox*>(widget)) {
        connect(list, &ListBox::itemSelectionChanged, this,
                [this, id] { m_owner.Notify(Msg::SelChange, id); });
    } else if (auto* slider = qobject_cast<Trackbar*>(widget)) {
        connect(slider, &Trackbar::endTrack, this,
                [this, id] { m_owner.Notify(Msg::EndTrack, id); });
    }
}

// The newest control with a number wins: a run-time control made over a template control with
// the same number (a slider over its placeholder frame) lies on top and answers to it.
QWidget* DialogHost::control(int id) const {
    const auto found = std::find_if(m_controls.rbegin(), m_controls.rend(),
                                    [id](const Entry& entry) { return entry.id == id; });
    return id == kNoControlId || found == m_controls.rend() ? nullptr : found->widget;
}

// At the start the window is not shown yet: a control counts unless it was hidden.
void DialogHost::focusFirstTabStop() {
    const auto first = std::find_if(m_controls.begin(), m_controls.end(), [](const Entry& entry) {
        return entry.widget->focusPolicy() != Qt::NoFocus && entry.widget->isEnabled() &&
               !entry.widget->isHidden();
    });
    if (first != m_controls.end())
        first->widget->setFocus(Qt::TabFocusReason);
}

// The arrow keys move the focus among the controls of the focused button's group, wrapping
// round inside the group; lists and trackbars keep their arrows for themselves.
void DialogHost::moveFocusInGroup(QWidget* from, bool forward) {
    auto at = std::find_if(m_controls.begin(), m_controls.end(),
                           [from](const Entry& entry) { return entry.widget == from; });
    if (at == m_controls.end())
        return;
    auto groupBegin = at;
    while (groupBegin != m_controls.begin() && !groupBegin->groupStart)
        --groupBegin;
    auto groupEnd = at + 1;
    while (groupEnd != m_controls.end() && !groupEnd->groupStart)
        ++groupEnd;
    const auto size = groupEnd - groupBegin;
    auto index = at - groupBegin;
    for (int step = 1; step < size; ++step) {
        index = (index + (forward ? 1 : size - 1)) % size;
        QWidget* candidate = (groupBegin + index)->widget;
        if (IsTabStop(candidate)) {
            candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool DialogHost::eventFilter(QObject* watched, QEvent* event) {
    const int key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event)->key() : 0;
    const bool back = key == Qt::Key_Up || key == Qt::Key_Left;
    if (!(back || key == Qt::Key_Down || key == Qt::Key_Right) ||
        !qobject_cast<QAbstractButton*>(watched))
        return QDialog::eventFilter(watched, event);
    moveFocusInGroup(static_cast<QWidget*>(watched), !back);
    return true;
}

void DialogHost::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    m_owner.Notify(Msg::Paint, 0);
}

void DialogHost::accept() {
    m_owner.RouteCommand(IDOK);
}
void DialogHost::reject() {
    m_owner.RouteCommand(IDCANCEL);
}

// Timers are children of the window, named by their number; they end with it.
void DialogHost::startTimer(UINT id, UINT elapseMs) {
    const QString name = QStringLiteral("timer %1").arg(id);
    auto* timer = findChild<QTimer*>(name, Qt::FindDirectChildrenOnly);
    if (timer == nullptr) {
        timer = new QTimer(this);
        timer->setObjectName(name);
        connect(timer, &QTimer::timeout, this,
                [this, id] { m_owner.Notify(Msg::Timer, static_cast<int>(id)); });
    }
    timer->start(static_cast<int>(elapseMs));
}

bool DialogHost::stopTimer(UINT id) {
    const std::unique_ptr<QTimer> timer(
        findChild<QTimer*>(QStringLiteral("timer %1").arg(id), Qt::FindDirectChildrenOnly));
    return timer != nullptr;
}

} // namespace framework
