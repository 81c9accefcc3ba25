#include "framework/ToolkitStart.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace framework {
namespace {

QtMessageHandler g_previousHandler = nullptr;
std::string g_noDisplayLine;

// Qt's start ends with a fatal message only when no window system answers. Everything else,
// and Qt's reason itself, goes to whichever handler was there (standard error by default).
void EndAtFatalStart(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg)
        std::fputs(g_noDisplayLine.c_str(), stderr);
    g_previousHandler(type, context, text);
    if (type == QtFatalMsg)
        ::_exit(1);
}

// Each open takes the lowest free descriptor: the loop fills the closed ones among 0, 1 and 2.
void OpenClosedStandardDescriptors() {
    int descriptor = -1;
    do
        descriptor = ::open("/dev/null", O_RDWR);
    while (descriptor >= 0 && descriptor <= STDERR_FILENO);
    if (descriptor >= 0)
        ::close(descriptor);
}

} // namespace

bool StartToolkit(std::optional<QApplication>& application, int& argc, char** argv) {
    OpenClosedStandardDescriptors();
    // The last part of the path the program was started by: the name users know it by.
    const char* slash = std::strrchr(argv[0], '/');
    g_noDisplayLine = std::string(slash ? slash + 1 : argv[0]) +
                      ": no display available; start it from a desktop session or under Xvfb\n";
    g_previousHandler = qInstallMessageHandler(EndAtFatalStart);
    application.emplace(argc, argv);
    qInstallMessageHandler(g_previousHandler);
    if (QGuiApplication::primaryScreen() != nullptr)
        return true;
    // Its end puts back what the platform changed, such as the console's cursor.
    application.reset();
    std::fputs(g_noDisplayLine.c_str(), stderr);
    return false;
}

} // namespace framework
