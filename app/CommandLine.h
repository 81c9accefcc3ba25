// The program's command line: `mirtconfig [--choose-folder] [GAME_FOLDER]`, `--help`, `--version`.
// The program works on the game's folder, its working folder: a folder named on the command line
// becomes the working folder before anything reads one.
#pragma once

#include <optional>

// Prints what --help and --version ask for, or one line on why an argument is refused or its
// folder cannot be entered, and returns the status to end with (0, or 2 for a refusal).
// Otherwise enters the folder named, if any, and returns nothing; `chooseFolder` then tells
// whether the user is to choose the folder first (--choose-folder without a folder).
std::optional<int> FollowCommandLine(int argc, char** argv, bool& chooseFolder);

// Makes `folder` the working folder; false, with one line on standard error, where it cannot.
bool EnterFolder(const char* folder);
