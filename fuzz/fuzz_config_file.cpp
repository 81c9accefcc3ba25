// Fuzzes loading Config.cfg from real files: each input is written to a file in a private
// temporary folder, then loaded directly and through a symbolic link. Both loads must agree
// with decoding the input's first 20 bytes in memory, and a failed load must leave the record
// untouched. A loaded record is then saved through a link and must read back as exactly its
// encoding, with the link still a link.
// The folder is $MIRT_FUZZ_DIR, else $TMPDIR, else /tmp (scripts/fuzz uses a tmpfs when it can).
#include "FuzzCheck.h"
#include "settings/ConfigFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <span>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace settings;
using fuzzcheck::Sentinel;

namespace {

std::string g_dir;

void RemoveFolder() {
    for (const char* name : {"/input.cfg", "/link.cfg", "/saved.cfg", "/saved-target.cfg"}) {
        ::unlink((g_dir + name).c_str());
    }
    ::rmdir(g_dir.c_str());
}

void WriteWhole(const std::string& path, std::span<const std::uint8_t> data) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(fd >= 0);
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        FUZZ_CHECK(n > 0);
        done += static_cast<std::size_t>(n);
    }
    FUZZ_CHECK(::close(fd) == 0);
}

// Loads `path` into a fresh sentinel record and checks it against the in-memory decode.
void CheckLoad(const std::string& path, std::span<const std::uint8_t> in,
               const ConfigRecord& decoded, bool matched) {
    ConfigRecord rec = Sentinel();
    FUZZ_CHECK(LoadConfigFile(path.c_str(), rec) == matched);
    FUZZ_CHECK(rec == decoded);

    ConfigBytes bytes{};
    const std::size_t got = ReadConfigBytes(path.c_str(), bytes);
    FUZZ_CHECK(got == std::min(in.size(), kConfigSize));
    FUZZ_CHECK(std::memcmp(bytes.data(), in.data(), got) == 0);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* base = std::getenv("MIRT_FUZZ_DIR");
    if (base == nullptr || *base == '\0') {
        base = std::getenv("TMPDIR");
    }
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/mirt-fuzz-config-XXXXXX";
    FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    g_dir = pattern;
    std::atexit(RemoveFolder);
    FUZZ_CHECK(::symlink("input.cfg", (g_dir + "/link.cfg").c_str()) == 0);
    FUZZ_CHECK(::symlink("saved-target.cfg", (g_dir + "/saved.cfg").c_str()) == 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> in(data, size);
    const std::string input = g_dir + "/input.cfg";
    WriteWhole(input, in);

    ConfigRecord decoded = Sentinel();
    const bool matched = DecodeConfig(in.first(std::min(size, kConfigSize)), decoded).magicMatched;
    CheckLoad(input, in, decoded, matched);
    CheckLoad(g_dir + "/link.cfg", in, decoded, matched);
    if (!matched) {
        return 0;
    }

    // Save through the link: the target is replaced with exactly the encoding.
    const std::string saved = g_dir + "/saved.cfg";
    std::string error;
    const bool ok = SaveConfigFile(saved.c_str(), decoded, &error);
    if (!ok) {
        std::fprintf(stderr, "save failed: %s\n", error.c_str());
    }
    FUZZ_CHECK(ok);
    struct stat st {};
    FUZZ_CHECK(::lstat(saved.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    ConfigBytes back{};
    FUZZ_CHECK(ReadConfigBytes(saved.c_str(), back) == kConfigSize);
    FUZZ_CHECK(back == EncodeConfig(decoded));
    return 0;
}
