#include "app/FolderVariables.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr const char* kFolderVariables[] = {"HOME",           "TMPDIR",        "XDG_CONFIG_HOME",
                                            "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                            "XDG_RUNTIME_DIR"};
constexpr const char* kFolderListVariables[] = {"XDG_CONFIG_DIRS", "XDG_DATA_DIRS"};

bool IsAbsolute(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

void ForgetUnlessAbsolute(const char* name) {
    const char* value = std::getenv(name);
    if (value != nullptr && !IsAbsolute(value))
        unsetenv(name);
}

// The absolute entries of a colon-separated list, in their order.
std::string AbsoluteEntries(std::string_view list) {
    std::string kept;
    while (true) {
        const std::size_t colon = list.find(':');
        const std::string_view entry = list.substr(0, colon);
        if (IsAbsolute(entry)) {
            if (!kept.empty())
                kept += ':';
            kept += entry;
        }
        if (colon == std::string_view::npos)
            return kept;
        list.remove_prefix(colon + 1);
    }
}

void KeepAbsoluteEntries(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        return;
    const std::string kept = AbsoluteEntries(value);
    if (kept.empty())
        unsetenv(name);
    else if (kept != value)
        setenv(name, kept.c_str(), 1);
}

} // namespace

void ForgetRelativeFolderVariables() {
    for (const char* name : kFolderVariables)
        ForgetUnlessAbsolute(name);
    for (const char* name : kFolderListVariables)
        KeepAbsoluteEntries(name);
}
