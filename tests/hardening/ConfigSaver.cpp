// Helper of the save tests, saving Config.cfg in the folder FOLDER with records whose ten values
// all equal one byte.
//   FOLDER FIRST_VALUE         saves again and again, counting the value up from FIRST_VALUE.
//                              After the first save it writes one byte to standard output, so
//                              the parent knows saving is under way, then goes on until killed.
//   --once FOLDER VALUE        saves once; exits with 0 when saved, or with 1 and the reason on
//                              standard error.
#include "settings/ConfigFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

bool Save(int value) {
    const int b = value & 0xFF;
    const settings::ConfigRecord rec{b, b, b, b, b, {b, b, b, b, b}};
    std::string error;
    if (settings::SaveConfigFile("Config.cfg", rec, &error)) {
        return true;
    }
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
}

int SaveUntilKilled(int value) {
    if (!Save(value) || ::write(STDOUT_FILENO, "s", 1) != 1) {
        return 1;
    }
    while (Save(++value)) {
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    const bool once = argc == 4 && std::strcmp(argv[1], "--once") == 0;
    if ((!once && argc != 3) || ::chdir(argv[argc - 2]) != 0) {
        std::fprintf(stderr, "usage: %s [--once] FOLDER VALUE\n", argv[0]);
        return 2;
    }
    const int value = std::atoi(argv[argc - 1]);
    return once ? (Save(value) ? 0 : 1) : SaveUntilKilled(value);
}
