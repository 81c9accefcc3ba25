// The Music folder search: which names count, their order, the step-by-step walk; and how raw
// name bytes become display text.
#include "ToneFiles.h"

#include "preview/FileFinder.h"
#include "preview/TrackCursor.h"
#include "preview/Utf8.h"

#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

class FinderTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static std::vector<std::string> Walk(CFileFinder& finder, const std::string& pattern) {
        std::vector<std::string> names;
        bool more = finder.FindFile(pattern);
        while (more) {
            more = finder.FindNextFile();
            names.push_back(finder.GetFileName());
        }
        return names;
    }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir::setCurrent(m_dir.path()));
        fs::remove_all("Music");
    }

    void matchesAndOrder() {
        fs::create_directories("Music/dir.mp3");
        fs::create_directories("Music/sub");
        for (const char* name : {"b.mp3", "a.MP3", "A.mp3", "C.Mp3", "_x.mp3", "\xff.mp3",
                                 "notes.txt", "song.mp3.bak", "mp3", "sub/inner.mp3"}) {
            QVERIFY(testmedia::WriteBytes(std::string("Music/") + name, "x"));
        }
        fs::create_symlink("b.mp3", "Music/link.mp3");
        fs::create_symlink("sub", "Music/folderlink.mp3");
        fs::create_symlink("gone", "Music/dangling.mp3");
        fs::create_symlink("loop.mp3", "Music/loop.mp3");

        const std::vector<std::string> expected{"_x.mp3", "A.mp3",    "a.MP3",   "b.mp3",
                                                "C.Mp3",  "link.mp3", "\xff.mp3"};
        QCOMPARE(Walk(g_finder, media::kMusicPattern), expected);
        QCOMPARE(g_finder.GetFilePath(), std::string("Music/\xff.mp3"));
        QCOMPARE(CountTracks(), 7);
        QCOMPARE(g_nTrackCount, 7);
        QCOMPARE(g_bMoreFiles, 0);
    }

    void stepsReportWhetherAnotherFollows() {
        fs::create_directories("Music");
        for (const char* name : {"1.mp3", "2.mp3", "3.mp3"}) {
            QVERIFY(testmedia::WriteBytes(std::string("Music/") + name, "x"));
        }
        CFileFinder finder;
        QCOMPARE(finder.GetFileName(), std::string());
        QVERIFY(finder.FindFile("Music/*.mp3"));
        QVERIFY(finder.FindNextFile());
        QVERIFY(finder.FindNextFile());
        QVERIFY(!finder.FindNextFile());
        QCOMPARE(finder.GetFileName(), std::string("3.mp3"));
        // Stepping past the end keeps the last entry current.
        QVERIFY(!finder.FindNextFile());
        QCOMPARE(finder.GetFileName(), std::string("3.mp3"));
    }

    void nothingToFind() {
        CFileFinder finder;
        QVERIFY(!finder.FindFile("Music/*.mp3"));
        QVERIFY(!finder.FindNextFile());
        QCOMPARE(finder.GetFileName(), std::string());
        QCOMPARE(CountTracks(), 0);
        fs::create_directories("Music");
        QCOMPARE(CountTracks(), 0);
        QVERIFY(testmedia::WriteBytes("Music/readme.txt", "x"));
        QCOMPARE(CountTracks(), 0);
        QVERIFY(!finder.FindFile("Music/"));
        QVERIFY(!finder.FindFile(""));
    }

    void wildcards_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<bool>("matches");
        QTest::newRow("suffix") << QByteArray("a.mp3") << QByteArray("*.mp3") << true;
        QTest::newRow("letter case") << QByteArray("A.Mp3") << QByteArray("*.mP3") << true;
        QTest::newRow("longer suffix") << QByteArray("a.mp3x") << QByteArray("*.mp3") << false;
        QTest::newRow("question mark") << QByteArray("ab") << QByteArray("a?") << true;
        QTest::newRow("backtracking") << QByteArray("xaybz") << QByteArray("*a*b?") << true;
        QTest::newRow("non-ascii not folded")
            << QByteArray("\xd0\x90") << QByteArray("\xd0\xb0") << false;
    }
    void wildcards() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, pattern);
        QFETCH(bool, matches);
        QCOMPARE(media::MatchesWildcard(name.toStdString(), pattern.toStdString()), matches);
    }

    void displayText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("song 1.mp3") << QStringLiteral("song 1.mp3");
        QTest::newRow("cyrillic") << QByteArray("Песня.mp3") << QStringLiteral("Песня.mp3");
        QTest::newRow("stray byte") << QByteArray("a\xff"
                                                  "b")
                                    << QStringLiteral("a\uFFFDb");
        QTest::newRow("cut sequence") << QByteArray("a\xe2\x82") << QStringLiteral("a\uFFFD");
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << QStringLiteral("\uFFFD\uFFFD");
        QTest::newRow("surrogate")
            << QByteArray("\xed\xa0\x80") << QStringLiteral("\uFFFD\uFFFD\uFFFD");
    }
    void displayText() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const std::string shown = media::ToValidUtf8(bytes.toStdString());
        QCOMPARE(QString::fromStdString(shown), text);
        QCOMPARE(QString::fromUtf8(shown).toUtf8().toStdString(), shown);
    }
};

QTEST_GUILESS_MAIN(FinderTest)
#include "tst_finder.moc"
