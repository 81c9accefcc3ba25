// The options the start-up programs share: when to end after the first paint, and the size of a
// reference window.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace bench {

// Reads "--exit-after-paint MS" (0: at once) from the command line; -1 when absent.
inline int ExitDelayFromArgs(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string_view(argv[i]) == "--exit-after-paint")
            return std::atoi(argv[i + 1]);
    }
    return -1;
}

struct WindowSize {
    int width = 480;
    int height = 325;
};

// Reads "--size WxH" (the size of the program's settings window) from the command line.
inline WindowSize SizeFromArgs(int argc, char** argv) {
    WindowSize size;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string_view(argv[i]) == "--size")
            std::sscanf(argv[i + 1], "%dx%d", &size.width, &size.height);
    }
    return size;
}

} // namespace bench
