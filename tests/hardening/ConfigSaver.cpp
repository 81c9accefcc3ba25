// Helper for the kill test: saves Config.cfg in the folder given as argv[1] again and again,
// each time a record whose ten values all equal one byte, counting up from argv[2]. After the
// first save it writes one byte to standard output, so the parent knows saving is under way,
// then goes on until it is killed.
#include "settings/ConfigFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 3 || ::chdir(argv[1]) != 0) {
        std::fprintf(stderr, "usage: %s FOLDER FIRST_VALUE\n", argv[0]);
        return 2;
    }
    int value = std::atoi(argv[2]);
    for (bool first = true;; first = false, ++value) {
        const int b = value & 0xFF;
        const settings::ConfigRecord rec{b, b, b, b, b, {b, b, b, b, b}};
        std::string error;
        if (!settings::SaveConfigFile("Config.cfg", rec, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        if (first && ::write(STDOUT_FILENO, "s", 1) != 1) {
            return 1;
        }
    }
}
