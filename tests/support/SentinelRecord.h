// A record no file can produce (every byte decodes to 0..255), so that a value a load or decode
// left alone keeps a value that shows it. Plain C++, for the fuzzers too.
#pragma once

#include "settings/ConfigFormat.h"

namespace testsupport {

inline settings::ConfigRecord Sentinel() {
    return settings::ConfigRecord{-1, 256, -300, 1000, -70000, {511, -2, 4096, -129, 65536}};
}

} // namespace testsupport
