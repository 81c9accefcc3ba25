#include "preview/Graph.h"

#include <atomic>
#include <mutex>

#include <dlfcn.h>

namespace media {
namespace {

// The module, loaded once and kept for the rest of the process (its threads may outlive any
// graph). It is found through the program's run path: lib/mirtconfig beside bin/ once installed,
// the build tree's lib/mirtconfig before.
std::once_flag g_loadOnce;
std::atomic<const MediaModule*> g_module{nullptr};
std::string g_failure; // written once, inside the call_once

const MediaModule* LoadModule(std::string* reason) {
    std::call_once(g_loadOnce, [] {
        void* handle = dlopen(kMediaModuleFile, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = dlerror();
            g_failure = why != nullptr ? why : "the media module cannot be loaded";
            return;
        }
        using Entry = const MediaModule* (*)();
        const auto entry = reinterpret_cast<Entry>(dlsym(handle, kMediaModuleEntry));
        const MediaModule* module = entry != nullptr ? entry() : nullptr;
        if (module == nullptr || module->version != kMediaModuleVersion) {
            g_failure = "the media module does not belong to this program";
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
