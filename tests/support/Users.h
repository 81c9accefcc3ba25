// Who runs the tests, and the user and group they give files to where root may.
#pragma once

#include <sys/types.h>
#include <unistd.h>

namespace testsupport {

inline bool IsRoot() {
    return ::geteuid() == 0;
}

inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNogroup = 65534;

} // namespace testsupport
