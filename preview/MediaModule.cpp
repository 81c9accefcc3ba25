#include "preview/Graph.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include <dlfcn.h>
#include <link.h>

namespace media {
namespace {

// The module, loaded once and kept for the rest of the process (its threads may outlive any
// graph). It is found through the program's run path: lib/mirtconfig beside bin/ once installed,
// the build tree's lib/mirtconfig before.
std::once_flag g_loadOnce;
std::atomic<const MediaModule*> g_module{nullptr};
std::string g_failure; // written once, inside the call_once

// dlopen by bare name searches the run path of its caller. When a runtime wraps dlopen (the
// sanitizers do), the caller is that runtime, and the program's own run path is not searched.
// This walks the program's search path itself and opens the module by its full name.
void* OpenFromProgramSearchPath() {
    void* program = dlopen(nullptr, RTLD_NOW);
    if (program == nullptr)
        return nullptr;
    Dl_serinfo size{};
    void* handle = nullptr;
    if (dlinfo(program, RTLD_DI_SERINFOSIZE, &size) == 0 && size.dls_size >= sizeof(Dl_serinfo)) {
        // Dl_serinfo ends in a flexible array; the buffer is allocated with its alignment.
        const std::size_t words = (size.dls_size + sizeof(Dl_serinfo) - 1) / sizeof(Dl_serinfo);
        auto buffer = std::make_unique<Dl_serinfo[]>(words);
        Dl_serinfo* info = buffer.get();
        *info = size;
        if (dlinfo(program, RTLD_DI_SERINFO, info) == 0) {
            for (unsigned i = 0; i < info->dls_cnt && handle == nullptr; ++i) {
                const std::string dir = info->dls_serpath[i].dls_name;
                if (dir.empty())
                    continue;
                const std::string path = dir + "/" + kMediaModuleFile;
                handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            }
        }
    }
    dlclose(program);
    return handle;
}

const MediaModule* LoadModule(std::string* reason) {
    std::call_once(g_loadOnce, [] {
        void* handle = dlopen(kMediaModuleFile, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* why = dlerror();
            g_failure = why != nullptr ? why : "the media module cannot be loaded";
            handle = OpenFromProgramSearchPath();
            if (handle == nullptr)
                return;
            g_failure.clear();
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
