// The windows as assistive technology sees them, through Qt's accessibility interfaces: controls
// whose meaning is a picture carry a name, every control a user can reach is named, and Tab
// visits every usable control in template order and wraps round, Shift+Tab the other way.
#include "app/SettingsDlg.h"
#include "framework/widgets/Picture.h"
#include "items/ItemChanceDlg.h"
#include "mp3options/Mp3OptionsDlg.h"
#include "res/Mp3OptionsControls.h"
#include "res/SettingsControls.h"
#include "support/GuiHelpers.h"
#include "support/ModalScript.h"
#include "support/QuietPreview.h"
#include "support/ScopedWorkingDir.h"
#include "support/ScriptedRun.h"
#include "support/SettingValues.h"
#include "support/WindowTestMain.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QSlider>
#include <QtTest>

#include <functional>
#include <memory>

using namespace framework::win32;

using framework::CDialog;
using testsupport::WhenNextDialogShows;

namespace {

enum WindowKind { kSettings, kItemChances, kMp3Options };

constexpr int kNoPage = -1;
constexpr int kPagesList = res::IDC_PAGES;
constexpr int kMp3Switch = res::IDC_MP3_PLAYER;

// Opens one window in an empty working folder, runs `script` inside its modal run and closes
// the window afterwards, also when a check in the script failed.
void RunWindow(WindowKind kind, const std::function<void(CDialog&)>& script) {
    testsupport::ScopedWorkingDir folder;
    media::Preview preview(testsupport::QuietPreview());
    std::unique_ptr<CDialog> window;
    if (kind == kSettings) {
        window = std::make_unique<CSettingsDlg>(testsupport::QuietPreview());
    } else if (kind == kItemChances) {
        window = std::make_unique<CItemChanceDlg>();
    } else {
        InitDirectShow(preview);
        window = std::make_unique<CMp3OptionsDlg>(preview);
    }
    testsupport::RunScripted(*window, script);
}

QString AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name).trimmed() : QString();
}

bool IsPictureControl(QWidget* widget) {
    return dynamic_cast<framework::PictureStatic*>(widget) != nullptr ||
           dynamic_cast<framework::PictureButton*>(widget) != nullptr ||
           qobject_cast<QSlider*>(widget) != nullptr;
}

bool TakesTabFocus(const QWidget* widget) {
    return (widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->isEnabled();
}

QList<QWidget*> AllTabStops(CDialog& window) {
    QList<QWidget*> stops = window.Host()->findChildren<QWidget*>();
    stops.removeIf([](const QWidget* widget) { return !TakesTabFocus(widget); });
    return stops;
}

// The controls that Tab should visit, in the order of the window's template. A control made at
// run time in a template control's place answers to that control's number.
QList<QWidget*> TemplateTabOrder(CDialog& window) {
    QList<QWidget*> order;
    for (const framework::ControlTemplate& control : window.Template()->controls) {
        QWidget* widget = window.Host()->control(control.id);
        if (widget && TakesTabFocus(widget) && !order.contains(widget))
            order << widget;
    }
    return order;
}

// Each widget by its accessible name, so a failed walk says which controls were visited.
QStringList Names(const QList<QWidget*>& widgets) {
    QStringList names;
    for (QWidget* widget : widgets)
        names << AccessibleName(widget);
    return names;
}

// Presses Tab (or Shift+Tab) once per stop; every stop is visited once, in order (or in reverse
// order), and the focus ends back where it started.
void CheckFocusChain(CDialog& window, qsizetype expectedStops) {
    const QList<QWidget*> order = TemplateTabOrder(window);
    QCOMPARE(order.size(), expectedStops);
    // Nothing outside the template's controls takes the focus, so the walk below sees all.
    const QList<QWidget*> stops = AllTabStops(window);
    QCOMPARE(QSet<QWidget*>(stops.begin(), stops.end()),
             QSet<QWidget*>(order.begin(), order.end()));
    const qsizetype at = order.indexOf(window.Host()->focusWidget());
    QVERIFY2(at >= 0, "the focus does not start on one of the window's tab stops");
    for (const int direction : {1, -1}) {
        QList<QWidget*> expected, visited;
        for (qsizetype step = 1; step <= order.size(); ++step) {
            expected << order[(at + direction * step + order.size() * 2) % order.size()];
            QTest::keyClick(window.Host()->focusWidget(), Qt::Key_Tab,
                            direction > 0 ? Qt::NoModifier : Qt::ShiftModifier);
            visited << window.Host()->focusWidget();
        }
        QVERIFY2(visited == expected,
                 qPrintable(QStringLiteral("visited: %1; expected: %2")
                                .arg(Names(visited).join(", "), Names(expected).join(", "))));
    }
}

// A label or button that shows text is heard by what it shows now, not by its template's text.
void CheckTextsAreNames(CDialog& window) {
    for (QLabel* label : window.Host()->findChildren<QLabel*>())
        QCOMPARE(AccessibleName(label), label->text().trimmed());
    for (QAbstractButton* button : window.Host()->findChildren<QAbstractButton*>()) {
        if (!button->text().isEmpty())
            QCOMPARE(AccessibleName(button), button->text().remove('&').trimmed());
    }
}

// A picture says nothing to a screen reader: each picture control needs a name, names that tell
// the pictures apart and a description of what it is for; whatever Tab can reach is announced by
// name, text controls by their text.
void CheckNames(CDialog& window, qsizetype pictureControls) {
    QList<QWidget*> pictures;
    for (QWidget* widget : window.Host()->findChildren<QWidget*>()) {
        if (IsPictureControl(widget))
            pictures << widget;
    }
    QCOMPARE(pictures.size(), pictureControls);
    QSet<QString> names;
    for (QWidget* widget : pictures) {
        const QString name = AccessibleName(widget);
        QVERIFY2(!name.isEmpty(), widget->metaObject()->className());
        QVERIFY2(!names.contains(name), qPrintable(name + " names two pictures"));
        names.insert(name);
        // ...and a description that says what it is for.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QVERIFY2(!accessible->text(QAccessible::Description).trimmed().isEmpty(),
                 qPrintable(name + " has no description"));
    }

    for (QWidget* widget : AllTabStops(window))
        QVERIFY2(!AccessibleName(widget).isEmpty(), widget->metaObject()->className());
    CheckTextsAreNames(window);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::ResetSettingValues(); }

    // Tab stops: OK, Cancel, the page list and the page's enabled controls (the "more" buttons
    // are disabled until the MP3 switch enables its own); OK, Cancel and the five sliders made at
    // run time; OK, Cancel, four transport buttons, the volume slider and the shuffle switch.
    // Picture controls: the banner; the five item pictures and their sliders; the four transport
    // buttons and the volume slider.
    void namedAndReachedByTab_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("mp3On");
        QTest::addColumn<int>("stops");
        QTest::addColumn<int>("pictures");
        QTest::newRow("settings, general") << int(kSettings) << 0 << false << 4 << 1;
        QTest::newRow("settings, music") << int(kSettings) << 1 << false << 6 << 1;
        QTest::newRow("settings, music, MP3 on") << int(kSettings) << 1 << true << 7 << 1;
        QTest::newRow("settings, help") << int(kSettings) << 2 << false << 3 << 1;
        QTest::newRow("item chances") << int(kItemChances) << kNoPage << false << 7 << 10;
        QTest::newRow("MP3 options") << int(kMp3Options) << kNoPage << false << 8 << 5;
    }
    void namedAndReachedByTab() {
        QFETCH(int, kind);
        QFETCH(int, page);
        QFETCH(bool, mp3On);
        QFETCH(int, stops);
        QFETCH(int, pictures);
        RunWindow(WindowKind(kind), [&](CDialog& window) {
            if (page != kNoPage)
                testsupport::ClickListRow(window, kPagesList, page);
            if (mp3On)
                testsupport::Click(window, kMp3Switch);
            CheckNames(window, pictures);
            CheckFocusChain(window, stops);
            if (kind == kMp3Options) {
                // The track label is heard as it changes (no Music folder: "Загрузка...").
                testsupport::Click(window, res::IDC_PLAY);
                QCOMPARE(AccessibleName(window.Host()->control(res::IDC_TRACK_LABEL)),
                         QStringLiteral("Загрузка..."));
            }
        });
    }
};

WINDOW_TEST_MAIN(AccessibilityTest)
#include "tst_Accessibility.moc"
