// Stepping through the Music folder and playing the current track, with a recording label in
// place of the window.
#include "ToneFiles.h"

#include "preview/Graph.h"
#include "preview/MediaGraph.h"
#include "preview/Player.h"
#include "preview/TrackCursor.h"

#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Remembers the text each time it is shown.
class RecordingLabel : public media::TrackLabel {
public:
    void SetText(std::string text) override { m_text = std::move(text); }
    void Show() override { shown.push_back(m_text); }
    std::vector<std::string> shown;

private:
    std::string m_text;
};

const std::string kLoading = media::kLoadingText;

} // namespace

class TracksTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string m_tone; // bytes of a short valid MP3

    void Put(const std::string& name) { QVERIFY(testmedia::WriteBytes("Music/" + name, m_tone)); }

    static void PlaysToEnd() {
        QTRY_COMPARE_WITH_TIMEOUT(g_player.GetProgress(), short(100), 10000);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir::setCurrent(m_dir.path()));
        std::string error;
        QVERIFY2(testmedia::MakeMp3("tone.mp3", 1, testmedia::Encoding::Cbr, error), error.c_str());
        m_tone = testmedia::ReadBytes("tone.mp3");
        SetPreviewSinkFactory("fakesink", false);
    }

    void init() {
        fs::remove_all("Music");
        fs::create_directories("Music");
        FreeDirectShow();
        g_player = CMp3Player();
        g_nTrack = 0;
        g_nTrackCount = 0;
        QCOMPARE(InitDirectShow(), 0);
    }

    void cleanupTestCase() { FreeDirectShow(); }

    void wrapsBothWays() {
        for (const char* name : {"c.mp3", "a.mp3", "B.mp3"}) {
            Put(name);
        }
        RecordingLabel label;
        g_nTrack = 2;
        media::NextTrack(label);
        QCOMPARE(g_nTrack, 0);
        QCOMPARE(g_nTrackCount, 3);
        QCOMPARE(label.shown, (std::vector<std::string>{kLoading, "a.mp3"}));
        QCOMPARE(g_player.m_bLoaded, 1);
        PlaysToEnd();

        media::PrevTrack(label);
        QCOMPARE(g_nTrack, 2);
        QCOMPARE(label.shown.back(), std::string("c.mp3"));
        media::NextTrack(label);
        media::NextTrack(label);
        QCOMPARE(g_nTrack, 1);
        QCOMPARE(label.shown.back(), std::string("B.mp3"));
        PlaysToEnd();
    }

    void singleTrack() {
        Put("only.mp3");
        RecordingLabel label;
        media::NextTrack(label);
        QCOMPARE(g_nTrack, 0);
        media::PrevTrack(label);
        QCOMPARE(g_nTrack, 0);
        QCOMPARE(label.shown.back(), std::string("only.mp3"));
        PlaysToEnd();
    }

    void noTracks() {
        RecordingLabel label;
        media::NextTrack(label);
        QCOMPARE(g_nTrack, 0);
        QCOMPARE(label.shown, (std::vector<std::string>{kLoading, kLoading}));
        media::PrevTrack(label);
        QCOMPARE(g_nTrack, -1);
        QCOMPARE(g_nTrackCount, 0);
        QCOMPARE(label.shown.back(), kLoading);
        QCOMPARE(g_player.m_bLoaded, 0);
        fs::remove_all("Music");
        media::PlayCurrentTrack(label);
        QCOMPARE(label.shown.back(), kLoading);
        QCOMPARE(g_player.GetProgress(), short(0));
    }

    void indexPastTheEndOpensNothing() {
        Put("a.mp3");
        Put("b.mp3");
        RecordingLabel label;
        media::PlayCurrentTrack(label);
        QCOMPARE(g_player.m_bLoaded, 1);
        g_nTrack = 5;
        media::PlayCurrentTrack(label);
        QCOMPARE(g_nTrackCount, 2);
        QCOMPARE(label.shown.back(), kLoading);
        // The graph is not rebuilt here, so the track loaded before stays loaded and plays on.
        QCOMPARE(g_player.m_bLoaded, 1);
        PlaysToEnd();
    }

    void unplayableTrackShowsItsName() {
        QVERIFY(testmedia::WriteBytes("Music/broken.mp3", "not audio at all"));
        RecordingLabel label;
        media::PlayCurrentTrack(label);
        QCOMPARE(label.shown.back(), std::string("broken.mp3"));
        QCOMPARE(g_player.m_bLoaded, 0);
        QVERIFY(!g_player.IsPlaying());
    }

    void awkwardNamesPlay_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("spaces") << QByteArray("my song 1.mp3") << QStringLiteral("my song 1.mp3");
        QTest::newRow("hash") << QByteArray("#1 hit.mp3") << QStringLiteral("#1 hit.mp3");
        QTest::newRow("percent") << QByteArray("100%20.mp3") << QStringLiteral("100%20.mp3");
        QTest::newRow("question") << QByteArray("why?.mp3") << QStringLiteral("why?.mp3");
        QTest::newRow("utf-8") << QByteArray("Песня.mp3") << QStringLiteral("Песня.mp3");
        QTest::newRow("invalid utf-8")
            << QByteArray("bad\xff\xfe.mp3") << QStringLiteral("bad\uFFFD\uFFFD.mp3");
    }
    void awkwardNamesPlay() {
        QFETCH(QByteArray, name);
        QFETCH(QString, shown);
        Put(name.toStdString());
        RecordingLabel label;
        media::PlayCurrentTrack(label);
        QCOMPARE(QString::fromStdString(label.shown.back()), shown);
        QCOMPARE(g_player.m_bLoaded, 1);
        PlaysToEnd();
    }
};

QTEST_GUILESS_MAIN(TracksTest)
#include "tst_tracks.moc"
