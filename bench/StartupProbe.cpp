// The real program, started exactly as mirtconfig starts (app/main.cpp), ending on the settings
// window's first paint. Nothing here changes what the program does before that paint: a
// start-up routine of the toolkit only installs an event filter that watches for it.
// Usage: mirt_bench_startup [--exit-after-paint MS] [--report]
//   --report prints the window size and whether the media graph exists when the process ends.
#include "app/ConfigApp.h"
#include "app/SettingsDlg.h"
#include "bench/FirstPaintExit.h"
#include "framework/App.h"
#include "framework/DialogHost.h"
#include "res/Resources.h"

#include <QCoreApplication>

#include <cstdio>
#include <string_view>

CConfigApp theApp;

namespace {

int g_exitDelay = -1;

bool GraphBuilt() {
    auto* settings = dynamic_cast<CSettingsDlg*>(framework::AfxGetApp()->m_pMainWnd);
    return settings != nullptr && settings->Preview().Player().HasGraph();
}
bool g_report = false;

void WatchFirstPaint() {
    if (g_exitDelay < 0)
        return;
    QCoreApplication::instance()->installEventFilter(new bench::FirstPaintExit(
        [](const QWidget& widget) {
            return qobject_cast<const framework::DialogHost*>(&widget) != nullptr;
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
    for (int i = 1; i < argc; ++i)
        g_report = g_report || std::string_view(argv[i]) == "--report";

    // From here on the same as app/main.cpp.
    res::RegisterResources();
    return framework::RunApplication(argv[0]);
}
