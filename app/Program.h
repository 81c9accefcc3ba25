// The program's run, from the start of main to its exit status, around whichever application
// object the process has made (app/main.cpp makes the program's own).
#pragma once

int RunProgram(const char* programPath);
