// Starting the toolkit where there is no display. Qt's platform plugins and the libraries under
// them (libxcb, libwayland, EGL, the framebuffer) then print their own lines, and Qt aborts with
// a hint to reinstall the program, which helps no one. While the toolkit starts, a
// ToolkitStartGuard holds standard error back; if the start fails for want of a window system,
// it prints one plain line and ends the process with status 1. Otherwise, when it goes out of
// scope, everything the start wrote reaches standard error unchanged.
#pragma once

#include "framework/StandardErrorHold.h"

#include <string>

namespace framework {

class ToolkitStartGuard {
public:
    // programName begins the line printed on failure ("mirtconfig: no display available...").
    explicit ToolkitStartGuard(const std::string& programName);
    ~ToolkitStartGuard();
    ToolkitStartGuard(const ToolkitStartGuard&) = delete;
    ToolkitStartGuard& operator=(const ToolkitStartGuard&) = delete;

    // For a start that went through but found no screen to show a window on (the framebuffer
    // platform without a framebuffer): prints the one line and ends the process with status 1.
    [[noreturn]] void EndForWantOfDisplay() const noexcept;

private:
    StandardErrorHold m_hold;
};

} // namespace framework
