// What the process holds: the heap blocks (leaks make this grow), its resident set, its open
// files and its threads. Under AddressSanitizer the heap figure comes from ASan's own
// allocator, which counts nothing of its quarantine of freed blocks; the resident set does.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define TESTSUPPORT_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESTSUPPORT_ASAN 1
#endif
#endif

#ifdef TESTSUPPORT_ASAN
// From the ASan runtime; gcc ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace testsupport {

inline std::size_t LiveHeapBytes() {
#ifdef TESTSUPPORT_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

inline std::size_t ResidentBytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return std::size_t(resident) * std::size_t(::sysconf(_SC_PAGESIZE));
}

// The entries of a folder of /proc, such as /proc/self/fd or /proc/self/task.
inline long ProcEntries(const char* folder) {
    std::error_code error;
    long count = 0;
    for (auto it = std::filesystem::directory_iterator(folder, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error))
        ++count;
    return count;
}
inline long OpenFiles() {
    return ProcEntries("/proc/self/fd") - 1; // not the one the listing itself holds
}
inline long Threads() {
    return ProcEntries("/proc/self/task");
}

inline bool UnderAddressSanitizer() {
#ifdef TESTSUPPORT_ASAN
    return true;
#else
    return false;
#endif
}

} // namespace testsupport
