// The dialog layer's contract: template rendering, ordered data exchange, notification rules,
// keyboard rules (the tab order is checked on the program's windows, in tst_Accessibility),
// trackbar keys, timers, message boxes and the modal run.
#include "framework/DialogUnits.h"
#include "framework/Resources.h"
#include "support/GuiHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalScript.h"
#include "support/ScriptedRun.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QWheelEvent>
#include <QtTest>

using namespace framework::win32;

using framework::CDialog;
using framework::ControlKind;
using framework::ControlTemplate;
using framework::Msg;
using testsupport::Click;
using testsupport::Control;
using testsupport::ControlAs;
using testsupport::Key;
using testsupport::RunScripted;
using testsupport::WhenNextDialogShows;

namespace {

enum : int {
    kCheck = 10,
    kList = 11,
    kSlider = 12,
    kLabel = 13,
    kDisabled = 14,
    kAction = 15,
    kPicture = 20
};

constexpr ControlTemplate kControls[] = {
    {IDOK, ControlKind::DefPushButton, "OK", 100, 80, 50, 14, WS_TABSTOP},
    {IDCANCEL, ControlKind::PushButton, "Cancel", 155, 80, 50, 14, WS_TABSTOP},
    {kCheck, ControlKind::AutoCheckBox, "Check", 10, 10, 60, 10, WS_TABSTOP},
    {kList, ControlKind::ListBox, "", 10, 25, 60, 40, LBS_NOTIFY | WS_TABSTOP},
    {kSlider, ControlKind::Trackbar, "", 80, 10, 100, 15, TBS_AUTOTICKS | WS_TABSTOP},
    {kLabel, ControlKind::Static, "template text", 80, 30, 100, 10, SS_LEFT},
    {kDisabled, ControlKind::PushButton, "Off", 80, 45, 40, 14, WS_TABSTOP | WS_DISABLED},
    {kAction, ControlKind::PushButton, "Act", 130, 45, 40, 14, WS_TABSTOP},
    {kPicture, ControlKind::PictureButton, "", 175, 45, 16, 13, WS_TABSTOP},
};
constexpr framework::DialogTemplate kTemplate = {900, "Test", 212, 100, 8, kControls};

class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(900) {
        DDX_Control(kList, m_list);
        DDX_Text(kLabel, m_first);
        DDX_Text(kLabel, m_second);
        DDX_Check(kCheck, m_check);
        DDX_Slider(kSlider, m_pos);
        DDX_Control(kSlider, m_slider);
    }

    std::string m_first = "first";
    std::string m_second = "second";
    int m_check = 0;
    int m_pos = 0;
    int m_refuseCreate = 0;
    framework::CListBox m_list;
    framework::CSliderCtrl m_slider;
    QStringList m_events;

    void OnCheck() { m_events << "click-check"; }
    void OnAction() { m_events << "click-action"; }
    void OnPicture() { m_events << "click-picture"; }
    void OnSel() { m_events << "selchange"; }
    void OnEndTrack() { m_events << "endtrack"; }
    void OnTimer1() { m_events << "timer1"; }
    void OnTimer2() { m_events << "timer2"; }
    void OnDestroy() { m_events << "destroy"; }

protected:
    int OnCreate() override { return m_refuseCreate ? -1 : 0; }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_list.AddString("a");
        m_list.AddString("b");
        m_list.AddString("c");
        m_list.SetCurSel(0);
        return TRUE;
    }
    void OnOK() override {
        m_events << "ok";
        CDialog::OnOK();
    }
    void OnCancel() override {
        m_events << "cancel";
        CDialog::OnCancel();
    }

    bool Dispatch(Msg msg, int id) override;
    static const framework::HandlerEntry<TestDialog> kHandlers[];
};

const framework::HandlerEntry<TestDialog> TestDialog::kHandlers[] = {
    {Msg::Click, kCheck, &TestDialog::OnCheck},
    {Msg::Click, kAction, &TestDialog::OnAction},
    {Msg::Click, kPicture, &TestDialog::OnPicture},
    {Msg::SelChange, kList, &TestDialog::OnSel},
    {Msg::EndTrack, kSlider, &TestDialog::OnEndTrack},
    {Msg::Timer, 1, &TestDialog::OnTimer1},
    {Msg::Timer, 2, &TestDialog::OnTimer2},
    {Msg::Destroy, framework::kAnyId, &TestDialog::OnDestroy},
};

bool TestDialog::Dispatch(Msg msg, int id) {
    return framework::DispatchFromTable<TestDialog>(kHandlers, *this, msg, id);
}

} // namespace

class DialogLayerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { framework::RegisterDialogTemplate(kTemplate); }

    void rendersTemplateInDialogUnits() {
        TestDialog dialog;
        RunScripted(dialog, [](CDialog& w) {
            const framework::BaseUnits base = framework::BaseUnitsOf(w.Host()->font());
            QCOMPARE(w.Host()->size(),
                     QSize(framework::DluToPixelsX(base, 212), framework::DluToPixelsY(base, 100)));
            QCOMPARE(w.Host()->minimumSize(), w.Host()->maximumSize());
            QCOMPARE(Control(w, IDOK)->geometry(), framework::DluToPixels(base, 100, 80, 50, 14));
            QVERIFY(!Control(w, kDisabled)->isEnabled());
            QCOMPARE(w.Host()->windowTitle(), QStringLiteral("Test"));
            w.EndDialog(IDCANCEL);
        });
        // A larger font gives a larger window: the layout follows the font.
        QFont big = framework::DialogFont(16);
        QVERIFY(framework::BaseUnitsOf(big).x > framework::BaseUnitsOf(framework::DialogFont(8)).x);
    }

    void exchangesDataInDeclarationOrder() {
        TestDialog dialog;
        dialog.m_check = 1;
        dialog.m_pos = 250; // beyond the default range 0..100: the control limits it
        RunScripted(dialog, [&](CDialog& w) {
            // Both texts went to one label; the later binding wins.
            QCOMPARE(ControlAs<QLabel>(w, kLabel)->text(), QStringLiteral("second"));
            QVERIFY(ControlAs<QCheckBox>(w, kCheck)->isChecked());
            QCOMPARE(ControlAs<QSlider>(w, kSlider)->value(), 100);
            ControlAs<QLabel>(w, kLabel)->setText("typed");
            ControlAs<QCheckBox>(w, kCheck)->setChecked(false);
            w.UpdateData(TRUE);
            QCOMPARE(dialog.m_first, std::string("typed"));
            QCOMPARE(dialog.m_second, std::string("typed"));
            QCOMPARE(dialog.m_check, 0);
            QCOMPARE(dialog.m_pos, 100);
            w.EndDialog(IDCANCEL);
        });
        QVERIFY(dialog.m_events.contains("destroy"));
    }

    void notifiesOnlyUserActions() {
        TestDialog dialog;
        RunScripted(dialog, [&](CDialog& w) {
            // Programmatic changes stay silent.
            dialog.m_list.SetCurSel(2);
            dialog.m_slider.SetPos(40);
            w.UpdateData(FALSE);
            QVERIFY(dialog.m_events.isEmpty());
            QCOMPARE(dialog.m_list.GetCurSel(), 2);
            // Only the code can leave a list without a selection.
            dialog.m_list.SetCurSel(-1);
            QCOMPARE(dialog.m_list.GetCurSel(), -1);
            dialog.m_list.SetCurSel(2);

            testsupport::ClickListRow(w, kList, 1);
            QCOMPARE(dialog.m_events, QStringList{"selchange"});
            QCOMPARE(dialog.m_list.GetCurSel(), 1);
            dialog.m_events.clear();

            Control(w, kList)->setFocus();
            Key(w, Qt::Key_Down);
            QCOMPARE(dialog.m_list.GetCurSel(), 2);
            QCOMPARE(dialog.m_events, QStringList{"selchange"});
            dialog.m_events.clear();

            Click(w, kCheck);
            Control(w, kCheck)->setFocus();
            Key(w, Qt::Key_Space);
            QCOMPARE(dialog.m_events, (QStringList{"click-check", "click-check"}));
            dialog.m_events.clear();

            w.EndDialog(IDCANCEL);
        });
    }

    // Return presses the focused push button, or else the default button; Escape and the
    // close button cancel.
    void keyboardFollowsDialogRules_data() {
        QTest::addColumn<int>("focus");
        QTest::addColumn<int>("key"); // 0: the window's close button
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("events");
        const QStringList ok{"ok", "destroy"};
        const QStringList cancel{"cancel", "destroy"};
        QTest::newRow("Return on OK") << int(IDOK) << int(Qt::Key_Return) << int(IDOK) << ok;
        QTest::newRow("Return on Cancel")
            << int(IDCANCEL) << int(Qt::Key_Return) << int(IDCANCEL) << cancel;
        QTest::newRow("Return on another button")
            << int(kAction) << int(Qt::Key_Return) << testsupport::kLeftOpen
            << QStringList{"click-action", "destroy"};
        QTest::newRow("Return on a check box")
            << int(kCheck) << int(Qt::Key_Return) << int(IDOK) << ok;
        QTest::newRow("Return on a list") << int(kList) << int(Qt::Key_Return) << int(IDOK) << ok;
        QTest::newRow("Return on a trackbar")
            << int(kSlider) << int(Qt::Key_Return) << int(IDOK) << ok;
        QTest::newRow("Escape") << int(IDOK) << int(Qt::Key_Escape) << int(IDCANCEL) << cancel;
        QTest::newRow("the close button") << int(IDOK) << 0 << int(IDCANCEL) << cancel;
    }
    void keyboardFollowsDialogRules() {
        QFETCH(int, focus);
        QFETCH(int, key);
        QFETCH(int, result);
        QFETCH(QStringList, events);
        TestDialog dialog;
        QCOMPARE(RunScripted(dialog,
                             [&](CDialog& w) {
                                 QCOMPARE(w.Host()->focusWidget(), Control(w, IDOK));
                                 Control(w, focus)->setFocus();
                                 if (key == 0)
                                     w.Host()->close();
                                 else
                                     Key(w, Qt::Key(key));
                             }),
                 result);
        QCOMPARE(dialog.m_events, events);
    }

    // The classic trackbar's keys, whatever the orientation: Left and Up towards the minimum,
    // Right and Down towards the maximum, a page a fifth of the range; each press is one move.
    void trackbarKeys_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("end");
        QTest::newRow("right") << 4 << int(Qt::Key_Right) << 5;
        QTest::newRow("down") << 4 << int(Qt::Key_Down) << 5;
        QTest::newRow("left") << 4 << int(Qt::Key_Left) << 3;
        QTest::newRow("up") << 4 << int(Qt::Key_Up) << 3;
        QTest::newRow("page down") << 4 << int(Qt::Key_PageDown) << 6;
        QTest::newRow("page up") << 4 << int(Qt::Key_PageUp) << 2;
        QTest::newRow("home") << 7 << int(Qt::Key_Home) << 0;
        QTest::newRow("end") << 3 << int(Qt::Key_End) << 10;
        QTest::newRow("right at the end") << 10 << int(Qt::Key_Right) << 10;
        QTest::newRow("page down near the end") << 9 << int(Qt::Key_PageDown) << 10;
        QTest::newRow("left at the start") << 0 << int(Qt::Key_Left) << 0;
        QTest::newRow("page up near the start") << 1 << int(Qt::Key_PageUp) << 0;
    }
    void trackbarKeys() {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, end);
        TestDialog dialog;
        RunScripted(dialog, [&](CDialog& w) {
            dialog.m_slider.SetRange(0, 10, TRUE);
            dialog.m_slider.SetPos(start);
            Control(w, kSlider)->setFocus();
            Key(w, Qt::Key(key));
            QCOMPARE(dialog.m_slider.GetPos(), end);
            QCOMPARE(dialog.m_events, QStringList{"endtrack"});
            w.EndDialog(IDCANCEL);
        });
    }

    // A focused picture button is the default button, like any focused push button; on a
    // control that is not a push button the template's default button is the default again.
    void aFocusedPictureButtonIsTheDefault() {
        TestDialog dialog;
        const int result = RunScripted(dialog, [&](CDialog& w) {
            auto* ok = ControlAs<QPushButton>(w, IDOK);
            auto* picture = ControlAs<QPushButton>(w, kPicture);
            // Focus changes reach the controls of the active window only.
            w.Host()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w.Host()));
            QVERIFY(ok->isDefault() && !picture->isDefault());
            Key(w, Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(w.Host()->focusWidget(), picture);
            QVERIFY(picture->isDefault() && !ok->isDefault());
            Key(w, Qt::Key_Return);
            Key(w, Qt::Key_Space);
            QVERIFY(w.Host()->isVisible());
            Control(w, kCheck)->setFocus();
            QVERIFY(ok->isDefault() && !picture->isDefault());
            Key(w, Qt::Key_Return);
        });
        QCOMPARE(result, IDOK);
        QCOMPARE(dialog.m_events, (QStringList{"click-picture", "click-picture", "ok", "destroy"}));
    }

    // Each finished move of a trackbar is reported once, whichever button, key or wheel made
    // it; the button that pressed on the control reports its release.
    void everyFinishedTrackbarMoveIsReportedOnce() {
        TestDialog dialog;
        RunScripted(dialog, [&](CDialog& w) {
            auto* slider = ControlAs<QSlider>(w, kSlider);
            const QPoint nearEnd(3, slider->height() / 2);
            const QPoint farEnd(slider->width() - 3, slider->height() / 2);
            const QStringList oneMove{"endtrack"};
            for (Qt::MouseButton button : {Qt::MiddleButton, Qt::LeftButton, Qt::RightButton}) {
                dialog.m_slider.SetPos(50);
                dialog.m_events.clear();
                QTest::mousePress(slider, button, {}, farEnd);
                QTest::mouseRelease(slider, button, {}, farEnd);
                QCOMPARE(dialog.m_events, oneMove);
                if (button == Qt::MiddleButton)
                    QVERIFY(dialog.m_slider.GetPos() > 90); // it jumps to the point
            }

            // Another button pressed and let go meanwhile belongs to the same move.
            dialog.m_events.clear();
            QTest::mousePress(slider, Qt::MiddleButton, {}, nearEnd);
            QTest::mousePress(slider, Qt::LeftButton, {}, farEnd);
            QTest::mouseRelease(slider, Qt::LeftButton, {}, farEnd);
            QVERIFY(dialog.m_events.isEmpty());
            QTest::mouseRelease(slider, Qt::MiddleButton, {}, nearEnd);
            QCOMPARE(dialog.m_events, oneMove);
            QVERIFY(dialog.m_slider.GetPos() < 10);

            // A release that never came (the mouse was taken away) ends its move at the next
            // press, which then starts a move of its own.
            dialog.m_events.clear();
            const QPointF global = slider->mapToGlobal(QPointF(nearEnd));
            const auto send = [&](QEvent::Type type, Qt::MouseButton button,
                                  Qt::MouseButtons held) {
                QMouseEvent event(type, QPointF(nearEnd), global, button, held, Qt::NoModifier);
                QApplication::sendEvent(slider, &event);
            };
            send(QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton);
            send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
            QCOMPARE(dialog.m_events, oneMove);
            send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
            QCOMPARE(dialog.m_events, oneMove + oneMove);

            // One notch of the wheel is one move.
            dialog.m_slider.SetPos(50);
            dialog.m_events.clear();
            QWheelEvent wheel(QPointF(nearEnd), global, QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(slider, &wheel);
            QCOMPARE(dialog.m_slider.GetPos(), 51);
            QCOMPARE(dialog.m_events, QStringList{"endtrack"});
            w.EndDialog(IDCANCEL);
        });
    }

    void arrowKeysMoveWithinGroup() {
        TestDialog dialog;
        RunScripted(dialog, [&](CDialog& w) {
            // OK .. the slider form one group; the label starts the next.
            Control(w, IDOK)->setFocus();
            Key(w, Qt::Key_Down);
            QCOMPARE(w.Host()->focusWidget(), Control(w, IDCANCEL));
            Key(w, Qt::Key_Right);
            QCOMPARE(w.Host()->focusWidget(), Control(w, kCheck));
            Key(w, Qt::Key_Up);
            QCOMPARE(w.Host()->focusWidget(), Control(w, IDCANCEL));
            Control(w, kAction)->setFocus();
            Key(w, Qt::Key_Down);
            QCOMPARE(w.Host()->focusWidget(), Control(w, kPicture));
            Key(w, Qt::Key_Down); // wraps to the label's group start, skipping what can't focus
            QCOMPARE(w.Host()->focusWidget(), Control(w, kAction));
            QVERIFY(dialog.m_events.isEmpty());
            w.EndDialog(IDCANCEL);
        });
    }

    void timersAreKeyedByNumber() {
        TestDialog dialog;
        RunScripted(dialog, [&](CDialog& w) {
            w.SetTimer(1, 10);
            w.SetTimer(2, 10);
            QTRY_VERIFY(dialog.m_events.count("timer1") >= 2);
            QVERIFY(w.KillTimer(1));
            QVERIFY(!w.KillTimer(7));
            const auto fired = dialog.m_events.count("timer1");
            const auto before = dialog.m_events.count("timer2");
            QTRY_VERIFY(dialog.m_events.count("timer2") >= before + 3);
            QCOMPARE(dialog.m_events.count("timer1"), fired);
            w.EndDialog(IDCANCEL);
        });
        // Timers end with the window.
        QVERIFY(dialog.Host() == nullptr);
    }

    void messageBoxesGoThroughTheHook() {
        testsupport::MessageBoxRecorder boxes;
        TestDialog dialog;
        RunScripted(dialog, [&](CDialog& w) {
            QCOMPARE(w.MessageBox("Текст\n с переводом", "Заголовок"), IDOK);
            w.EndDialog(IDCANCEL);
        });
        QCOMPARE(boxes.lines(), QStringList(QStringLiteral("Заголовок|Текст\n с переводом")));
    }

    void refusedCreationEndsTheRun() {
        TestDialog dialog;
        dialog.m_refuseCreate = 1;
        QCOMPARE(dialog.DoModal(), -1);
        QVERIFY(dialog.Host() == nullptr);
        CDialog unknown(12345);
        QCOMPARE(unknown.DoModal(), -1);
    }

    // A script still waiting when the next test starts (its own test failed before the window
    // opened) is dropped, and never drives the next test's window.
    void aScriptLeftWaitingIsDroppedByTheNextTest_data() {
        QTest::addColumn<bool>("leaveOne");
        QTest::newRow("a test leaves a script waiting") << true;
        QTest::newRow("the next test runs its own") << false;
    }
    void aScriptLeftWaitingIsDroppedByTheNextTest() {
        QFETCH(bool, leaveOne);
        if (leaveOne) {
            WhenNextDialogShows([](CDialog& w) { w.EndDialog(IDCANCEL); });
            QVERIFY(testsupport::HasPendingScripts());
            return;
        }
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^a modal script of "
                                                "aScriptLeftWaitingIsDroppedByTheNextTest\\(a "
                                                "test leaves a script waiting\\) never ran"));
        TestDialog dialog;
        QCOMPARE(RunScripted(dialog, [](CDialog& w) { w.EndDialog(IDOK); }), IDOK);
        QVERIFY(!testsupport::HasPendingScripts());
    }
};

QTEST_MAIN(DialogLayerTest)
#include "tst_DialogLayer.moc"
