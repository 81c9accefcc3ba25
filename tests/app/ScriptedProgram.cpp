// The program as it runs (the same start, application object, windows and exit), driven by a
// script instead of a user, for tests that start it as a process of its own:
//
//   app_scripted_program [--sink FACTORY] SCENARIO
//
// play-and-save: switches the MP3 player on, opens the MP3 options window, plays the first
// track of the Music folder until it plays, and confirms both windows, which saves Config.cfg.
// The exit status is the program's, or 3 when a step of the script did not work out; what went
// wrong is printed on standard error.
#include "app/ConfigApp.h"
#include "app/Program.h"
#include "app/SettingsDlg.h"
#include "res/Mp3OptionsControls.h"
#include "res/SettingsControls.h"
#include "support/GuiHelpers.h"
#include "support/ModalScript.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QListWidget>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <string>

using framework::CDialog;
using namespace framework::win32;

namespace {

int g_failure = 0;

void Fail(const char* what) {
    std::fprintf(stderr, "app_scripted_program: %s\n", what);
    g_failure = 3;
}

void Press(CDialog& window, int id) {
    auto* button = testsupport::ControlAs<QAbstractButton>(window, id);
    if (button == nullptr)
        return Fail("a button is missing");
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

void PlayAndSave(CDialog& window) {
    auto& settings = static_cast<CSettingsDlg&>(window);
    auto* pages = testsupport::ControlAs<QListWidget>(settings, res::IDC_PAGES);
    if (pages == nullptr)
        return Fail("the page list is missing");
    pages->setCurrentRow(1);
    auto* mp3 = testsupport::ControlAs<QCheckBox>(settings, res::IDC_MP3_PLAYER);
    if (mp3 != nullptr && !mp3->isChecked())
        Press(settings, res::IDC_MP3_PLAYER);
    CMp3Player& player = settings.Preview().Player();
    testsupport::WhenNextDialogShows([&player](CDialog& options) {
        Press(options, res::IDC_PLAY);
        if (!testsupport::WaitUntil([&] { return player.IsPlaying(); }, 20000))
            Fail("the first track did not play");
        Press(options, IDOK);
    });
    Press(settings, res::IDC_MP3_OPTIONS);
    Press(settings, IDOK);
    if (settings.Host() != nullptr && settings.Host()->isVisible()) {
        Fail("OK did not close the settings window");
        settings.EndDialog(IDCANCEL);
    }
}

} // namespace

int main(int argc, char** argv) {
    media::GraphOptions media;
    const char* scenario = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sink") == 0 && i + 1 < argc)
            media.sink = argv[++i];
        else
            scenario = argv[i];
    }
    if (scenario == nullptr || std::strcmp(scenario, "play-and-save") != 0) {
        std::fprintf(stderr, "usage: %s [--sink FACTORY] play-and-save\n", argv[0]);
        return 2;
    }
    CConfigApp application(media);
    testsupport::WhenNextDialogShows(PlayAndSave);
    const int status = RunProgram(argv[0]);
    return g_failure != 0 ? g_failure : status;
}
