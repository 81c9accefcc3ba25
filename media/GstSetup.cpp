#include "media/GstSetup.h"

#include "media/GstHandles.h"

#include <cstdlib>
#include <mutex>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

GST_DEBUG_CATEGORY(mirt_preview_debug);

namespace media {
namespace {

// A folder of this user's own under `parent`, made if missing: owned by us and closed to others.
bool IsPrivateFolder(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
           (info.st_mode & 077) == 0;
}

std::string PrivateTempFolder() {
    const std::string tmp = g_get_tmp_dir();
    const std::string mine = tmp + "/mirtconfig-" + std::to_string(geteuid());
    if (mkdir(mine.c_str(), 0700) == 0 || IsPrivateFolder(mine))
        return mine;
    std::string unique = tmp + "/mirtconfig-XXXXXX";
    return mkdtemp(unique.data()) != nullptr ? unique : std::string();
}

// GStreamer caches its plugin registry in the user's cache folder. Without a usable home that
// folder is relative (".cache"), and the cache would be written into the game folder. Then the
// registry goes to the runtime folder or a private temporary folder instead. (GLib's own
// runtime folder lookup is not asked: without XDG_RUNTIME_DIR it makes the cache folder.)
void KeepRegistryOutOfTheWorkingFolder() {
    const char* chosen = std::getenv("GST_REGISTRY");
    if ((chosen != nullptr && *chosen != '\0') || g_path_is_absolute(g_get_user_cache_dir()))
        return;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = runtime != nullptr ? runtime : "";
    if (!g_path_is_absolute(folder.c_str()) || !IsPrivateFolder(folder))
        folder = PrivateTempFolder();
    if (!folder.empty())
        g_setenv("GST_REGISTRY", (folder + "/mirtconfig-gstreamer-registry.bin").c_str(), TRUE);
}

// GStreamer's own warnings and criticals (about damaged files, for instance) go to the debug
// log with everything else, not to the user's terminal.
void LogToDebugCategory(const gchar* domain, GLogLevelFlags level, const gchar* message,
                        gpointer /*unused*/) {
    const GstDebugLevel debugLevel =
        (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL)) ? GST_LEVEL_ERROR : GST_LEVEL_WARNING;
    GST_CAT_LEVEL_LOG(mirt_preview_debug, debugLevel, nullptr, "%s: %s", domain, message);
}

void RouteGStreamerLogs() {
    static const char* const kDomains[] = {"GStreamer",       "GStreamer-Base",
                                           "GStreamer-Audio", "GStreamer-Video",
                                           "GStreamer-Tag",   "GStreamer-Pbutils"};
    const auto levels = static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING |
                                                    G_LOG_LEVEL_MESSAGE);
    for (const char* domain : kDomains)
        g_log_set_handler(domain, levels, LogToDebugCategory, nullptr);
}

} // namespace

bool EnsureGstInit(std::string* reason) {
    static std::once_flag once;
    static bool ok = false;
    static std::string failure;
    std::call_once(once, [] {
        KeepRegistryOutOfTheWorkingFolder();
        GError* raw = nullptr;
        ok = gst_init_check(nullptr, nullptr, &raw) != FALSE;
        const ErrorPtr initError(raw);
        if (!ok) {
            failure = (initError && initError->message) ? initError->message
                                                        : "GStreamer could not be initialised";
            return;
        }
        GST_DEBUG_CATEGORY_INIT(mirt_preview_debug, "mirtpreview", 0, "the MP3 preview");
        RouteGStreamerLogs();
    });
    if (!ok && reason != nullptr)
        *reason = failure;
    return ok;
}

bool LinkUnchecked(GstElement* from, GstElement* to) {
    return gst_element_link_pads_full(from, "src", to, "sink", GST_PAD_LINK_CHECK_NOTHING) ||
           gst_element_link(from, to);
}

} // namespace media
