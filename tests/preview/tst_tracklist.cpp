// The track list driving a real window: the track label member and its control.
#include "ToneFiles.h"

#include "preview/Graph.h"
#include "preview/Player.h"
#include "preview/TrackList.h"

#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>

namespace {

class TestTrackWindow : public CTrackWindow {
public:
    TestTrackWindow() : CTrackWindow(0) {}
};

} // namespace

class TrackListTest : public QObject {
    Q_OBJECT

private slots:
    void stepsUpdateTheWindow() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        std::filesystem::create_directories("Music");
        std::string error;
        for (const char* name : {"Music/one.mp3", "Music/two.mp3"}) {
            QVERIFY2(testmedia::MakeMp3(name, 1, testmedia::Encoding::Cbr, error), error.c_str());
        }
        SetPreviewSinkFactory("fakesink", false);
        QCOMPARE(InitDirectShow(), 0);

        TestTrackWindow window;
        PlayCurrentTrack(window);
        QCOMPARE(window.m_strTrack, std::string("one.mp3"));
        NextTrack(window);
        QCOMPARE(window.m_strTrack, std::string("two.mp3"));
        QCOMPARE(g_player.m_bLoaded, 1);
        PrevTrack(window);
        QCOMPARE(window.m_strTrack, std::string("one.mp3"));
        QCOMPARE(g_nTrack, 0);
        FreeDirectShow();
    }
};

QTEST_MAIN(TrackListTest)
#include "tst_tracklist.moc"
