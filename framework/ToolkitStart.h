// Starting the toolkit where there is no display. Qt then prints its own warnings and aborts
// with a hint to reinstall the program, which helps no one. While the toolkit starts, a
// ToolkitStartGuard holds the toolkit's messages back; if the start fails for want of a
// window system, it prints one plain line and ends the process with status 1. Otherwise it
// passes the held messages on when it goes out of scope.
#pragma once

#include <string>

namespace framework {

class ToolkitStartGuard {
public:
    // programName begins the line printed on failure ("mirtconfig: no display available...").
    explicit ToolkitStartGuard(const std::string& programName);
    ~ToolkitStartGuard();
    ToolkitStartGuard(const ToolkitStartGuard&) = delete;
    ToolkitStartGuard& operator=(const ToolkitStartGuard&) = delete;
};

} // namespace framework
