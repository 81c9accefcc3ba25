// Message boxes: one function shows them all, so tests can read and answer them without blocking.
// And the desktop's standard folder dialog.
#pragma once

#include "framework/Win32Types.h"

#include <functional>
#include <optional>
#include <string>

namespace framework {
class CDialog;

// Shows a modal message box over owner (or the active window) and returns the button pressed.
int ShowMessageBox(CDialog* owner, const std::string& text, const std::string& caption,
                   UINT type = MB_OK);

// While a hook is set, message boxes call it instead of showing anything and return its answer.
using MessageBoxHook = std::function<int(const std::string& text, const std::string& caption)>;
void SetMessageBoxHook(MessageBoxHook hook);

// Asks for a folder in a modal folder dialog titled `caption` (UTF-8), starting in the home
// folder. Returns the chosen folder's path as the system takes it, or nothing when cancelled.
std::optional<std::string> ChooseFolder(const char* caption);

} // namespace framework
