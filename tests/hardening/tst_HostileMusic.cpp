// The MP3 options window over a Music folder full of things that are not what they claim:
// empty, random, text, picture and sound files named .mp3, MP3s cut short, huge ID3 tags,
// folders, link loops, unreadable files, awkward names, and reads that stall. Every transport
// button must return, the label must show each name as plain text, and playable tracks must play.
#include "HardeningMain.h"
#include "MusicCheck.h"
#include "media/Graph.h"
#include "mp3options/Mp3OptionsDlg.h"
#include "preview/TrackOrder.h"
#include "res/Mp3OptionsControls.h"
#include "support/ChildProcess.h"
#include "support/ModalScript.h"
#include "support/QuietPreview.h"
#include "support/media/MusicFolder.h"
#include "support/media/TestMedia.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sys/stat.h>

#include <glib.h>

using namespace framework::win32;

using namespace hardening;
namespace fs = std::filesystem;

namespace {

// An ID3v2.3 header announcing `size` bytes of tag (stored as a 28-bit "syncsafe" number).
std::string Id3Header(std::uint32_t size) {
    std::string header("ID3\x03\x00\x00", 6);
    for (int shift = 21; shift >= 0; shift -= 7)
        header += char((size >> shift) & 0x7F);
    return header;
}

QString Label(const std::string& name) {
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

// Collects GStreamer's criticals and warnings while it lives.
class GStreamerComplaints {
public:
    GStreamerComplaints() {
        for (const char* domain : kDomains)
            m_handlers.push_back(g_log_set_handler(
                domain, GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING), &Collect,
                &m_texts));
    }
    ~GStreamerComplaints() {
        for (std::size_t i = 0; i < m_handlers.size(); ++i)
            g_log_remove_handler(kDomains[i], m_handlers[i]);
    }
    GStreamerComplaints(const GStreamerComplaints&) = delete;
    GStreamerComplaints& operator=(const GStreamerComplaints&) = delete;
    const QStringList& texts() const { return m_texts; }

private:
    static constexpr const char* kDomains[] = {"GStreamer", "GStreamer-Base", "GStreamer-Audio",
                                               "GLib", "GLib-GObject"};
    static void Collect(const gchar* domain, GLogLevelFlags, const gchar* text, gpointer texts) {
        static_cast<QStringList*>(texts)->append(QString("%1: %2").arg(domain, text));
    }
    QStringList m_texts;
    std::vector<guint> m_handlers;
};

} // namespace

class HostileMusicTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    std::string m_good;                           // a playable 3 s MP3 outside every Music folder
    std::optional<testmedia::MusicFolder> m_work; // the working folder, Music empty at first
    std::unique_ptr<media::Preview> m_preview;

    std::string MusicFile(const std::string& name) const {
        return QFile::encodeName(m_work->path()).toStdString() + "/Music/" + name;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        m_good = QFile::encodeName(m_root.filePath("good.mp3")).toStdString();
        std::string error;
        QVERIFY2(testmedia::MakeMp3(m_good, 3, testmedia::Encoding::Cbr, error), error.c_str());
    }
    void init() {
        m_work.emplace();
        QVERIFY2(m_work->ok(), m_work->error());
        // Tracks play in real time: none ends early.
        m_preview = std::make_unique<media::Preview>(testsupport::QuietPreview(true));
        QCOMPARE(InitDirectShow(*m_preview), 0);
    }
    void cleanup() {
        m_preview.reset();
        m_work.reset();
    }

    void everyButtonReturnsAndPlayableTracksPlay() {
        std::vector<Track> tracks;
        const auto add = [&](const std::string& name, Expect expect, const std::string& bytes) {
            QVERIFY2(testmedia::WriteBytes(MusicFile(name), bytes), name.c_str());
            tracks.push_back({name, expect, Label(name)});
        };
        const auto addGood = [&](const std::string& name) {
            fs::create_hard_link(m_good, MusicFile(name));
            tracks.push_back({name, Expect::Plays, Label(name)});
        };
        const std::string good = testmedia::ReadBytes(m_good);
        QVERIFY(good.size() > 20000);

        // Names that must reach GStreamer and the label intact.
        for (const char* name :
             {"00 first.mp3", "with  spaces .mp3", "hash#1.mp3", "percent%20and%zz.mp3",
              "question?.mp3", "quotes ' \" `.mp3", "new\nline.mp3", "tab\there.mp3",
              "<b>bold <i>rich &amp; <img src=x>.mp3", "back\\slash;colon:.mp3", "UPPER CASE.MP3",
              "ünïcödé ёж 日本.mp3", "-starts-with-dash.mp3", "zz last.mp3"})
            addGood(name);
        // Not valid UTF-8: shown as the Russian Windows code page has it, or, where that has no
        // meaning for a byte (0x98), as U+FFFD.
        fs::create_hard_link(m_good, MusicFile("cp1251-\xff\xfe.mp3"));
        tracks.push_back({"cp1251-\xff\xfe.mp3", Expect::Plays, QStringLiteral("cp1251-яю.mp3")});
        fs::create_hard_link(m_good, MusicFile("bad-\x98\xff-utf8.mp3"));
        tracks.push_back(
            {"bad-\x98\xff-utf8.mp3", Expect::Plays, QStringLiteral("bad-\uFFFD\uFFFD-utf8.mp3")});
        fs::create_symlink(m_good, MusicFile("link to good.mp3"));
        tracks.push_back({"link to good.mp3", Expect::Plays, "link to good.mp3"});

        // Files that are no MP3 at all.
        add("empty.mp3", Expect::DoesNotPlay, "");
        add("text.mp3", Expect::DoesNotPlay, "This is not music.\n");
        QRandomGenerator random(20261208);
        std::string noise(64 << 10, '\0');
        for (char& c : noise)
            c = char(random.bounded(256));
        add("random bytes.mp3", Expect::DoesNotPlay, noise);
        std::string error;
        QVERIFY2(testmedia::MakePng(MusicFile("picture.mp3"), error), error.c_str());
        tracks.push_back({"picture.mp3", Expect::DoesNotPlay, "picture.mp3"});
        add("id3 tag only.mp3", Expect::DoesNotPlay, Id3Header(1024) + std::string(1024, '\0'));
        // Decodable, or partly, or not: anything goes but a crash or a hang.
        QVERIFY2(testmedia::MakeWav(MusicFile("wave.mp3"), 1, error), error.c_str());
        tracks.push_back({"wave.mp3", Expect::EitherWay, "wave.mp3"});
        add("id3 8 MiB then audio.mp3", Expect::EitherWay,
            Id3Header(8 << 20) + std::string(8 << 20, '\0') + good);
        add("id3 claims 256 MiB.mp3", Expect::EitherWay,
            Id3Header(0x0FFFFFFF) + std::string(1000, '\0') + good.substr(0, 2000));
        for (size_t cut : {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{10}, size_t{100},
                           size_t{416}, size_t{417}, size_t{418}, size_t{1000}, size_t{4096},
                           good.size() / 2, good.size() - 1}) {
            char name[32];
            std::snprintf(name, sizeof name, "cut %06zu.mp3", cut);
            add(name, Expect::EitherWay, good.substr(0, cut));
        }
        // An unreadable track. GStreamer opens files on threads of its own, which have the
        // process's privileges: whoever may read it anyway (root) hears it play.
        add("unreadable.mp3", Expect::DoesNotPlay, good);
        fs::permissions(MusicFile("unreadable.mp3"), fs::perms::none);
        if (std::ifstream(MusicFile("unreadable.mp3")).is_open())
            tracks.back().expect = Expect::Plays;
        // Entries that are not listed at all.
        fs::create_directory(MusicFile("folder.mp3"));
        fs::create_symlink("loop b.mp3", MusicFile("loop a.mp3"));
        fs::create_symlink("loop a.mp3", MusicFile("loop b.mp3"));
        fs::create_symlink("nowhere", MusicFile("dangling.mp3"));
        // In the order the folder is listed (case-insensitive, then bytewise).
        std::sort(tracks.begin(), tracks.end(), [](const Track& a, const Track& b) {
            return media::TrackOrderLess(a.name, b.name);
        });
        QCOMPARE(m_preview->CountTracks(), int(tracks.size()));

        QString failure;
        int tracksThatPlayed = 0;
        CMp3OptionsDlg dialog(*m_preview);
        testsupport::WhenNextDialogShows([&](framework::CDialog& w) {
            Transport transport(w, *m_preview);
            const auto step = [&](int button, bool playing) {
                transport.press(button);
                if (failure.isEmpty())
                    failure = CheckCurrent(transport, tracks, playing);
                tracksThatPlayed += m_preview->Player().m_bLoaded;
            };
            step(res::IDC_PLAY, true);
            // Forward all the way round, stopping and replaying now and then, then backward.
            for (size_t i = 0; i <= tracks.size() && failure.isEmpty(); ++i) {
                step(res::IDC_NEXT, true);
                if (i % 3 == 0) {
                    step(res::IDC_STOP, false);
                    step(res::IDC_PLAY, true);
                }
            }
            for (size_t i = 0; i <= tracks.size() && failure.isEmpty(); ++i)
                step(res::IDC_PREVIOUS, true);
            testsupport::Click(w, IDCANCEL);
        });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(tracksThatPlayed > 0);
        QVERIFY(m_preview->Player().IsStopped());
    }

    // The Music folder itself is missing or no folder at all: nothing plays, nothing hangs.
    void aMusicFolderThatIsNoFolder_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"missing", "a file", "a FIFO", "a dangling link", "a link loop",
                                 "a link to itself", "unreadable"})
            QTest::newRow(kind) << QString(kind);
    }
    void aMusicFolderThatIsNoFolder() {
        QFETCH(QString, kind);
        fs::remove("Music");
        std::optional<PermissionsApplyToRoot> asUser;
        if (kind == "a file") {
            QVERIFY(testmedia::WriteBytes("Music", testmedia::ReadBytes(m_good)));
        } else if (kind == "a FIFO") {
            QVERIFY(::mkfifo("Music", 0644) == 0);
        } else if (kind == "a dangling link") {
            fs::create_symlink("nowhere", "Music");
        } else if (kind == "a link loop") {
            fs::create_symlink("Loop", "Music");
            fs::create_symlink("Music", "Loop");
        } else if (kind == "a link to itself") {
            fs::create_symlink("Music", "Music");
        } else if (kind == "unreadable") {
            fs::create_directory("Music");
            fs::create_hard_link(m_good, "Music/track.mp3");
            fs::permissions("Music", fs::perms::none);
            asUser.emplace();
            if (!asUser->ok())
                QSKIP("running as root and cannot drop CAP_DAC_READ_SEARCH: the folder is "
                      "readable");
        }
        QString failure;
        CMp3OptionsDlg dialog(*m_preview);
        testsupport::WhenNextDialogShows([&](framework::CDialog& w) {
            Transport transport(w, *m_preview);
            for (int button : {res::IDC_PLAY, res::IDC_NEXT, res::IDC_PREVIOUS, res::IDC_STOP,
                               res::IDC_NEXT, res::IDC_PLAY}) {
                transport.press(button);
                if (failure.isEmpty() && (transport.label() != QStringLiteral("Загрузка...") ||
                                          m_preview->Player().m_bLoaded != 0))
                    failure = "after a press the label shows \"" + transport.label() + "\"";
            }
            testsupport::Click(w, IDCANCEL);
        });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
        asUser.reset();
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(m_preview->m_nTrackCount, 0);
        if (kind == "unreadable")
            fs::permissions("Music", fs::perms::owner_all);
        fs::remove("Loop");
    }

    // Presses at random, as fast as the window takes them, over files that play, an empty one
    // and a picture: every pipeline is set to NULL before it is released, so GStreamer never
    // complains of one disposed in another state, nor of anything else.
    void randomPressesLeaveGStreamerNothingToComplainOf() {
        fs::create_hard_link(m_good, MusicFile("a good.mp3"));
        QVERIFY(testmedia::WriteBytes(MusicFile("b empty.mp3"), ""));
        std::string error;
        QVERIFY2(testmedia::MakePng(MusicFile("c picture.mp3"), error), error.c_str());
        fs::create_hard_link(m_good, MusicFile("d good.mp3"));
        GStreamerComplaints complaints;
        QRandomGenerator random(20261209);
        CMp3OptionsDlg dialog(*m_preview);
        testsupport::WhenNextDialogShows([&](framework::CDialog& w) {
            Watchdog dog(std::chrono::minutes(5), "10,000 random presses");
            for (int i = 0; i < 10000; ++i) {
                testsupport::Click(w, res::IDC_PLAY + int(random.bounded(4)));
                QCoreApplication::processEvents();
            }
            testsupport::Click(w, IDCANCEL);
        });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
        m_preview.reset();
        QVERIFY(media::WaitForBackgroundWork(std::chrono::seconds(20)));
        QVERIFY2(complaints.texts().isEmpty(), qPrintable(complaints.texts().join('\n')));
    }

    // A share that stopped answering: every read of every track stalls, and "next" is pressed
    // 400 times under the usual limit of 1,024 open files. Only a few stalled files are kept
    // waiting at any time; past them a track fails at once, without a pipeline or thread of its
    // own. The scripted program checks its threads and open files and the time of one more
    // press; then OK saves and the program ends within a second, though reads still stall.
    void aStormOfStalledReadsStaysBounded() {
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            fs::create_hard_link(m_good, MusicFile(name));
        QProcess program;
        program.setProcessEnvironment(testsupport::ChildEnvironment());
        program.setWorkingDirectory(m_work->path());
        program.start(QStringLiteral(SCRIPTED_PROGRAM),
                      {"--sink", "fakesink", "--open-files", "1024", "stalled-storm", "400"});
        QVERIFY(program.waitForStarted());
        QVERIFY2(testsupport::RunToTheEnd(program, 60000), "the program did not end");
        const auto ended = std::chrono::steady_clock::now().time_since_epoch();
        const QByteArray report = program.readAllStandardOutput().trimmed();
        qInfo("%s", report.constData());
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
                 program.readAllStandardError().constData());
        QCOMPARE(QFileInfo(m_work->file("Config.cfg")).size(), 20);
        const qsizetype closed = report.lastIndexOf("closed at ");
        QVERIFY2(closed >= 0, "the settings window did not close");
        const std::chrono::nanoseconds closedAt(report.mid(closed + 10).trimmed().toLongLong());
        QVERIFY2(ended - closedAt < std::chrono::seconds(1), "the program ended late");
    }
};

HARDENING_TEST_MAIN(HostileMusicTest)
#include "tst_HostileMusic.moc"
