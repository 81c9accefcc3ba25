// The settings and MP3 options windows on a machine with no sound server and no sound device:
// the real sink (autoaudiosink) is used, which finds nothing to play into. The windows must
// work, a track is not played into nothing but tried again quietly, and nothing may crash or
// block.
#include "HardeningMain.h"
#include "MusicCheck.h"
#include "app/SettingsDlg.h"
#include "res/SettingsControls.h"
#include "support/ModalScript.h"
#include "support/SettingValues.h"
#include "support/SettingsRoad.h"
#include "support/media/MusicFolder.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

using namespace framework::win32;

using namespace hardening;

namespace {

// Points every sound system the audio sinks know at nothing. Runs before GStreamer starts.
void HideEverySoundOutput(const QTemporaryDir& emptyRuntimeDir) {
    const QByteArray none = QFile::encodeName(emptyRuntimeDir.filePath("none"));
    ::setenv("XDG_RUNTIME_DIR", QFile::encodeName(emptyRuntimeDir.path()).constData(), 1);
    ::setenv("PULSE_SERVER", ("unix:" + none).constData(), 1);
    ::setenv("PULSE_RUNTIME_PATH", none.constData(), 1);
    ::setenv("PIPEWIRE_REMOTE", none.constData(), 1);
    ::setenv("JACK_NO_START_SERVER", "1", 1);
    ::setenv("JACK_DEFAULT_SERVER", "none", 1);
    ::setenv("ALSA_CONFIG_PATH", none.constData(), 1);
    ::setenv("AUDIODEV", none.constData(), 1);
}

} // namespace

class NoSoundDeviceTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime;

private slots:
    void initTestCase() {
        QVERIFY(m_runtime.isValid());
        HideEverySoundOutput(m_runtime);
    }

    void theWindowsWorkAndThePreviewWaitsForSound() {
        const testmedia::MusicFolder music({"one.mp3", "two.mp3"}, 1);
        QVERIFY2(music.ok(), music.error());
        testsupport::ResetSettingValues();

        // The preview plays through what the program itself uses.
        testsupport::SettingsRoad road{media::GraphOptions{}};
        bool retried = false;
        QString failure;
        int presses = 0;
        bool stopped = false;
        Watchdog dog(std::chrono::seconds(60), "the windows without a sound device");
        const int result = road.Run([&](CSettingsDlg& settings) {
            CMp3Player& player = settings.Preview().Player();
            testsupport::ClickListRow(settings, res::IDC_PAGES, 1);
            testsupport::Click(settings, res::IDC_MP3_PLAYER);
            testsupport::WhenNextDialogShows([&](framework::CDialog& options) {
                Transport transport(options, settings.Preview());
                transport.press(res::IDC_PLAY);
                if (transport.label() != QStringLiteral("one.mp3"))
                    failure = "after play the label shows " + transport.label();
                // Not played into nothing to its end: the 1 s track is started again every
                // second and stays, until a sound output can be opened.
                retried = !QTest::qWaitFor([&] { return transport.label() != "one.mp3"; }, 2500);
                if (!retried)
                    failure = "the preview moved on from a track it played into nothing";
                for (int button : {res::IDC_STOP, res::IDC_NEXT, res::IDC_PREVIOUS, res::IDC_PLAY,
                                   res::IDC_STOP})
                    transport.press(button);
                presses = transport.count();
                testsupport::Click(options, IDOK);
            });
            testsupport::Click(settings, res::IDC_MP3_OPTIONS);
            stopped = player.IsStopped();
            testsupport::Click(settings, IDOK);
        });
        dog.disarm();
        const QStringList messages = road.boxes().lines();
        qInfo("no sound output: the track %s; %d presses; messages: %s",
              retried ? "was tried again" : "moved on", presses, qPrintable(messages.join("; ")));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(result, IDOK);
        // The only message allowed says that the preview cannot start.
        for (const QString& message : messages)
            QCOMPARE(message, QStringLiteral("ОШИБКА|Ошибка инициализация DirectShow!"));
        QCOMPARE(presses, 6);
        QVERIFY(QFile::exists(music.file("Config.cfg")));
        QVERIFY(stopped);
    }
};

HARDENING_TEST_MAIN(NoSoundDeviceTest)
#include "tst_NoSoundDevice.moc"
