// The whole road a user takes: switch the MP3 player on, preview the Music folder, turn the
// volume down, confirm both windows, and find the choices in Config.cfg.
#include "app/SettingsDlg.h"
#include "res/Mp3OptionsControls.h"
#include "res/SettingsControls.h"
#include "support/GuiHelpers.h"
#include "support/ModalScript.h"
#include "support/SettingsRoad.h"
#include "support/SmallFiles.h"
#include "support/WindowTestMain.h"
#include "support/media/MusicFolder.h"

#include <QLabel>
#include <QSlider>
#include <QtTest>

using namespace framework::win32;

using framework::CDialog;
using testsupport::Click;
using testsupport::ClickListRow;
using testsupport::ControlAs;
using testsupport::Key;
using testsupport::WhenNextDialogShows;

class TypicalRoadTest : public QObject {
    Q_OBJECT
private slots:
    void previewThenSave() {
        const testmedia::MusicFolder music({"first.mp3", "second.mp3"}, 2);
        QVERIFY2(music.ok(), music.error());

        testsupport::SettingsRoad road(testsupport::QuietPreview(true));
        const int result = road.Run([](CSettingsDlg& settings) {
            CMp3Player& player = settings.Preview().Player();
            ClickListRow(settings, res::IDC_PAGES, 1);
            Click(settings, res::IDC_MP3_PLAYER);
            WhenNextDialogShows([&player](CDialog& options) {
                Click(options, res::IDC_NEXT);
                QCOMPARE(ControlAs<QLabel>(options, res::IDC_TRACK_LABEL)->text(),
                         QStringLiteral("second.mp3"));
                QTRY_VERIFY(player.IsPlaying());
                auto* volume = ControlAs<QSlider>(options, res::IDC_VOLUME);
                volume->setFocus();
                for (int i = 0; i < 30; ++i)
                    Key(options, Qt::Key_Down);
                QCOMPARE(ControlAs<QLabel>(options, res::IDC_VOLUME_LABEL)->text(),
                         QStringLiteral("70%"));
                QCOMPARE(player.GetVolume(), -1200L);
                Click(options, IDOK);
            });
            Click(settings, res::IDC_MP3_OPTIONS);
            QVERIFY(player.IsStopped());
            QCOMPARE(player.GetProgress(), short{0});
            Click(settings, IDOK);
        });
        QCOMPARE(result, IDOK);
        QVERIFY(road.boxes().shown().empty());

        const QByteArray bytes = testsupport::ReadFile(music.file("Config.cfg"));
        QCOMPARE(bytes.size(), 20);
        QCOMPARE(bytes.left(10), QByteArray("CFG MIRT: "));
        QCOMPARE(int(bytes[10]), 30); // volume position
        QCOMPARE(int(bytes[11]), 0);  // always random
        QCOMPARE(int(bytes[12]), 1);  // MP3 player on
    }
};

WINDOW_TEST_MAIN(TypicalRoadTest)
#include "tst_TypicalRoad.moc"
