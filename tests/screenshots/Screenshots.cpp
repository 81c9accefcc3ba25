// Renders every window and page of the program to PNG files, so a person can look at them.
// Usage: mirt_screenshots OUTPUT_DIR SUFFIX   (run it inside a game folder or an empty one)
#include "app/ConfigApp.h"
#include "framework/Dialog.h"
#include "framework/DialogHost.h"
#include "media/Graph.h"
#include "res/Mp3OptionsControls.h"
#include "res/Resources.h"
#include "res/SettingsControls.h"
#include "support/GuiHelpers.h"
#include "support/ModalScript.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

using namespace framework::win32;

namespace {

QString g_outDir;
QString g_suffix;

void Save(framework::CDialog& window, const QString& name) {
    QWidget* host = window.Host();
    QApplication::processEvents();
    const QString path = QDir(g_outDir).filePath(name + g_suffix + ".png");
    if (!host->grab().save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

void SelectPage(framework::CDialog& settings, int row) {
    testsupport::ClickListRow(settings, res::IDC_PAGES, row);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR SUFFIX\n", argv[0]);
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]);
    g_suffix = QString::fromLocal8Bit(argv[2]);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    res::RegisterResources();
    QDir().mkpath(g_outDir);

    using testsupport::Click;
    using testsupport::WhenNextDialogShows;
    WhenNextDialogShows([](framework::CDialog& settings) {
        Save(settings, "settings-general");
        SelectPage(settings, 1);
        Save(settings, "settings-music");
        SelectPage(settings, 2);
        Save(settings, "settings-help");
        SelectPage(settings, 0);
        WhenNextDialogShows([](framework::CDialog& items) {
            Save(items, "item-chances");
            items.EndDialog(IDCANCEL);
        });
        Click(settings, res::IDC_ITEM_CHANCES);
        SelectPage(settings, 1);
        WhenNextDialogShows([](framework::CDialog& mp3) {
            Click(mp3, res::IDC_PLAY); // play, so the track label shows a name
            Save(mp3, "mp3-options");
            mp3.EndDialog(IDCANCEL);
        });
        Click(settings, res::IDC_MP3_PLAYER); // the MP3 player switch enables the options button
        Click(settings, res::IDC_MP3_OPTIONS);
        settings.EndDialog(IDCANCEL);
    });
    // Silent, whatever sound device there is.
    CConfigApp app(media::GraphOptions{"fakesink", true});
    app.InitInstance();
    return 0;
}
