// How much memory the process uses: the heap blocks it holds (leaks make this grow) and its
// resident set. Under AddressSanitizer the heap figure comes from ASan's own allocator, which
// also counts nothing of its quarantine of freed blocks.
#pragma once

#include <cstddef>
#include <cstdio>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define HARDENING_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HARDENING_ASAN 1
#endif
#endif

#ifdef HARDENING_ASAN
// From the ASan runtime; gcc ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace hardening {

inline std::size_t LiveHeapBytes() {
#ifdef HARDENING_ASAN
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

inline bool UnderAddressSanitizer() {
#ifdef HARDENING_ASAN
    return true;
#else
    return false;
#endif
}

} // namespace hardening
