// Message boxes: one function shows them all, so tests can read and answer them without blocking.
#pragma once

#include "framework/Win32Types.h"

#include <functional>
#include <string>

namespace framework {
class CDialog;

// Shows a modal message box over owner (or the active window) and returns the button pressed.
int ShowMessageBox(CDialog* owner, const std::string& text, const std::string& caption,
                   UINT type = MB_OK);

// While a hook is set, message boxes call it instead of showing anything and return its answer.
using MessageBoxHook = std::function<int(const std::string& text, const std::string& caption)>;
void SetMessageBoxHook(MessageBoxHook hook);

} // namespace framework
