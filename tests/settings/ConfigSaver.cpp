// Helper of the killed-save test: saves Config.cfg in the working folder again and again, with
// records whose ten values all equal one byte, counting up from FIRST_VALUE. After its first save
// it writes one byte to standard output, so that the test knows saving is under way; then it goes
// on until it is killed.
#include "settings/ConfigFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FIRST_VALUE\n", argv[0]);
        return 2;
    }
    const int first = std::atoi(argv[1]);
    for (int value = first;; ++value) {
        const int b = value & 0xFF;
        std::string error;
        if (!settings::SaveConfigFile("Config.cfg", {b, b, b, b, b, {b, b, b, b, b}}, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        if (value == first && ::write(STDOUT_FILENO, "s", 1) != 1)
            return 1;
    }
}
