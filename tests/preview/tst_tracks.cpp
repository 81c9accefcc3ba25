// Stepping through the Music folder and playing the current track, with a recording label in
// place of the window.
#include "preview/Preview.h"
#include "support/media/HeldSource.h"
#include "support/media/MusicFolder.h"
#include "support/media/TestMedia.h"

#include <QtTest>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

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
    std::optional<testmedia::MusicFolder> m_music;
    std::string m_tone; // bytes of a short valid MP3
    std::unique_ptr<media::Preview> m_preview;

    void Put(const std::string& name) { QVERIFY(testmedia::WriteBytes("Music/" + name, m_tone)); }

    CMp3Player& Player() { return m_preview->Player(); }
    int& Track() { return m_preview->m_nTrack; }
    void PlaysToEnd() { QTRY_COMPARE_WITH_TIMEOUT(Player().GetProgress(), short(100), 10000); }
    // The label once the load of the press has ended.
    std::string LoadedName(const RecordingLabel& label) {
        [&] { QTRY_VERIFY(!Player().IsLoading()); }();
        return label.shown.back();
    }

private slots:
    void initTestCase() {
        const testmedia::MusicFolder scratch({"tone.mp3"}, 1);
        QVERIFY2(scratch.ok(), scratch.error());
        m_tone = testmedia::ReadBytes("Music/tone.mp3");
    }

    void init() {
        m_music.emplace();
        QVERIFY2(m_music->ok(), m_music->error());
        m_preview = std::make_unique<media::Preview>(media::GraphOptions{"fakesink", false});
        QCOMPARE(InitDirectShow(*m_preview), 0);
    }
    void cleanup() {
        m_preview.reset();
        m_music.reset();
    }

    void noTracks() {
        RecordingLabel label;
        m_preview->NextTrack(label);
        QCOMPARE(Track(), 0);
        QCOMPARE(label.shown, (std::vector<std::string>{kLoading, kLoading}));
        m_preview->PrevTrack(label);
        QCOMPARE(Track(), -1);
        QCOMPARE(m_preview->m_nTrackCount, 0);
        QCOMPARE(label.shown.back(), kLoading);
        QCOMPARE(Player().m_bLoaded, 0);
    }

    void indexPastTheEndOpensNothing() {
        Put("a.mp3");
        Put("b.mp3");
        RecordingLabel label;
        m_preview->PlayCurrentTrack(label);
        QCOMPARE(LoadedName(label), std::string("a.mp3"));
        QCOMPARE(Player().m_bLoaded, 1);
        Track() = 5;
        m_preview->PlayCurrentTrack(label);
        QCOMPARE(m_preview->m_nTrackCount, 2);
        QCOMPARE(label.shown.back(), kLoading);
        // The graph is not rebuilt here, so the track loaded before stays loaded and plays on.
        QCOMPARE(Player().m_bLoaded, 1);
        PlaysToEnd();
    }

    // "Загрузка..." from the press until the load has ended, then the name, whether the file
    // plays or not; a press made meanwhile takes the label over at once.
    void loadingUntilTheLoadEnds_data() {
        QTest::addColumn<bool>("empty");  // a.mp3 is an empty file, not the tone
        QTest::addColumn<bool>("stalls"); // every read of a.mp3 stalls
        QTest::addColumn<bool>("nextWhileLoading");
        QTest::addColumn<QString>("shown"); // once the last load has ended
        QTest::addColumn<int>("loaded");
        QTest::newRow("plays") << false << false << false << "a.mp3" << 1;
        QTest::newRow("cannot be played") << true << false << false << "a.mp3" << 0;
        QTest::newRow("reads stall until the timeout") << false << true << false << "a.mp3" << 0;
        QTest::newRow("next while reads stall") << false << true << true << "b.mp3" << 1;
    }
    void loadingUntilTheLoadEnds() {
        QFETCH(bool, empty);
        QFETCH(bool, stalls);
        QFETCH(bool, nextWhileLoading);
        QFETCH(QString, shown);
        QFETCH(int, loaded);
        QVERIFY(testmedia::RegisterHeldSource());
        m_preview = std::make_unique<media::Preview>(media::GraphOptions{
            "fakesink", false, testmedia::kHeldSourceFactory, std::chrono::milliseconds(300)});
        QCOMPARE(InitDirectShow(*m_preview), 0);
        QVERIFY(testmedia::WriteBytes("Music/a.mp3", empty ? "" : m_tone));
        Put("b.mp3");
        if (stalls)
            testmedia::HoldReads("Music/a.mp3");
        RecordingLabel label;
        m_preview->PlayCurrentTrack(label);
        QCOMPARE(label.shown, (std::vector<std::string>{kLoading, kLoading}));
        if (nextWhileLoading) {
            QTRY_COMPARE(testmedia::HeldReads(), 1);
            m_preview->NextTrack(label);
            QCOMPARE(label.shown.back(), kLoading);
        }
        LoadedName(label);
        testmedia::ReleaseReads();
        // The stalled file's pipeline lets go before the next row holds its reads again.
        QVERIFY(media::WaitForBackgroundWork(std::chrono::seconds(10)));
        std::vector<std::string> expected(nextWhileLoading ? 4 : 2, kLoading);
        expected.push_back(shown.toStdString());
        QCOMPARE(label.shown, expected);
        QCOMPARE(Player().m_bLoaded, loaded);
    }
};

QTEST_GUILESS_MAIN(TracksTest)
#include "tst_tracks.moc"
