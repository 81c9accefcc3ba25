// Starting the toolkit where there may be no display. Qt ends a start that finds no window
// system with a fatal message and an abort, and suggests reinstalling the program; this start
// prints one plain line of ours first, then Qt's own reason, and ends with status 1.
#pragma once

#include <QApplication>

#include <optional>

namespace framework {

// Makes the application object in `application`. Where no window system answers, prints
// "<program>: no display available; ..." and ends the process with status 1: with Qt's reason
// after the line when Qt's start fails (no such platform plugin, or none could connect); alone,
// returning false, when the start went through without a screen (the framebuffer platform
// without a framebuffer). Descriptors 0, 1 and 2 that are closed are opened on /dev/null first,
// so that no file or connection opened later takes their place and receives Qt's warnings.
bool StartToolkit(std::optional<QApplication>& application, int& argc, char** argv);

} // namespace framework
