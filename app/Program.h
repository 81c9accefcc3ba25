// The program's run, from the start of main to its exit status, around whichever application
// object the process has made (app/main.cpp makes the program's own).
#pragma once

// Never returns: once the windows have closed it ends the process at once with the program's
// exit status (std::quick_exit, so only handlers registered with std::at_quick_exit run).
[[noreturn]] int RunProgram(const char* programPath);
