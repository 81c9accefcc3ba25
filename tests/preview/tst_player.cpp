// The MP3 player against real files made at test time, played into a fakesink.
#include "ToneFiles.h"

#include "preview/Graph.h"
#include "preview/MediaGraph.h"
#include "preview/Player.h"
#include "preview/Volume.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <filesystem>

namespace {

constexpr int kWaitMs = 10000;

double Seconds(std::int64_t nanoseconds) {
    return static_cast<double>(nanoseconds) / 1e9;
}

} // namespace

class PlayerTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string Path(const char* name) const { return m_dir.filePath(name).toStdString(); }

    // A fresh player and graph; `sync` makes the fakesink play in real time.
    static void Restart(bool sync) {
        FreeDirectShow();
        g_player = CMp3Player();
        SetPreviewSinkFactory("fakesink", sync);
        QCOMPARE(InitDirectShow(), 0);
    }

    void PlayToEnd() {
        g_player.Play();
        QTRY_COMPARE_WITH_TIMEOUT(g_player.GetProgress(), short(100), kWaitMs);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        std::string error;
        using testmedia::Encoding;
        QVERIFY2(testmedia::MakeMp3(Path("cbr.mp3"), 2, Encoding::Cbr, error), error.c_str());
        QVERIFY2(testmedia::MakeMp3(Path("vbr.mp3"), 3, Encoding::Vbr, error), error.c_str());
        QVERIFY2(testmedia::MakeMp3(Path("xing.mp3"), 2, Encoding::VbrXing, error), error.c_str());
        QVERIFY2(testmedia::MakeWav(Path("wave.mp3"), 1, error), error.c_str());
        QVERIFY2(testmedia::MakePng(Path("picture.mp3"), error), error.c_str());
        QVERIFY(testmedia::WriteBytes(Path("text.mp3"), "just some words, not audio\n"));
        QVERIFY(testmedia::WriteBytes(Path("empty.mp3"), ""));
        QVERIFY(testmedia::WriteBytes(Path("cut.mp3"),
                                      testmedia::ReadBytes(Path("cbr.mp3")).substr(0, 300)));
    }

    void init() { Restart(false); }
    void cleanupTestCase() { FreeDirectShow(); }

    void nothingLoadedDoesNothing() {
        QCOMPARE(g_player.m_bLoaded, 0);
        QCOMPARE(g_player.m_llStart, std::int64_t(0));
        QCOMPARE(g_player.m_llStop, std::int64_t(1));
        g_player.Play();
        g_player.StopAndRewind();
        g_player.Close();
        QCOMPARE(g_player.GetProgress(), short(0));
        QVERIFY(!g_player.IsPlaying());
        QVERIFY(!media::CurrentGraph()->HasSource());
    }

    void playsToExactEnd_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("seconds");
        QTest::newRow("cbr") << "cbr.mp3" << 2.0;
        QTest::newRow("vbr without header") << "vbr.mp3" << 3.0;
        QTest::newRow("vbr with xing header") << "xing.mp3" << 2.0;
    }
    void playsToExactEnd() {
        QFETCH(QString, name);
        QFETCH(double, seconds);
        QCOMPARE(g_player.OpenFile(Path(name.toUtf8().constData())), 1);
        QCOMPARE(g_player.m_bLoaded, 1);
        QCOMPARE(g_player.m_llStart, std::int64_t(0));
        QVERIFY(std::abs(Seconds(g_player.m_llStop) - seconds) < 0.1);
        QCOMPARE(g_player.GetProgress(), short(0));
        PlayToEnd();
        // The range ends where playback really ends, not at the decoder's estimate.
        const auto end = media::CurrentGraph()->Position();
        QVERIFY(end.has_value());
        QVERIFY(std::abs(Seconds(*end - g_player.m_llStop)) < 0.03);
    }

    void endStaysUntilRewound() {
        QCOMPARE(g_player.OpenFile(Path("cbr.mp3")), 1);
        PlayToEnd();
        g_player.Play();
        QCOMPARE(g_player.GetProgress(), short(100));
        g_player.StopAndRewind();
        QCOMPARE(g_player.GetProgress(), short(0));
        QVERIFY(g_player.IsStopped());
        PlayToEnd();
    }

    void stopRewindsWhilePlaying() {
        Restart(true);
        QCOMPARE(g_player.OpenFile(Path("vbr.mp3")), 1);
        g_player.Play();
        QVERIFY(g_player.IsPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(g_player.GetProgress() > 0, kWaitMs);
        g_player.StopAndRewind();
        QVERIFY(!g_player.IsPlaying());
        QVERIFY(g_player.IsStopped());
        QCOMPARE(g_player.m_bLoaded, 1);
        QCOMPARE(g_player.GetProgress(), short(0));
        g_player.Play();
        QTRY_VERIFY_WITH_TIMEOUT(g_player.GetProgress() > 0, kWaitMs);
        g_player.Close();
        QCOMPARE(g_player.m_bLoaded, 0);
        QVERIFY(!g_player.IsPlaying());
    }

    void unplayableFileIsRefused_data() {
        QTest::addColumn<QByteArray>("path");
        for (const char* name :
             {"text.mp3", "empty.mp3", "cut.mp3", "picture.mp3", "missing.mp3"}) {
            QTest::newRow(name) << QByteArray::fromStdString(Path(name));
        }
        QTest::newRow("folder") << m_dir.path().toUtf8();
        QTest::newRow("no name") << QByteArray();
        QTest::newRow("nul in name") << QByteArray::fromStdString(Path("cbr.mp3") + '\0');
    }
    void unplayableFileIsRefused() {
        QFETCH(QByteArray, path);
        QCOMPARE(g_player.OpenFile(Path("cbr.mp3")), 1);
        QCOMPARE(g_player.OpenFile(path.toStdString()), 0);
        QCOMPARE(g_player.m_bLoaded, 0);
        QVERIFY(!g_player.LastError().empty());
        QVERIFY(!media::CurrentGraph()->HasSource());
        g_player.Play();
        QVERIFY(!g_player.IsPlaying());
        QCOMPARE(g_player.GetProgress(), short(0));
        // The same graph takes the next good file.
        QCOMPARE(g_player.OpenFile(Path("xing.mp3")), 1);
        PlayToEnd();
    }

    void otherAudioUsesItsDuration() {
        QCOMPARE(g_player.OpenFile(Path("wave.mp3")), 1);
        QVERIFY(std::abs(Seconds(g_player.m_llStop) - 1.0) < 0.05);
        PlayToEnd();
    }

    void emptyRangeGivesZero() {
        QCOMPARE(g_player.OpenFile(Path("cbr.mp3")), 1);
        g_player.m_llStop = g_player.m_llStart;
        g_player.Play();
        QCOMPARE(g_player.GetProgress(), short(0));
        g_player.StopAndRewind();
        QCOMPARE(g_player.GetProgress(), short(0));
    }

    void volumeMapping_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<long>("hundredths");
        QTest::addColumn<double>("linear");
        QTest::newRow("0") << 0 << 0L << 1.0;
        QTest::newRow("10") << 10 << -2000L << 0.1;
        QTest::newRow("20") << 20 << -4000L << 0.01;
        QTest::newRow("louder than full") << -3 << 0L << 1.0;
        QTest::newRow("past silence") << 1000000 << -10000L << 0.00001;
    }
    void volumeMapping() {
        QFETCH(int, step);
        QFETCH(long, hundredths);
        QFETCH(double, linear);
        g_player.SetVolumeStep(step);
        QCOMPARE(g_player.GetVolume(), hundredths);
        QVERIFY(std::abs(media::CurrentGraph()->Volume() - linear) < 1e-6);
    }

    void volumeHoldsForNewFilesAndGraphs() {
        FreeDirectShow();
        g_player.SetVolumeStep(10);
        QCOMPARE(InitDirectShow(), 0);
        // The element keeps its volume in single precision.
        QVERIFY(std::abs(media::CurrentGraph()->Volume() - 0.1) < 1e-6);
        QCOMPARE(g_player.OpenFile(Path("cbr.mp3")), 1);
        QCOMPARE(g_player.GetVolume(), -2000L);
        g_player.SetVolumeStep(20);
        FreeDirectShow();
        QCOMPARE(InitDirectShow(), 0);
        QCOMPARE(g_player.GetVolume(), -4000L);
    }

    void rebuildKeepsLoadedFlag() {
        FreeDirectShow();
        QCOMPARE(InitDirectShow(), 0);
        QCOMPARE(g_player.m_bLoaded, 0);
        QCOMPARE(g_player.OpenFile(Path("cbr.mp3")), 1);
        FreeDirectShow();
        QCOMPARE(InitDirectShow(), 0);
        QCOMPARE(g_player.m_bLoaded, 1);
        // The new graph holds no file: running it does nothing.
        g_player.Play();
        QVERIFY(!g_player.IsPlaying());
        QCOMPARE(g_player.GetProgress(), short(0));
        QCOMPARE(g_player.OpenFile(Path("vbr.mp3")), 1);
        PlayToEnd();
    }

    void everythingIsSafeWithoutGraph() {
        QCOMPARE(g_player.OpenFile(Path("cbr.mp3")), 1);
        g_player.Play();
        QCOMPARE(FreeDirectShow(), 0);
        QCOMPARE(FreeDirectShow(), 0);
        QVERIFY(media::CurrentGraph() == nullptr);
        QCOMPARE(g_player.GetProgress(), short(0));
        g_player.Play();
        g_player.StopAndRewind();
        g_player.SetVolumeStep(10);
        QCOMPARE(g_player.GetVolume(), -2000L);
        g_player.Close();
        QCOMPARE(g_player.m_bLoaded, 0);
        QCOMPARE(g_player.OpenFile(Path("cbr.mp3")), 0);
        QCOMPARE(g_player.m_bLoaded, 0);

        SetPreviewSinkFactory("no-such-audio-sink", false);
        QVERIFY(InitDirectShow() < 0);
        QVERIFY(media::CurrentGraph() == nullptr);
        QCOMPARE(g_player.OpenFile(Path("cbr.mp3")), 0);
    }
};

QTEST_GUILESS_MAIN(PlayerTest)
#include "tst_player.moc"
