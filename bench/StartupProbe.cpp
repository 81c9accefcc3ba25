// The real program, started exactly as mirtconfig starts (app/main.cpp: the program's own
// application object and RunProgram), ending on the settings window's first paint. Nothing here
// changes what the program does before that paint: a start-up routine of the toolkit only installs
// an event filter that watches for it. Usage: mirt_bench_startup [--exit-after-paint MS] [--report]
// [--track PATH]
//   --report prints the window size and whether the media graph exists when the process ends.
//   --track  once the window has built its media graph (after the first paint), renders PATH
//            into it, so that it prerolls as a press of play would make it; for the memory
//            reading against a reference that prerolls the same pipeline.
#include "app/ConfigApp.h"
#include "app/Program.h"
#include "app/SettingsDlg.h"
#include "bench/CommandLine.h"
#include "bench/FirstPaintExit.h"
#include "framework/App.h"
#include "framework/DialogHost.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <string_view>

CConfigApp theApp;

namespace {

int g_exitDelay = -1;
bool g_report = false;
const char* g_track = nullptr;

CSettingsDlg* Settings() {
    return dynamic_cast<CSettingsDlg*>(framework::AfxGetApp()->m_pMainWnd);
}

bool GraphBuilt() {
    CSettingsDlg* settings = Settings();
    return settings != nullptr && settings->Preview().Player().HasGraph();
}

// The window builds its graph from a zero timer that its first paint starts: wait for it, then
// render the track.
void RenderTrackOnceBuilt(QObject* context) {
    if (!GraphBuilt()) {
        QTimer::singleShot(1, context, [context] { RenderTrackOnceBuilt(context); });
        return;
    }
    Settings()->Preview().Player().OpenFile(g_track);
}

void WatchFirstPaint() {
    if (g_exitDelay < 0)
        return;
    QCoreApplication::instance()->installEventFilter(new bench::FirstPaintExit(
        [](const QWidget& widget) {
            const bool settings = qobject_cast<const framework::DialogHost*>(&widget) != nullptr;
            if (settings && g_track != nullptr)
                RenderTrackOnceBuilt(QCoreApplication::instance());
            return settings;
        },
        g_exitDelay,
        [](const QWidget& widget) {
            if (g_report) {
                std::printf("size %dx%d\nmedia graph %s\n", widget.width(), widget.height(),
                            GraphBuilt() ? "built" : "not built");
            }
        }));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(WatchFirstPaint)

int main(int argc, char** argv) {
    g_exitDelay = bench::ExitDelayFromArgs(argc, argv);
    for (int i = 1; i < argc; ++i) {
        g_report = g_report || std::string_view(argv[i]) == "--report";
        if (std::string_view(argv[i]) == "--track" && i + 1 < argc)
            g_track = argv[i + 1];
    }

    // From here on the same as app/main.cpp.
    return RunProgram(argv[0]);
}
