// The MP3 options window driven through its widgets, over generated tracks and a fake sink.
#include "mp3options/Mp3OptionsDlg.h"
#include "res/Mp3OptionsControls.h"
#include "settings/GameSettings.h"
#include "support/GuiHelpers.h"
#include "support/ModalScript.h"
#include "support/QuietPreview.h"
#include "support/SettingValues.h"
#include "support/WindowTestMain.h"
#include "support/media/FlakySink.h"
#include "support/media/MusicFolder.h"
#include "support/media/TestMedia.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QtTest>

#include <memory>
#include <utility>

using namespace framework::win32;

using framework::CDialog;
using testsupport::Click;
using testsupport::ControlAs;
using testsupport::Key;
using testsupport::WhenNextDialogShows;

namespace {

QString LabelText(CDialog& w, int id) {
    return ControlAs<QLabel>(w, id)->text();
}
QSlider* Volume(CDialog& w) {
    return ControlAs<QSlider>(w, res::IDC_VOLUME);
}

// Presses and lets go of the slider's handle where it is now, as a user's click on it.
void PressAndReleaseHandle(QSlider* slider) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown = slider->invertedAppearance() == (slider->orientation() == Qt::Horizontal);
    const QPoint handle =
        slider->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
            .center();
    QTest::mousePress(slider, Qt::LeftButton, {}, handle);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, handle);
}

} // namespace

class Mp3OptionsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<media::Preview> m_preview;
    CMp3Player& Player() { return m_preview->Player(); }
    void Fresh(media::GraphOptions options) {
        m_preview.reset();
        m_preview = std::make_unique<media::Preview>(std::move(options));
        QCOMPARE(InitDirectShow(*m_preview), 0);
    }

private slots:
    void init() {
        testsupport::ResetSettingValues();
        Fresh(testsupport::QuietPreview(true));
    }
    void cleanup() { m_preview.reset(); }

    // The window opens with the stored volume and option and plays at that volume; OK (here
    // Return) stores what it shows, Cancel keeps what was stored.
    void storesOnlyOnOk_data() {
        QTest::addColumn<int>("volume");
        QTest::addColumn<int>("random");
        QTest::addColumn<bool>("ok");
        QTest::newRow("full volume, OK") << 0 << 0 << true;
        QTest::newRow("70%, random, Cancel") << 30 << 1 << false;
    }
    void storesOnlyOnOk() {
        QFETCH(int, volume);
        QFETCH(int, random);
        QFETCH(bool, ok);
        g_nVolume = volume;
        g_bAlwaysRandom = random;
        CMp3OptionsDlg dialog(*m_preview);
        WhenNextDialogShows([&](CDialog& w) {
            QCOMPARE(w.Host()->windowTitle(), QStringLiteral("Опции MP3 Проигрывателя"));
            QCOMPARE(Volume(w)->value(), volume);
            QCOMPARE(Volume(w)->minimum(), 0);
            QCOMPARE(Volume(w)->maximum(), 100);
            QCOMPARE(Volume(w)->tickPosition(), QSlider::NoTicks);
            QCOMPARE(LabelText(w, res::IDC_VOLUME_LABEL), QString("%1%").arg(100 - volume));
            QCOMPARE(LabelText(w, res::IDC_TRACK_LABEL), QString()); // the template's is replaced
            QCOMPARE(ControlAs<QCheckBox>(w, res::IDC_ALWAYS_RANDOM)->isChecked(), random == 1);
            QCOMPARE(Player().GetVolumeStep(), volume / 5);
            Click(w, res::IDC_ALWAYS_RANDOM);
            Volume(w)->setFocus();
            Key(w, Qt::Key_End);
            QCOMPARE(LabelText(w, res::IDC_VOLUME_LABEL), QStringLiteral("0%"));
            QCOMPARE(Player().GetVolume(), -4000L);
            if (ok)
                Key(w, Qt::Key_Return);
            else
                Click(w, IDCANCEL);
        });
        QCOMPARE(dialog.DoModal(), ok ? IDOK : IDCANCEL);
        QCOMPARE(g_nVolume, ok ? 100 : volume);
        QCOMPARE(g_bAlwaysRandom, ok ? 1 - random : random);
    }

    void volumeFollowsEveryFinishedMove() {
        const testmedia::MusicFolder music({"a.mp3", "b.mp3"}, 2);
        QVERIFY2(music.ok(), music.error());
        CMp3OptionsDlg dialog(*m_preview);
        WhenNextDialogShows([&](CDialog& w) {
            Click(w, res::IDC_PLAY);
            QTRY_VERIFY(Player().IsPlaying());
            // The mouse: let go of the handle at 37.
            Volume(w)->setValue(37);
            PressAndReleaseHandle(Volume(w));
            QCOMPARE(Volume(w)->value(), 37);
            QCOMPARE(LabelText(w, res::IDC_VOLUME_LABEL), QStringLiteral("63%"));
            QCOMPARE(Player().GetVolume(), -1400L);
            // The keyboard: ten steps down from the top.
            Volume(w)->setFocus();
            Key(w, Qt::Key_Home);
            for (int i = 0; i < 10; ++i)
                Key(w, Qt::Key_Down);
            QCOMPARE(LabelText(w, res::IDC_VOLUME_LABEL), QStringLiteral("90%"));
            QCOMPARE(Player().GetVolume(), -400L);
            // A new track on a rebuilt graph keeps the volume the slider shows.
            Click(w, res::IDC_NEXT);
            QCOMPARE(Player().GetVolume(), -400L);
            Click(w, IDOK);
        });
        QCOMPARE(dialog.DoModal(), IDOK);
        QCOMPARE(g_nVolume, 10); // what the user sees is what is stored
        QVERIFY(Player().IsStopped());
    }

    void transportButtonsStepThroughTheFolder() {
        const testmedia::MusicFolder music({"b.mp3", "a.mp3", "c.mp3"}, 2);
        QVERIFY2(music.ok(), music.error());
        CMp3OptionsDlg dialog(*m_preview);
        WhenNextDialogShows([&](CDialog& w) {
            Click(w, res::IDC_PLAY);
            QCOMPARE(LabelText(w, res::IDC_TRACK_LABEL), QStringLiteral("Загрузка..."));
            QTRY_COMPARE(LabelText(w, res::IDC_TRACK_LABEL), QStringLiteral("a.mp3"));
            QTRY_VERIFY(Player().IsPlaying());
            Click(w, res::IDC_STOP);
            QVERIFY(Player().IsStopped());
            QCOMPARE(Player().GetProgress(), short{0});
            Click(w, res::IDC_PREVIOUS); // previous from the first wraps to the last
            QTRY_COMPARE(LabelText(w, res::IDC_TRACK_LABEL), QStringLiteral("c.mp3"));
            QCOMPARE(m_preview->m_nTrack, 2);
            QCOMPARE(m_preview->m_nTrackCount, 3);
            Click(w, res::IDC_NEXT);
            QTRY_COMPARE(LabelText(w, res::IDC_TRACK_LABEL), QStringLiteral("a.mp3"));
            QCOMPARE(m_preview->m_nTrack, 0);
            Key(w, Qt::Key_Escape);
        });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
        QVERIFY(Player().IsStopped());
    }

    // At the end of a track the one-second timer moves on, also onto a file that cannot play
    // (which stays, showing its name, until the next press), and from the last to the first.
    void advancesAtTheEndOfATrackAndWraps() {
        const testmedia::MusicFolder music({"one.mp3", "two.mp3"}, 1);
        QVERIFY2(music.ok(), music.error());
        QVERIFY(testmedia::WriteBytes("Music/three broken.mp3", "not an mp3"));
        Fresh(testsupport::QuietPreview(false)); // each track ends at once
        CMp3OptionsDlg dialog(*m_preview);
        WhenNextDialogShows([&](CDialog& w) {
            Click(w, res::IDC_PLAY);
            QTRY_COMPARE(LabelText(w, res::IDC_TRACK_LABEL), QStringLiteral("one.mp3"));
            QTRY_COMPARE_WITH_TIMEOUT(LabelText(w, res::IDC_TRACK_LABEL),
                                      QStringLiteral("three broken.mp3"), 5000);
            QTRY_COMPARE(Player().m_bLoaded, 0);
            Click(w, res::IDC_NEXT);
            QTRY_COMPARE(LabelText(w, res::IDC_TRACK_LABEL), QStringLiteral("two.mp3"));
            QTRY_COMPARE_WITH_TIMEOUT(LabelText(w, res::IDC_TRACK_LABEL), QStringLiteral("one.mp3"),
                                      5000);
            Click(w, IDCANCEL);
        });
        dialog.DoModal();
        QCOMPARE(m_preview->m_nTrack, 0);
    }

    // A track started while the sound server is down plays into nothing: the window's timer
    // starts it again, once a second at most, keeping its name and not moving on. With the
    // server back, the next try plays it from its start, and at its end the window moves on.
    void soundComesBackWithTheServer() {
        const testmedia::MusicFolder music({"a.mp3", "b.mp3"}, 2);
        QVERIFY2(music.ok(), music.error());
        QVERIFY(testmedia::RegisterFlakySink());
        Fresh(media::GraphOptions{testmedia::kFlakySinkFactory, true});
        testmedia::SetSoundServerUp(false);
        CMp3OptionsDlg dialog(*m_preview);
        WhenNextDialogShows([&](CDialog& w) {
            const int first = testmedia::FlakySinkStarts() + 1;
            QElapsedTimer clock;
            clock.start();
            Click(w, res::IDC_PLAY);
            QTRY_COMPARE_WITH_TIMEOUT(testmedia::FlakySinkStarts(), first + 2, 3500);
            QVERIFY(clock.elapsed() >= 1000);
            QCOMPARE(LabelText(w, res::IDC_TRACK_LABEL), QStringLiteral("a.mp3"));
            QCOMPARE(m_preview->m_nTrack, 0);
            testmedia::SetSoundServerUp(true);
            const int back = testmedia::FlakySinkStarts() + 1;
            QTRY_COMPARE_WITH_TIMEOUT(testmedia::FlakySinkStarts(), back, 1500);
            QTRY_VERIFY(Player().IsPlaying());
            QVERIFY(Player().GetPosition().value_or(0) < 500'000'000);
            QTRY_COMPARE_WITH_TIMEOUT(LabelText(w, res::IDC_TRACK_LABEL), QStringLiteral("b.mp3"),
                                      4000);
            QCOMPARE(testmedia::FlakySinkStarts(), back + 1); // b's: no more tries for a
            Click(w, IDCANCEL);
        });
        dialog.DoModal();
        testmedia::SetSoundServerUp(true);
    }
};

WINDOW_TEST_MAIN(Mp3OptionsTest)
#include "tst_Mp3Options.moc"
