#include "preview/MediaModule.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace media {
namespace {

// The module, loaded once and kept for the rest of the process (its threads may outlive any
// graph).
std::once_flag g_loadOnce;
std::atomic<const MediaModule*> g_module{nullptr};
std::string g_failure; // written once, inside the call_once

std::string ProgramFolder(std::string* reason) {
    std::string path(PATH_MAX, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        if (reason != nullptr)
            *reason = std::string("cannot tell where the program is: ") +
                      (length < 0 ? std::strerror(errno) : "the path is too long");
        return {};
    }
    path.resize(static_cast<std::size_t>(length));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

const MediaModule* LoadModule(std::string* reason) {
    std::call_once(g_loadOnce, [] {
        const std::string path = MediaModulePath(&g_failure);
        if (path.empty())
            return;
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = dlerror();
            g_failure = why != nullptr ? why : "the media module cannot be loaded";
            return;
        }
        const auto entry = reinterpret_cast<MediaModuleEntry>(dlsym(handle, kMediaModuleEntry));
        const auto* module = static_cast<const MediaModule*>(
            entry != nullptr ? entry(kMediaModuleVersion) : nullptr);
        if (module == nullptr || module->version != kMediaModuleVersion) {
            g_failure = path + " does not belong to this program";
            return;
        }
        g_module.store(module);
    });
    const MediaModule* module = g_module.load();
    if (module == nullptr && reason != nullptr)
        *reason = g_failure;
    return module;
}

} // namespace

std::string MediaModulePath(std::string* reason) {
    const std::string folder = ProgramFolder(reason);
    if (folder.empty())
        return {};
    const std::string path = folder + MIRT_MEDIA_MODULE_FROM_PROGRAM;
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                               &std::free);
    if (!resolved) {
        if (reason != nullptr)
            *reason = path + ": " + std::strerror(errno);
        return {};
    }
    return resolved.get();
}

std::unique_ptr<Graph> MakeGraph(const GraphOptions& options, GraphListener& listener,
                                 std::string* reason) {
    const MediaModule* module = LoadModule(reason);
    return module != nullptr ? module->makeGraph(options, listener) : nullptr;
}

bool WaitForBackgroundWork(std::chrono::milliseconds timeout) {
    // Only asks: a module that was never loaded has nothing running.
    const MediaModule* module = g_module.load();
    return module == nullptr || module->waitForBackgroundWork(timeout);
}

} // namespace media
