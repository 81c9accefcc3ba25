// Stepping through the Music folder and playing the current track, with a recording label in
// place of the window.
#include "preview/Preview.h"
#include "support/media/MusicFolder.h"
#include "support/media/TestMedia.h"

#include <QtTest>

#include <filesystem>
#include <memory>
#include <optional>
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
    std::optional<testmedia::MusicFolder> m_music;
    std::string m_tone; // bytes of a short valid MP3
    std::unique_ptr<media::Preview> m_preview;

    void Put(const std::string& name) { QVERIFY(testmedia::WriteBytes("Music/" + name, m_tone)); }

    CMp3Player& Player() { return m_preview->Player(); }
    int& Track() { return m_preview->m_nTrack; }
    void PlaysToEnd() { QTRY_COMPARE_WITH_TIMEOUT(Player().GetProgress(), short(100), 10000); }

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

    void wrapsBothWays() {
        for (const char* name : {"c.mp3", "a.mp3", "B.mp3"}) {
            Put(name);
        }
        RecordingLabel label;
        Track() = 2;
        m_preview->NextTrack(label);
        QCOMPARE(Track(), 0);
        QCOMPARE(m_preview->m_nTrackCount, 3);
        QCOMPARE(label.shown, (std::vector<std::string>{kLoading, "a.mp3"}));
        QCOMPARE(Player().m_bLoaded, 1);
        PlaysToEnd();

        m_preview->PrevTrack(label);
        QCOMPARE(Track(), 2);
        QCOMPARE(label.shown.back(), std::string("c.mp3"));
        m_preview->NextTrack(label);
        m_preview->NextTrack(label);
        QCOMPARE(Track(), 1);
        QCOMPARE(label.shown.back(), std::string("B.mp3"));
        PlaysToEnd();
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
        fs::remove_all("Music");
        m_preview->PlayCurrentTrack(label);
        QCOMPARE(label.shown.back(), kLoading);
        QCOMPARE(Player().GetProgress(), short(0));
    }

    void indexPastTheEndOpensNothing() {
        Put("a.mp3");
        Put("b.mp3");
        RecordingLabel label;
        m_preview->PlayCurrentTrack(label);
        QCOMPARE(Player().m_bLoaded, 1);
        Track() = 5;
        m_preview->PlayCurrentTrack(label);
        QCOMPARE(m_preview->m_nTrackCount, 2);
        QCOMPARE(label.shown.back(), kLoading);
        // The graph is not rebuilt here, so the track loaded before stays loaded and plays on.
        QCOMPARE(Player().m_bLoaded, 1);
        PlaysToEnd();
    }
};

QTEST_GUILESS_MAIN(TracksTest)
#include "tst_tracks.moc"
