#include "framework/App.h"

#include "framework/Resources.h"
#include "framework/ToolkitStart.h"

#include <QApplication>
#include <QStyleFactory>

#include <optional>
#include <string>

namespace framework {
namespace {
CWinApp* g_app = nullptr;
} // namespace

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

HICON CWinApp::LoadIcon(int resourceId) const {
    return FindPicturePath(resourceId) ? resourceId : 0;
}

CWinApp* AfxGetApp() {
    return g_app;
}

int RunApplication(const char* programName, const char* desktopId) {
    // The program ignores its command line: the toolkit sees the program name only.
    int argc = 1;
    std::string name = programName && *programName ? programName : "mirtconfig";
    char* argv[] = {name.data(), nullptr};
    std::optional<QApplication> application;
    if (!StartToolkit(application, argc, argv))
        return 1;
    if (desktopId)
        QGuiApplication::setDesktopFileName(QString::fromUtf8(desktopId));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    if (g_app == nullptr)
        return 1;
    // InitInstance runs the main window modally and then asks to end without a message loop.
    return g_app->InitInstance() ? QApplication::exec() : 0;
}

} // namespace framework
