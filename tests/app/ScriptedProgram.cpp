// The program as it runs (the same start, application object, windows and exit), driven by a
// script instead of a user, for tests that start it as a process of its own:
//
//   app_scripted_program [--sink FACTORY] [--open-files LIMIT] SCENARIO
//
// play-and-save: switches the MP3 player on, opens the MP3 options window, plays the first
// track of the Music folder until it plays, and confirms both windows, which saves Config.cfg.
// stalled-storm N: the same road, but every read of a track stalls (as on a network share that
// stopped answering) and "next" is pressed N times in the MP3 options window; then one more
// press must be answered within 100 ms, with the program's threads and open files within a
// fixed margin of what they were before the presses, and both windows are confirmed.
// --open-files lowers the soft limit of open files first. Once the settings window has closed,
// the program prints "closed at N", N being the steady clock's nanoseconds (CLOCK_MONOTONIC),
// so that a test can tell how long the end took.
// The exit status is the program's, or 3 when a step of the script did not work out; what went
// wrong is printed on standard error. Message boxes are answered with OK and count as failures.
#include "app/ConfigApp.h"
#include "app/Program.h"
#include "app/SettingsDlg.h"
#include "framework/MessageBox.h"
#include "res/Mp3OptionsControls.h"
#include "res/SettingsControls.h"
#include "support/GuiHelpers.h"
#include "support/ModalScript.h"
#include "support/ResourceUse.h"
#include "support/media/HeldSource.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include <sys/resource.h>

using framework::CDialog;
using namespace framework::win32;

namespace {

int g_failure = 0;

void Fail(const char* what) {
    std::fprintf(stderr, "app_scripted_program: %s\n", what);
    g_failure = 3;
}

// testsupport::Click reports a missing button through QtTest, which does not run here.
void Press(CDialog& window, int id) {
    auto* button = testsupport::ControlAs<QAbstractButton>(window, id);
    if (button == nullptr)
        return Fail("a button is missing");
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void PlayFirstTrack(CMp3Player& player, CDialog& options) {
    Press(options, res::IDC_PLAY);
    if (!testsupport::WaitUntil([&] { return player.IsPlaying(); }, 20000))
        Fail("the first track did not play");
}

// Presses "next" again and again while every read stalls, then checks that the window still
// answers at once and holds no more threads and descriptors than a few stuck files keep.
void StalledStorm(int presses, CMp3Player& player, CDialog& options) {
    if (!testmedia::RegisterHeldSource())
        return Fail("the held-back source cannot be registered");
    // The settings window starts the preview right after its first paint.
    if (!testsupport::WaitUntil([&] { return player.HasGraph(); }))
        return Fail("the preview has no media graph");
    testmedia::HoldAllReads();
    const long threadsBefore = testsupport::Threads();
    const long filesBefore = testsupport::OpenFiles();
    const long memoryBefore = long(testsupport::ResidentBytes() / 1024);
    for (int i = 0; i < presses; ++i) {
        Press(options, res::IDC_NEXT);
        QCoreApplication::processEvents();
    }
    const long threadsAfter = testsupport::Threads();
    const long filesAfter = testsupport::OpenFiles();
    const long memoryAfter = long(testsupport::ResidentBytes() / 1024);
    QElapsedTimer clock;
    clock.start();
    Press(options, res::IDC_NEXT);
    const qint64 pressMs = clock.elapsed();
    std::printf("threads %ld -> %ld, open files %ld -> %ld, resident memory %ld -> %ld KiB, "
                "press after the storm %lld ms\n",
                threadsBefore, threadsAfter, filesBefore, filesAfter, memoryBefore, memoryAfter,
                static_cast<long long>(pressMs));
    if (threadsAfter > threadsBefore + 40 || filesAfter > filesBefore + 60 ||
        // A sanitizer's own memory is resident too: there it tells nothing.
        (!testsupport::UnderSanitizer() && memoryAfter > memoryBefore + 32 * 1024))
        Fail("stalled files keep more and more threads, descriptors or memory");
    if (pressMs > 100)
        Fail("a press after the storm took more than 100 ms");
}

// Opens the MP3 options window from the settings window with the MP3 player on, runs `inside`
// there, confirms it and then the settings window, which saves Config.cfg.
void ThroughTheMp3Window(CDialog& window, std::function<void(CMp3Player&, CDialog&)> inside) {
    auto& settings = static_cast<CSettingsDlg&>(window);
    auto* pages = testsupport::ControlAs<QListWidget>(settings, res::IDC_PAGES);
    if (pages == nullptr)
        return Fail("the page list is missing");
    pages->setCurrentRow(1);
    auto* mp3 = testsupport::ControlAs<QCheckBox>(settings, res::IDC_MP3_PLAYER);
    if (mp3 != nullptr && !mp3->isChecked())
        Press(settings, res::IDC_MP3_PLAYER);
    CMp3Player& player = settings.Preview().Player();
    testsupport::WhenNextDialogShows([&player, inside = std::move(inside)](CDialog& options) {
        inside(player, options);
        Press(options, IDOK);
    });
    Press(settings, res::IDC_MP3_OPTIONS);
    Press(settings, IDOK);
    if (settings.Host() != nullptr && settings.Host()->isVisible()) {
        Fail("OK did not close the settings window");
        settings.EndDialog(IDCANCEL);
    }
    std::printf(
        "closed at %lld\n",
        static_cast<long long>(std::chrono::steady_clock::now().time_since_epoch().count()));
}

} // namespace

int main(int argc, char** argv) {
    media::GraphOptions media;
    std::string scenario;
    int presses = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sink") == 0 && i + 1 < argc) {
            media.sink = argv[++i];
        } else if (std::strcmp(argv[i], "--open-files") == 0 && i + 1 < argc) {
            rlimit limit{};
            getrlimit(RLIMIT_NOFILE, &limit);
            limit.rlim_cur = std::strtoul(argv[++i], nullptr, 10);
            setrlimit(RLIMIT_NOFILE, &limit);
        } else if (scenario.empty()) {
            scenario = argv[i];
        } else {
            presses = std::atoi(argv[i]);
        }
    }
    std::function<void(CMp3Player&, CDialog&)> inside;
    if (scenario == "play-and-save") {
        inside = PlayFirstTrack;
    } else if (scenario == "stalled-storm" && presses > 0) {
        media.source = testmedia::kHeldSourceFactory;
        inside = [presses](CMp3Player& player, CDialog& options) {
            StalledStorm(presses, player, options);
        };
    } else {
        std::fprintf(stderr,
                     "usage: %s [--sink FACTORY] [--open-files LIMIT] "
                     "play-and-save | stalled-storm PRESSES\n",
                     argv[0]);
        return 2;
    }
    framework::SetMessageBoxHook([](const std::string& text, const std::string& caption) {
        Fail(("a message box: " + caption + ": " + text).c_str());
        return IDOK;
    });
    CConfigApp application(media);
    testsupport::WhenNextDialogShows(
        [inside](CDialog& window) { ThroughTheMp3Window(window, inside); });
    // The run ends the process itself; a step of the script that failed decides the status.
    std::at_quick_exit([] {
        if (g_failure != 0)
            std::_Exit(g_failure);
    });
    RunProgram(argv[0]);
}
