// The desktop's standard folder dialog.
#pragma once

#include <optional>
#include <string>

namespace framework {

// Asks for a folder in a modal folder dialog titled `caption` (UTF-8), starting in the home
// folder. Returns the chosen folder's path as the system takes it, or nothing when cancelled.
std::optional<std::string> ChooseFolder(const char* caption);

} // namespace framework
