// Long use of the preview and the sub-windows: 1,000 track changes in a Music folder of 10,000
// tracks, and 1,000 openings of each sub-window of the settings window. The heap must not grow
// with the count (a leak of a few hundred bytes per round would show), open files and threads
// must come back, and nothing may fail; the resident size is reported. (bench/ measures the
// same road: mirt_bench_session soak, mirt_bench_tracks.)
#include "HardeningMain.h"
#include "MusicCheck.h"
#include "app/SettingsDlg.h"
#include "media/Graph.h"
#include "mp3options/Mp3OptionsDlg.h"
#include "res/SettingsControls.h"
#include "support/ModalScript.h"
#include "support/QuietPreview.h"
#include "support/ResourceUse.h"
#include "support/ScopedWorkingDir.h"
#include "support/media/MusicFolder.h"

#include <filesystem>
#include <vector>

using namespace framework::win32;

using namespace hardening;
using namespace testsupport;

namespace {

// MIRT_SOAK_ROUNDS=N runs a longer (or shorter) soak by hand.
const int kRounds = qEnvironmentVariableIntValue("MIRT_SOAK_ROUNDS") > 100
                        ? qEnvironmentVariableIntValue("MIRT_SOAK_ROUNDS")
                        : 1000;
// Rounds before the first measurement: caches, pools and first-use allocations settle there.
constexpr int kWarmUp = 100;
// Heap growth allowed from the end of the warm-up to the last round: 1 KiB per round, far
// below one leaked window, graph or file name per round.
std::size_t AllowedGrowth() {
    return std::size_t(kRounds - kWarmUp) * 1024;
}

constexpr int kFiles = 10000;
// Threads that GLib keeps idle for a while after their work is done.
constexpr long kIdleThreads = 2;

struct Usage {
    std::size_t heap = 0;
    std::size_t resident = 0;
    long files = 0;
    long threads = 0;
    static Usage Now() { return {LiveHeapBytes(), ResidentBytes(), OpenFiles(), Threads()}; }
};

QString Report(const char* what, const Usage& warm, const Usage& end) {
    return QString::asprintf("%s (%d rounds after %d warm-up%s): heap %zu -> %zu KiB, resident "
                             "%zu -> %zu KiB, files %ld -> %ld, threads %ld -> %ld",
                             what, kRounds - kWarmUp, kWarmUp,
                             UnderSanitizer() ? ", sanitizer" : "", warm.heap / 1024,
                             end.heap / 1024, warm.resident / 1024, end.resident / 1024, warm.files,
                             end.files, warm.threads, end.threads);
}

QString TrackName(int index) {
    return QString("track %1.mp3").arg(index, 5, 10, QChar('0'));
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    // Each press shows and plays the track it moved to: before the first comes the last, after
    // the last the first.
    void aThousandTrackChangesInTenThousandFiles() {
        const testmedia::MusicFolder music({TrackName(0).toStdString()}, 2);
        QVERIFY2(music.ok(), music.error());
        std::vector<Track> tracks{{TrackName(0).toStdString(), Expect::Plays, TrackName(0)}};
        for (int i = 1; i < kFiles; ++i) {
            tracks.push_back({TrackName(i).toStdString(), Expect::Plays, TrackName(i)});
            std::filesystem::create_hard_link("Music/" + tracks[0].name, "Music/" + tracks[i].name);
        }
        media::Preview preview(testsupport::QuietPreview(true));
        QCOMPARE(InitDirectShow(preview), 0);
        // Pipelines left behind are torn down in the background; what counts is what stays.
        Usage warm, end;
        QString failure;
        const auto settled = [&failure] {
            if (!media::WaitForBackgroundWork(std::chrono::seconds(10)))
                failure = "abandoned pipelines were not torn down";
            return Usage::Now();
        };
        CMp3OptionsDlg dialog(preview);
        testsupport::WhenNextDialogShows([&](framework::CDialog& w) {
            Transport transport(w, preview);
            int expected = 0;
            const auto step = [&](int button) {
                transport.press(button);
                if (button != res::IDC_STOP)
                    expected = (expected + (button == res::IDC_NEXT ? 1 : kFiles - 1)) % kFiles;
                if (!failure.isEmpty())
                    return;
                failure = CheckCurrent(transport, tracks, button != res::IDC_STOP);
                if (failure.isEmpty() && preview.m_nTrack != expected)
                    failure = QString("at track %1, not %2").arg(preview.m_nTrack).arg(expected);
            };
            step(res::IDC_PREVIOUS);
            for (int round = 1; round <= kRounds && failure.isEmpty(); ++round) {
                // Mostly forward, every fourth change backward; now and then a stop.
                step(round % 4 == 0 ? res::IDC_PREVIOUS : res::IDC_NEXT);
                if (round % 10 == 0)
                    step(res::IDC_STOP);
                if (round == kWarmUp)
                    warm = settled();
            }
            end = settled();
            testsupport::Click(w, IDCANCEL);
        });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
        qInfo("%s", qPrintable(Report("track changes", warm, end)));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(preview.m_nTrackCount, kFiles);
        QVERIFY2(end.heap <= warm.heap + AllowedGrowth(), "the heap grows with track changes");
        QVERIFY2(end.files <= warm.files, "open files grow with track changes");
        QVERIFY2(end.threads <= warm.threads + kIdleThreads, "threads grow with track changes");
    }

    void aThousandOpeningsOfEachSubWindow_data() {
        QTest::addColumn<int>("button");
        QTest::newRow("MP3 options") << res::IDC_MP3_OPTIONS;
        QTest::newRow("item chances") << res::IDC_ITEM_CHANCES;
    }
    void aThousandOpeningsOfEachSubWindow() {
        QFETCH(int, button);
        testsupport::ScopedWorkingDir dir;
        Usage warm, end;
        int opened = 0;
        testsupport::WhenNextDialogShows([&](framework::CDialog& settings) {
            testsupport::ClickListRow(settings, res::IDC_PAGES,
                                      button == res::IDC_MP3_OPTIONS ? 1 : 0);
            if (button == res::IDC_MP3_OPTIONS)
                testsupport::Click(settings,
                                   res::IDC_MP3_PLAYER); // the MP3 options button needs the player
            for (int round = 1; round <= kRounds; ++round) {
                testsupport::WhenNextDialogShows([&](framework::CDialog& sub) {
                    ++opened;
                    testsupport::Click(sub, IDCANCEL);
                });
                testsupport::Click(settings, button);
                if (round == kWarmUp)
                    warm = Usage::Now();
            }
            end = Usage::Now();
            testsupport::Click(settings, IDCANCEL);
        });
        CSettingsDlg dialog(testsupport::QuietPreview());
        QCOMPARE(dialog.DoModal(), IDCANCEL);
        qInfo("%s", qPrintable(Report(QTest::currentDataTag(), warm, end)));
        QCOMPARE(opened, kRounds);
        QVERIFY2(end.heap <= warm.heap + AllowedGrowth(), "the heap grows with each opening");
    }
};

HARDENING_TEST_MAIN(SoakTest)
#include "tst_Soak.moc"
