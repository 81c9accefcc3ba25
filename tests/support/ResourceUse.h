// What the process holds: the heap blocks (leaks make this grow), its resident set, its open
// files and its threads. Under AddressSanitizer and ThreadSanitizer the heap figure comes from
// the sanitizer's own allocator; the resident set then tells nothing (ASan's quarantine keeps
// freed blocks, TSan's shadow memory grows with every address touched).
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TESTSUPPORT_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TESTSUPPORT_SANITIZER 1
#endif
#endif

#ifdef TESTSUPPORT_SANITIZER
// From the sanitizer runtime; gcc ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace testsupport {

inline std::size_t LiveHeapBytes() {
#ifdef TESTSUPPORT_SANITIZER
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

// Under AddressSanitizer or ThreadSanitizer, whose own memory the resident set includes.
inline bool UnderSanitizer() {
#ifdef TESTSUPPORT_SANITIZER
    return true;
#else
    return false;
#endif
}

} // namespace testsupport
