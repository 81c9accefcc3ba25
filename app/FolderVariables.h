// Folder variables of the environment that would lead libraries into the working folder.
//
// The program runs in the game's folder and must write nothing there but Config.cfg. An empty
// or relative HOME, TMPDIR or XDG base directory variable names a folder relative to wherever
// the program runs, and GLib, Qt and fontconfig make their cache and runtime folders there:
// with HOME empty, GLib's cache folder is ".cache"; a relative XDG_RUNTIME_DIR is made by Qt's
// start. The XDG base directory rules call a relative path in these variables invalid and say
// to ignore it, so the program forgets such values before any library reads them.
#pragma once

// Unsets HOME, TMPDIR, XDG_CONFIG_HOME, XDG_CACHE_HOME, XDG_DATA_HOME, XDG_STATE_HOME and
// XDG_RUNTIME_DIR where they are empty or relative, and drops the empty and relative entries of
// XDG_CONFIG_DIRS and XDG_DATA_DIRS, unsetting them when none is left. It changes the process's
// environment, which is not safe while other threads run: call it first thing in the program.
void ForgetRelativeFolderVariables();
