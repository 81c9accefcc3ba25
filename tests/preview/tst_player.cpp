// The MP3 player against real files made at test time, played into a fakesink: files of every
// shape common encoders and taggers write end where the decoder ends them; nothing the player
// does waits for a render, a stalled read or a teardown.
#include "media/Graph.h"
#include "preview/Preview.h"
#include "support/Watchdog.h"
#include "support/media/HeldSource.h"
#include "support/media/TestMedia.h"

#include <QTemporaryDir>
#include <QtTest>

#include <chrono>
#include <cmath>
#include <memory>

using namespace std::chrono_literals;

namespace {

constexpr int kWaitMs = 20000;
// One MPEG audio frame: how far the range's end may be from the decoder's.
constexpr std::int64_t kFrame = 26'000'000;

double Seconds(std::int64_t nanoseconds) {
    return static_cast<double>(nanoseconds) / 1e9;
}

} // namespace

class PlayerTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::vector<testmedia::Shape> m_shapes;
    std::unique_ptr<media::Preview> m_preview;

    std::string Path(const char* name) const { return m_dir.filePath(name).toStdString(); }
    CMp3Player& Player() { return m_preview->Player(); }

    // A preview of its own with a fresh graph; `sync` makes the fakesink play in real time.
    void Fresh(bool sync, std::string source = "filesrc",
               std::chrono::milliseconds renderTimeout = 60s) {
        m_preview.reset();
        m_preview = std::make_unique<media::Preview>(
            media::GraphOptions{"fakesink", sync, std::move(source), renderTimeout});
        QCOMPARE(InitDirectShow(*m_preview), 0);
    }

    void PlayToEnd() {
        Player().Play();
        QTRY_COMPARE_WITH_TIMEOUT(Player().GetProgress(), short(100), kWaitMs);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(testmedia::RegisterHeldSource());
        std::string error;
        using testmedia::Encoding;
        QVERIFY2(testmedia::MakeMp3(Path("cbr.mp3"), 2, Encoding::Cbr, error), error.c_str());
        QVERIFY2(testmedia::MakeMp3(Path("vbr.mp3"), 3, Encoding::Vbr, error), error.c_str());
        QVERIFY2(testmedia::MakeMp3(Path("xing.mp3"), 2, Encoding::VbrXing, error), error.c_str());
        QVERIFY2(testmedia::MakePng(Path("picture.mp3"), error), error.c_str());
        QVERIFY(testmedia::WriteBytes(Path("text.mp3"), "just some words, not audio\n"));
        QVERIFY(testmedia::WriteBytes(Path("empty.mp3"), ""));
        QVERIFY(testmedia::WriteBytes(Path("cut.mp3"),
                                      testmedia::ReadBytes(Path("cbr.mp3")).substr(0, 300)));
        QVERIFY2(testmedia::MakeRealWorldShapes(m_dir.path().toStdString(), m_shapes, error),
                 error.c_str());
    }
    void init() { Fresh(false); }
    void cleanup() {
        testmedia::ReleaseReads();
        m_preview.reset();
    }
    // Every abandoned pipeline is torn down and every end scan ends, whatever the tests did.
    void cleanupTestCase() { QVERIFY(media::WaitForBackgroundWork(20s)); }

    // The stream ends where the decoder ends the file, for files from GStreamer's encoder and
    // from independent encoders and taggers alike: only there does the progress reach 100.
    void everyShapeEndsWhereTheDecoderEndsIt_data() {
        QTest::addColumn<QString>("path");
        for (const char* name : {"cbr.mp3", "vbr.mp3", "xing.mp3"})
            QTest::newRow(name) << QString::fromStdString(Path(name));
        for (const testmedia::Shape& shape : m_shapes)
            QTest::newRow(shape.name.c_str()) << QString::fromStdString(shape.path);
    }
    void everyShapeEndsWhereTheDecoderEndsIt() {
        QFETCH(QString, path);
        const std::string file = QFile::encodeName(path).toStdString();
        const std::optional<std::int64_t> decoderEnd = testmedia::DecoderEnd(file);
        QVERIFY2(decoderEnd && *decoderEnd > 1'000'000'000, "the decoder cannot play the file");

        QCOMPARE(Player().OpenFile(file), 1);
        QCOMPARE(Player().m_bLoaded, 1);
        QCOMPARE(Player().GetProgress(), short(0));
        PlayToEnd();
        QCOMPARE(Player().m_llStart, std::int64_t(0));
        const std::int64_t end = Player().GetPosition().value_or(-1);
        QVERIFY2(std::abs(end - *decoderEnd) <= kFrame,
                 qPrintable(QString("the stream ended at %1 s, the decoder's at %2 s")
                                .arg(Seconds(end))
                                .arg(Seconds(*decoderEnd))));
    }

    // A one-hour file is ready as soon as it prerolls.
    void anHourLongFileIsReadyAtOnce() {
        std::int64_t end = 0;
        std::string error;
        const std::string path = Path("hour.mp3");
        QVERIFY2(testmedia::MakeLongMp3(path, 60, 320, end, error), error.c_str());
        Fresh(true);
        QCOMPARE(Player().OpenFile(path), 1);
        Player().Play();
        QTRY_VERIFY_WITH_TIMEOUT(Player().IsPlaying(), kWaitMs);
        QVERIFY(Player().GetProgress() < 100);
    }

    // Stop rewinds, while playing and at the end, where the stream stays until then.
    void stopRewinds() {
        Fresh(true);
        QCOMPARE(Player().OpenFile(Path("cbr.mp3")), 1);
        Player().Play();
        QTRY_VERIFY_WITH_TIMEOUT(Player().GetProgress() > 0, kWaitMs);
        Player().StopAndRewind();
        QVERIFY(!Player().IsPlaying());
        QVERIFY(Player().IsStopped());
        QCOMPARE(Player().m_bLoaded, 1);
        QCOMPARE(Player().GetProgress(), short(0));
        PlayToEnd();
        Player().Play();
        QCOMPARE(Player().GetProgress(), short(100));
        Player().StopAndRewind();
        QCOMPARE(Player().GetProgress(), short(0));
        PlayToEnd();
        Player().Close();
        QCOMPARE(Player().m_bLoaded, 0);
        QVERIFY(!Player().IsPlaying());
    }

    // A file that cannot be played is known as such within moments (never by waiting for the
    // render timeout, which is a minute here); the player is then not loaded, nothing plays, and
    // the same graph takes the next file.
    void unplayableFilesFailAtOnce_data() {
        QTest::addColumn<QByteArray>("path");
        for (const char* name :
             {"text.mp3", "empty.mp3", "cut.mp3", "picture.mp3", "missing.mp3"}) {
            QTest::newRow(name) << QByteArray::fromStdString(Path(name));
        }
        QTest::newRow("folder") << m_dir.path().toUtf8();
        // Names no file can have are refused before anything starts.
        QTest::newRow("no name") << QByteArray();
        QTest::newRow("NUL") << QByteArray::fromStdString(Path("cbr.mp3") + '\0');
    }
    void unplayableFilesFailAtOnce() {
        QFETCH(QByteArray, path);
        const bool possible = !path.isEmpty() && !path.contains('\0');
        QCOMPARE(Player().OpenFile(Path("cbr.mp3")), 1);
        QCOMPARE(Player().OpenFile(path.toStdString()), possible ? 1 : 0);
        Player().Play();
        QTRY_COMPARE_WITH_TIMEOUT(Player().m_bLoaded, 0, 3000);
        QVERIFY(!Player().IsPlaying());
        QCOMPARE(Player().GetProgress(), short(0));
        QCOMPARE(Player().OpenFile(Path("xing.mp3")), 1);
        PlayToEnd();
    }

    // A streaming thread stuck in a read holds up none of the player's operations, nor freeing
    // the graph or the whole preview: the stuck pipeline is torn down in the background. A
    // render that never prerolls fails after the render timeout; a later file plays at once.
    void aStalledReadHoldsUpNothing_data() {
        QTest::addColumn<bool>("beforePreroll"); // else once the file plays
        QTest::addColumn<int>("renderTimeoutMs");
        QTest::newRow("while it plays") << false << 60000;
        QTest::newRow("before it prerolls") << true << 60000;
        QTest::newRow("before it prerolls, past the render timeout") << true << 300;
    }
    void aStalledReadHoldsUpNothing() {
        QFETCH(bool, beforePreroll);
        QFETCH(int, renderTimeoutMs);
        Fresh(true, testmedia::kHeldSourceFactory, std::chrono::milliseconds(renderTimeoutMs));
        const std::string stalled = Path("vbr.mp3");
        if (beforePreroll)
            testmedia::HoldReads(stalled);
        QCOMPARE(Player().OpenFile(stalled), 1);
        Player().Play();
        if (!beforePreroll) {
            QTRY_VERIFY_WITH_TIMEOUT(Player().IsPlaying(), kWaitMs);
            testmedia::HoldReads(stalled);
        }
        QTRY_COMPARE_WITH_TIMEOUT(testmedia::HeldReads(), 1, kWaitMs);
        if (renderTimeoutMs < 1000) {
            QTRY_COMPARE_WITH_TIMEOUT(Player().m_bLoaded, 0, kWaitMs);
            QVERIFY(!Player().IsPlaying());
        }

        testsupport::Watchdog dog(10s, "a player operation on a pipeline stuck in a read");
        Player().StopAndRewind();
        QCOMPARE(Player().GetProgress(), short(0));
        Player().Play();
        Player().StopAndRewind();
        QCOMPARE(Player().OpenFile(Path("cbr.mp3")), 1);
        Player().Play();
        QTRY_VERIFY_WITH_TIMEOUT(Player().IsPlaying(), kWaitMs);
        QCOMPARE(Player().OpenFile(stalled), 1); // its reads are held from the start now
        QCOMPARE(FreeDirectShow(*m_preview), 0);
        QCOMPARE(InitDirectShow(*m_preview), 0);
        m_preview.reset();
        dog.disarm();
        QVERIFY(!media::WaitForBackgroundWork(100ms)); // the stuck ones are still stuck
        testmedia::ReleaseReads();
        QVERIFY(media::WaitForBackgroundWork(10s));
    }

    void volumeMapping_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<long>("hundredths");
        QTest::newRow("0") << 0 << 0L;
        QTest::newRow("10") << 10 << -2000L;
        QTest::newRow("20") << 20 << -4000L;
        QTest::newRow("louder than full") << -3 << 0L;
        QTest::newRow("past silence") << 1000000 << -10000L;
    }
    void volumeMapping() {
        QFETCH(int, step);
        QFETCH(long, hundredths);
        Player().SetVolumeStep(step);
        QCOMPARE(Player().GetVolume(), hundredths);
    }

    // The volume holds for every file and graph; a rebuilt graph holds no file, though the
    // player stays loaded until it opens the next one.
    void aRebuiltGraphKeepsTheVolumeAndTheLoadedFlag() {
        FreeDirectShow(*m_preview);
        Player().SetVolumeStep(10);
        QCOMPARE(InitDirectShow(*m_preview), 0);
        QCOMPARE(Player().GetVolume(), -2000L);
        QCOMPARE(Player().OpenFile(Path("cbr.mp3")), 1);
        QCOMPARE(Player().GetVolume(), -2000L);
        Player().SetVolumeStep(20);
        FreeDirectShow(*m_preview);
        QCOMPARE(InitDirectShow(*m_preview), 0);
        QCOMPARE(Player().GetVolume(), -4000L);
        QCOMPARE(Player().m_bLoaded, 1);
        Player().Play();
        QVERIFY(!Player().IsPlaying());
        QCOMPARE(Player().GetProgress(), short(0));
        QCOMPARE(Player().OpenFile(Path("vbr.mp3")), 1);
        PlayToEnd();
    }

    // Without a file, or without a graph, every operation is safe and does nothing.
    void nothingHappensWithoutAFileOrAGraph() {
        QCOMPARE(Player().m_bLoaded, 0);
        QCOMPARE(Player().m_llStop - Player().m_llStart, std::int64_t(1));
        Player().Play();
        Player().StopAndRewind();
        Player().Close();
        QCOMPARE(Player().GetProgress(), short(0));
        QCOMPARE(Player().OpenFile(Path("cbr.mp3")), 1);
        Player().Play();
        QCOMPARE(FreeDirectShow(*m_preview), 0);
        QCOMPARE(FreeDirectShow(*m_preview), 0);
        QCOMPARE(Player().GetProgress(), short(0));
        Player().Play();
        Player().StopAndRewind();
        QVERIFY(!Player().IsPlaying());
        Player().Close();
        QCOMPARE(Player().m_bLoaded, 0);
        QCOMPARE(Player().OpenFile(Path("cbr.mp3")), 0);

        media::Preview broken(media::GraphOptions{"no-such-audio-sink", false});
        QVERIFY(InitDirectShow(broken) < 0);
        QCOMPARE(broken.Player().OpenFile(Path("cbr.mp3")), 0);
    }
};

QTEST_GUILESS_MAIN(PlayerTest)
#include "tst_player.moc"
