// Reasons for failures that the windows show the user only as a message box. They go to the
// program's logging categories ("mirtconfig.<area>"), which print nothing unless enabled:
// QT_LOGGING_RULES="mirtconfig.*=true".
#pragma once

#include <string>

namespace framework {

void LogFailure(const char* area, const std::string& reason);

} // namespace framework
