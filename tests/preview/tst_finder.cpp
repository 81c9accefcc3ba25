// The Music folder search: which names count, their order, the step-by-step walk; and how raw
// name bytes become display text.
#include "preview/FileFinder.h"
#include "preview/Preview.h"
#include "preview/TextEncoding.h"
#include "support/ScopedWorkingDir.h"
#include "support/media/TestMedia.h"

#include <QtTest>

#include <filesystem>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

class FinderTest : public QObject {
    Q_OBJECT

private:
    std::optional<testsupport::ScopedWorkingDir> m_work;

    static std::vector<std::string> Walk(CFileFinder& finder, const std::string& pattern) {
        std::vector<std::string> names;
        bool more = finder.FindFile(pattern);
        while (more) {
            more = finder.FindNextFile();
            names.push_back(finder.GetFileName());
        }
        return names;
    }
    // Makes the Music folder with a small file of each name.
    static void Put(std::initializer_list<const char*> names) {
        fs::create_directories("Music");
        for (const char* name : names)
            QVERIFY(testmedia::WriteBytes(std::string("Music/") + name, "x"));
    }

private slots:
    void init() {
        m_work.emplace();
        QVERIFY(m_work->ok());
    }
    void cleanup() { m_work.reset(); }

    void matchesAndOrder() {
        fs::create_directories("Music/dir.mp3");
        fs::create_directories("Music/sub");
        Put({"b.mp3", "a.MP3", "A.mp3", "C.Mp3", "_x.mp3", "\xff.mp3", "notes.txt", "song.mp3.bak",
             "mp3", "sub/inner.mp3"});
        fs::create_symlink("b.mp3", "Music/link.mp3");
        fs::create_symlink("sub", "Music/folderlink.mp3");
        fs::create_symlink("gone", "Music/dangling.mp3");
        fs::create_symlink("loop.mp3", "Music/loop.mp3");

        const std::vector<std::string> expected{"A.mp3",    "a.MP3",  "b.mp3",   "C.Mp3",
                                                "link.mp3", "_x.mp3", "\xff.mp3"};
        CFileFinder finder;
        QCOMPARE(Walk(finder, media::kMusicPattern), expected);
        // Every search reads the folder anew.
        fs::rename("Music/b.mp3", "Music/d.mp3");
        fs::remove("Music/a.MP3");
        QCOMPARE(Walk(finder, "Music/*.MP3"),
                 (std::vector<std::string>{"A.mp3", "C.Mp3", "d.mp3", "_x.mp3", "\xff.mp3"}));
    }

    // Names compare by their upper-cased form, one UTF-16 code unit after another: letters of
    // every script without their case, the signs between 'Z' and 'a' after the letters, names
    // that differ in case only bytewise, and a CP1251 name by the letters it shows ("яю").
    void orderComparesTheUpperCasedNames() {
        Put({"Вечер.mp3", "где.mp3", "Ария.mp3", "браво.mp3", "Ёлка.mp3", "ёж.mp3", "Straße.mp3",
             "STRASSE.mp3", "Ωmega.mp3", "ωmega.mp3", "\xff\xfe.mp3", "zz.mp3", "_x.mp3", "b.mp3",
             "Zed.mp3", "[1].mp3", "`q.mp3", "\xcf\xe5\xf1\xed\xff.mp3"});
        const std::vector<std::string> expected{"b.mp3",
                                                "STRASSE.mp3",
                                                "Straße.mp3",
                                                "Zed.mp3",
                                                "zz.mp3",
                                                "[1].mp3",
                                                "_x.mp3",
                                                "`q.mp3",
                                                "Ωmega.mp3",
                                                "ωmega.mp3",
                                                "ёж.mp3",
                                                "Ёлка.mp3",
                                                "Ария.mp3",
                                                "браво.mp3",
                                                "Вечер.mp3",
                                                "где.mp3",
                                                "\xcf\xe5\xf1\xed\xff.mp3",
                                                "\xff\xfe.mp3"};
        CFileFinder finder;
        QCOMPARE(Walk(finder, media::kMusicPattern), expected);
    }

    void stepsReportWhetherAnotherFollows() {
        Put({"1.mp3", "2.mp3", "3.mp3"});
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

    // Names as Windows finds them. Entries: "name/" a folder, "name>target" a link, else a file.
    // (The settings window's roads find MUSIC and CONFIG.CFG where no other case stands.)
    void namesAsWindowsFindsThem_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("found");
        const auto row = [](const char* what, QStringList entries, const char* name,
                            const char* found) {
            QTest::newRow(what) << entries << QString::fromLatin1(name)
                                << QString::fromLatin1(found);
        };
        row("the exact name first", {"CONFIG.CFG", "Config.cfg", "config.cfg"}, "Config.cfg",
            "Config.cfg");
        row("the lowest of several cases", {"config.cfg", "CONFIG.CFG", "Config.Cfg"}, "Config.cfg",
            "CONFIG.CFG");
        row("a dangling link of the exact name", {"Config.cfg>gone", "CONFIG.CFG"}, "Config.cfg",
            "Config.cfg");
        row("none: the name itself", {"Config_cfg", "Config.cfg.bak", "Musik/"}, "Config.cfg",
            "Config.cfg");
        row("other alphabets keep their case", {"МУЗЫКА/"}, "Музыка", "Музыка");
    }
    void namesAsWindowsFindsThem() {
        QFETCH(QStringList, entries);
        QFETCH(QString, name);
        QFETCH(QString, found);
        for (const QString& entry : entries) {
            const std::string path = entry.section(QLatin1Char('>'), 0, 0).toStdString();
            if (entry.contains(QLatin1Char('>')))
                fs::create_symlink(entry.section(QLatin1Char('>'), 1).toStdString(), path);
            else if (entry.endsWith(QLatin1Char('/')))
                fs::create_directory(path);
            else
                QVERIFY(testmedia::WriteBytes(path, "x"));
        }
        QCOMPARE(QString::fromStdString(media::NameInFolder(".", name.toStdString())), found);
    }

    void displayText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("song 1.mp3") << QStringLiteral("song 1.mp3");
        QTest::newRow("cyrillic") << QByteArray("Песня.mp3") << QStringLiteral("Песня.mp3");
        // Names from Windows archives come in the Russian code page.
        QTest::newRow("cp1251") << QByteArray("\xcf\xe5\xf1\xed\xff \xb9"
                                              "1.mp3")
                                << QStringLiteral("Песня №1.mp3");
        QTest::newRow("cp1251 punctuation")
            << QByteArray("\x93hi\x94 \x96 \xa8\xb8") << QStringLiteral("“hi” – Ёё");
        // 0x98 has no meaning in CP1251: what is not UTF-8 is shown as U+FFFD.
        QTest::newRow("neither") << QByteArray("a\x98\xff\xd0\x96")
                                 << QStringLiteral("a\uFFFD\uFFFDЖ");
        QTest::newRow("overlong and surrogate")
            << QByteArray("\x98\xc0\xaf\xed\xa0\x80")
            << QStringLiteral("\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    }
    void displayText() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const std::string shown = media::DisplayName(bytes.toStdString());
        QCOMPARE(QString::fromStdString(shown), text);
        QCOMPARE(QString::fromUtf8(shown).toUtf8().toStdString(), shown);
    }
};

QTEST_GUILESS_MAIN(FinderTest)
#include "tst_finder.moc"
