#include "app/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include <unistd.h>

constexpr char kUsage[] =
    "Usage: mirtconfig [GAME_FOLDER]\n"
    "       mirtconfig --choose-folder [GAME_FOLDER]\n"
    "       mirtconfig --help | --version\n"
    "Sets up the game in GAME_FOLDER (default: the current folder): reads and writes its\n"
    "Config.cfg and previews the MP3 files of its Music folder. --choose-folder without a\n"
    "folder asks for it first.\n";

bool EnterFolder(const char* folder) {
    if (::chdir(folder) == 0)
        return true;
    std::fprintf(stderr, "mirtconfig: cannot work in %s: %s\n", folder, std::strerror(errno));
    return false;
}

std::optional<int> FollowCommandLine(int argc, char** argv, bool& chooseFolder) {
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "--version")) {
        std::fputs(arguments[0] == "--help" ? kUsage : "mirtconfig " MIRT_VERSION "\n", stdout);
        return 0;
    }
    chooseFolder = !arguments.empty() && arguments[0] == "--choose-folder";
    if (chooseFolder)
        arguments.erase(arguments.begin());
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments[0].starts_with('-'))) {
        std::fprintf(stderr, "mirtconfig: unexpected argument %s; see mirtconfig --help\n",
                     arguments.back().data());
        return 2;
    }
    if (arguments.empty())
        return std::nullopt;
    chooseFolder = false;
    return EnterFolder(arguments[0].data()) ? std::nullopt : std::optional<int>(2);
}
