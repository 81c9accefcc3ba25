// The roads a user takes through the windows, each ending in Config.cfg: what the settings
// window, the item chances window and the MP3 options window set reaches the file when OK
// confirms them, a refused or cancelled sub-window changes nothing, and Cancel of the settings
// window leaves the file as it was (Escape and the close button cancel, as tst_DialogLayer shows).
#include "app/ConfigApp.h"
#include "app/SettingsDlg.h"
#include "res/ItemChanceControls.h"
#include "res/Mp3OptionsControls.h"
#include "res/SettingsControls.h"
#include "support/ConfigFileBytes.h"
#include "support/GuiHelpers.h"
#include "support/ModalScript.h"
#include "support/ScriptedRun.h"
#include "support/SettingValues.h"
#include "support/SettingsRoad.h"
#include "support/SmallFiles.h"
#include "support/WindowTestMain.h"
#include "support/media/MusicFolder.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace framework::win32;

using framework::CDialog;
using testsupport::Click;
using testsupport::ClickListRow;
using testsupport::ConfigFileBytes;
using testsupport::Control;
using testsupport::ControlAs;
using testsupport::Key;

using Road = std::function<void(CSettingsDlg&)>;
Q_DECLARE_METATYPE(Road)

namespace {

// Opens the item chances window from the settings window, lets `inItems` drive it, and confirms
// the settings window.
Road ThroughItemChances(testsupport::WindowScript inItems) {
    return [inItems](CSettingsDlg& settings) {
        testsupport::WhenNextDialogShows(testsupport::Closing(inItems));
        Click(settings, res::IDC_ITEM_CHANCES);
        Click(settings, IDOK);
    };
}

// The music page's three switches flipped, then `close` ends the window.
Road FlipSwitchesThen(std::function<void(CDialog&)> close) {
    return [close](CSettingsDlg& settings) {
        ClickListRow(settings, res::IDC_PAGES, 1);
        Click(settings, res::IDC_MP3_PLAYER);
        Click(settings, res::IDC_PLAY_XM);
        Click(settings, res::IDC_SOUND);
        close(settings);
    };
}

// The MP3 player switched on, the second track previewed and the volume turned down by 30 steps
// in the MP3 options window.
void PreviewAndTurnDown(CSettingsDlg& settings) {
    CMp3Player& player = settings.Preview().Player();
    ClickListRow(settings, res::IDC_PAGES, 1);
    Click(settings, res::IDC_MP3_PLAYER);
    testsupport::WhenNextDialogShows([&player](CDialog& options) {
        Click(options, res::IDC_NEXT);
        QCOMPARE(ControlAs<QLabel>(options, res::IDC_TRACK_LABEL)->text(),
                 QStringLiteral("Загрузка..."));
        QTRY_COMPARE(ControlAs<QLabel>(options, res::IDC_TRACK_LABEL)->text(),
                     QStringLiteral("second.mp3"));
        QTRY_VERIFY(player.IsPlaying());
        Control(options, res::IDC_VOLUME)->setFocus();
        for (int i = 0; i < 30; ++i)
            Key(options, Qt::Key_Down);
        QCOMPARE(ControlAs<QLabel>(options, res::IDC_VOLUME_LABEL)->text(), QStringLiteral("70%"));
        QCOMPARE(player.GetVolume(), -1200L);
        Click(options, IDOK);
    });
    Click(settings, res::IDC_MP3_OPTIONS);
    QVERIFY(player.IsStopped());
    QCOMPARE(player.GetProgress(), short{0});
    Click(settings, IDOK);
}

} // namespace

class TypicalRoadTest : public QObject {
    Q_OBJECT
private slots:
    void init() { testsupport::ResetSettingValues(); }

    void eachRoadEndsInTheFile_data() {
        QTest::addColumn<bool>("tracks");       // the Music folder holds first.mp3 and second.mp3
        QTest::addColumn<bool>("upperCase");    // MUSIC and CONFIG.CFG instead, as on a CD
        QTest::addColumn<QByteArray>("before"); // empty: no Config.cfg
        QTest::addColumn<Road>("road");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QStringList>("boxes"); // "caption|text" of each message box
        const QByteArray none;
        QTest::newRow("no file, OK")
            << false << false << none << Road([](CSettingsDlg& w) { Click(w, IDOK); }) << int(IDOK)
            << ConfigFileBytes(0, 0, 0, 0, 0) << QStringList();
        QByteArray otherMagic = ConfigFileBytes(40, 1, 1, 1, 1);
        otherMagic[4] = 'm'; // "CFG mIRT: ": nothing of it is loaded
        QTest::newRow("a file of another kind, OK")
            << false << false << otherMagic << Road([](CSettingsDlg& w) { Click(w, IDOK); })
            << int(IDOK) << ConfigFileBytes(0, 0, 0, 0, 0) << QStringList();
        QTest::newRow("switches flipped, Return on a check box")
            << false << false << ConfigFileBytes(30, 1, 0, 1, 0, {10, 20, 30, 40, 200})
            << FlipSwitchesThen([](CDialog& w) {
                   // Return on a check box presses the default button, OK.
                   Control(w, res::IDC_SOUND)->setFocus();
                   Key(w, Qt::Key_Return);
               })
            << int(IDOK) << ConfigFileBytes(30, 1, 1, 0, 1, {10, 20, 30, 40, 200}) << QStringList();
        const QByteArray kept = ConfigFileBytes(5, 0, 1, 1, 1, {100, 0, 0, 0, 0}) + "tail";
        QTest::newRow("switches flipped, Cancel")
            << false << false << kept << FlipSwitchesThen([](CDialog& w) { Click(w, IDCANCEL); })
            << int(IDCANCEL) << kept << QStringList();
        QTest::newRow("item chances set and confirmed")
            << false << false << none << ThroughItemChances([](CDialog& items) {
                   for (int row = 0; row < 4; ++row)
                       testsupport::MoveSliderByKeys(items, res::kChanceSliders[row], row + 1);
                   Click(items, IDOK);
               })
            << int(IDOK) << ConfigFileBytes(0, 0, 0, 0, 0, {10, 20, 30, 40, 0}) << QStringList();
        // The loaded chances show (beyond the range at its end); a refused OK and Cancel keep them.
        const QByteArray chances = ConfigFileBytes(0, 0, 0, 0, 0, {55, 255, 0, 0, 0});
        QTest::newRow("item chances from the file, a refused OK, Cancel")
            << false << false << chances << ThroughItemChances([](CDialog& items) {
                   QCOMPARE(ControlAs<QSlider>(items, res::kChanceSliders[0])->value(), 5);
                   QCOMPARE(ControlAs<QSlider>(items, res::kChanceSliders[1])->value(), 10);
                   Click(items, IDOK);
                   Click(items, IDCANCEL);
               })
            << int(IDOK) << chances
            << QStringList(QStringLiteral("Ошибка|Вероятность появления для всех предметов \n в "
                                          "сумме должна равняться 100%! Сейчас: 150%"));
        QTest::newRow("a track previewed, the volume turned down")
            << true << false << none << Road(PreviewAndTurnDown) << int(IDOK)
            << ConfigFileBytes(30, 0, 1, 0, 0) << QStringList();
        QTest::newRow("MUSIC and CONFIG.CFG: loaded, a track previewed, saved into them")
            << true << true << ConfigFileBytes(0, 1, 0, 1, 0, {10, 20, 30, 40, 0})
            << Road(PreviewAndTurnDown) << int(IDOK)
            << ConfigFileBytes(30, 1, 1, 1, 0, {10, 20, 30, 40, 0}) << QStringList();
    }
    void eachRoadEndsInTheFile() {
        QFETCH(bool, tracks);
        QFETCH(bool, upperCase);
        QFETCH(QByteArray, before);
        QFETCH(Road, road);
        QFETCH(int, result);
        QFETCH(QByteArray, after);
        QFETCH(QStringList, boxes);
        const testmedia::MusicFolder music(tracks
                                               ? std::vector<std::string>{"first.mp3", "second.mp3"}
                                               : std::vector<std::string>{},
                                           2);
        QVERIFY2(music.ok(), music.error());
        const QStringList names =
            upperCase ? QStringList{QStringLiteral("CONFIG.CFG"), QStringLiteral("MUSIC")}
                      : QStringList{QStringLiteral("Config.cfg"), QStringLiteral("Music")};
        if (upperCase)
            QVERIFY(QDir().rename(QStringLiteral("Music"), names[1]));
        const QString config = music.file(names[0]);
        if (!before.isEmpty())
            QVERIFY(testsupport::WriteFile(config, before));

        testsupport::SettingsRoad settings(testsupport::QuietPreview(true));
        QCOMPARE(settings.Run(road), result);
        QCOMPARE(settings.boxes().lines(), boxes);
        QCOMPARE(testsupport::ReadFile(config), after);
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot), names);
        QVERIFY(!testsupport::HasPendingScripts());
    }

    // Started with --choose-folder: the folder dialog opens in the home folder; the settings
    // window then works in the folder chosen, and cancelling ends with nothing written.
    void aChosenFolderIsWhereOkSaves_data() {
        QTest::addColumn<bool>("choose");
        QTest::newRow("a folder chosen, then OK") << true;
        QTest::newRow("the folder dialog cancelled") << false;
    }
    void aChosenFolderIsWhereOkSaves() {
        QFETCH(bool, choose);
        const testsupport::ScopedWorkingDir start;
        const QTemporaryDir home;
        const QTemporaryDir game;
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        QString title;
        QString opensIn;
        QTimer answer; // until the folder dialog shows
        connect(&answer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            answer.stop();
            title = dialog->windowTitle();
            opensIn = dialog->directory().path();
            if (!choose)
                return dialog->reject();
            testsupport::WhenNextDialogShows([](CDialog& w) { Click(w, IDOK); });
            dialog->setDirectory(game.path());
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept is protected
        });
        answer.start(10);
        CConfigApp app(testsupport::QuietPreview());
        app.m_chooseFolder = true;
        QCOMPARE(app.InitInstance(), FALSE);
        qputenv("HOME", oldHome);
        QCOMPARE(title, QStringLiteral("Папка игры"));
        QCOMPARE(opensIn, home.path());
        QCOMPARE(QDir::currentPath(), choose ? game.path() : start.path());
        const auto names = [](const QString& folder) {
            return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        QCOMPARE(names(game.path()),
                 choose ? QStringList(QStringLiteral("Config.cfg")) : QStringList());
        QCOMPARE(names(start.path()), QStringList());
    }
};

WINDOW_TEST_MAIN(TypicalRoadTest)
#include "tst_TypicalRoad.moc"
