// Long use of the preview and the sub-windows: 1,000 track changes and 1,000 openings of each
// sub-window of the settings window. The heap must not grow with the count (a leak of a few
// hundred bytes per round would show), and nothing may fail; the resident size is reported.
#include "HardeningMain.h"
#include "MusicCheck.h"
#include "app/SettingsDlg.h"
#include "media/Graph.h"
#include "mp3options/Mp3OptionsDlg.h"
#include "media/Graph.h"
#include "res/SettingsControls.h"
#include "settings/GameSettings.h"
#include "support/ModalScript.h"
#include "support/QuietPreview.h"
#include "support/ResourceUse.h"
#include "support/ScopedWorkingDir.h"
#include "support/media/MusicFolder.h"

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

struct Usage {
    std::size_t heap = 0;
    std::size_t resident = 0;
    static Usage Now() { return {LiveHeapBytes(), ResidentBytes()}; }
};

QString Report(const char* what, const Usage& warm, const Usage& end) {
    const auto kib = [](std::size_t bytes) { return QString::number(bytes / 1024.0, 'f', 0); };
    return QString("%1: heap %2 -> %3 KiB, resident %4 -> %5 KiB (%6 rounds after %7 warm-up%8)")
        .arg(what, kib(warm.heap), kib(end.heap), kib(warm.resident), kib(end.resident))
        .arg(kRounds - kWarmUp)
        .arg(kWarmUp)
        .arg(UnderAddressSanitizer() ? ", AddressSanitizer" : "");
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT

private slots:
    void aThousandTrackChanges() {
        const testmedia::MusicFolder music({"a.mp3", "b.mp3", "c.mp3"}, 2);
        QVERIFY2(music.ok(), music.error());
        media::Preview preview(testsupport::QuietPreview(true));
        CMp3Player& player = preview.Player();
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
            for (int round = 1; round <= kRounds && failure.isEmpty(); ++round) {
                // Mostly forward, every fourth change backward; now and then a stop.
                transport.press(round % 4 == 0 ? res::IDC_PREVIOUS : res::IDC_NEXT);
                if (round % 10 == 0)
                    transport.press(res::IDC_STOP);
                if (player.m_bLoaded != 1 || transport.unsettled() != nullptr)
                    failure =
                        QString("round %1: track %2 did not load").arg(round).arg(preview.m_nTrack);
                if (round == kWarmUp)
                    warm = settled();
            }
            end = settled();
            qInfo("%d presses; slowest: %s, %lld ms", transport.count(), transport.slowest(),
                  transport.slowestMs());
            testsupport::Click(w, IDCANCEL);
        });
        QCOMPARE(dialog.DoModal(), IDCANCEL);
        qInfo("%s", qPrintable(Report("track changes", warm, end)));
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY2(end.heap <= warm.heap + AllowedGrowth(), "the heap grows with track changes");
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
