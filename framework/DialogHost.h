// The toolkit window behind a CDialog: it renders the template, delivers notifications by
// control number, follows the classic dialog's keyboard rules and owns the timers.
#pragma once

#include "framework/Dialog.h"
#include "framework/DialogUnits.h"
#include "framework/Template.h"

#include <QDialog>

#include <vector>

namespace framework {

class DialogHost : public QDialog {
    Q_OBJECT
public:
    DialogHost(CDialog& owner, const DialogTemplate& dialogTemplate, QWidget* parent);

    void createControls();
    // Adds a control made at run time; like every widget, it joins the tab order where it was
    // made: after the template's controls.
    void addRuntimeControl(int id, QWidget* widget);
    QWidget* control(int id) const;

    void focusFirstTabStop();
    void startTimer(UINT id, UINT elapseMs);
    bool stopTimer(UINT id);

    void accept() override;
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Entry {
        int id;
        QWidget* widget;
        bool groupStart;
    };
    void wireNotifications(int id, QWidget* widget);
    void moveFocusInGroup(QWidget* from, bool forward);

    CDialog& m_owner;
    const DialogTemplate& m_template;
    BaseUnits m_base;
    std::vector<Entry> m_controls; // template order, then run-time controls
};

} // namespace framework
