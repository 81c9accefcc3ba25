// The settings window driven through its widgets: pages, switches, loading Config.cfg and a
// failed save. The roads from the windows to the file are tests/app/tst_TypicalRoad.cpp.
#include "app/SettingsDlg.h"
#include "framework/MessageBox.h"
#include "res/SettingsControls.h"
#include "settings/GameSettings.h"
#include "support/ConfigFileBytes.h"
#include "support/GuiHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalScript.h"
#include "support/QuietPreview.h"
#include "support/ScopedWorkingDir.h"
#include "support/SettingValues.h"
#include "support/SmallFiles.h"
#include "support/WindowTestMain.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QtTest>

using namespace framework::win32;

using framework::CDialog;
using testsupport::Click;
using testsupport::ClickListRow;
using testsupport::ConfigFileBytes;
using testsupport::Control;
using testsupport::ControlAs;
using testsupport::Key;
using testsupport::ReadFile;
using testsupport::ScopedWorkingDir;
using testsupport::WhenNextDialogShows;
using testsupport::WriteFile;

namespace {

const int kPageControls[] = {res::IDC_ITEM_CHANCES, res::IDC_XM_OPTIONS, res::IDC_SOUND_OPTIONS,
                             res::IDC_PLAY_XM,      res::IDC_MP3_PLAYER, res::IDC_SOUND,
                             res::IDC_MP3_OPTIONS,  res::IDC_MUSIC_NOTE, res::IDC_HELP_TEXT};

QList<int> VisiblePageControls(CDialog& w) {
    QList<int> visible;
    for (int id : kPageControls) {
        if (Control(w, id)->isVisibleTo(w.Host()))
            visible << id;
    }
    return visible;
}

bool IsChecked(CDialog& w, int id) {
    return ControlAs<QCheckBox>(w, id)->isChecked();
}

} // namespace

class SettingsDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::ResetSettingValues(); }

    void opensOnTheGeneralPageWithTheHelpText() {
        ScopedWorkingDir dir;
        CSettingsDlg dialog(testsupport::QuietPreview());
        WhenNextDialogShows([&](CDialog& w) {
            QCOMPARE(w.Host()->windowTitle(), QStringLiteral("MirtConfig"));
            QCOMPARE(VisiblePageControls(w), QList<int>{res::IDC_ITEM_CHANCES});
            QCOMPARE(w.Host()->focusWidget(), Control(w, IDOK));
            const QString help = ControlAs<QLabel>(w, res::IDC_HELP_TEXT)->text();
            QCOMPARE(help.size(), 159);
            QVERIFY(help.startsWith(QStringLiteral("      Функционнальные клавиши в игре:")));
            QVERIFY(help.endsWith(QStringLiteral("\t\tF6 - следующий MP3 из списка.")));
            // All switches off and the MP3 options button disabled without a file.
            QVERIFY(!IsChecked(w, res::IDC_MP3_PLAYER) && !IsChecked(w, res::IDC_SOUND) &&
                    !IsChecked(w, res::IDC_PLAY_XM));
            QVERIFY(!Control(w, res::IDC_MP3_OPTIONS)->isEnabled());
            QVERIFY(!Control(w, res::IDC_XM_OPTIONS)->isEnabled());
            QVERIFY(!Control(w, res::IDC_SOUND_OPTIONS)->isEnabled());
            // One of the sunken lines names the file that OK writes, with its folder.
            QCOMPARE(ControlAs<QLabel>(w, res::IDC_FILE_LINE)->text(),
                     QStringLiteral("Сохраняются в файл ") +
                         QDir::current().filePath("Config.cfg"));
            Click(w, IDCANCEL);
        });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
        QVERIFY(!QFile::exists(dir.file("Config.cfg")));
    }

    void pagesShowTheirOwnControls() {
        ScopedWorkingDir dir;
        CSettingsDlg dialog(testsupport::QuietPreview());
        WhenNextDialogShows([&](CDialog& w) {
            ClickListRow(w, res::IDC_PAGES, 2);
            QCOMPARE(VisiblePageControls(w), QList<int>{res::IDC_HELP_TEXT});
            ClickListRow(w, res::IDC_PAGES, 1);
            QCOMPARE(VisiblePageControls(w),
                     (QList<int>{res::IDC_XM_OPTIONS, res::IDC_SOUND_OPTIONS, res::IDC_PLAY_XM,
                                 res::IDC_MP3_PLAYER, res::IDC_SOUND, res::IDC_MP3_OPTIONS,
                                 res::IDC_MUSIC_NOTE}));
            // The keyboard moves through the list as well.
            Control(w, res::IDC_PAGES)->setFocus();
            Key(w, Qt::Key_Up);
            QCOMPARE(VisiblePageControls(w), QList<int>{res::IDC_ITEM_CHANCES});
            // Page numbers that name no page show nothing.
            dialog.ShowPage(3, SW_SHOW);
            dialog.ShowPage(-1, SW_SHOW);
            QCOMPARE(VisiblePageControls(w), QList<int>{res::IDC_ITEM_CHANCES});
            Key(w, Qt::Key_Escape);
        });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
    }

    // The user moves the page list's selection but never takes it away: a click below the
    // items, a Ctrl+click on the selected one and Ctrl+Space leave the page as it is.
    void thePageListKeepsItsSelection() {
        ScopedWorkingDir dir;
        CSettingsDlg dialog(testsupport::QuietPreview());
        WhenNextDialogShows([&](CDialog& w) {
            auto* list = ControlAs<QListWidget>(w, res::IDC_PAGES);
            const auto shows = [&](int row, const QList<int>& controls) {
                QCOMPARE(list->selectedItems(), QList<QListWidgetItem*>{list->item(row)});
                QCOMPARE(VisiblePageControls(w), controls);
            };
            ClickListRow(w, res::IDC_PAGES, 2);
            const QRect last = list->visualItemRect(list->item(2));
            const QPoint below(last.center().x(), last.bottom() + last.height());
            QVERIFY(list->viewport()->rect().contains(below));
            QVERIFY(!list->indexAt(below).isValid());

            Control(w, IDOK)->setFocus();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
            QCOMPARE(w.Host()->focusWidget(), list);
            shows(2, {res::IDC_HELP_TEXT});
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, last.center());
            shows(2, {res::IDC_HELP_TEXT});
            Key(w, Qt::Key_Space, Qt::ControlModifier);
            shows(2, {res::IDC_HELP_TEXT});
            // Ctrl+click on another item selects it as a plain click does.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list->visualItemRect(list->item(0)).center());
            shows(0, {res::IDC_ITEM_CHANCES});
            Key(w, Qt::Key_Escape);
        });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
    }

    void mp3SwitchEnablesItsButton() {
        ScopedWorkingDir dir;
        QVERIFY(WriteFile(dir.file("CONFIG.CFG"), ConfigFileBytes(0, 0, 1, 0, 0)));
        CSettingsDlg dialog(testsupport::QuietPreview());
        WhenNextDialogShows([&](CDialog& w) {
            QCOMPARE(ControlAs<QLabel>(w, res::IDC_FILE_LINE)->text(),
                     QStringLiteral("Сохраняются в файл ") +
                         QDir::current().filePath("CONFIG.CFG"));
            ClickListRow(w, res::IDC_PAGES, 1);
            QVERIFY(IsChecked(w, res::IDC_MP3_PLAYER));
            QVERIFY(Control(w, res::IDC_MP3_OPTIONS)->isEnabled());
            Click(w, res::IDC_MP3_PLAYER);
            QVERIFY(!IsChecked(w, res::IDC_MP3_PLAYER));
            QVERIFY(!Control(w, res::IDC_MP3_OPTIONS)->isEnabled());
            // Space on the focused box toggles it back, like a click.
            Control(w, res::IDC_MP3_PLAYER)->setFocus();
            Key(w, Qt::Key_Space);
            QVERIFY(IsChecked(w, res::IDC_MP3_PLAYER));
            QVERIFY(Control(w, res::IDC_MP3_OPTIONS)->isEnabled());
            Click(w, IDCANCEL);
        });
        dialog.DoModal();
    }

    void aFailedSaveKeepsTheWindowAndTheOldFile() {
        ScopedWorkingDir dir;
        // A folder in the way of the file: nothing can be written over it.
        QVERIFY(QDir(dir.path()).mkdir("Config.cfg"));
        testsupport::MessageBoxRecorder boxes;
        // Why it failed goes to the settings log (off unless enabled), before the message box.
        QLoggingCategory::setFilterRules(QStringLiteral("mirtconfig.settings=true"));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Cannot save Config.cfg: .+")));
        CSettingsDlg dialog(testsupport::QuietPreview());
        bool stayedOpen = false;
        WhenNextDialogShows([&](CDialog& w) {
            Click(w, IDOK);
            stayedOpen = w.Host()->isVisible();
            // The user mends the cause and presses OK again.
            QVERIFY(QDir(dir.path()).rmdir("Config.cfg"));
            Click(w, IDOK);
        });
        QCOMPARE(dialog.DoModal(), IDOK);
        QLoggingCategory::setFilterRules(QString());
        QVERIFY(stayedOpen);
        QCOMPARE(boxes.lines(),
                 QStringList{QStringLiteral("ОШИБКА|Не удалось сохранить настройки в файл "
                                            "Config.cfg!")});
        QCOMPARE(ReadFile(dir.file("Config.cfg")), ConfigFileBytes(0, 0, 0, 0, 0));
    }

    // The graph is built once the window has been painted, and a failure is reported then; a
    // window closed before that (only a script is that quick) starts no GStreamer on its way out.
    void aMediaFailureIsReportedAndTheWindowGoesOn_data() {
        QTest::addColumn<bool>("waitForTheGraph");
        QTest::newRow("after the first paint") << true;
        QTest::newRow("closed at once") << false;
    }
    void aMediaFailureIsReportedAndTheWindowGoesOn() {
        QFETCH(bool, waitForTheGraph);
        ScopedWorkingDir dir;
        testsupport::MessageBoxRecorder boxes;
        CSettingsDlg dialog(media::GraphOptions{"no-such-sink-element", false});
        WhenNextDialogShows([&](CDialog& w) {
            if (waitForTheGraph)
                QTRY_VERIFY(!boxes.lines().isEmpty());
            Click(w, IDOK);
        });
        QCOMPARE(dialog.DoModal(), IDOK);
        QCOMPARE(boxes.lines(),
                 waitForTheGraph
                     ? QStringList{QStringLiteral("ОШИБКА|Ошибка инициализация DirectShow!")}
                     : QStringList());
        QVERIFY(QFile::exists(dir.file("Config.cfg")));
    }
};

WINDOW_TEST_MAIN(SettingsDlgTest)
#include "tst_SettingsDlg.moc"
